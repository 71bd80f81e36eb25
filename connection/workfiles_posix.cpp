#include "connection/workfiles.h"

#include "core/privatefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

QString openVpnProgramPath()
{
    return QStringLiteral("openvpn/openvpn");
}

namespace {
// A folder only this user may enter: created 0700 if absent, refused when another owns it.
QString makePrivateFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return QCoreApplication::translate("LumtarMain", "cannot create the folder %1").arg(path);
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return QCoreApplication::translate("LumtarMain", "%1 is not a folder").arg(path);
    if (info.st_uid != ::geteuid())
        return QCoreApplication::translate("LumtarMain", "%1 belongs to another user").arg(path);
    if ((info.st_mode & 0777) != S_IRWXU && ::chmod(native.constData(), S_IRWXU) != 0)
        return QCoreApplication::translate("LumtarMain", "cannot make %1 private").arg(path);
    return QString();
}

} // namespace

OpenVpnPlaces openVpnPlaces(const QString& installation)
{
    OpenVpnPlaces places;
    QString problem;
    const QString runtime = privateRuntimeFolder(&problem);
    if (runtime.isEmpty()) {
        places.error = QCoreApplication::translate("LumtarMain", "no private folder for the work files: %1")
                           .arg(problem);
    } else {
        places.privateFolder = runtime + QStringLiteral("/corvane");
        places.error = makePrivateFolder(places.privateFolder);
    }
    const QString installed = installation + QLatin1Char('/') + openVpnProgramPath();
    if (QFileInfo::exists(installed)) {
        places.besideClient = true;
        places.program = installed;
        places.programFolder = installation + QStringLiteral("/openvpn");
        places.workFolder = installation + QStringLiteral("/include");
        if (!QDir().mkpath(places.workFolder) && places.error.isEmpty())
            places.error = QCoreApplication::translate("LumtarMain", "cannot create the folder %1")
                               .arg(places.workFolder);
        return places;
    }
    places.program = QStandardPaths::findExecutable(QStringLiteral("openvpn"));
    if (places.program.isEmpty())
        places.program = QStandardPaths::findExecutable(
            QStringLiteral("openvpn"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (places.program.isEmpty() && places.error.isEmpty())
        places.error = QCoreApplication::translate("LumtarMain", "the OpenVPN program is not installed");
    places.programFolder = places.privateFolder;
    places.workFolder = places.privateFolder;
    return places;
}

bool runningAsAdministrator()
{
    return ::geteuid() == 0;
}
