#include "connection/connectioncontroller.h"

#include "connection/killswitch.h"
#include "connection/protocols.h"
#include "core/clock.h"
#include "core/logging.h"
#include "monitor/addresscheck.h"

#include <QMetaEnum>

#include <iterator>

namespace {
// An attempt that has no tunnel after this many seconds of ticks is given up.
constexpr int attemptAllowanceSeconds = 30;
// While connected, the public address is checked this often.
constexpr int addressCheckSeconds = 15;
// Redials of a connection that keeps dropping wait longer each time, and stop after the last.
constexpr int redialPausesMs[] = {3000, 10000, 30000};
// A connection that stayed up this long counts as good again.
constexpr qint64 stableConnectionMs = 3 * 60 * 1000;
// A server gives up on a client it has not heard from for a minute (keepalive's usual 60 s).
constexpr qint64 sleepLimitMs = 60 * 1000;

ConnectionController::Reason controllerReason(ConnectionEngine::Reason reason)
{
    using Engine = ConnectionEngine::Reason;
    using Reason = ConnectionController::Reason;
    switch (reason) {
    case Engine::CertificateDownload:
        return Reason::CertificateDownload;
    case Engine::ConfigDownload:
        return Reason::ConfigDownload;
    case Engine::ConfigRefused:
        return Reason::ConfigRefused;
    case Engine::FilesNotWritten:
        return Reason::FilesNotWritten;
    case Engine::UnsafeInstallation:
        return Reason::UnsafeInstallation;
    case Engine::ProgramNotStarted:
        return Reason::ProgramNotStarted;
    case Engine::CredentialsUnusable:
        return Reason::CredentialsUnusable;
    case Engine::AuthFailed:
        return Reason::AuthFailed;
    case Engine::Fatal:
    case Engine::ConnectError:
    case Engine::ProgramEnded:
        return Reason::ProgramFailed;
    case Engine::Reconnecting:
    case Engine::ProgramSilent:
        return Reason::TunnelLost;
    }
    return Reason::ProgramFailed;
}

bool isDialProtocol(const QString& protocol)
{
    return protocol == QLatin1String("PPTP") || protocol == QLatin1String("L2TP");
}
} // namespace

ConnectionController::ConnectionController(const QString& baseFolder, QObject* parent)
    : QObject(parent), clock(Clock::current()), attemptEngine(new ConnectionEngine(baseFolder, this)),
      check(new AddressCheck(this)), redialTimer(clock.newTimer(this)), countdownTimer(clock.newTimer(this))
{
    attemptEngine->setObjectName(QStringLiteral("connectionEngine"));
    check->setObjectName(QStringLiteral("addressCheck"));
    redialTimer->setObjectName(QStringLiteral("redialTimer"));
    redialTimer->setSingleShot(true);
    countdownTimer->setObjectName(QStringLiteral("redialCountdown"));
    connect(redialTimer, &ClockTimer::timeout, this, &ConnectionController::redial);
    connect(countdownTimer, &ClockTimer::timeout, this,
            [this] { emit redialCountdown(redialSecondsLeft()); });

    // The engine reports through the event loop already.
    connect(attemptEngine, &ConnectionEngine::stepReached, this, &ConnectionController::stepReached);
    connect(attemptEngine, &ConnectionEngine::logLine, this, &ConnectionController::logLine);
    connect(attemptEngine, &ConnectionEngine::trafficCounted, this, [this](quint64 received, quint64 sent) {
        if (current == State::Connected)
            emit trafficCounted(received, sent);
    });
    connect(attemptEngine, &ConnectionEngine::programRunning, this, [this] {
        if (current == State::Preparing)
            setState(State::Connecting, Reason::None);
    });
    connect(attemptEngine, &ConnectionEngine::tunnelUp, this, &ConnectionController::tunnelIsUp);
    connect(attemptEngine, &ConnectionEngine::attemptFailed, this, &ConnectionController::engineFailed);
    connect(attemptEngine, &ConnectionEngine::tunnelDropped, this, &ConnectionController::engineDropped);
    connect(attemptEngine, &ConnectionEngine::dialConnected, this, &ConnectionController::dialConnected);
    connect(attemptEngine, &ConnectionEngine::dialFailed, this, [this](int code) {
        if (current == State::Connecting && isDialProtocol(target.protocol))
            fail(Reason::DialFailed, QString(), code);
    });
    connect(attemptEngine, &ConnectionEngine::dialThreadEnded, this, &ConnectionController::dialThreadEnded);
    // The answer arrives inside its reply; what it decides (a drop, a box) waits for the event loop.
    connect(check, &AddressCheck::addressSeen, this, &ConnectionController::addressArrived,
            Qt::QueuedConnection);
    // Made last: it follows this controller's states before anyone else does.
    guard = new KillSwitch(this, makeKillSwitchBlock(), this);
}

