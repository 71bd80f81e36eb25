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
QUrl trialPageUrl();

} // namespace service

#endif
