// The protocols this client can start a connection with.
#ifndef CORVANE_PROTOCOLS_H
#define CORVANE_PROTOCOLS_H

#include <QString>

// PPTP, L2TP and OpenVPN, spelled as the service spells them.
bool isKnownProtocol(const QString& protocol);

#endif
