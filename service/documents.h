#ifndef CORVANE_SERVICE_DOCUMENTS_H
#define CORVANE_SERVICE_DOCUMENTS_H

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

// Readers of the service's answers. Plain functions of the answer text; the window decides
// what to do with what they find.
namespace service {

// A reply body as text: UTF-8 up to the first NUL byte.
QString decodeBody(const QByteArray& body);

enum class LoginVerdict
{
    Accepted,
    Refused
};

// One verdict per `response` start element, in document order. Only the exact text "false"
// refuses; an empty response or one whose content starts with an element accepts. Reading
// stops at the first XML error; verdicts found before it stand.
QVector<LoginVerdict> loginVerdicts(const QString& document);

// The account-details document: the verdict and the fourteen elements that follow the
// response element, counted by element (empty elements and whitespace do not shift them).
struct AccountDetails
{
    static constexpr int positionCount = 14;

    bool accepted = false;      // the first response reads exactly "true"
    QVector<QString> positions; // 14 texts, index 0 is position 1; empty when not reached
    QVector<bool> reached;      // whether the element of each position was read whole

    AccountDetails();
    QString position(int number) const; // 1-based
    bool isReached(int number) const;   // 1-based

    QString email() const { return position(3); }
    QString enabledFlag() const { return position(4); }
    QString plan() const { return position(5); }
    QString expiry() const { return position(7); }
    QString quota() const { return position(10); }
    QString processors() const { return position(11); }
    QString plans() const { return position(12); }
    QString quickServers() const { return position(13); }
    QString notice() const { return position(14).trimmed(); }
};

AccountDetails readAccountDetails(const QString& document);

// Items of a processor or plan list "1:Credit Card|2:Paypal": (text, number). Empty parts
// are skipped; a missing name is empty, a number that does not parse is 0.
QList<QPair<QString, int>> paymentItems(const QString& list);

struct NewAccountReply
{
    bool created = false;
    QString userName; // when created, without surrounding whitespace
    QString message;  // when not created; empty when the reply has no "|"
};

NewAccountReply readNewAccountReply(const QString& reply);

struct VersionInfo
{
    QString latestVersion;
    QString installerUrl;
    QString note;
};

// The first three texts under the root element of the version document; texts that are
// missing are empty.
VersionInfo readVersionDocument(const QByteArray& document);

enum class VersionOrder
{
    Newer,      // a version above the client's
    NotNewer,   // the client's own version (however written) or an older one
    NotAVersion // empty, or anything but numbers joined by dots
};

// The service's version text against the client's, compared as numbers: 4.0.10 is newer than
// 4.0.2, and 4.0.02 is 4.0.2. Blanks around the text are passed over.
VersionOrder compareVersions(const QString& latest, const QString& clientVersion);

// An update is offered only for a version newer than the client's and an installer URL over
// http or https.
bool offersUpdate(const VersionInfo& info, const QString& clientVersion);

} // namespace service

#endif
