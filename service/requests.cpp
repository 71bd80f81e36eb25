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

QUrl orderPageUrl(int plan, int processor)
{
    QUrl url = orderPageUrl();
    QUrlQuery query;
    if (plan > 0)
        query.addQueryItem(QStringLiteral("plan"), QString::number(plan));
    if (processor > 0)
        query.addQueryItem(QStringLiteral("processor"), QString::number(processor));
    if (!query.isEmpty())
        url.setQuery(query);
    return url;
}

bool isEmailAddress(const QString& address)
{
    if (address.size() > 254 || address.count(QLatin1Char('@')) != 1)
        return false;
    for (const QChar c : address) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return false;
    }
    const QString name = address.section(QLatin1Char('@'), 0, 0);
    const QString domain = address.section(QLatin1Char('@'), 1);
    if (name.isEmpty() || name.size() > 64 || !domain.contains(QLatin1Char('.')))
        return false;
    const QStringList labels = domain.split(QLatin1Char('.'));
    for (const QString& label : labels) {
        if (label.isEmpty() || label.startsWith(QLatin1Char('-')) || label.endsWith(QLatin1Char('-')))
            return false;
    }
    return true;
}

QUrl trialPageUrl()
{
    return QUrl(webSiteBaseUrl() + QStringLiteral("/free-vpn-trial/"), QUrl::TolerantMode);
}

} // namespace service
