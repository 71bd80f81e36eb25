#include "connection/peerprocess.h"

qint64 owningProcess(const QVector<TcpConnection>& table, quint32 peerAddress, quint16 peerPort,
                     quint32 ourAddress, quint16 ourPort)
{
    qint64 owner = 0;
    for (const TcpConnection& row : table) {
        if (row.localAddress != peerAddress || row.localPort != peerPort || row.remoteAddress != ourAddress ||
            row.remotePort != ourPort)
            continue;
        if (row.processId <= 0 || (owner != 0 && owner != row.processId))
            return 0;
        owner = row.processId;
    }
    return owner;
}
