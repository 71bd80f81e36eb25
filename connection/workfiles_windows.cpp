#include "connection/workfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <windows.h>

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
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                  0, 0, 0, 0, &administrators))
        return false;
    // The group counts only when it is enabled in this process's token, as in an elevated one.
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member))
        member = FALSE;
    FreeSid(administrators);
    return member;
}
