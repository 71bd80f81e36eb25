#include "connection/protocols.h"

bool isKnownProtocol(const QString& protocol)
{
    return protocol == QLatin1String("PPTP") || protocol == QLatin1String("L2TP") ||
           protocol == QLatin1String("OpenVPN");
}
