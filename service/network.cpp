#include "service/network.h"

#include "core/clock.h"
#include "core/logging.h"
#include "service/endpoints.h"
#include "service/pinning.h"

#include <QFile>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslError>

namespace {
int transferTimeoutOverride = 0;
qint64 sizeLimitOverride = 0;

const char problemProperty[] = "corvaneRequestProblem";
const char hostProperty[] = "corvaneRequestHost";

// The first reason stands: the abort it leads to brings a cancel error of its own after it.
void markProblem(QNetworkReply* reply, RequestProblem problem)
{
    if (!reply->property(problemProperty).isValid())
        reply->setProperty(problemProperty, int(problem));
}

// An authority nobody trusts is the deepest fault; the others only matter under a trusted one.
RequestProblem tlsProblem(const QList<QSslError>& errors)
{
    bool untrusted = false;
    bool expired = false;
    bool wrongHost = false;
    for (const QSslError& error : errors) {
        switch (error.error()) {
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
        case QSslError::CertificateUntrusted:
        case QSslError::CertificateRejected:
        case QSslError::InvalidCaCertificate:
            untrusted = true;
            break;
        case QSslError::CertificateExpired:
        case QSslError::CertificateNotYetValid:
            expired = true;
            break;
        case QSslError::HostNameMismatch:
            wrongHost = true;
            break;
        default:
            break;
        }
    }
    if (untrusted)
        return RequestProblem::UntrustedAuthority;
    if (expired)
        return RequestProblem::Expired;
    return wrongHost ? RequestProblem::WrongHost : RequestProblem::OtherTls;
}

// Read from disk once: every call of Qt's function reads the whole store again.
const QList<QSslCertificate>& systemAuthorities()
{
    static const QList<QSslCertificate> authorities = QSslConfiguration::systemCaCertificates();
    return authorities;
}

// The system's authorities and those of CORVANE_CA_CERTIFICATES, read once per file name.
std::optional<QSslConfiguration> configuredAuthorities()
{
    const QString path = qEnvironmentVariable("CORVANE_CA_CERTIFICATES").trimmed();
    if (path.isEmpty())
        return std::nullopt;
    static QString readPath;
    static std::optional<QSslConfiguration> read;
    if (path == readPath)
        return read;
    readPath = path;
    read.reset();
    const QList<QSslCertificate> extra = QSslCertificate::fromPath(path, QSsl::Pem);
    if (extra.isEmpty()) {
        qCWarning(lcService) << "CORVANE_CA_CERTIFICATES names no readable certificate:" << path;
        return read;
    }
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    // Naming authorities replaces the system's, so they are named too.
    config.setCaCertificates(systemAuthorities() + extra);
    read = config;
    return read;
}

// A manager with nothing in flight lets go of its connections. The client's requests are
// seconds to hours apart, so a kept connection would rarely be used again; one made before a
// tunnel came up or went down runs by a route that is gone; and the TLS context a connection
// keeps holds every session of every handshake made on it, a few kilobytes each, for as long as
// the manager talks to that host.
void releaseWhenIdle(QNetworkAccessManager* manager)
{
    for (const QNetworkReply* reply :
         manager->findChildren<QNetworkReply*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!reply->isFinished())
            return;
    }
    manager->clearConnectionCache();
}

QString shownHost(const QUrl& url)
{
    return url.host().isEmpty() ? url.toDisplayString() : url.host();
}
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

int requestDeadlineMs(RequestPurpose purpose)
{
    switch (purpose) {
    case RequestPurpose::Credentials:
    case RequestPurpose::Service:
        return 20000;
    case RequestPurpose::Download:
        return 15000;
    case RequestPurpose::AddressCheck:
        return 4000;
    case RequestPurpose::Installer:
        break;
    }
    // The largest installer allowed, over a slow line.
    return 30 * 60 * 1000;
}

