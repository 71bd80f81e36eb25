// The public address check: confirms a tunnel and notices when it has dropped.
#include "app/lumtarmain.h"

#include "monitor/addresscut.h"
#include "service/documents.h"
#include "service/endpoints.h"
#include "service/network.h"
#include "ui_lumtarmain.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

void LumtarMain::GetCurrentIP()
{
    getCapped(currentIpManager, noCacheRequest(QUrl(service::ipEchoUrl(), QUrl::TolerantMode)));
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
    on_disconnect_clicked();
    for (int i = 0; i < kept.size(); ++i)
        fields[i]->setText(kept.at(i));
    on_connect_clicked();
}
