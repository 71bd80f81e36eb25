#include "core/installationfolder.h"

#include <QCoreApplication>

namespace {
QString& overridden()
{
    static QString folder;
    return folder;
}
} // namespace

QString installationFolder()
{
    return overridden().isEmpty() ? QCoreApplication::applicationDirPath() : overridden();
}

void overrideInstallationFolder(const QString& folder)
{
    overridden() = folder;
}
