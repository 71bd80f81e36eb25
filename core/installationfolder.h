#ifndef CORVANE_INSTALLATIONFOLDER_H
#define CORVANE_INSTALLATIONFOLDER_H

#include <QString>

// The folder whose "openvpn" and "include" folders and "update.exe" the client uses: the
// program's own folder on Windows, where an elevated client must not take them from wherever
// it was started; the current folder elsewhere.
QString installationFolder();

// Tests run the client in a folder of their own; an empty folder ends that. The program never
// calls this.
void overrideInstallationFolder(const QString& folder);

#endif
