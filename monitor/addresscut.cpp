#include "monitor/addresscut.h"

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
