// The public address check: confirms a tunnel and notices when it has dropped.
#include "app/lumtarmain.h"

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
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return;
    const std::optional<QByteArray> body = readCappedBody(reply);
    if (!body)
        return;
    // An error page or a captive portal carries no address; it must never read as a drop.
    const std::optional<QString> address = echoedAddress(service::decodeBody(*body));
    if (!address)
        return;
    ui->ipCurrent->setText(*address);

    const QString state = ui->connectionStatus->text();
    if (ui->server_assignedIP->text() == ui->ipCurrent->text() && state == QLatin1String("in progress")) {
        ipMatchTransition();
        return;
    }
    if (state == QLatin1String("connected") && ui->server_assignedIP->text() != ui->ipCurrent->text())
        handleDrop();
}

void LumtarMain::ipMatchTransition()
{
    enterConnectedState(tr("Connected! IP: ") + ui->server_assignedIP->text());
}

void LumtarMain::handleDrop()
{
    trayBalloon(tr("Corvane connection dropped"),
                tr("Trying to reconnect on ") + ui->server_name->text() + QLatin1Char('.'));
    QLineEdit* const fields[] = {ui->server_name,     ui->server_ip,    ui->server_assignedIP,
                                 ui->server_protocol, ui->server_pskey, ui->server_certificate,
                                 ui->server_config};
    QStringList kept;
    for (QLineEdit* field : fields)
        kept << field->text();
    const bool wasStable = QDateTime::currentMSecsSinceEpoch() - lastConnectedMs >= stableConnectionMs;
    on_disconnect_clicked();
    for (int i = 0; i < kept.size(); ++i)
        fields[i]->setText(kept.at(i));
    if (wasStable)
        dropRedials = 0;
    if (dropRedials >= int(std::size(redialPausesMs))) {
        dropRedials = 0;
        offerConnectionLog = true;
        showCritical(tr("Connection dropped"),
                     tr("The connection to ") + kept.at(0) +
                         tr(" kept dropping, so no further attempt is made. Please connect again "
                            "or choose another server."));
        offerConnectionLog = false;
        return;
    }
    const int pauseMs = redialPausesOverrideMs >= 0 ? redialPausesOverrideMs : redialPausesMs[dropRedials];
    ++dropRedials;
    const auto redial = [this, kept] {
        // Only from the idle page: the user may have connected elsewhere or logged out meanwhile.
        if (ui->connectionStatus->text() != QLatin1String("disconnected") || ui->WingetConnected->isHidden())
            return;
        QLineEdit* const fields[] = {ui->server_name,     ui->server_ip,    ui->server_assignedIP,
                                     ui->server_protocol, ui->server_pskey, ui->server_certificate,
                                     ui->server_config};
        for (int i = 0; i < kept.size(); ++i)
            fields[i]->setText(kept.at(i));
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
