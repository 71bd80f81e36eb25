#include "quickconnect/quickconnectrun.h"

#include "connection/killswitch.h"
#include "core/clock.h"
#include "core/later.h"
#include "core/logging.h"

namespace {
// Two attempts are this far apart, so that the last one's tunnel is gone before the next.
constexpr int pauseMs = 5000;

ConnectionController::Server serverOf(const QuickEntry& entry)
{
    ConnectionController::Server server;
    server.name = entry.name;
    server.ip = entry.address;
    // The echo page is expected to see the server's own address.
    server.assignedIp = entry.address;
    server.protocol = entry.protocol;
    if (entry.protocol == QLatin1String("OpenVPN")) {
        server.certificate = entry.keyOrCertificate;
        server.config = entry.config;
    } else if (entry.protocol == QLatin1String("L2TP")) {
        server.preSharedKey = entry.keyOrCertificate;
    }
    return server;
}
} // namespace

QuickConnectRun::QuickConnectRun(ConnectionController* controller, QObject* parent)
    : QObject(parent), connection(controller), pauseTimer(Clock::current().newTimer(this))
{
    pauseTimer->setObjectName(QStringLiteral("quickConnectPause"));
    pauseTimer->setSingleShot(true);
    connect(pauseTimer, &ClockTimer::timeout, this, &QuickConnectRun::attempt);
    connect(connection, &ConnectionController::stateChanged, this, &QuickConnectRun::connectionChanged);
}

QString QuickConnectRun::stageLabel() const
{
    if (!running())
        return QString();
    return tr("Stage %1/%2").arg(entryNumber).arg(entries.size());
}

void QuickConnectRun::setState(State next)
{
    if (next == current)
        return;
    qCInfo(lcQuickConnect) << "quick connect:" << current << "->" << next << "entry" << entryNumber << "of"
                           << entries.size();
    current = next;
    emit stateChanged(next);
}

void QuickConnectRun::start(const QString& list, const QString& userName, const QString& password,
                            bool accountEnabled)
{
    if (running())
        return;
    entries = quickEntries(list);
    entryNumber = 0;
    attempts.clear();
    user = userName;
    secret = password;
    enabled = accountEnabled;
    next();
}

void QuickConnectRun::next()
{
    // An entry of a protocol this client cannot start is passed over.
    const int k = nextStartableEntry(entries, entryNumber);
    if (k < 0) {
        finish(End::AllFailed);
        return;
    }
    entryNumber = k + 1;
    currentEntry = quickEntry(entries.at(k));
    emit entryChosen(entryNumber, entries.size());
    dial();
}

void QuickConnectRun::dial()
{
    if (!enabled) {
        finish(End::AccountDisabled);
        return;
    }
    // Entries passed over before the first attempt do not count: the pause separates attempts.
    if (attempts.isEmpty()) {
        attempt();
        return;
    }
    setState(State::Pausing);
    pauseTimer->start(pauseMs);
}

void QuickConnectRun::attempt()
{
    setState(State::Trying);
    const ConnectionController::Reason refused = connection->connectTo(
        serverOf(currentEntry), user, secret, enabled, ConnectionController::Origin::QuickConnect);
    if (refused == ConnectionController::Reason::None)
        return;
    attempts.append({currentEntry, refused});
    next();
}

void QuickConnectRun::cancel()
{
    if (running())
        finish(End::Cancelled);
}

void QuickConnectRun::finish(End end)
{
    pauseTimer->stop();
    qCInfo(lcQuickConnect) << "quick connect ended:" << end << "after" << attempts.size() << "failed entries";
    setState(State::Idle);
    if (end == End::AllFailed)
        connection->killSwitch()->quickConnectEnded(true);
    // Whoever shows the end may open a box: not inside the controller's report that ended the run.
    later(this, [this, end] { emit finished(end); });
}

void QuickConnectRun::connectionChanged(ConnectionController::State state,
                                        ConnectionController::Reason reason)
{
    if (current != State::Trying || connection->origin() != ConnectionController::Origin::QuickConnect)
        return;
    switch (state) {
    case ConnectionController::State::Connected:
        finish(End::Connected);
        break;
    case ConnectionController::State::Failed:
        attempts.append({currentEntry, reason});
        next();
        break;
    case ConnectionController::State::Idle:
    case ConnectionController::State::Disconnecting:
        finish(End::Cancelled);
        break;
    case ConnectionController::State::Preparing:
    case ConnectionController::State::Connecting:
    case ConnectionController::State::Reconnecting:
        break;
    }
}
