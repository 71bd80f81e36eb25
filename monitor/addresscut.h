#ifndef CORVANE_ADDRESSCUT_H
#define CORVANE_ADDRESSCUT_H

#include <QString>

#include <optional>

// Cuts the public address out of the IP-echo page: the text after "Address: " up to the last
// "</body>", without surrounding whitespace. A page without "Address: ", or with nothing after
// it, carries no address.
std::optional<QString> echoedAddress(const QString& page);

// The stage prefix of status texts during a Quick Connect run: "Stage k/N", or empty outside a run.
QString quickStageText(const QString& quickStage, const QString& quickServers);

// A number kept as text in a state field; anything that is not a decimal number reads as 0.
int fieldNumber(const QString& text);

// The progress text for the seconds an attempt has run, or empty before the first threshold.
QString progressText(int elapsedSeconds);

#endif
