#ifndef CORVANE_SETTINGSFILE_H
#define CORVANE_SETTINGSFILE_H

#include <QString>

// Makes the settings file at path readable and writable by its owner alone. A file that does
// not exist yet is created empty (with its folder) and made private before anything is written
// to it. Settings kept elsewhere than in a file (the Windows registry) are left alone.
// False when the file could not be made private.
bool protectSettingsFile(const QString& path);

#endif
