#ifndef CORVANE_STATUSTEXTS_H
#define CORVANE_STATUSTEXTS_H

#include <QString>

// A number the dialling worker reports as text; anything that is not a decimal number reads as 0.
int fieldNumber(const QString& text);

// The progress text for the seconds an attempt has run, or empty before the first threshold.
QString progressText(int elapsedSeconds);

// How long a connection has been up, in whole minutes.
QString connectedForText(int connectedSeconds);

// The time a connection has been up, as a clock reads it: "0:01:05", "26:00:00".
QString durationText(int seconds);

// The connected page's title and message. A server whose name already ends in "Server" is not
// called "Server" twice.
QString connectedTitle(const QString& server);
QString connectedMessage(const QString& server);

// The bytes that went through the tunnel, received and sent, in units a user reads.
QString trafficText(quint64 received, quint64 sent);

#endif
