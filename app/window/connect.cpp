// Connect, disconnect and cancel: the connection controller runs the connection; the window shows
// each of its states.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/trayview.h"
#include "app/windowstate.h"
#include "connection/errortexts.h"
#include "connection/killswitch.h"
#include "connection/pppworker.h"
#include "core/clock.h"
#include "core/later.h"
#include "monitor/statustexts.h"
#include "update/updater.h"

#include <QDir>
#include <QProcess>
#include <QThread>

using State = ConnectionController::State;
using Reason = ConnectionController::Reason;

void LumtarMain::setUpConnection()
{
    connection = new ConnectionController(installationFolder(), this);
    connection->setObjectName(QStringLiteral("connection"));
    pppWorker = connection->engine()->worker();
    pppThread = connection->engine()->workerThread();
    connect(connection, &ConnectionController::stateChanged, this, &LumtarMain::showConnection);
    connect(connection, &ConnectionController::ticked, this, [this](State state, int seconds) {
        model->setElapsedSeconds(seconds);
        if ((state == State::Preparing || state == State::Connecting) && seconds > 3) {
            const QString stage = quickConnectRun->stageLabel();
            view->setStatus((stage.isEmpty() ? QString() : stage + QStringLiteral(": ")) +
                            progressText(seconds));
        } else if (state == State::Connected) {
            view->setStatus(seconds % 30 > 14 ? connectedForText(seconds)
                                              : tr("using IP ") + connection->server().assignedIp);
        }
    });
    connect(connection, &ConnectionController::logLine, this, &LumtarMain::appendConnectionLog);
    connect(connection, &ConnectionController::redialCountdown, this, [this](int secondsLeft) {
        view->setStatus(tr("Reconnecting to %1 in %2 s").arg(connection->server().name).arg(secondsLeft));
    });
    connect(
        connection, &ConnectionController::addressSeen, this, [this](const QString& address, bool isServers) {
            view->setAddress(address);
            if (connection->state() != State::Connected)
                return;
            // What the check saw, not what the server was meant to give.
            view->setConnectedAddress(isServers ? tr("Public address: %1").arg(address)
                                                : tr("Public address: %1 (not the server's)").arg(address));
            if (isServers)
                view->setStatus(tr("Connected! IP: ") + address);
        });
    connect(connection, &ConnectionController::trafficCounted, this, [this](quint64 received, quint64 sent) {
        view->setConnectedTraffic(tr("Traffic: %1").arg(trafficText(received, sent)));
    });
    connectedClock = Clock::current().newTimer(this);
    connectedClock->setObjectName(QStringLiteral("connectedClock"));
    connect(connectedClock, &ClockTimer::timeout, this, &LumtarMain::showConnectedTime);
    connect(connection, &ConnectionController::stepReached, this, [this](ConnectionEngine::Step step) {
        const QString stage = quickConnectRun->stageLabel();
        const auto staged = [&stage](const QString& separator, const QString& text) {
            return stage.isEmpty() ? text : stage + separator + text;
        };
        switch (step) {
        case ConnectionEngine::Step::CertificateRequested:
            view->setStatus(staged(QStringLiteral(" "), tr("downloading OpenVPN certificate...")));
            break;
        case ConnectionEngine::Step::ConfigRequested:
            view->setStatus(staged(QStringLiteral(" "), tr("downloading OpenVPN profile config...")));
            break;
        case ConnectionEngine::Step::ProgramStarting:
            view->setStatus(staged(QStringLiteral(": "), tr("starting connection")));
            break;
        }
    });

    KillSwitch* block = connection->killSwitch();
    connect(block, &KillSwitch::stateChanged, this, [this, block](KillSwitch::State state) {
        showConnectionPage();
        if (state == KillSwitch::State::Unavailable)
            appendConnectionLog(
                tr("The internet could not be blocked outside the tunnel: %1").arg(block->problem()));
    });
    // What a run that crashed or was killed left in force has just been removed. The version
    // check went out before, into the block.
    if (block->leftoverRemoved()) {
        updater->checkAgain();
        later(this, [this] {
            messageBox(QMessageBox::Information, tr("Internet block removed"),
                       tr("The internet was still blocked by an earlier run of Corvane that did not end "
                          "normally. The block has been removed."));
        });
    }
}

QProcess* LumtarMain::openVpnChild() const
{
    return connection->engine()->process();
}

void LumtarMain::PPPDisconnect()
{
    connection->engine()->hangUp();
}

void LumtarMain::PPPStarted() {}

QString LumtarMain::getPPPErrorText(int error_code)
{
    return pppErrorText(error_code);
}

