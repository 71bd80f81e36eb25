#include "connection/workfiles.h"

#include <QFile>

QString openVpnProgramPath()
{
    return QStringLiteral("openvpn/openvpn.exe");
}

QByteArray textLineEnd()
{
    return QByteArrayLiteral("\r\n");
}

bool writePrivateFile(const QString& path, const QByteArray& data)
{
    // The client runs elevated; files it creates inherit the folder's administrators-only rights.
    return writeWorkFile(path, data);
}
