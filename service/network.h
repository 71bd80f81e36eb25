#ifndef CORVANE_SERVICE_NETWORK_H
#define CORVANE_SERVICE_NETWORK_H

#include <QByteArray>
#include <QNetworkRequest>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// A request that gets no answer ends like a network error after this long.
constexpr int serviceTransferTimeoutMs = 30000;

// Room for the largest catalogues (about 670 bytes a server); anything larger is an error.
constexpr qint64 documentSizeCap = qint64(32) * 1024 * 1024;

// A GET request that neither reads from nor writes to a cache, with the transfer timeout.
QNetworkRequest noCacheRequest(const QUrl& url);

// A plain request (no cache attributes) with the transfer timeout.
QNetworkRequest plainRequest(const QUrl& url);

// The timeout and the cap in force: the values above, unless a test has shortened them.
int serviceTransferTimeout();
qint64 documentSizeLimit();

// For tests only, so that a missing answer or an oversized body can be met in milliseconds
// and kilobytes. A value of 0 or less restores the program's value.
void setServiceTransferTimeoutForTesting(int ms);
void setDocumentSizeLimitForTesting(qint64 bytes);

// Sends a GET whose body may not grow past the cap: a larger body aborts the reply, which
// then finishes with an error.
QNetworkReply* getCapped(QNetworkAccessManager* manager, const QNetworkRequest& request,
                         qint64 cap = documentSizeLimit());

// The whole body of a finished reply, or nothing when it went past the cap.
std::optional<QByteArray> readCappedBody(QNetworkReply* reply, qint64 cap = documentSizeLimit());

// Every reply of the service is taken here: it is released once the caller's slot has returned,
// and a network error or a body past the cap gives nothing.
std::optional<QByteArray> takeReply(QNetworkReply* reply, qint64 cap = documentSizeLimit());

// Only web addresses are fetched from URLs the service hands out.
bool isWebUrl(const QUrl& url);

#endif
