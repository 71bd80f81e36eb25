// The public address check: confirms a tunnel and notices when it has dropped. The check
// itself is the address-check component; the window decides what an address means.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "monitor/addresscheck.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QTimer>

// The three-second status tick and the address check.
void LumtarMain::setUpMonitor()
{
    statusTimer = new QTimer(this);
    connect(statusTimer, SIGNAL(timeout()), this, SLOT(UpdateTimer()));
    statusTimer->start(3000);

    addressCheck = new AddressCheck(this);
    addressCheck->setObjectName(QStringLiteral("addressCheck"));
    connect(addressCheck, &AddressCheck::tunnelTick, this, &LumtarMain::checkTunnelAddress);
    connect(addressCheck, &AddressCheck::addressSeen, this, &LumtarMain::addressSeen);
    connect(addressCheck->manager(), SIGNAL(finished(QNetworkReply*)), this,
            SLOT(SetCurrentIP(QNetworkReply*)));
}

void LumtarMain::GetCurrentIP()
{
    addressCheck->ask();
}

void LumtarMain::SetCurrentIP(QNetworkReply* reply)
{
    addressCheck->answerArrived(reply);
}

void LumtarMain::watchTunnel()
{
    addressCheck->watchTunnel();
}

void LumtarMain::stopWatchingTunnel()
{
    addressCheck->stopWatchingTunnel();
}

void LumtarMain::cancelRedial()
{
    addressCheck->cancelRedial();
}

void LumtarMain::addressSeen(const QString& address)
{
    view->setAddress(address);
    const WindowState::Connection state = model->connection();
    if (model->server().assignedIp == address && state == WindowState::Connection::InProgress) {
        ipMatchTransition();
        return;
    }
    if (state == WindowState::Connection::Connected && model->server().assignedIp != address)
        handleDrop();
}

void LumtarMain::ipMatchTransition()
{
    enterConnectedState(tr("Connected! IP: ") + model->server().assignedIp);
}

void LumtarMain::handleDrop()
{
    trayBalloon(tr("Corvane connection dropped"),
                tr("Trying to reconnect on ") + model->server().name + QLatin1Char('.'));
    // The disconnect refills the lists, which writes the chosen server anew; the redial is to
    // the server that dropped.
    const WindowState::Server kept = model->server();
    const qint64 droppedMs = QDateTime::currentMSecsSinceEpoch();
    on_disconnect_clicked();
    model->setServer(kept);
    const std::optional<int> pauseMs = addressCheck->redialPause(droppedMs, redialPausesOverrideMs);
    if (!pauseMs) {
        offerConnectionLog = true;
        showCritical(tr("Connection dropped"),
                     tr("The connection to ") + kept.name +
                         tr(" kept dropping, so no further attempt is made. Please connect again "
                            "or choose another server."));
        offerConnectionLog = false;
        return;
    }
    const auto redial = [this, kept] {
        // Only from the idle page: the user may have connected elsewhere or logged out meanwhile.
        if (model->connection() != WindowState::Connection::Disconnected ||
            model->page() != WindowState::Page::Tabs)
            return;
        model->setServer(kept);
        on_connect_clicked();
    };
    if (*pauseMs <= 0) {
        redial();
        return;
    }
    view->setStatus(tr("Connection dropped - reconnecting in %1 s...").arg(*pauseMs / 1000));
    addressCheck->redialAfter(*pauseMs, redial);
}
