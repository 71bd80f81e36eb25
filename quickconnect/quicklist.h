#ifndef CORVANE_QUICKLIST_H
#define CORVANE_QUICKLIST_H

#include "connection/protocols.h"

#include <QString>
#include <QStringList>

// One ready-made connection entry of the service's Quick Connect list. Missing fields are empty.
struct QuickEntry
{
    QString name;
    QString address;
    QString protocol;
    QString keyOrCertificate; // L2TP pre-shared key, or the OpenVPN certificate URL
    QString config;           // OpenVPN configuration URL
};

// Entries are joined by "|" and fields by "^"; empty pieces count, so an empty list has one entry.
QStringList quickEntries(const QString& list);
int quickEntryCount(const QString& list);
QuickEntry quickEntry(const QString& entryText);

// The stage prefix of status texts during a Quick Connect run: "Stage k/N", or empty outside a run.
QString quickStageText(int stage, const QString& list);

// The index of the first entry from `from` on whose protocol this client can start, or -1 when
// none is left.
int nextStartableEntry(const QStringList& entries, int from);

#endif
