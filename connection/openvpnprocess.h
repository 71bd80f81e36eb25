// The OpenVPN program's process, with what the platform offers to keep it from outliving us.
#ifndef CORVANE_OPENVPNPROCESS_H
#define CORVANE_OPENVPNPROCESS_H

#include <QString>

class QObject;
class QProcess;

// A process object for the program; on Linux the child is ended when the client ends.
QProcess* makeOpenVpnProcess(QObject* parent);

// The record of a running program in `privateFolder`, named for this client process.
QString openVpnPidFile(const QString& privateFolder);
// Records the program's process id and the marker its command line holds (the channel's path).
void writeOpenVpnPidFile(const QString& privateFolder, qint64 pid, const QString& marker);

// Ends every program that an earlier run of this client left running: the records in
// `privateFolder` whose client no longer runs name it, if its command line still holds the
// marker. Waits up to three seconds for it to end before it is killed; removes the records.
void endLeftoverOpenVpn(const QString& privateFolder);

#endif
