#include "core/privatefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
// Empty when no other user can replace `path` or anything in it: each folder from it up to the
// root belongs to this user or to root and no one else may write it (a sticky folder such as
// /tmp lets others add entries, never replace ours).
QString replaceableReason(const QString& path)
{
    QString current = QDir::cleanPath(path);
    for (;;) {
        struct stat info = {};
        if (::lstat(QFile::encodeName(current).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
            return QCoreApplication::translate("LumtarMain", "%1 is not a folder").arg(current);
        if (info.st_uid != ::geteuid() && info.st_uid != 0)
            return QCoreApplication::translate("LumtarMain", "%1 belongs to another user").arg(current);
        if ((info.st_mode & (S_IWGRP | S_IWOTH)) && !(info.st_mode & S_ISVTX))
            return QCoreApplication::translate("LumtarMain", "%1 may be changed by other users").arg(current);
        const QString parent = QFileInfo(current).absolutePath();
        if (parent == current)
            return QString();
        current = parent;
    }
}

// Empty when `path` is a folder of this user's that only this user may enter.
QString privateReason(const QString& path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return QCoreApplication::translate("LumtarMain", "%1 is not a folder").arg(path);
    if (info.st_uid != ::geteuid())
        return QCoreApplication::translate("LumtarMain", "%1 belongs to another user").arg(path);
    if (info.st_mode & (S_IRWXG | S_IRWXO))
        return QCoreApplication::translate("LumtarMain", "%1 may be entered by other users").arg(path);
    return replaceableReason(QFileInfo(path).absolutePath());
}

// "<cache>/corvane", made 0700 if absent (the cache folder too), when nobody else can reach it.
QString cacheFolder(const QString& cache, QString* reason)
{
    const QString folder = QDir::cleanPath(cache) + QStringLiteral("/corvane");
    // Nothing is made in a home folder that is not ours (root's HOME may still be the caller's).
    *reason = replaceableReason(QFileInfo(QDir::cleanPath(cache)).absolutePath());
    if (!reason->isEmpty())
        return QString();
    for (const QString& path : {QDir::cleanPath(cache), folder}) {
        if (::mkdir(QFile::encodeName(path).constData(), S_IRWXU) != 0 && errno != EEXIST) {
            *reason = QCoreApplication::translate("LumtarMain", "cannot create the folder %1").arg(path);
            return QString();
        }
    }
    *reason = privateReason(folder);
    return reason->isEmpty() ? folder : QString();
}
} // namespace

QString privateRuntimeFolder(QString* error)
{
    QString reason;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime)) {
        reason = privateReason(runtime);
        if (reason.isEmpty())
            return QDir::cleanPath(runtime);
    }
    // The cache of the home folder the environment names (tests and desktops may move it), then
    // the one the user database names: under sudo HOME may still be the caller's.
    QStringList caches;
    const QString cacheHome = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(cacheHome))
        caches << cacheHome;
    else if (QDir::isAbsolutePath(home))
        caches << home + QStringLiteral("/.cache");
    if (const passwd* entry = ::getpwuid(::geteuid()))
        caches << QFile::decodeName(entry->pw_dir) + QStringLiteral("/.cache");
    for (const QString& cache : caches) {
        const QString folder = cacheFolder(cache, &reason);
        if (!folder.isEmpty())
            return folder;
    }
    if (error)
        *error = reason.isEmpty() ? QCoreApplication::translate("LumtarMain", "no home folder") : reason;
    return QString();
}
