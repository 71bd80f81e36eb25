#include "connection/workfiles.h"

#include <QCoreApplication>
#include <QFile>

bool writeWorkFile(const QString& path, const QByteArray& data, QString* error)
{
    // Always a new file: whatever was put at this path (a link to another file, say) is
    // replaced, never written through, since the client runs with administrator rights.
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    bool written = file.write(data) == data.size();
    // A full disk shows only when the buffer goes out.
    written = file.flush() && written;
    const QString problem = file.errorString();
    file.close();
    written = written && file.error() == QFileDevice::NoError;
    if (!written) {
        // Half a certificate or configuration is worse than none.
        file.remove();
        if (error)
            *error = problem;
    }
    return written;
}
