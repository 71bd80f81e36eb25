#include "connection/workfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

QString openVpnProgramPath()
{
    return QStringLiteral("openvpn/openvpn.exe");
}

OpenVpnPlaces openVpnPlaces(const QString& currentFolder)
{
    OpenVpnPlaces places;
    places.besideClient = true;
    places.program = currentFolder + QLatin1Char('/') + openVpnProgramPath();
    places.programFolder = currentFolder + QStringLiteral("/openvpn");
    places.workFolder = currentFolder + QStringLiteral("/include");
    places.privateFolder = places.workFolder;
    if (!QDir().mkpath(places.workFolder))
        places.error =
            QCoreApplication::translate("LumtarMain", "cannot create the folder %1").arg(places.workFolder);
    return places;
}

bool runningAsAdministrator()
{
    // The installation folder's rights are the installer's business on this system.
    return false;
}
