#include "service/endpoints.h"

#include <QtGlobal>

namespace service {

namespace {

QString fromEnvironment(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name).trimmed();
    return value.isEmpty() ? fallback : value;
}

QString withoutTrailingSlashes(QString url)
{
    while (url.endsWith(QLatin1Char('/'))) {
        url.chop(1);
    }
    return url;
}

} // namespace

QString serviceBaseUrl()
{
    return withoutTrailingSlashes(
        fromEnvironment("CORVANE_SERVICE_URL", QStringLiteral("https://service.corvane.com")));
}

QString webSiteBaseUrl()
{
    return withoutTrailingSlashes(
        fromEnvironment("CORVANE_WEBSITE_URL", QStringLiteral("https://www.corvane.com")));
}

QString ipEchoUrl()
{
    return fromEnvironment("CORVANE_IPECHO_URL", QStringLiteral("https://ip.corvane.com/"));
}

} // namespace service
