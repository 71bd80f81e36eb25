// The installation's folder as this platform has it.
#include "core/installationfolder.h"

#include <QDir>

QString platformInstallationFolder()
{
    return QDir::currentPath();
}
