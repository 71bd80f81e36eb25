#include "monitor/addresscheck.h"

#include "core/logging.h"
#include "monitor/addresscut.h"
#include "service/documents.h"
#include "service/endpoints.h"
#include "service/network.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <iterator>

namespace {
// Redials of a connection that keeps dropping wait longer each time, and stop after the last.
constexpr int redialPausesMs[] = {3000, 10000, 30000};
// A connection that stayed up this long counts as good again.
constexpr qint64 stableConnectionMs = 3 * 60 * 1000;
} // namespace

AddressCheck::AddressCheck(QObject* parent)
    : QObject(parent), echo(new QNetworkAccessManager(this)), tunnelTimer(new QTimer(this)),
      redialTimer(new QTimer(this))
{
    tunnelTimer->setObjectName(QStringLiteral("tunnelCheckTimer"));
    tunnelTimer->setInterval(500);
    connect(tunnelTimer, &QTimer::timeout, this, &AddressCheck::tunnelTick);
    redialTimer->setObjectName(QStringLiteral("redialTimer"));
    redialTimer->setSingleShot(true);
}

void AddressCheck::ask()
{
    QNetworkRequest request = noCacheRequest(QUrl(service::ipEchoUrl(), QUrl::TolerantMode));
    // A connection kept from before a tunnel change would run through a route that is gone.
    request.setRawHeader("Connection", "close");
    // A check through a dead tunnel never answers; its deadline gives it up.
    requests.get(echo, request, RequestPurpose::AddressCheck);
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

void AddressCheck::watchTunnel()
{
    tunnelTimer->start();
}

void AddressCheck::stopWatchingTunnel()
{
    tunnelTimer->stop();
}

void AddressCheck::connectionConfirmed(qint64 nowMs)
{
    confirmedMs = nowMs;
    tunnelTimer->stop();
}

std::optional<int> AddressCheck::redialPause(qint64 nowMs, int overrideMs)
{
    if (nowMs - confirmedMs >= stableConnectionMs)
        drops = 0;
    if (drops >= int(std::size(redialPausesMs))) {
        drops = 0;
        return std::nullopt;
    }
    const int pauseMs = redialPausesMs[drops++];
    return overrideMs >= 0 ? overrideMs : pauseMs;
}

void AddressCheck::redialAfter(int ms, const std::function<void()>& redial)
{
    redialTimer->disconnect();
    connect(redialTimer, &QTimer::timeout, this, redial);
    redialTimer->start(ms);
}

void AddressCheck::cancelRedial()
{
    redialTimer->stop();
}
