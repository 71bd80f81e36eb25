// The installation's folder as this platform has it.
#include "core/installationfolder.h"

#include <QCoreApplication>

QString platformInstallationFolder()
{
    return QCoreApplication::applicationDirPath();
}
