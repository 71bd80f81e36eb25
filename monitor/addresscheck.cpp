#include "monitor/addresscheck.h"

#include "core/logging.h"
#include "monitor/addresscut.h"
#include "service/documents.h"
#include "service/endpoints.h"
#include "service/network.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

AddressCheck::AddressCheck(QObject* parent) : QObject(parent), echo(new QNetworkAccessManager(this))
{
    connect(echo, &QNetworkAccessManager::finished, this, &AddressCheck::answerArrived);
}

void AddressCheck::ask()
{
    QNetworkRequest request = noCacheRequest(QUrl(service::ipEchoUrl(), QUrl::TolerantMode));
    // A connection kept from before a tunnel change would run through a route that is gone.
    request.setRawHeader("Connection", "close");
    // A check through a dead tunnel never answers; its deadline gives it up.
    requests.get(echo, request, RequestPurpose::AddressCheck);
}

void AddressCheck::cancel()
{
    for (QNetworkReply* reply : echo->findChildren<QNetworkReply*>())
        reply->abort();
}

void AddressCheck::answerArrived(QNetworkReply* reply)
{
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body)
        return;
    const std::optional<QString> address = echoedAddress(service::decodeBody(*body));
    if (!address)
        return;
    qCDebug(lcMonitor) << "public address" << *address;
    emit addressSeen(*address);
}
