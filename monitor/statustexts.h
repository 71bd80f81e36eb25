#ifndef CORVANE_STATUSTEXTS_H
#define CORVANE_STATUSTEXTS_H

#include <QString>

// A number the dialling worker reports as text; anything that is not a decimal number reads as 0.
int fieldNumber(const QString& text);

// The progress text for the seconds an attempt has run, or empty before the first threshold.
QString progressText(int elapsedSeconds);

// How long a connection has been up, in whole minutes.
QString connectedForText(int connectedSeconds);

#endif
