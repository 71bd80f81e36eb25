// The platform's means of keeping traffic inside the tunnel: NetworkManager's routes, the
// client's own nftables table, the Windows Filtering Platform. One selector picks it.
#ifndef CORVANE_KILLSWITCHBLOCK_H
#define CORVANE_KILLSWITCHBLOCK_H

#include "connection/trafficrules.h"

#include <QString>

#include <memory>

class KillSwitchBlock
{
public:
    virtual ~KillSwitchBlock() = default;

    // Which means it is, for the log.
    virtual QString means() const = 0;
    // Replaces what it holds by `rules`, at once where the platform can. False with the reason
    // in `error`; what was in force before then stays.
    virtual bool apply(const BlockRules& rules, QString* error) = 0;
    // Removes everything it holds; harmless when it holds nothing.
    virtual void lift() = 0;
    // Finds what a run of the client that ended without lifting left in force and removes it.
    // True when there was something.
    virtual bool removeLeftover() = 0;
};

// The means of this system, or one that refuses with the reason when there is none.
std::unique_ptr<KillSwitchBlock> makeKillSwitchBlock();
// The one that refuses, with `reason`.
std::unique_ptr<KillSwitchBlock> makeUnavailableBlock(const QString& reason);

#endif
