#ifndef CORVANE_SETTINGSFILE_H
#define CORVANE_SETTINGSFILE_H

#include <QString>

// Makes the settings file at path readable and writable by its owner alone. A file that does
// not exist yet is created empty (with its folder) and made private before anything is written
// to it. Settings kept elsewhere than in a file (the Windows registry) are left alone.
// False when the file could not be made private.
bool protectSettingsFile(const QString& path);

// What was found in the settings file at start.
struct SettingsFileCheck
{
    enum class Outcome
    {
        Fine,       // readable, or kept elsewhere than in a file, or not there yet
        SetAside,   // not readable as settings: moved to keptAs, the client starts afresh
        Unreadable, // the file cannot be read or written: changes would not be kept
    };
    Outcome outcome = Outcome::Fine;
    QString keptAs;
};

// The settings store never writes over a file it could not parse, so every change would be lost
// without a word: such a file is moved aside (replacing one set aside before) and the client
// starts with its defaults.
SettingsFileCheck checkSettingsFile(const QString& path);

// Writes what the settings store holds now and says whether it could; `path` gets the file's
// name. The store keeps what was not written and writes it with the next write that works.
enum class SettingsSaved
{
    Yes,
    DiskFull,    // the disk has no room
    NotWritable, // the file or its folder cannot be written
};
SettingsSaved saveSettings(QString* path);

#endif