// Starts an attempt to the chosen server, or says why none can start.
void LumtarMain::on_connect_clicked()
{
    quickConnectRun->cancel();
    model->setElapsedSeconds(0);
    switch (
        connection->connectTo(model->server(), view->userName(), view->password(), model->accountEnabled())) {
    case Reason::None:
        return;
    case Reason::AccountDisabled:
        messageBox(QMessageBox::Critical, tr("Your account is disabled"),
                   tr("VPN connections are not available for your account. You need to subscribe "
                      "to one of our plans. \nFor more details please visit our site."));
        return;
    case Reason::NoProfile:
        // Without a profile there is nothing to download; another server's files must not be used.
        messageBox(QMessageBox::Critical, tr("No OpenVPN profile"),
                   tr("This server offers no OpenVPN profile. Please choose another protocol or "
                      "another server."));
        return;
    default:
        // Nothing could be started; the connecting page would wait for ever.
        messageBox(QMessageBox::Critical, tr("No connection protocol"),
                   tr("This server offers no connection protocol this application can use. "
                      "Please choose another server."));
        return;
    }
}

void LumtarMain::on_disconnect_clicked()
{
    quickConnectRun->cancel();
    connection->disconnect();
}

void LumtarMain::on_cancel_clicked()
{
    on_disconnect_clicked();
}

// What each step of the connection does once: the status line, the balloon, the failure box.
// What happened, for the connection log: where each attempt goes, and why each one ended.
void LumtarMain::logConnection(State state, Reason reason)
{
    const ConnectionController::Server& server = connection->server();
    switch (state) {
    case State::Preparing:
    case State::Connecting: {
        // The program's start is a step of the same attempt.
        if (state == State::Connecting && server.protocol == QLatin1String("OpenVPN"))
            return;
        QString what = tr("Connecting to %1 (%2) by %3").arg(server.name, server.ip, server.protocol);
        if (server.protocol == QLatin1String("OpenVPN") &&
            connection->origin() == ConnectionController::Origin::User)
            what += tr(", profile %1").arg(view->currentText(FormView::List::Types));
        if (connection->origin() == ConnectionController::Origin::QuickConnect)
            what =
                tr("Quick Connect %1/%2: ").arg(quickConnectRun->stage()).arg(quickConnectRun->entryCount()) +
                what;
        else if (connection->origin() == ConnectionController::Origin::Redial)
            what = tr("Redial: ") + what;
        appendConnectionLog(what);
        return;
    }
    case State::Connected:
        appendConnectionLog(tr("Connected to %1").arg(server.name));
        return;
    case State::Reconnecting:
        appendConnectionLog(tr("The connection to %1 dropped: %2. Dialling again in %3 s.")
                                .arg(server.name, outcomeText(connection->outcome()))
                                .arg(connection->redialSecondsLeft()));
        return;
    case State::Disconnecting:
        return;
    case State::Idle:
        if (reason != Reason::None)
            appendConnectionLog(tr("Ended: %1").arg(reasonText(reason)));
        return;
    case State::Failed:
        // A Quick Connect run tells its entries' ends; a failure box tells its own.
        if (quickConnectRun->running())
            appendConnectionLog(tr("Quick Connect %1/%2 failed: %3")
                                    .arg(quickConnectRun->stage())
                                    .arg(quickConnectRun->entryCount())
                                    .arg(outcomeText(connection->outcome())));
        return;
    }
}

void LumtarMain::showConnection(State state, Reason reason)
{
    logConnection(state, reason);
    if (state != State::Connected)
        connectedClock->stop();
    model->setConnection(state);
    model->setElapsedSeconds(0);
    showConnectionPage();
    const QString name = connection->server().name;
    // A Quick Connect run takes its entries' outcomes and speaks for them.
    const bool quick = quickConnectRun->running();
    switch (state) {
    case State::Preparing:
    case State::Connecting:
        // The program's start is an OpenVPN step of its own, told by the engine.
        if (state == State::Connecting && connection->server().protocol == QLatin1String("OpenVPN"))
            break;
        view->setAddress(QStringLiteral("updating..."));
        view->setStatus(quick ? quickConnectRun->stageLabel() + tr(" in progress...") : tr("Connecting..."));
        break;
    case State::Connected:
        view->setStatus(tr("connected"));
        view->setConnectedDetails(name, connection->server().protocol);
        view->setConnectedAddress(tr("Public address: checking..."));
        view->setConnectedTraffic(tr("Traffic: -"));
        showConnectedTime();
        connectedClock->start(1000);
        setWindowState(Qt::WindowMinimized);
        trayBalloon(tr("Corvane is now connected!"),
                    tr("You are now connected to ") + name + QLatin1Char('.'));
        break;
    case State::Reconnecting:
        view->setAddress(QString());
        view->setStatus(tr("Reconnecting to %1 in %2 s").arg(name).arg(connection->redialSecondsLeft()));
        trayBalloon(tr("Corvane connection dropped"),
                    tr("Trying to reconnect on ") + name + QLatin1Char('.'));
        break;
    case State::Disconnecting:
        view->setAddress(QString());
        view->setStatus(tr("Disconnecting..."));
        break;
    case State::Idle:
    case State::Failed:
        view->setAddress(QString());
        if (quick)
            break;
        if (state == State::Idle && reason == Reason::UserRequest)
            view->setStatus(tr("Ready!"));
        if (state == State::Failed)
            showConnectionFailure();
        // The account and the lists are read again once a connection has ended.
        GetUserData();
        PopulateServers();
        break;
    }
}

