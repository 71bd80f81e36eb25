// Who is at the other end of a TCP connection on this machine, from the system's table of
// connections and their owning processes.
#ifndef CORVANE_PEERPROCESS_H
#define CORVANE_PEERPROCESS_H

#include <QVector>

// One row of the system's TCP table; addresses and ports in host byte order.
struct TcpConnection
{
    quint32 localAddress = 0;
    quint16 localPort = 0;
    quint32 remoteAddress = 0;
    quint16 remotePort = 0;
    qint64 processId = 0;
};

// The process that owns the far end of a connection we accepted from `peerAddress`:`peerPort`
// on `ourAddress`:`ourPort`: the row running the other way. 0 when no row names it, or when
// rows disagree on its owner.
qint64 owningProcess(const QVector<TcpConnection>& table, quint32 peerAddress, quint16 peerPort,
                     quint32 ourAddress, quint16 ourPort);

#endif
