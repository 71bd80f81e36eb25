#ifndef CORVANE_SERVICE_REQUESTS_H
#define CORVANE_SERVICE_REQUESTS_H

#include <QString>
#include <QUrl>

// URLs of the service requests and of the web pages opened in the browser. Every value is
// percent-encoded, so the service reads back exactly the text that was typed: "&", "#",
// "+", "=", "%", blanks and non-ASCII letters included.
namespace service {

// MD5 of the UTF-8 bytes of the password, 32 lower-case hex digits. The password itself is
// never sent.
QString passwordKey(const QString& password);

QUrl loginUrl(const QString& username, const QString& key, const QString& appVersion);
QUrl accountDetailsUrl(const QString& username, const QString& key);
QUrl newAccountUrl(const QString& firstName, const QString& lastName, const QString& email,
                   const QString& appVersion);
// The version travels as one path segment.
QUrl versionCheckUrl(const QString& appVersion);
QUrl orderPageUrl();
// The order page for the plan and the payment method the user chose (the service's numbers for
// them); a number of 0 or less is left out.
QUrl orderPageUrl(int plan, int processor);
QUrl trialPageUrl();

// Whether `address` can be an e-mail address to send the account's details to: one "@", a name
// before it, a domain with a dot after it, no blanks or control characters.
bool isEmailAddress(const QString& address);

} // namespace service

#endif
