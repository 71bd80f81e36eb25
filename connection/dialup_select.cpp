// The one place that chooses the dial-up implementation.
#include "connection/dialup.h"

#include "connection/dialup_simulated.h"

#include <cstdlib>
#include <cstring>

namespace {

std::atomic<DialUp*> dialUpOverride{nullptr};

std::unique_ptr<DialUp> choose()
{
    const char* simulated = std::getenv("CORVANE_SIMULATED_DIALUP");
    if (simulated && std::strcmp(simulated, "1") == 0)
        return SimulatedDialUp::fromEnvironment();
    if (std::unique_ptr<DialUp> system = makeSystemDialUp())
        return system;
    return makePlatformDialUp();
}

} // namespace

DialUp& selectedDialUp()
{
    if (DialUp* installed = dialUpOverride.load())
        return *installed;
    static const std::unique_ptr<DialUp> chosen = choose();
    return *chosen;
}

void setDialUpOverride(DialUp* dialUp)
{
    dialUpOverride.store(dialUp);
}
