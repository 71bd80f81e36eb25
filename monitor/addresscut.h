#ifndef CORVANE_ADDRESSCUT_H
#define CORVANE_ADDRESSCUT_H

#include <QString>

#include <optional>

// Cuts the public address out of the IP-echo page: the text after "Address: " up to the last
// "</body>", without surrounding whitespace. A page without "Address: ", or with nothing after
// it, carries no address.
std::optional<QString> echoedAddress(const QString& page);

#endif
