// What the NetworkManager tests ask the daemon of the lab directly, over its private bus.
#ifndef CORVANE_NMSUPPORT_H
#define CORVANE_NMSUPPORT_H

#include <QMap>
#include <QStringList>
#include <QVariantMap>

using NmSettings = QMap<QString, QVariantMap>;

// Fails the test loudly unless this runs as root against the lab's daemon (nm.sh).
QString nmTestEnvironmentProblem();
// The object paths of the connections the daemon holds.
QStringList nmConnections();
// A connection's settings as the daemon holds them (no secrets), and its flags.
NmSettings nmSettings(const QString& path);
uint nmConnectionFlags(const QString& path);
// The vpn setting's data of a connection.
QMap<QString, QString> nmVpnData(const NmSettings& settings);
// The name servers the daemon applies now, per interface ("tun0 198.18.100.53").
QStringList nmAppliedNameServers();
// Files under the daemon's folders (state, run, keyfiles, IPsec) that hold `secret`.
QStringList nmFilesHolding(const QByteArray& secret);
// Stops the lab's daemon and starts it again on the same bus (nm.sh restart); true once it is back.
bool restartNetworkManager();
// Kills the process that holds a name of this VPN plugin on the lab's bus, and no other; true
// when there was one.
bool killVpnPlugin(const QString& serviceType);

#endif
