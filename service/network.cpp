#include "service/network.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {
int transferTimeoutOverride = 0;
qint64 sizeLimitOverride = 0;
} // namespace

int serviceTransferTimeout()
{
    return transferTimeoutOverride > 0 ? transferTimeoutOverride : serviceTransferTimeoutMs;
}

qint64 documentSizeLimit()
{
    return sizeLimitOverride > 0 ? sizeLimitOverride : documentSizeCap;
}

void setServiceTransferTimeoutForTesting(int ms)
{
    transferTimeoutOverride = ms;
}

void setDocumentSizeLimitForTesting(qint64 bytes)
{
    sizeLimitOverride = bytes;
}

QNetworkRequest plainRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(serviceTransferTimeout());
    return request;
}

QNetworkRequest noCacheRequest(const QUrl& url)
{
    QNetworkRequest request = plainRequest(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return request;
}

QNetworkReply* getCapped(QNetworkAccessManager* manager, const QNetworkRequest& request, qint64 cap)
{
    QNetworkReply* reply = manager->get(request);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, cap](qint64 received, qint64 total) {
                         if (received > cap || total > cap)
                             reply->abort();
                     });
    return reply;
}

std::optional<QByteArray> readCappedBody(QNetworkReply* reply, qint64 cap)
{
    if (reply->bytesAvailable() > cap)
        return std::nullopt;
    return reply->readAll();
}

std::optional<QByteArray> takeReply(QNetworkReply* reply, qint64 cap)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return std::nullopt;
    return readCappedBody(reply, cap);
}

bool isWebUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
