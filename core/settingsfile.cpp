#include "core/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool protectSettingsFile(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    if (suffix != QLatin1String("conf") && suffix != QLatin1String("ini"))
        return true;
    constexpr QFileDevice::Permissions ownerOnly =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
    if (!info.exists()) {
        if (!QDir().mkpath(info.absolutePath()))
            return false;
        QFile file(path);
        // The settings store rewrites the file through a copy that takes over these permissions.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return QFileInfo::exists(path) && QFile::setPermissions(path, ownerOnly);
        file.setPermissions(ownerOnly);
        return (file.permissions() & ~ownerOnly) == 0;
    }
    return QFile::setPermissions(path, ownerOnly);
}
