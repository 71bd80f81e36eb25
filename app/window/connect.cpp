// Connect, disconnect and cancel: the connection controller runs the connection; the window shows
// each of its states.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "connection/errortexts.h"
#include "connection/pppworker.h"
#include "monitor/statustexts.h"

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
    connect(connection, &ConnectionController::addressSeen, this,
            [this](const QString& address, bool isServers) {
                view->setAddress(address);
                if (isServers && connection->state() == State::Connected)
                    view->setStatus(tr("Connected! IP: ") + address);
            });
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
void LumtarMain::showConnection(State state, Reason reason)
{
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
    if (state == State::Connected) {
        model->showPage(WindowState::Page::Connected);
        view->setConnectedTexts(tr("Connected to ") + name + tr(" Server!"),
                                tr("You are now connected to ") + name +
                                    tr(" Server.\n Your connection is now secured."));
    } else if (state == State::Reconnecting) {
        model->showPage(WindowState::Page::Connecting);
        view->setConnectingTexts(tr("Reconnecting to ") + name,
                                 tr("The connection to %1 dropped.\nIt is dialled again shortly.").arg(name));
    } else if (attempting) {
        const QString protocol = quick ? quickConnectRun->entry().protocol : connection->server().protocol;
        model->showPage(WindowState::Page::Connecting);
        view->setConnectingTexts(
            (quick
                 ? QStringLiteral("%1/%2 - ").arg(quickConnectRun->stage()).arg(quickConnectRun->entryCount())
                 : QString()) +
                tr("Connecting to ") + name,
            protocol + tr(" connection to ") + name + tr("\nis in progress"));
    } else if (model->page() == WindowState::Page::Connecting ||
               model->page() == WindowState::Page::Connected) {
        // The user stays on the tab they were on.
        model->showPage(WindowState::Page::Tabs);
    }
}
