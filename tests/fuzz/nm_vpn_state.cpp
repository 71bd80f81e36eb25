// What NetworkManager's VPN states and reasons become for the client: the outcome of each
// state, and for an attempt that ended, the dial result and the words the user reads. An input
// is one state, its reason and the plugin's failure code, as the bus delivers them: three
// little-endian words, missing bytes read as 0.
#include "connection/errortexts.h"
#include "connection/nmvpnstate.h"
#include "mutator.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

std::uint32_t word(const uint8_t* data, std::size_t size, std::size_t at)
{
    std::uint32_t value = 0;
    if (at < size)
        std::memcpy(&value, data + at, std::min(sizeof value, size - at));
    return value;
}

// Results whose text the dial-up table already gives to something else.
bool hasTextOfItsOwn(std::uint32_t result)
{
    static const QList<int> codes = pppErrorTableCodes();
    return result <= std::uint32_t(INT_MAX) && codes.contains(int(result));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::uint32_t state = word(data, size, 0);
    const std::uint32_t reason = word(data, size, 4);
    const std::uint32_t pluginFailure = word(data, size, 8);

    // Any number taken for a dial result: NetworkManager's have words, others none.
    for (std::uint32_t number : {state, reason, pluginFailure})
        FUZZ_EXPECT(nm::isVpnResult(number) != nm::vpnResultText(number).isEmpty());

    const nm::Outcome outcome = nm::vpnOutcome(state);
    FUZZ_EXPECT(outcome == nm::Outcome::Progress || outcome == nm::Outcome::Up ||
                outcome == nm::Outcome::Ended);
    if (outcome != nm::Outcome::Ended)
        return 0;

    // The plugin's word only ever turns an end into a refused login.
    const std::uint32_t told = nm::vpnEndReason(reason, pluginFailure);
    FUZZ_EXPECT(told == reason || told == nm::ReasonLoginFailed);
    FUZZ_EXPECT(!nm::vpnReasonText(told).isEmpty());

    // The attempt was started, and its result reaches the user with NetworkManager's words, not
    // with those of a dial-up error that happens to have the same number.
    const std::uint32_t result = nm::vpnResult(told);
    FUZZ_EXPECT(nm::isVpnResult(result) && result != nm::resultNotStarted);
    FUZZ_EXPECT(!hasTextOfItsOwn(result));
    const QString text = nm::vpnResultText(result);
    FUZZ_EXPECT(!text.isEmpty() && pppErrorText(int(result)) == text);
    return 0;
}
