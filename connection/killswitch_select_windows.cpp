// Windows: the Windows Filtering Platform, whose dynamic filters end with the client.
#include "connection/killswitchblock.h"

std::unique_ptr<KillSwitchBlock> makeWfpBlock();

std::unique_ptr<KillSwitchBlock> makeKillSwitchBlock()
{
    // The tests that run on this machine's own network.
    if (qgetenv("CORVANE_TRAFFIC_GUARD") == "0")
        return makeUnavailableBlock(QStringLiteral("turned off by CORVANE_TRAFFIC_GUARD=0"));
    return makeWfpBlock();
}
