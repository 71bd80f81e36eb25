#include "connection/killswitch.h"

#include "core/clock.h"
#include "core/logging.h"
#include "core/settingskeys.h"

#include <QHostInfo>
#include <QMetaEnum>
#include <QSettings>
#include <QUrl>

namespace {

bool isDial(const QString& protocol)
{
    return protocol == QLatin1String("PPTP") || protocol == QLatin1String("L2TP");
}

template <typename Enum> const char* nameOf(Enum value)
{
    return QMetaEnum::fromType<Enum>().valueToKey(int(value));
}

} // namespace

KillSwitch::KillSwitch(ConnectionController* controller, std::unique_ptr<KillSwitchBlock> block,
                       QObject* parent)
    : QObject(parent), connection(controller), means_(std::move(block)),
      chosen(killSwitchModeFromSetting(QSettings().value(SettingsKeys::killSwitch)))
{
    // Before the window's own slot: a failure box can then say whether the block was lifted.
    connect(connection, &ConnectionController::stateChanged, this, &KillSwitch::connectionChanged);
    connect(connection->engine(), &ConnectionEngine::serversChosen, this, &KillSwitch::serversChosen);
    connect(connection->engine(), &ConnectionEngine::tunnelDeviceOpened, this,
            &KillSwitch::tunnelDeviceOpened);
    leftover = means_->removeLeftover();
    if (leftover)
        qCWarning(lcConnection).noquote()
            << "kill switch: removed the block an earlier run left in force (" << means_->means() << ")";
    qCInfo(lcConnection).noquote() << "kill switch:" << killSwitchSettingText(chosen) << "by"
                                   << means_->means();
}

KillSwitch::~KillSwitch()
{
    means_->lift();
}

QString KillSwitch::means() const
{
    return means_->means();
}

void KillSwitch::setMode(KillSwitchMode mode)
{
    // The user's choice is kept even where it is the default, which may change.
    QSettings().setValue(SettingsKeys::killSwitch, killSwitchSettingText(mode));
    if (mode == chosen)
        return;
    chosen = mode;
    qCInfo(lcConnection).noquote() << "kill switch: setting now" << killSwitchSettingText(mode);
    if (!session)
        return;
    const ConnectionController::State state = connection->state();
    // The strict setting held a block after a failure; any other one lifts it.
    if ((state == ConnectionController::State::Failed || state == ConnectionController::State::Idle) &&
        mode != KillSwitchMode::Always) {
        lift(State::Off, Reason::SettingChanged);
        return;
    }
    if (current == State::Blocking || current == State::Guarding || current == State::Unavailable)
        enforce(Reason::SettingChanged);
}

void KillSwitch::quickConnectEnded(bool failedForGood)
{
    if (failedForGood && session && connection->state() == ConnectionController::State::Failed)
        endForGood();
}

void KillSwitch::serversChosen(const QVector<ServerEndpoint>& servers)
{
    if (!session)
        return;
    for (const ServerEndpoint& server : servers)
        allow(server.host, server.port, server.transport);
    enforce(Reason::ServerKnown);
}

void KillSwitch::tunnelDeviceOpened(const QString& device)
{
    if (!session || wanted.tunnelDevices == QStringList{device})
        return;
    wanted.tunnelDevices = QStringList{device};
    enforce(Reason::TunnelDevice);
}

void KillSwitch::connectionChanged(ConnectionController::State state, ConnectionController::Reason)
{
    using Connection = ConnectionController::State;
    switch (state) {
    case Connection::Preparing:
    case Connection::Connecting:
        if (!session) {
            session = true;
            resolved.clear();
            wanted = BlockRules();
        }
        allowServer(connection->server());
        // A dial's server is all it needs. An OpenVPN attempt's servers are known once its
        // configuration has been checked; then the block goes up (serversChosen), and it stays
        // up for the attempts that follow.
        if (isDial(connection->server().protocol) || current == State::Blocking || current == State::Guarding)
            enforce(Reason::ServerKnown);
        break;
    case Connection::Connected:
    case Connection::Reconnecting:
        // Already in force: a drop finds the block up before anyone is told.
        break;
    case Connection::Failed:
        // A Quick Connect run goes on to its next entry, or ends and says so itself.
        if (connection->origin() != ConnectionController::Origin::QuickConnect)
            endForGood();
        break;
    case Connection::Idle:
    case Connection::Disconnecting:
        if (session || current != State::Off)
            lift(State::Off, Reason::UserEnded);
        break;
    }
}

