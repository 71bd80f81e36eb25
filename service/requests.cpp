#include "service/requests.h"

#include "service/endpoints.h"

#include <QCryptographicHash>
#include <QPair>
#include <QUrlQuery>

#include <initializer_list>

namespace service {

namespace {

// QUrlQuery leaves "+", "=" and "%" in a value alone and a server would read them back as a
// blank, a separator or an escape; encoding the whole value first keeps it intact.
QUrl serviceUrl(const QString& path, std::initializer_list<QPair<QString, QString>> items)
{
    QUrl url(serviceBaseUrl() + path, QUrl::TolerantMode);
    QUrlQuery query;
    for (const auto& item : items) {
        query.addQueryItem(item.first, QString::fromLatin1(QUrl::toPercentEncoding(item.second)));
    }
    url.setQuery(query);
    return url;
}

} // namespace

QString passwordKey(const QString& password)
{
    return QString::fromLatin1(QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Md5).toHex());
}

QUrl loginUrl(const QString& username, const QString& key, const QString& appVersion)
{
    return serviceUrl(QStringLiteral("/AppServersV2"), {{QStringLiteral("username"), username},
                                                        {QStringLiteral("key"), key},
                                                        {QStringLiteral("appver"), appVersion}});
}

QUrl accountDetailsUrl(const QString& username, const QString& key)
{
    return serviceUrl(QStringLiteral("/AppUserInfoV2"),
                      {{QStringLiteral("username"), username}, {QStringLiteral("key"), key}});
}

QUrl newAccountUrl(const QString& firstName, const QString& lastName, const QString& email,
                   const QString& appVersion)
{
    return serviceUrl(QStringLiteral("/AppNewAccount"), {{QStringLiteral("firstname"), firstName},
                                                         {QStringLiteral("lastname"), lastName},
                                                         {QStringLiteral("email"), email},
                                                         {QStringLiteral("appver"), appVersion}});
}

QUrl versionCheckUrl(const QString& appVersion)
{
    QUrl url(serviceBaseUrl(), QUrl::TolerantMode);
    url.setPath(url.path(QUrl::FullyEncoded) + QStringLiteral("/AppVer2/") +
                    QString::fromLatin1(QUrl::toPercentEncoding(appVersion)),
                QUrl::TolerantMode);
    return url;
}

QUrl orderPageUrl()
{
    return QUrl(webSiteBaseUrl() + QStringLiteral("/order/"), QUrl::TolerantMode);
}

QUrl trialPageUrl()
{
    return QUrl(webSiteBaseUrl() + QStringLiteral("/free-vpn-trial/"), QUrl::TolerantMode);
}

} // namespace service
