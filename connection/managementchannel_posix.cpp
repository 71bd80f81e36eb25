// The program connects to a socket of ours in a folder only this user may enter; when that
// connection is lost, the program ends itself.
#include "connection/managementchannel.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
class LocalManagementChannel : public ManagementChannel
{
public:
    bool open(const QString& privateFolder, QString* error) override
    {
        path = privateFolder + QStringLiteral("/management-%1.sock").arg(QCoreApplication::applicationPid());
        QLocalServer::removeServer(path);
        server.setSocketOptions(QLocalServer::UserAccessOption);
        if (!server.listen(path)) {
            *error = QCoreApplication::translate("LumtarMain", "cannot open the management channel %1: %2")
                         .arg(path, server.errorString());
            return false;
        }
        server.setMaxPendingConnections(1);
        connect(&server, &QLocalServer::newConnection, this, [this] {
            QLocalSocket* incoming = server.nextPendingConnection();
            if (!incoming || socket) {
                delete incoming;
                return;
            }
            // One program, one connection: nobody else gets in after it.
            server.close();
            QLocalServer::removeServer(path);
            socket = incoming;
            socket->setParent(this);
            connect(socket, &QLocalSocket::disconnected, this, &ManagementChannel::disconnected);
            emit connected();
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
    QString path;
    QLocalServer server;
    QLocalSocket* socket = nullptr;
};
} // namespace

std::unique_ptr<ManagementChannel> makeManagementChannel()
{
    return std::make_unique<LocalManagementChannel>();
}