ConnectionController::~ConnectionController() = default;

int ConnectionController::redialSecondsLeft() const
{
    if (current != State::Reconnecting)
        return 0;
    return int((qMax<qint64>(0, redialAtMs - clock.steadyMs()) + 999) / 1000);
}

int ConnectionController::connectedSeconds() const
{
    return current == State::Connected ? int((clock.steadyMs() - connectedAtMs) / 1000) : 0;
}

ConnectionController::Reason ConnectionController::connectTo(const Server& server, const QString& userName,
                                                             const QString& password, bool accountEnabled,
                                                             Origin origin)
{
    if (!accountEnabled)
        return Reason::AccountDisabled;
    if (server.protocol == QLatin1String("OpenVPN") &&
        (server.certificate.isEmpty() || server.config.isEmpty()))
        return Reason::NoProfile;
    if (!isKnownProtocol(server.protocol))
        return Reason::NoProtocol;
    redialTimer->stop();
    countdownTimer->stop();
    attemptEngine->endAttempt();
    if (origin == Origin::User)
        drops = 0;
    target = server;
    user = userName;
    secret = password;
    attemptOrigin = origin;
    startAttempt();
    return Reason::None;
}

void ConnectionController::startAttempt()
{
    check->cancel();
    seenAddress.clear();
    confirmed = false;
    lastOutcome = Outcome();
    qCInfo(lcConnection).noquote() << "attempt to" << target.name << "by" << target.protocol << "from"
                                   << QMetaEnum::fromType<Origin>().valueToKey(int(attemptOrigin));
    if (isDialProtocol(target.protocol)) {
        setState(State::Connecting, Reason::None);
        if (!attemptEngine->startDial(
                {target.protocol, target.preSharedKey, target.ip, user, secret, target.name}))
            fail(Reason::PreviousDialEnding);
        return;
    }
    setState(State::Preparing, Reason::None);
    attemptEngine->startOpenVpn({target.certificate, target.config, user, secret});
}

void ConnectionController::disconnect(Reason reason)
{
    const bool wasActive = current != State::Idle && current != State::Failed;
    cancelRedial();
    attemptEngine->endAttempt();
    check->cancel();
    seenAddress.clear();
    confirmed = false;
    if (!wasActive && current == State::Idle)
        return;
    lastOutcome = Outcome{reason, QString(), 0};
    // A dial blocked in its thread returns once the hang-up reaches it; until then no new dial
    // could start.
    if (attemptEngine->dialStillEnding()) {
        setState(State::Disconnecting, reason);
        return;
    }
    setState(State::Idle, reason);
}

void ConnectionController::cancelRedial()
{
    const bool waiting = current == State::Reconnecting;
    redialTimer->stop();
    countdownTimer->stop();
    if (waiting)
        setState(State::Idle, Reason::UserRequest);
}