void KillSwitch::allowServer(const ConnectionController::Server& server)
{
    // A dial's server takes its own protocols (GRE, ESP) too; an OpenVPN attempt's servers come
    // with their ports once its configuration is checked.
    if (isDial(server.protocol))
        allow(server.ip, 0, QString());
    // The service that hands out the profiles: a redial fetches them again under the block.
    for (const QString& address : {server.certificate, server.config}) {
        const QUrl url(address);
        if (url.isValid() && !url.host().isEmpty())
            allow(url.host(), quint16(url.port(url.scheme() == QLatin1String("http") ? 80 : 443)),
                  QStringLiteral("tcp"));
    }
}

void KillSwitch::allow(const QString& host, quint16 port, const QString& transport)
{
    if (host.isEmpty())
        return;
    QList<QHostAddress> addresses;
    const QHostAddress literal(host);
    if (!literal.isNull()) {
        addresses << literal;
    } else if (resolved.contains(host)) {
        addresses = resolved.value(host);
    } else {
        // Asked once per connection, before its block is up where it can be; later attempts
        // under the block use these addresses.
        const QHostInfo info = QHostInfo::fromName(host);
        addresses = info.addresses();
        resolved.insert(host, addresses);
        if (addresses.isEmpty())
            qCWarning(lcConnection).noquote()
                << "kill switch: cannot resolve" << host << "-" << info.errorString();
    }
    for (const QHostAddress& address : addresses) {
        const AllowedEndpoint endpoint{address, port, transport};
        const AllowedEndpoint anyPort{address, 0, QString()};
        if (!wanted.allowed.contains(endpoint) && !wanted.allowed.contains(anyPort))
            wanted.allowed.append(endpoint);
    }
}

void KillSwitch::endForGood()
{
    if (chosen == KillSwitchMode::Always && current == State::Blocking) {
        // Held until the user disconnects or quits; the tunnel's device is gone.
        wanted.tunnelDevices.clear();
        enforce(Reason::EndedForGood);
        emit stateChanged(current, Reason::EndedForGood);
        return;
    }
    lift(State::Lifted, Reason::EndedForGood);
}

void KillSwitch::lift(State next, Reason reason)
{
    means_->lift();
    session = false;
    inForce = BlockRules();
    wanted = BlockRules();
    sinceMs = 0;
    why.clear();
    // Nothing was up: nothing is said to be lifted.
    if (next == State::Lifted && (current == State::Off || current == State::Unavailable))
        next = State::Off;
    if (current == next)
        return;
    setState(next, reason);
}

void KillSwitch::enforce(Reason reason)
{
    if (!session)
        return;
    BlockRules rules = wanted;
    rules.everything = chosen != KillSwitchMode::Off;
    const State next = rules.everything ? State::Blocking : State::Guarding;
    if (rules == inForce && current == next)
        return;
    QString error;
    if (!means_->apply(rules, &error)) {
        why = error;
        qCWarning(lcConnection).noquote()
            << "kill switch: the block was not put in force by" << means_->means() << "-" << error;
        setState(State::Unavailable, Reason::ApplyFailed);
        return;
    }
    if (current != State::Blocking && current != State::Guarding)
        sinceMs = Clock::current().steadyMs();
    inForce = rules;
    why.clear();
    setState(next, reason);
}

void KillSwitch::setState(State next, Reason reason)
{
    if (next == current && reason != Reason::ServerKnown && reason != Reason::TunnelDevice)
        return;
    if (next != current)
        qCInfo(lcConnection).nospace().noquote()
            << "kill switch: " << nameOf(current) << " -> " << nameOf(next) << " (" << nameOf(reason) << ")";
    current = next;
    emit stateChanged(next, reason);
}
