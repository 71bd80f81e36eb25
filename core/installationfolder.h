#ifndef CORVANE_INSTALLATIONFOLDER_H
#define CORVANE_INSTALLATIONFOLDER_H

#include <QString>

// The folder whose "openvpn" and "include" folders and "update.exe" the client uses: the
// program's own folder, never the one it was started from, whose contents anyone who chose it
// may have put there.
QString installationFolder();

// Tests run the client in a folder of their own; an empty folder ends that. The program never
// calls this.
void overrideInstallationFolder(const QString& folder);

#endif
