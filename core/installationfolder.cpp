#include "core/installationfolder.h"

namespace {
QString& overridden()
{
    static QString folder;
    return folder;
}
} // namespace

QString platformInstallationFolder();

QString installationFolder()
{
    return overridden().isEmpty() ? platformInstallationFolder() : overridden();
}

void overrideInstallationFolder(const QString& folder)
{
    overridden() = folder;
}
