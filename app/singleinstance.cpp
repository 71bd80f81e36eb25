#include "app/singleinstance.h"

#include "core/clock.h"
#include "core/logging.h"
#include "core/privatefolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {
const char showRequest[] = "show\n";
// A copy that connects says "show" at once; a connection that keeps quiet longer is closed.
constexpr int quietLimitMs = 1000;
// At most this many connections are open at once, so that a flood cannot take every descriptor
// of the process.
constexpr int maxOpenConnections = 8;
} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), dir(folder.isEmpty() ? privateRuntimeFolder(&folderProblem) : folder)
{
}

SingleInstance::~SingleInstance()
{
    if (server)
        server->close();
}

QString SingleInstance::lockPath() const
{
    return QDir(dir).filePath(QStringLiteral("corvane.lock"));
}

QString SingleInstance::socketPath() const
{
    return QDir(dir).filePath(QStringLiteral("corvane.socket"));
}

bool SingleInstance::claim()
{
    if (dir.isEmpty()) {
        qCWarning(lcApp) << "no private folder for the one-copy guard:" << folderProblem
                         << "- running without it";
        return true;
    }
    QDir().mkpath(dir);
    lock = std::make_unique<QLockFile>(lockPath());
    // A running copy holds the lock for as long as it runs; only a lock whose process is gone
    // is stale, never one that is merely old.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError) {
            qCInfo(lcApp) << "another copy holds" << lockPath();
            return false;
        }
        // A folder that takes no lock must not keep the client from starting at all.
        qCWarning(lcApp) << "cannot take" << lockPath() << "- running without the one-copy guard";
        return true;
    }
    // A socket left by a copy that was killed would refuse the listen.
    QLocalServer::removeServer(socketPath());
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::takeConnection);
    if (!server->listen(socketPath()))
        qCWarning(lcApp) << "cannot listen for show requests:" << server->errorString();
    else
        qCInfo(lcApp) << "running copy, listening on" << socketPath();
    return true;
}

bool SingleInstance::askRunningCopyToShow(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    // The running copy takes the lock a moment before it listens; a start in that moment waits.
    while (timer.elapsed() < timeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(500)) {
            socket.write(showRequest);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(1000);
            if (sent)
                return true;
        }
        QThread::msleep(100);
    }
    qCWarning(lcApp) << "the running copy did not answer on" << socketPath();
    return false;
}

void SingleInstance::takeConnection()
{
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        const auto shut = [socket] {
            socket->abort();
            socket->deleteLater();
        };
        // The oldest has had its chance to speak: a copy says "show" the moment it connects.
        if (openConnections.size() >= maxOpenConnections) {
            QLocalSocket* oldest = openConnections.takeFirst();
            oldest->abort();
            oldest->deleteLater();
        }
        openConnections.append(socket);
        connect(socket, &QObject::destroyed, this, [this, socket] { openConnections.removeOne(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            openConnections.removeOne(socket);
            socket->deleteLater();
        });
        ClockTimer* quiet = Clock::current().newTimer(socket);
        quiet->setSingleShot(true);
        connect(quiet, &ClockTimer::timeout, socket, shut);
        quiet->start(quietLimitMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, shut] {
            // Only the one request exists; anything else from the socket is ignored.
            while (socket->canReadLine()) {
                if (socket->readLine(64) == showRequest) {
                    qCInfo(lcApp) << "another copy asked to show the window";
                    emit showRequested();
                    shut();
                    return;
                }
            }
            if (socket->bytesAvailable() > 64)
                shut();
        });
    }
}
