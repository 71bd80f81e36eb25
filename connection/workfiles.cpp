#include "connection/workfiles.h"

#include <QCoreApplication>
#include <QFile>

bool writeWorkFile(const QString& path, const QByteArray& data)
{
    // Always a new file: whatever was put at this path (a link to another file, say) is
    // replaced, never written through, since the client runs with administrator rights.
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const bool written = file.write(data) == data.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}
