// Systems whose VPN service the client does not use: OpenVPN runs as the client's own program
// and dial-ups go through the platform's dial-up layer.
#include "connection/systemvpn.h"

#include "connection/dialup.h"

SystemOpenVpn* makeSystemOpenVpn(QObject*)
{
    return nullptr;
}

std::unique_ptr<DialUp> makeSystemDialUp()
{
    return nullptr;
}
