// The program connects to a socket of ours in a folder only this user may enter; when that
// connection is lost, the program ends itself. Any other process of this user could connect
// first, so the channel is the program's only once the kernel says who is at the other end.
#include "connection/managementchannel.h"

#include "core/logging.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/socket.h>

namespace {
class LocalManagementChannel : public ManagementChannel
{
public:
    bool open(const QString& privateFolder, QString* error) override
    {
        // A name of its own: the channel of an attempt that is still ending removes its socket
        // when it goes, and must not take the next attempt's with it.
        static quint64 opened = 0;
        path = privateFolder +
               QStringLiteral("/management-%1-%2.sock").arg(QCoreApplication::applicationPid()).arg(++opened);
        QLocalServer::removeServer(path);
        server.setSocketOptions(QLocalServer::UserAccessOption);
        if (!server.listen(path)) {
            *error = QCoreApplication::translate("LumtarMain", "cannot open the management channel %1: %2")
                         .arg(path, server.errorString());
            return false;
        }
        server.setMaxPendingConnections(1);
        connect(&server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* incoming = server.nextPendingConnection()) {
                if (socket || !fromProgram(incoming)) {
                    incoming->abort();
                    incoming->deleteLater();
                    continue;
                }
                // One program, one connection: nobody else gets in after it.
                server.close();
                QLocalServer::removeServer(path);
                socket = incoming;
                socket->setParent(this);
                connect(socket, &QLocalSocket::disconnected, this, &ManagementChannel::disconnected);
                emit connected();
                return;
            }
        });
        return true;
    }

    QStringList programArguments() const override
    {
        return {QStringLiteral("--management"), path, QStringLiteral("unix"),
                QStringLiteral("--management-client")};
    }

    QByteArray programInput() const override { return QByteArray(); }
    void programStarted() override {}
    QIODevice* device() const override { return socket; }

    ~LocalManagementChannel() override
    {
        if (socket)
            socket->abort();
        server.close();
        if (!path.isEmpty())
            QLocalServer::removeServer(path);
    }

private:
    bool fromProgram(QLocalSocket* incoming) const
    {
        ucred peer = {};
        socklen_t size = sizeof(peer);
        if (::getsockopt(int(incoming->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) {
            qCWarning(lcConnection) << "refused a connection to the management channel: no peer known";
            return false;
        }
        if (programPid <= 0 || peer.pid != programPid) {
            qCWarning(lcConnection) << "refused a connection to the management channel from process"
                                    << peer.pid << "of user" << peer.uid << "; the program is" << programPid;
            return false;
        }
        return true;
    }

    QString path;
    QLocalServer server;
    QLocalSocket* socket = nullptr;
};
} // namespace

std::unique_ptr<ManagementChannel> makeManagementChannel()
{
    return std::make_unique<LocalManagementChannel>();
}