bool isLoopbackHost(const QString& host)
{
    QHostAddress address;
    if (address.setAddress(host))
        return address.isLoopback();
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

RequestProblem addressProblem(const QUrl& url, RequestPurpose purpose, const QUrl& serviceBase)
{
    if (!isWebUrl(url))
        return RequestProblem::NotWebAddress;
    if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
        return RequestProblem::None;
    switch (purpose) {
    case RequestPurpose::AddressCheck:
        // It carries nothing, and the lab's page inside the tunnel is plain HTTP.
        return RequestProblem::None;
    case RequestPurpose::Credentials:
    case RequestPurpose::Service:
        return isLoopbackHost(url.host()) ? RequestProblem::None : RequestProblem::PlainHttp;
    case RequestPurpose::Download:
    case RequestPurpose::Installer:
        break;
    }
    return isWebUrl(serviceBase) && isLoopbackHost(serviceBase.host()) ? RequestProblem::None
                                                                       : RequestProblem::PlainHttp;
}

RequestProblem serviceAddressProblem()
{
    const QUrl base(service::serviceBaseUrl(), QUrl::TolerantMode);
    return addressProblem(base, RequestPurpose::Credentials, base);
}

QString serviceHost()
{
    return shownHost(QUrl(service::serviceBaseUrl(), QUrl::TolerantMode));
}

bool isTrustProblem(RequestProblem problem)
{
    switch (problem) {
    case RequestProblem::PlainHttp:
    case RequestProblem::NotWebAddress:
    case RequestProblem::UntrustedAuthority:
    case RequestProblem::Expired:
    case RequestProblem::WrongHost:
    case RequestProblem::UnpinnedKey:
    case RequestProblem::OtherTls:
        return true;
    case RequestProblem::None:
    case RequestProblem::Network:
    case RequestProblem::ServiceDown:
    case RequestProblem::ServerError:
    case RequestProblem::TooLarge:
    case RequestProblem::Deadline:
        break;
    }
    return false;
}

RequestPolicy::RequestPolicy() : RequestPolicy(service::buildPins()) {}

RequestPolicy::RequestPolicy(const QList<QByteArray>& pins) : servicePins(pins), tls(configuredAuthorities())
{
}

QNetworkReply* RequestPolicy::get(QNetworkAccessManager* manager, QNetworkRequest request,
                                  RequestPurpose purpose, qint64 cap) const
{
    const QUrl url = request.url();
    const QUrl serviceBase(service::serviceBaseUrl(), QUrl::TolerantMode);
    const RequestProblem refused = addressProblem(url, purpose, serviceBase);
    if (refused != RequestProblem::None) {
        qCWarning(lcService) << "not sent:" << int(purpose) << "request to" << shownHost(url) << "is"
                             << (refused == RequestProblem::PlainHttp ? "plain HTTP" : "no web address");
        // It still finishes through its manager, with an error, and nothing goes out.
        request.setUrl(QUrl(QStringLiteral("invalid:refused")));
        QNetworkReply* reply = manager->get(request);
        reply->setProperty(hostProperty, shownHost(url));
        markProblem(reply, refused);
        return reply;
    }
    // A redirect could lead anywhere, plain HTTP included; its answer is never followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    const bool secure = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    const bool pinned =
        secure && !servicePins.isEmpty() && url.host().compare(serviceBase.host(), Qt::CaseInsensitive) == 0;
    if (secure && tls)
        request.setSslConfiguration(*tls);

    QNetworkReply* reply = manager->get(request);
    reply->setProperty(hostProperty, shownHost(url));
    if (secure) {
        // Nobody ignores them: every one ends the handshake, before the request is written.
        QObject::connect(reply, &QNetworkReply::sslErrors, reply,
                         [reply](const QList<QSslError>& errors) { markProblem(reply, tlsProblem(errors)); });
    }
    if (pinned) {
        // The request is written only after this signal has been handled, so an abort here
        // sends nothing. A connection kept from an earlier request shows no handshake; its
        // chain is checked again when the answer starts.
        const QList<QByteArray> pins = servicePins;
        const QList<QSslCertificate> authorities = tls ? tls->caCertificates() : systemAuthorities();
        const auto checkChain = [reply, pins, authorities] {
            const QList<QSslCertificate> chain =
                service::withIssuingAuthority(reply->sslConfiguration().peerCertificateChain(), authorities);
            if (service::chainIsPinned(chain, pins))
                return;
            qCWarning(lcService) << "no pinned key in the chain of" << reply->url().host();
            markProblem(reply, RequestProblem::UnpinnedKey);
            reply->abort();
        };
        QObject::connect(reply, &QNetworkReply::encrypted, reply, checkChain);
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, checkChain);
    }
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, cap](qint64 received, qint64 total) {
                         if (received <= cap && total <= cap)
                             return;
                         markProblem(reply, RequestProblem::TooLarge);
                         reply->abort();
                     });
    // An answer that trickles in never trips an idle time-out; this ends it all the same.
    ClockTimer* deadline = Clock::current().newTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &ClockTimer::timeout, reply, [reply] {
        if (!reply->isRunning())
            return;
        qCWarning(lcService) << "deadline passed for" << reply->url().host();
        markProblem(reply, RequestProblem::Deadline);
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, deadline, &ClockTimer::stop);
    deadline->start(requestDeadlineMs(purpose));
    // Queued, so a request the caller's slot sends on the same manager keeps its connection.
    QObject::connect(
        reply, &QNetworkReply::finished, manager, [manager] { releaseWhenIdle(manager); },
        Qt::QueuedConnection);
    return reply;
}

