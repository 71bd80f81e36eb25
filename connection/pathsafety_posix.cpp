#include "connection/pathsafety.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {
QString checkOne(const QString& path, uint adminUid)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QCoreApplication::translate("LumtarMain", "%1 does not exist").arg(path);
    if (info.st_uid != adminUid)
        return QCoreApplication::translate("LumtarMain",
                                           "%1 belongs to another user (id %2) than the administrator")
            .arg(path)
            .arg(info.st_uid);
    // In a folder with the sticky bit (/tmp) others may add entries but not replace ours.
    const bool sticky = S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX);
    if ((info.st_mode & S_IWOTH) && !sticky)
        return QCoreApplication::translate("LumtarMain", "%1 may be changed by every user").arg(path);
    if ((info.st_mode & S_IWGRP) && info.st_gid != adminUid && !sticky)
        return QCoreApplication::translate("LumtarMain", "%1 may be changed by the members of group %2")
            .arg(path)
            .arg(info.st_gid);
    return QString();
}
} // namespace

QString unsafePathReason(const QString& path, uint adminUid)
{
    const QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    // A link is judged where it stands as well as where it leads: either could be swapped.
    if (info.isSymLink()) {
        const QString where = unsafePathReason(info.absolutePath(), adminUid);
        if (!where.isEmpty())
            return where;
        if (info.canonicalFilePath().isEmpty())
            return QCoreApplication::translate("LumtarMain", "%1 leads nowhere").arg(path);
    }
    QString current = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    for (;;) {
        const QString reason = checkOne(current, adminUid);
        if (!reason.isEmpty())
            return reason;
        const QString parent = QFileInfo(current).absolutePath();
        if (parent == current || current == QDir::rootPath())
            return QString();
        current = parent;
    }
}
