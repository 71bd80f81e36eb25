// OpenVPN has no unix sockets here. The client listens on a port of 127.0.0.1 that no other
// process may bind as well, and the program connects to it (--management-client). Only a
// connection whose far end the system names as the program we started is taken; anything
// else is closed before a byte is sent. The one-time password the program read from its
// standard input is asked for as well.
#include "connection/managementchannel.h"

#include "connection/peerprocess.h"
#include "core/logging.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

#include <vector>

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on

namespace {

QString socketError()
{
    return QString::number(WSAGetLastError());
}

// A listening socket on 127.0.0.1 with a port the system picks, bound exclusively.
SOCKET exclusiveListener(QString* error)
{
    SOCKET listener = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_OVERLAPPED);
    if (listener == INVALID_SOCKET) {
        *error = socketError();
        return INVALID_SOCKET;
    }
    // Programs we start (openvpn among them) must not inherit the port and accept on it.
    SetHandleInformation(reinterpret_cast<HANDLE>(listener), HANDLE_FLAG_INHERIT, 0);
    BOOL exclusive = TRUE;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (setsockopt(listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
                   sizeof(exclusive)) != 0 ||
        bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener, SOMAXCONN) != 0) {
        *error = socketError();
        closesocket(listener);
        return INVALID_SOCKET;
    }
    return listener;
}

QVector<TcpConnection> tcpTable()
{
    std::vector<char> buffer(64 * 1024);
    for (int tries = 0; tries < 4; ++tries) {
        ULONG size = ULONG(buffer.size());
        const DWORD result =
            GetExtendedTcpTable(buffer.data(), &size, FALSE, AF_INET, TCP_TABLE_OWNER_PID_CONNECTIONS, 0);
        if (result == ERROR_INSUFFICIENT_BUFFER) {
            buffer.resize(size + 4096);
            continue;
        }
        if (result != NO_ERROR)
            return {};
        const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(buffer.data());
        QVector<TcpConnection> rows;
        rows.reserve(int(table->dwNumEntries));
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            const MIB_TCPROW_OWNER_PID& row = table->table[i];
            rows.append({ntohl(row.dwLocalAddr), ntohs(u_short(row.dwLocalPort)), ntohl(row.dwRemoteAddr),
                         ntohs(u_short(row.dwRemotePort)), qint64(row.dwOwningPid)});
        }
        return rows;
    }
    return {};
}

class TcpManagementChannel : public ManagementChannel
{
public:
    TcpManagementChannel()
    {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }

    ~TcpManagementChannel() override
    {
        if (socket)
            socket->abort();
        server.close();
        if (started)
            WSACleanup();
    }

    bool open(const QString&, QString* error) override
    {
        QString reason;
        const SOCKET listener = started ? exclusiveListener(&reason) : INVALID_SOCKET;
        if (listener == INVALID_SOCKET || !server.setSocketDescriptor(qintptr(listener))) {
            if (listener != INVALID_SOCKET)
                closesocket(listener);
            *error = QCoreApplication::translate("LumtarMain", "cannot open the management channel: %1")
                         .arg(reason.isEmpty() ? server.errorString() : reason);
            return false;
        }
        password = QByteArray::number(QRandomGenerator::system()->generate64(), 36) +
                   QByteArray::number(QRandomGenerator::system()->generate64(), 36);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* incoming = server.nextPendingConnection())
                take(incoming);
        });
        return true;
    }

    QStringList programArguments() const override
    {
        return {QStringLiteral("--management"), QStringLiteral("127.0.0.1"),
                QString::number(server.serverPort()), QStringLiteral("stdin"),
                QStringLiteral("--management-client")};
    }

    QByteArray programInput() const override { return password + '\n'; }
    void programStarted() override {}

    QIODevice* device() const override { return socket; }

private:
    void take(QTcpSocket* incoming)
    {
        const qint64 peer =
            owningProcess(tcpTable(), incoming->peerAddress().toIPv4Address(), incoming->peerPort(),
                          incoming->localAddress().toIPv4Address(), incoming->localPort());
        if (socket || programPid <= 0 || peer != programPid) {
            qCWarning(lcConnection).nospace()
                << "management channel: closed a connection from port " << incoming->peerPort()
                << " of process " << peer << "; the channel is for process " << programPid
                << (socket ? ", which is connected" : "");
            // Ended for the peer too, whoever else holds a handle of it.
            ::shutdown(SOCKET(incoming->socketDescriptor()), SD_BOTH);
            incoming->abort();
            incoming->deleteLater();
            return;
        }
        // One program, one connection: nobody else gets in after it.
        server.close();
        SetHandleInformation(reinterpret_cast<HANDLE>(incoming->socketDescriptor()), HANDLE_FLAG_INHERIT, 0);
        socket = incoming;
        socket->setParent(this);
        QObject::connect(socket, &QTcpSocket::disconnected, this, &ManagementChannel::disconnected);
        socket->write(password + '\n');
        emit connected();
    }

    bool started = false;
    QTcpServer server;
    QByteArray password;
    QTcpSocket* socket = nullptr;
};

} // namespace

std::unique_ptr<ManagementChannel> makeManagementChannel()
{
    return std::make_unique<TcpManagementChannel>();
}
