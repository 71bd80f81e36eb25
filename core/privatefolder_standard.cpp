// Where the system keeps a per-user folder private by itself.
#include "core/privatefolder.h"

#include <QStandardPaths>

QString privateRuntimeFolder(QString* error)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() && error)
        *error = QStringLiteral("no runtime folder");
    return folder;
}