QString RequestPolicy::problemText(RequestProblem problem, const QString& host)
{
    switch (problem) {
    case RequestProblem::None:
        return QString();
    case RequestProblem::Network:
        return tr("%1 could not be reached.").arg(host);
    case RequestProblem::ServiceDown:
        return tr("%1 refused the connection.").arg(host);
    case RequestProblem::ServerError:
        return tr("%1 answered with an error of its own.").arg(host);
    case RequestProblem::TooLarge:
        return tr("The answer of %1 is too large.").arg(host);
    case RequestProblem::Deadline:
        return tr("%1 did not answer in time.").arg(host);
    case RequestProblem::PlainHttp:
        return tr("%1 would be reached over plain HTTP, not over a secure connection (https).").arg(host);
    case RequestProblem::NotWebAddress:
        return tr("%1 is not a web address.").arg(host);
    case RequestProblem::UntrustedAuthority:
        return tr("The certificate of %1 is not vouched for by an authority this computer trusts.").arg(host);
    case RequestProblem::Expired:
        return tr("The certificate of %1 has expired or is not valid yet.").arg(host);
    case RequestProblem::WrongHost:
        return tr("The certificate shown by %1 is made out to another name.").arg(host);
    case RequestProblem::UnpinnedKey:
        return tr("%1 did not show a key this Corvane client knows for its service.").arg(host);
    case RequestProblem::OtherTls:
        break;
    }
    return tr("No secure connection to %1 could be made.").arg(host);
}

RequestProblem requestProblem(const QNetworkReply* reply)
{
    const QVariant marked = reply->property(problemProperty);
    if (marked.isValid())
        return RequestProblem(marked.toInt());
    switch (reply->error()) {
    case QNetworkReply::NoError:
        return RequestProblem::None;
    case QNetworkReply::SslHandshakeFailedError:
        return RequestProblem::OtherTls;
    case QNetworkReply::ConnectionRefusedError:
        return RequestProblem::ServiceDown;
    // Qt ends a transfer that stalls past its timeout by aborting it; every other abort of ours
    // is marked above or has a result of its own.
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return RequestProblem::Deadline;
    default:
        break;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 500 && status <= 599 ? RequestProblem::ServerError : RequestProblem::Network;
}

QString requestHost(const QNetworkReply* reply)
{
    const QVariant host = reply->property(hostProperty);
    return host.isValid() ? host.toString() : reply->url().host();
}

QString requestProblemText(const QNetworkReply* reply)
{
    const RequestProblem problem = requestProblem(reply);
    if (problem == RequestProblem::Network || problem == RequestProblem::ServiceDown ||
        problem == RequestProblem::ServerError)
        return reply->errorString();
    return RequestPolicy::problemText(problem, requestHost(reply));
}

std::optional<QByteArray> readCappedBody(QNetworkReply* reply, qint64 cap)
{
    if (reply->bytesAvailable() > cap) {
        markProblem(reply, RequestProblem::TooLarge);
        return std::nullopt;
    }
    return reply->readAll();
}

std::optional<QByteArray> takeReply(QNetworkReply* reply, qint64 cap)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return std::nullopt;
    // Redirects are never followed, so a 3xx carries no document, whatever its body holds.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        markProblem(reply, RequestProblem::Network);
        return std::nullopt;
    }
    return readCappedBody(reply, cap);
}

bool isWebUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
