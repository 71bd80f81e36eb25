#include "core/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStorageInfo>
#include <QTemporaryDir>

namespace {
bool isSettingsFile(const QFileInfo& info)
{
    return info.suffix() == QLatin1String("conf") || info.suffix() == QLatin1String("ini");
}
} // namespace

SettingsFileCheck checkSettingsFile(const QString& path)
{
    SettingsFileCheck check;
    const QFileInfo info(path);
    if (!isSettingsFile(info) || !info.exists())
        return check;
    // The store keeps what it once read of a file and reports a format error only to its first
    // reader: a copy of its own is read afresh.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("check.ini"));
    const bool copied = info.isFile() && QFile::copy(path, copy);
    const QSettings::Status status =
        copied ? QSettings(copy, QSettings::IniFormat).status() : QSettings::AccessError;
    if (status == QSettings::AccessError || !info.isReadable() || !info.isWritable()) {
        check.outcome = SettingsFileCheck::Outcome::Unreadable;
    } else if (status == QSettings::FormatError) {
        check.keptAs = path + QStringLiteral(".unreadable");
        QFile::remove(check.keptAs);
        check.outcome = QFile::rename(path, check.keptAs) ? SettingsFileCheck::Outcome::SetAside
                                                          : SettingsFileCheck::Outcome::Unreadable;
        if (check.outcome == SettingsFileCheck::Outcome::Unreadable)
            check.keptAs.clear();
    }
    return check;
}

bool protectSettingsFile(const QString& path)
{
    const QFileInfo info(path);
    if (!isSettingsFile(info))
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

SettingsSaved saveSettings(QString* path)
{
    QSettings settings;
    settings.sync();
    *path = settings.fileName();
    if (settings.status() != QSettings::AccessError)
        return SettingsSaved::Yes;
    // The store says only that it failed; a disk without room is the usual cause.
    const QStorageInfo disk(QFileInfo(*path).absolutePath());
    constexpr qint64 roomForTheFile = 64 * 1024;
    return disk.isValid() && disk.bytesAvailable() < roomForTheFile ? SettingsSaved::DiskFull
                                                                    : SettingsSaved::NotWritable;
}
