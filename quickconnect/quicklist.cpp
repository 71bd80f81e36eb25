#include "quickconnect/quicklist.h"

#include <QCoreApplication>

QStringList quickEntries(const QString& list)
{
    return list.split(QLatin1Char('|'), Qt::KeepEmptyParts);
}

int quickEntryCount(const QString& list)
{
    return quickEntries(list).size();
}

QuickEntry quickEntry(const QString& entryText)
{
    const QStringList fields = entryText.split(QLatin1Char('^'), Qt::KeepEmptyParts);
    const auto field = [&fields](int i) { return i < fields.size() ? fields.at(i) : QString(); };
    return {field(0), field(1), field(2), field(3), field(4)};
}

QString quickStageText(int stage, const QString& list)
{
    if (stage <= 0)
        return QString();
    return QCoreApplication::translate("LumtarMain", "Stage ") + QString::number(stage) + QLatin1Char('/') +
           QString::number(quickEntryCount(list));
}

int nextStartableEntry(const QStringList& entries, int from)
{
    for (int k = qMax(0, from); k < entries.size(); ++k) {
        if (isKnownProtocol(quickEntry(entries.at(k)).protocol))
            return k;
    }
    return -1;
}
