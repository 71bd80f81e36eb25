#include "monitor/addresscut.h"

#include "quickconnect/quicklist.h"

#include <QCoreApplication>

std::optional<QString> echoedAddress(const QString& page)
{
    static const QString marker = QStringLiteral("Address: ");
    const int found = page.indexOf(marker);
    if (found < 0)
        return std::nullopt;
    const int start = found + marker.size();
    const int end = page.lastIndexOf(QLatin1String("</body>"));
    // Same bounds as a mid() cut: an end before the start takes the rest of the text.
    const int count = end < start ? -1 : end - start;
    const QString address = page.mid(start, count).trimmed();
    // A marker with nothing after it names no address either; it must not read as a new one.
    if (address.isEmpty())
        return std::nullopt;
    return address;
}

int fieldNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

QString quickStageText(const QString& quickStage, const QString& quickServers)
{
    if (fieldNumber(quickStage) <= 0)
        return QString();
    return QCoreApplication::translate("LumtarMain", "Stage ") + quickStage + QLatin1Char('/') +
           QString::number(quickEntryCount(quickServers));
}

QString progressText(int elapsedSeconds)
{
    if (elapsedSeconds <= 3)
        return QString();
    const int tenths = qMin((elapsedSeconds - 1) / 3, 9);
    return QCoreApplication::translate("LumtarMain", "connection in progress - ") +
           QString::number(tenths * 10) + QLatin1Char('%');
}