void ConnectionController::tick()
{
    seconds += 3;
    const qint64 steadyMs = clock.steadyMs();
    const qint64 wallMs = clock.now().toMSecsSinceEpoch();
    const qint64 sleptMs =
        lastTickSteadyMs < 0 ? 0 : (wallMs - lastTickWallMs) - (steadyMs - lastTickSteadyMs);
    lastTickSteadyMs = steadyMs;
    lastTickWallMs = wallMs;
    // Longer than the servers wait for a silent client: the tunnel is gone on their side even when
    // the program here has not noticed yet, so it is dialled afresh at once.
    if (current == State::Connected && sleptMs > sleepLimitMs) {
        const QString text = tr("The computer was asleep for %1 minutes").arg(sleptMs / 60000);
        qCInfo(lcConnection).noquote() << text;
        drop(Reason::ComputerSlept, text);
        emit ticked(current, seconds);
        return;
    }
    switch (current) {
    case State::Preparing:
    case State::Connecting:
        if (seconds > attemptAllowanceSeconds)
            fail(Reason::TimedOut);
        break;
    case State::Connected:
        if (seconds % addressCheckSeconds == 0)
            checkAddress();
        break;
    case State::Idle:
    case State::Reconnecting:
    case State::Disconnecting:
    case State::Failed:
        break;
    }
    emit ticked(current, seconds);
}

void ConnectionController::checkAddress()
{
    check->ask();
}

void ConnectionController::setState(State next, Reason reason)
{
    if (next == current && reason == Reason::None)
        return;
    const auto name = [](auto value) {
        return QMetaEnum::fromType<decltype(value)>().valueToKey(int(value));
    };
    qCInfo(lcConnection).nospace().noquote()
        << "connection: " << name(current) << " -> " << name(next) << " (" << name(reason) << ")";
    // Fetching the files and starting the program share one allowance.
    if (!(current == State::Preparing && next == State::Connecting))
        seconds = 0;
    current = next;
    emit stateChanged(next, reason);
}

void ConnectionController::fail(Reason reason, const QString& detail, int dialCode)
{
    attemptEngine->endAttempt();
    redialTimer->stop();
    countdownTimer->stop();
    lastOutcome = Outcome{reason, detail, dialCode};
    setState(State::Failed, reason);
}

void ConnectionController::tunnelIsUp()
{
    if (current != State::Preparing && current != State::Connecting)
        return;
    connectedAtMs = clock.steadyMs();
    setState(State::Connected, Reason::None);
    // The address check confirms at once what the tunnel said, and watches it from then on.
    checkAddress();
}

void ConnectionController::dialConnected()
{
    if (current == State::Connecting && isDialProtocol(target.protocol)) {
        tunnelIsUp();
        return;
    }
    // The user ended this attempt while its dial was completing: no unseen connection stays up.
    if (current != State::Connected)
        attemptEngine->hangUp();
}

void ConnectionController::dialThreadEnded()
{
    if (current == State::Disconnecting)
        setState(State::Idle, lastOutcome.reason);
}

void ConnectionController::engineFailed(ConnectionEngine::Reason reason, const QString& detail)
{
    if (current == State::Preparing || current == State::Connecting)
        fail(controllerReason(reason), detail);
}

void ConnectionController::engineDropped(ConnectionEngine::Reason reason, const QString& detail)
{
    if (current == State::Connected)
        drop(controllerReason(reason), detail);
    else if (current == State::Preparing || current == State::Connecting)
        fail(controllerReason(reason), detail);
}

void ConnectionController::addressArrived(const QString& address)
{
    const bool isServers = address == target.assignedIp;
    emit addressSeen(address, isServers);
    if (current != State::Connected)
        return;
    seenAddress = address;
    if (isServers) {
        confirmed = true;
        return;
    }
    drop(Reason::AddressChanged, address);
}

void ConnectionController::drop(Reason reason, const QString& detail)
{
    attemptEngine->endAttempt();
    check->cancel();
    seenAddress.clear();
    confirmed = false;
    if (clock.steadyMs() - connectedAtMs >= stableConnectionMs)
        drops = 0;
    if (drops >= int(std::size(redialPausesMs))) {
        drops = 0;
        lastOutcome = Outcome{Reason::KeptDropping, detail, 0};
        setState(State::Failed, Reason::KeptDropping);
        return;
    }
    const int pauseMs = redialPausesMs[drops++];
    lastOutcome = Outcome{reason, detail, 0};
    redialAtMs = clock.steadyMs() + pauseMs;
    redialTimer->start(pauseMs);
    countdownTimer->start(1000);
    setState(State::Reconnecting, reason);
}

void ConnectionController::redial()
{
    countdownTimer->stop();
    if (current != State::Reconnecting)
        return;
    attemptOrigin = Origin::Redial;
    startAttempt();
}
