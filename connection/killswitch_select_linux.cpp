// Linux: NetworkManager's routes where it runs the VPN (no root needed), the client's own
// nftables table where the client runs openvpn itself with root's rights.
#include "connection/killswitchblock.h"
#include "connection/networkmanager_linux.h"

#include <unistd.h>

std::unique_ptr<KillSwitchBlock> makeNftablesBlock();
std::unique_ptr<KillSwitchBlock> makeNetworkManagerBlock();

std::unique_ptr<KillSwitchBlock> makeKillSwitchBlock()
{
    // The tests that run on this machine's own network, not in a namespace of their own.
    if (qgetenv("CORVANE_TRAFFIC_GUARD") == "0")
        return makeUnavailableBlock(QStringLiteral("turned off by CORVANE_TRAFFIC_GUARD=0"));
    if (nm::available())
        return makeNetworkManagerBlock();
    if (::geteuid() == 0)
        return makeNftablesBlock();
    return makeUnavailableBlock(QStringLiteral("only root may change the firewall"));
}
