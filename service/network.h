#ifndef CORVANE_SERVICE_NETWORK_H
#define CORVANE_SERVICE_NETWORK_H

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QString>
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

// What a request is for. Each purpose has its rule for plain HTTP and its deadline.
enum class RequestPurpose
{
    Credentials,  // carries the user name and password key, or a new account's personal data
    Service,      // another service document (the version check)
    Download,     // a file at an address the service named (OpenVPN certificate, configuration)
    Installer,    // the installer at the address the version document named
    AddressCheck, // the public IP-echo page
};

// Why a request gave no usable answer.
enum class RequestProblem
{
    None,
    Network,            // no connection, reset, a client-side HTTP error status
    ServiceDown,        // the host refused the connection: nothing listens there
    ServerError,        // the server answered with an error of its own (HTTP 5xx)
    TooLarge,           // the body went past its cap
    Deadline,           // the whole request took longer than its deadline
    PlainHttp,          // plain HTTP where only HTTPS may go; nothing was sent
    NotWebAddress,      // not an http or https address with a host; nothing was sent
    UntrustedAuthority, // no authority this computer trusts vouches for the certificate
    Expired,            // the certificate has expired or is not valid yet
    WrongHost,          // the certificate is made out to another host name
    UnpinnedKey,        // no key of the chain is one this build names; nothing was sent
    OtherTls,           // the secure connection failed in another way
};

// How long a request of each purpose may take from start to end, in milliseconds.
int requestDeadlineMs(RequestPurpose purpose);

// True for a host that is this machine (127.0.0.0/8, ::1, "localhost").
bool isLoopbackHost(const QString& host);

// Whether a request for this purpose may go to `url`, given the service's base address:
// HTTPS always; plain HTTP to this machine for the service's own requests, and for the
// addresses the service names only while the service itself is on this machine; the address
// check as configured. PlainHttp or NotWebAddress when it may not, None when it may.
RequestProblem addressProblem(const QUrl& url, RequestPurpose purpose, const QUrl& serviceBase);

// Whether the configured service may be sent credentials at all: PlainHttp for plain HTTP to
// another machine, NotWebAddress for no web address, else None.
RequestProblem serviceAddressProblem();
// The service's host, or the whole configured text when it names none.
QString serviceHost();

// True for the problems of the secure connection itself and of plain HTTP: the service could
// not be trusted, and nothing that needs trust was sent.
bool isTrustProblem(RequestProblem problem);

// Every request of the client goes out here, so that one policy holds for all of them: the
// address rule above, the system's certificate checks plus the authorities named by
// CORVANE_CA_CERTIFICATES (a PEM file; the tests and the demo name theirs), the pins on the
// service's host, any TLS error ending the request, no redirect followed, the size cap and an
// absolute deadline on the clock seam. A refused or failed request still finishes through its
// manager, with an error; requestProblem() then says why.
class RequestPolicy
{
    Q_DECLARE_TR_FUNCTIONS(RequestPolicy)

public:
    // The program's policy: the pins this build names.
    RequestPolicy();
    // A policy with its own pins (tests try pinned and unpinned chains with it).
    explicit RequestPolicy(const QList<QByteArray>& pins);

    const QList<QByteArray>& pins() const { return servicePins; }

    QNetworkReply* get(QNetworkAccessManager* manager, QNetworkRequest request, RequestPurpose purpose,
                       qint64 cap = documentSizeLimit()) const;

    // The text for a problem of a request to `host`, for a status line or a box.
    static QString problemText(RequestProblem problem, const QString& host);

private:
    QList<QByteArray> servicePins;
    std::optional<QSslConfiguration> tls;
};

// Why a finished reply gave nothing usable; None for a good one.
RequestProblem requestProblem(const QNetworkReply* reply);
// The host the reply's request was meant for (also when it was refused before sending).
QString requestHost(const QNetworkReply* reply);
// requestProblem() in words, naming the host; the network's own text for a network error.
QString requestProblemText(const QNetworkReply* reply);

// The whole body of a finished reply, or nothing when it went past the cap.
std::optional<QByteArray> readCappedBody(QNetworkReply* reply, qint64 cap = documentSizeLimit());

// Every reply of the service is taken here: it is released once the caller's slot has returned,
// and a network error or a body past the cap gives nothing.
std::optional<QByteArray> takeReply(QNetworkReply* reply, qint64 cap = documentSizeLimit());

// Only web addresses are fetched from URLs the service hands out.
bool isWebUrl(const QUrl& url);

#endif
