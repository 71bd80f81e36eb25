// Quick Connect: tries the service's ready-made entries one after another until one connects.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "connection/connectionengine.h"
#include "connection/pppworker.h"
#include "core/logging.h"
#include "quickconnect/quickconnectrun.h"
#include "quickconnect/quicklist.h"

#include <QThread>
#include <QTimer>

void LumtarMain::setUpQuickConnect()
{
    quickConnectRun = new QuickConnectRun(this);
    quickConnectRun->setObjectName(QStringLiteral("quickConnectRun"));
    connect(quickConnectRun, &QuickConnectRun::pauseOver, this, &LumtarMain::quickConnectDialAfterPause);
}

QString LumtarMain::quickStageLabel() const
{
    return quickStageText(model->quickStage(), model->quickServers());
}

void LumtarMain::on_quickConnect_clicked()
{
    model->setElapsedSeconds(0);
    view->setQuickConnectEnabled(false);
    view->setConnectEnabled(false);
    QuickConnectNextStage();
}

void LumtarMain::QuickConnectNextStage()
{
    const QStringList entries = quickEntries(model->quickServers());
    // An entry of a protocol this client cannot start is passed over.
    const int k = nextStartableEntry(entries, model->quickStage());
    if (k < 0) {
        tearDownAttempt();
        model->setElapsedSeconds(0);
        model->setQuickStage(0);
        // Back to the idle page first, so no tick reports the torn-down attempt a second time.
        on_disconnect_clicked();
        showCritical(tr("Connection Error"),
                     tr("We tested all available protocols (PPTP, L2TP and OpenVPN) on multiple "
                        "servers and it was not possible to connect to any VPN Server. Please check "
                        "your internet connection and set your computer firewall/security to allow "
                        "this application to access internet on all ports and try to connect "
                        "again. Also make sure to disable any proxy setting if you have installed a "
                        "proxy."));
        return;
    }
    const QuickEntry entry = quickEntry(entries.at(k));
    qCDebug(lcQuickConnect) << "entry" << k + 1 << "of" << entries.size() << entry.protocol;
    model->setServerName(entry.name);
    model->setServerIp(entry.address);
    model->setServerAssignedIp(entry.address);
    model->setServerProtocol(entry.protocol);
    if (entry.protocol == QLatin1String("OpenVPN")) {
        model->setServerCertificate(entry.keyOrCertificate);
        model->setServerConfig(entry.config);
    } else if (entry.protocol == QLatin1String("L2TP")) {
        model->setServerPreSharedKey(entry.keyOrCertificate);
    }
    processPendingEvents();
    model->setQuickStage(k + 1);
    quickConnectDial();
}

void LumtarMain::quickConnectDial()
{
    view->setBusy(true);
    if (!model->accountEnabled()) {
        showCritical(
            tr("Your account is disabled"),
            QStringLiteral("VPN connections are not available for your account. You need to subscribe "
                           "to a plan to make account enabled. \nFor more details please visit our "
                           "site."));
        // The run is over; leaving it open would keep Quick Connect disabled for good. An
        // earlier attempt of the run is still up or failed: the disconnect ends it without a
        // further report of it.
        if (model->quickStage() > 1 && model->page() == WindowState::Page::Connecting) {
            on_disconnect_clicked();
        } else {
            model->setQuickStage(0);
            view->setBusy(false);
        }
        return;
    }
    // The pause separates two attempts; entries skipped before the first attempt do not count.
    const bool laterAttempt = model->quickStage() > 1 && model->page() == WindowState::Page::Connecting;
    tearDownAttempt();
    const int entryCount = quickEntryCount(model->quickServers());
    view->setAddress(QStringLiteral("updating..."));
    view->setLogoutEnabled(false);
    view->setConnectText(tr("Connecting..."));
    processPendingEvents();
    model->setConnection(WindowState::Connection::Disconnected);
    model->setElapsedSeconds(0);
    model->showPage(WindowState::Page::Connecting);
    view->setConnectingTexts(QString::number(model->quickStage()) + QLatin1Char('/') +
                                 QString::number(entryCount) + tr(" - Connecting to ") + model->server().name,
                             model->server().protocol + tr(" connection to ") + model->server().name +
                                 tr("\nis in progress"));
    view->setCancelShown(true);
    view->setCancelEnabled(true);
    if (laterAttempt)
        view->setStatus(tr("Initiating another method. Please wait..."));
    view->setBusy(false);
    processPendingEvents();
    if (!laterAttempt) {
        quickConnectDialAfterPause();
        return;
    }
    // The pause between attempts keeps the window responsive; cancel stops it.
    quickConnectRun->pause(quickConnectPauseMs);
}

void LumtarMain::quickConnectDialAfterPause()
{
    view->setBusy(true);
    processPendingEvents();
    view->setStatus(quickStageLabel() + tr(" in progress..."));
    // Ticks went on during the pause; the attempt still gets its whole allowance.
    model->setElapsedSeconds(0);
    startAttempt();
    processPendingEvents();
}

// Stops whatever an earlier attempt left running, whatever its protocol.
void LumtarMain::tearDownAttempt()
{
    stopWatchingTunnel();
    connection->endAttempt();
    pppWorker->setStatus(QStringLiteral("stop"));
}

void LumtarMain::stopQuickConnectPause()
{
    quickConnectRun->stop();
}
