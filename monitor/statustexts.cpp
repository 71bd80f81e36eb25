#include "monitor/statustexts.h"

#include <QCoreApplication>
#include <QLocale>

int fieldNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

QString progressText(int elapsedSeconds)
{
    if (elapsedSeconds <= 3)
        return QString();
    const int tenths = qMin((elapsedSeconds - 1) / 3, 9);
    return QCoreApplication::translate("LumtarMain", "connection in progress - ") +
           QString::number(tenths * 10) + QLatin1Char('%');
}

QString connectedForText(int connectedSeconds)
{
    const int minutes = connectedSeconds / 60;
    if (minutes == 1)
        return QCoreApplication::translate("LumtarMain", "connected for 1 minute");
    return QCoreApplication::translate("LumtarMain", "connected for %1 minutes").arg(minutes);
}

QString durationText(int seconds)
{
    const int shown = qMax(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(shown / 3600)
        .arg(shown / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(shown % 60, 2, 10, QLatin1Char('0'));
}

namespace {
bool namesItselfServer(const QString& server)
{
    return server.trimmed().endsWith(QLatin1String(" server"), Qt::CaseInsensitive) ||
           server.trimmed().compare(QLatin1String("server"), Qt::CaseInsensitive) == 0;
}
} // namespace

QString connectedTitle(const QString& server)
{
    if (namesItselfServer(server))
        return QCoreApplication::translate("LumtarMain", "Connected to %1!").arg(server.trimmed());
    return QCoreApplication::translate("LumtarMain", "Connected to ") + server +
           QCoreApplication::translate("LumtarMain", " Server!");
}

QString connectedMessage(const QString& server)
{
    if (namesItselfServer(server))
        return QCoreApplication::translate("LumtarMain",
                                           "You are now connected to %1.\n Your connection is now secured.")
            .arg(server.trimmed());
    return QCoreApplication::translate("LumtarMain", "You are now connected to ") + server +
           QCoreApplication::translate("LumtarMain", " Server.\n Your connection is now secured.");
}

QString trafficText(quint64 received, quint64 sent)
{
    const QLocale locale;
    return QCoreApplication::translate("LumtarMain", "%1 in, %2 out")
        .arg(locale.formattedDataSize(qint64(received), 1, QLocale::DataSizeTraditionalFormat),
             locale.formattedDataSize(qint64(sent), 1, QLocale::DataSizeTraditionalFormat));
}
