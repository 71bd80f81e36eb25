// OpenVPN has no unix sockets here: it listens on a free port of 127.0.0.1 and lets in only
// whoever knows the password it read from its standard input.
#include "connection/managementchannel.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {
constexpr int retryMs = 50;
constexpr int maxTries = 200;

class TcpManagementChannel : public ManagementChannel
{
public:
    bool open(const QString&, QString* error) override
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) {
            *error = QCoreApplication::translate("LumtarMain", "no free port for the management channel");
            return false;
        }
        port = probe.serverPort();
        probe.close();
        password = QByteArray::number(QRandomGenerator::system()->generate64(), 36) +
                   QByteArray::number(QRandomGenerator::system()->generate64(), 36);
        return true;
    }

    QStringList programArguments() const override
    {
        return {QStringLiteral("--management"), QStringLiteral("127.0.0.1"), QString::number(port),
                QStringLiteral("stdin"), QStringLiteral("--management-signal")};
    }

    QByteArray programInput() const override { return password + '\n'; }

    void programStarted() override
    {
        socket = new QTcpSocket(this);
        connect(socket, &QTcpSocket::connected, this, [this] {
            socket->write(password + '\n');
            emit connected();
        });
        connect(socket, &QTcpSocket::disconnected, this, &ManagementChannel::disconnected);
        connect(socket, &QTcpSocket::errorOccurred, this, [this] {
            if (socket->state() == QAbstractSocket::ConnectedState || ++tries > maxTries)
                return;
            QTimer::singleShot(retryMs, this,
                               [this] { socket->connectToHost(QHostAddress::LocalHost, port); });
        });
        socket->connectToHost(QHostAddress::LocalHost, port);
    }

    QIODevice* device() const override
    {
        return socket && socket->state() == QAbstractSocket::ConnectedState ? socket : nullptr;
    }

private:
    quint16 port = 0;
    QByteArray password;
    QTcpSocket* socket = nullptr;
    int tries = 0;
};
} // namespace

std::unique_ptr<ManagementChannel> makeManagementChannel()
{
    return std::make_unique<TcpManagementChannel>();
}
