#include "connection/openvpnprocess.h"

#include <QProcess>

QProcess* makeOpenVpnProcess(QObject* parent)
{
    return new QProcess(parent);
}

QString openVpnPidFile(const QString& privateFolder)
{
    return privateFolder + QStringLiteral("/openvpn.pid");
}

void writeOpenVpnPidFile(const QString&, qint64, const QString&) {}

void endLeftoverOpenVpn(const QString&)
{
    // A program left behind loses its management client and stops its tunnel by itself.
}
