// The public address check: confirms a tunnel and notices when it has dropped.
#include "app/logging.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "monitor/addresscut.h"
#include "service/documents.h"
#include "service/endpoints.h"
#include "service/network.h"
#include "ui_lumtarmain.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <iterator>

namespace {
// The address check is given up after this long; a check through a dead tunnel never answers.
constexpr int addressCheckTimeoutMs = 4000;
// Redials of a connection that keeps dropping wait longer each time, and stop after the last.
constexpr int redialPausesMs[] = {3000, 10000, 30000};
// A connection that stayed up this long counts as good again.
constexpr qint64 stableConnectionMs = 3 * 60 * 1000;
} // namespace

void LumtarMain::GetCurrentIP()
{
    QNetworkRequest request = noCacheRequest(QUrl(service::ipEchoUrl(), QUrl::TolerantMode));
    request.setTransferTimeout(addressCheckTimeoutMs);
    // A connection kept from before a tunnel change would run through a route that is gone.
    request.setRawHeader("Connection", "close");
    getCapped(currentIpManager, request);
}

void LumtarMain::SetCurrentIP(QNetworkReply* reply)
{
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body)
        return;
    // An error page or a captive portal carries no address; it must never read as a drop.
    const std::optional<QString> address = echoedAddress(service::decodeBody(*body));
    if (!address)
        return;
    ui->ipCurrent->setText(*address);
    qCDebug(lcMonitor) << "public address" << *address << "expected" << model->server().assignedIp;

    const WindowState::Connection state = model->connection();
    if (model->server().assignedIp == *address && state == WindowState::Connection::InProgress) {
        ipMatchTransition();
        return;
    }
    if (state == WindowState::Connection::Connected && model->server().assignedIp != *address)
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
    const bool wasStable = QDateTime::currentMSecsSinceEpoch() - lastConnectedMs >= stableConnectionMs;
    on_disconnect_clicked();
    model->setServer(kept);
    if (wasStable)
        dropRedials = 0;
    if (dropRedials >= int(std::size(redialPausesMs))) {
        dropRedials = 0;
        offerConnectionLog = true;
        showCritical(tr("Connection dropped"),
                     tr("The connection to ") + kept.name +
                         tr(" kept dropping, so no further attempt is made. Please connect again "
                            "or choose another server."));
        offerConnectionLog = false;
        return;
    }
    const int pauseMs = redialPausesOverrideMs >= 0 ? redialPausesOverrideMs : redialPausesMs[dropRedials];
    ++dropRedials;
    const auto redial = [this, kept] {
        // Only from the idle page: the user may have connected elsewhere or logged out meanwhile.
        if (model->connection() != WindowState::Connection::Disconnected ||
            model->page() != WindowState::Page::Tabs)
            return;
        model->setServer(kept);
        on_connect_clicked();
    };
    if (pauseMs <= 0) {
        redial();
        return;
    }
    ui->authstatus->setText(tr("Connection dropped - reconnecting in %1 s...").arg(pauseMs / 1000));
    if (!redialTimer) {
        redialTimer = new QTimer(this);
        redialTimer->setObjectName(QStringLiteral("redialTimer"));
        redialTimer->setSingleShot(true);
    }
    redialTimer->disconnect();
    connect(redialTimer, &QTimer::timeout, this, redial);
    redialTimer->start(pauseMs);
}
