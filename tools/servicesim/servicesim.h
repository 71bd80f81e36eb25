#ifndef CORVANE_SERVICESIM_SERVICESIM_H
#define CORVANE_SERVICESIM_SERVICESIM_H

#include "tools/servicesim/documents.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

// One request as the simulator received it.
struct RecordedRequest
{
    QString method;
    QString path;                         // percent-decoded path
    QList<QPair<QString, QString>> query; // decoded as a web server decodes a form ("+" is a blank)
    QByteArray target;                    // the request target exactly as sent
    QList<QPair<QByteArray, QByteArray>> headers;
    QString remoteAddress;

    // The decoded value of the first query item with this key; a null string when absent.
    QString queryValue(const QString& key) const;
    QStringList queryKeys() const;
};

// A misbehaviour the simulator shows for the paths starting with a prefix.
struct Fault
{
    enum class Kind
    {
        None,         // answer normally (after delayMs)
        HttpStatus,   // answer with status and a small body
        NeverAnswer,  // hold the connection open until the simulator stops
        MalformedXml, // the normal answer with a mismatched end tag inserted at offset
        TruncatedXml, // the normal answer cut after offset bytes
        NulByte,      // the normal answer with a NUL byte and more text inserted at offset
        Redirect,     // 302 to location, with body
        Oversized,    // size bytes, streamed
        CustomBody,   // status 200 (or status when set) with body and contentType
        Trickle,      // the normal answer, one byte every intervalMs
        StallMidway,  // the first half of the normal answer, then silence until the simulator stops
        CloseMidway,  // the first half of the normal answer, then the connection closes
    };

    Kind kind = Kind::None;
    int delayMs = 0;
    int intervalMs = 0;
    int status = 500;
    qint64 offset = -1; // -1: middle of the body (malformed, truncated) or its end (NUL byte)
    qint64 size = 0;
    QString location;
    QByteArray body;
    QByteArray contentType = "text/plain";
    bool oneShot = false;

    static Fault httpStatus(int status);
    static Fault delay(int ms);
    static Fault neverAnswer();
    static Fault malformedXml(qint64 offset = -1);
    static Fault truncatedXml(qint64 offset = -1);
    static Fault nulByte(qint64 offset = -1);
    static Fault redirect(const QString& location, const QByteArray& body = QByteArray());
    static Fault oversized(qint64 bytes);
    static Fault customBody(const QByteArray& body, const QByteArray& contentType = "text/plain");
    static Fault trickle(int intervalMs);
    static Fault stallMidway();
    static Fault closeMidway();

    // The fault is used for one request, then removed.
    Fault once() const;
    Fault delayed(int ms) const;
};

// A stand-in for the Corvane web service: a real HTTP or HTTPS server (cpp-httplib) on a thread
// of its own, answering the client's requests from JSON data. Safe to use from the test thread
// while it serves.
class ServiceSimulator
{
public:
    using Layout = servicesim::Layout;

    ServiceSimulator();
    ~ServiceSimulator();
    ServiceSimulator(const ServiceSimulator&) = delete;
    ServiceSimulator& operator=(const ServiceSimulator&) = delete;

    // Serves HTTPS with this certificate (PEM, the server's first, then any intermediates) and
    // key from the next start() on; empty paths go back to plain HTTP.
    void useTls(const QString& certificatePath, const QString& keyPath);
    bool usesTls() const;
    // From the next start() on, keeps a connection open for further requests, as web servers do
    // (for up to a second of silence); by default each connection carries one request.
    void keepConnectionsAlive(bool keep);
    // Binds host:port (0 lets the system choose) and serves in the background.
    bool start(quint16 port = 0, const QString& host = QStringLiteral("127.0.0.1"));
    void stop();
    bool isRunning() const;
    quint16 port() const;
    QString host() const;
    QString baseUrl() const; // "http://host:port" or "https://host:port", no trailing slash

    // Data. "{base}" in any string value stands for baseUrl().
    bool loadDataFile(const QString& path);
    void loadData(const QJsonObject& data);
    QJsonObject data() const;
    void setLayout(Layout layout);
    Layout layout() const;
    void addAccount(const QJsonObject& account);
    QJsonObject account(const QString& username) const; // {} when unknown
    void setAccountValue(const QString& username, const QString& key, const QJsonValue& value);
    void setServers(const QJsonArray& servers);
    void setVersion(const QString& latest, const QString& installerUrl);
    void setFile(const QString& path, const QByteArray& body);
    void setEchoAddress(const QString& address); // empty: echo the peer's address

    // Observation. Every request that arrives is recorded, whatever is answered.
    QList<RecordedRequest> requests() const;
    // TLS handshakes the server completed: a client that refuses the server after its
    // handshake has been here without sending a request.
    int handshakes() const;
    QList<RecordedRequest> requests(const QString& path) const; // exact decoded path
    void clearRequests();

    // Faults, matched by the longest path prefix.
    void setFault(const QString& pathPrefix, const Fault& fault);
    void clearFault(const QString& pathPrefix);
    void clearFaults();

    static QString passwordKey(const QString& password);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

#endif
