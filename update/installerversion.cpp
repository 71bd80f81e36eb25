#include "update/installerversion.h"

#include <QRegularExpression>
#include <QVersionNumber>

bool installerIsNewer(const QString& installerVersion, const QString& clientVersion)
{
    static const QRegularExpression numbers(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,9})*$"));
    if (!numbers.match(installerVersion).hasMatch() || !numbers.match(clientVersion).hasMatch())
        return false;
    return QVersionNumber::fromString(installerVersion).normalized() >
           QVersionNumber::fromString(clientVersion).normalized();
}
