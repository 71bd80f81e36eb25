#include "connection/workfiles.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString openVpnProgramPath()
{
    return QStringLiteral("openvpn/openvpn");
}

QByteArray textLineEnd()
{
    return QByteArrayLiteral("\n");
}

bool writePrivateFile(const QString& path, const QByteArray& data)
{
    const QByteArray native = QFile::encodeName(path);
    // A new file each time: a link put at this path is replaced, never followed.
    ::unlink(native.constData());
    const int fd =
        ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    // The mask may have taken bits away; the owner must still read it, and no one else.
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0) {
        ::close(fd);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    const bool written = file.write(data) == data.size();
    file.close();
    return written;
}
