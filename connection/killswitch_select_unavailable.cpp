// Where the client has no means of blocking yet: every attempt's log says so.
#include "connection/killswitchblock.h"

std::unique_ptr<KillSwitchBlock> makeKillSwitchBlock()
{
    return makeUnavailableBlock(QStringLiteral("this system offers the client no means of blocking yet"));
}
