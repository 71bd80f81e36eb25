#include "monitor/statustexts.h"

#include <QCoreApplication>

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