// The page and buttons for where the connection and a Quick Connect run stand.
void LumtarMain::showConnectionPage()
{
    const State state = connection->state();
    const bool quick = quickConnectRun->running();
    const bool attempting = quick || state == State::Preparing || state == State::Connecting;
    const bool running = attempting || state == State::Connected || state == State::Reconnecting;
    view->setListsEnabled(!running);
    view->setLogoutEnabled(!running);
    view->setLogoutShown(state != State::Connected);
    view->setConnectShown(!running);
    view->setConnectText(tr("connect"));
    // Disabled only with its reason on the status line.
    view->setConnectEnabled(state != State::Disconnecting);
    view->setQuickConnectEnabled(!running && state != State::Disconnecting);
    view->setDisconnectShown(state == State::Connected);
    view->setDisconnectEnabled(state == State::Connected);
    view->setCancelShown(attempting || state == State::Reconnecting);
    view->setCancelEnabled(true);
    view->setBusy(attempting);
    const QString name = quick ? quickConnectRun->entry().name : connection->server().name;
    // Blocked outside the tunnel while no tunnel carries traffic: the user is told, and
    // Cancel, Disconnect (also in the tray) or a connection ends it.
    const bool blocked =
        state != State::Connected && connection->killSwitch()->state() == KillSwitch::State::Blocking;
    const QString blockedText = tr("Internet blocked until the VPN connects");
    tray->setState(state == State::Connected ? TrayView::State::Connected
                   : blocked                 ? TrayView::State::Blocked
                   : running                 ? TrayView::State::Connecting
                                             : TrayView::State::Disconnected,
                   name);
    if (state == State::Connected) {
        model->showPage(WindowState::Page::Connected);
        const QString dnsProblem = connection->engine()->tunnelDnsProblem();
        view->setConnectedTexts(connectedTitle(name),
                                dnsProblem.isEmpty()
                                    ? connectedMessage(name)
                                    : connectedMessage(name) + QLatin1Char('\n') + dnsProblem);
    } else if (state == State::Reconnecting) {
        model->showPage(WindowState::Page::Connecting);
        view->setConnectingTexts(tr("Reconnecting to ") + name,
                                 tr("The connection to %1 dropped.\nIt is dialled again shortly.").arg(name) +
                                     (blocked ? QLatin1Char('\n') + blockedText : QString()));
    } else if (attempting) {
        const QString protocol = quick ? quickConnectRun->entry().protocol : connection->server().protocol;
        model->showPage(WindowState::Page::Connecting);
        view->setConnectingTexts(
            (quick
                 ? QStringLiteral("%1/%2 - ").arg(quickConnectRun->stage()).arg(quickConnectRun->entryCount())
                 : QString()) +
                tr("Connecting to ") + name,
            protocol + tr(" connection to ") + name + tr("\nis in progress") +
                (blocked ? QLatin1Char('\n') + blockedText : QString()));
    } else if (model->page() == WindowState::Page::Connecting ||
               model->page() == WindowState::Page::Connected) {
        // The user stays on the tab they were on.
        model->showPage(WindowState::Page::Tabs);
    }
    if (!running)
        showHeldBlock();
}

// The strict setting holds the block after a failure, until the user disconnects: the status
// line says so, also over the failure's own words.
void LumtarMain::showHeldBlock()
{
    if (connection->state() != State::Connected &&
        connection->killSwitch()->state() == KillSwitch::State::Blocking)
        view->setStatus(tr("Internet blocked until the VPN connects") +
                        tr(" - Disconnect in the tray menu lifts it"));
}

void LumtarMain::showConnectedTime()
{
    const QString time = durationText(connection->connectedSeconds());
    view->setConnectedTime(tr("Connected for: %1").arg(time));
    tray->setConnectedTime(time);
}
