// Texts for the results of a failed dial.
#ifndef CORVANE_ERRORTEXTS_H
#define CORVANE_ERRORTEXTS_H

#include <QList>
#include <QString>

// The explanation of a dial result: the Remote Access Service codes and the client's own codes
// (connection/dialup.h); every other value gets a general text.
QString pppErrorText(int code);

// The Remote Access Service codes that have a text of their own, in ascending order.
QList<int> pppErrorTableCodes();
int pppErrorTableSize();

#endif
