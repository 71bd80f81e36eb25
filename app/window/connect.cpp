// Connect, disconnect and cancel: starting an attempt and tearing everything down again.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "connection/connectionengine.h"
#include "connection/errortexts.h"
#include "connection/pppworker.h"
#include "connection/protocols.h"

#include <QThread>
#include <QTimer>

QProcess* LumtarMain::openVpnChild() const
{
    return connection->process();
}

// Hangs up, stops the worker thread, ends the program politely (waiting here) and removes
// the work files.
void LumtarMain::tearDownConnection()
{
    delete connection;
    connection = nullptr;
}

void LumtarMain::PPPDisconnect()
{
    connection->hangUp();
}

void LumtarMain::PPPStarted() {}

QString LumtarMain::getPPPErrorText(int error_code)
{
    return pppErrorText(error_code);
}

void LumtarMain::on_connect_clicked()
{
    cancelRedial();
    view->setBusy(true);
    model->setElapsedSeconds(0);
    if (!model->accountEnabled()) {
        showCritical(tr("Your account is disabled"),
                     tr("VPN connections are not available for your account. You need to subscribe "
                        "to one of our plans. \nFor more details please visit our site."));
        return;
    }
    if (model->server().protocol == QLatin1String("OpenVPN") &&
        (model->server().certificate.isEmpty() || model->server().config.isEmpty())) {
        // Without a profile there is nothing to download; another server's files must not be used.
        view->setBusy(false);
        showCritical(tr("No OpenVPN profile"),
                     tr("This server offers no OpenVPN profile. Please choose another protocol or "
                        "another server."));
        return;
    }
    if (!isKnownProtocol(model->server().protocol)) {
        // Nothing could be started; the connecting page would wait for ever.
        view->setBusy(false);
        showCritical(tr("No connection protocol"),
                     tr("This server offers no connection protocol this application can use. "
                        "Please choose another server."));
        return;
    }

    connection->endAttempt();

    view->setConnectEnabled(false);
    view->setConnectShown(false);
    view->setStatus(tr("Connecting..."));
    view->setAddress(QStringLiteral("updating..."));
    model->setConnection(WindowState::Connection::None);
    view->setListsEnabled(false);
    view->setLogoutEnabled(false);
    view->setConnectEnabled(false);
    view->setConnectText(tr("Connecting..."));
    model->showPage(WindowState::Page::Connecting);
    view->setConnectingTexts(tr("Connecting to ") + model->server().name,
                             model->server().protocol + tr(" connection to ") + model->server().name +
                                 tr("\nis in progress"));
    view->setCancelShown(true);
    view->setCancelEnabled(true);

    startAttempt();
    processPendingEvents();
}

// Starts the attempt the server detail fields describe: a dial for PPTP and L2TP, the
// downloads for OpenVPN, nothing for any other protocol.
void LumtarMain::startAttempt()
{
    const QString protocol = model->server().protocol;
    if (protocol == QLatin1String("PPTP") || protocol == QLatin1String("L2TP")) {
        startDialThread();
    } else if (protocol == QLatin1String("OpenVPN")) {
        model->setConnection(WindowState::Connection::InProgress);
        OpenVPNConnectStage0();
    }
}

void LumtarMain::on_disconnect_clicked()
{
    view->setCancelShown(false);
    view->setDisconnectEnabled(false);
    view->setStatus(tr("Disconnecting..."));
    view->setAddress(QString());
    processPendingEvents();

    stopWatchingTunnel();
    // A dial still blocked in its thread writes its outcome when it returns; the teardown marks
    // it stopped before hanging up, so that return reads as "disconnected", not as a failure.
    const bool dialPending = pppThread->isRunning() && pppWorker->resultCodeText().isEmpty();
    // The one teardown: thread, dial, program, pending downloads and work files.
    connection->endAttempt();
    if (!dialPending)
        pppWorker->setStatusAndResultCode(QString(), QString());
    model->setConnection(WindowState::Connection::Disconnected);
    view->setStatus(tr("Ready!"));

    view->setDisconnectShown(false);
    view->setConnectText(tr("connect"));
    view->setConnectEnabled(false);
    view->setQuickConnectEnabled(false);
    view->setConnectShown(true);
    model->setQuickStage(0);
    stopQuickConnectPause();
    view->setListsEnabled(true);
    view->setBusy(false);
    view->setLogoutShown(true);
    view->setLogoutEnabled(true);

    model->showPage(WindowState::Page::Tabs);
    view->showTab(0);
    processPendingEvents();

    GetUserData();
    PopulateServers();

    model->setElapsedSeconds(0);
    view->setBusy(false);
    processPendingEvents();
}

void LumtarMain::on_cancel_clicked()
{
    on_disconnect_clicked();
    model->setConnection(WindowState::Connection::Disconnected);
    pppWorker->setStatus(QStringLiteral("stop"));
}

// Copies the chosen server into the worker and starts its thread, which runs one dial.
void LumtarMain::startDialThread()
{
    pppWorker->protocol = model->server().protocol;
    pppWorker->preSharedKey = model->server().preSharedKey;
    pppWorker->serverAddress = model->server().ip;
    pppWorker->userName = view->userName();
    pppWorker->password = view->password();
    pppWorker->serverName = model->server().name;
    if (connection->startDial())
        return;
    // The previous dial is still blocked; this one would silently never run.
    const bool quick = model->quickStage() > 0;
    on_disconnect_clicked();
    showCritical(tr("Cannot connect"),
                 tr("The previous connection attempt is still ending. Please wait a moment and "
                    "connect again.") +
                     (quick ? tr(" Quick Connect has stopped.") : QString()));
}
