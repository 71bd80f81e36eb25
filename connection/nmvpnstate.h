// What NetworkManager's VPN states and reasons mean to the client: plain values in, the
// client's own outcome and dial result out.
#ifndef CORVANE_NMVPNSTATE_H
#define CORVANE_NMVPNSTATE_H

#include <QString>

#include <cstdint>

namespace nm {

// NMVpnConnectionState, as VpnStateChanged carries it.
enum VpnState : std::uint32_t
{
    VpnUnknown = 0,
    VpnPrepare = 1,
    VpnNeedAuth = 2,
    VpnConnect = 3,
    VpnIpConfigGet = 4,
    VpnActivated = 5,
    VpnFailed = 6,
    VpnDisconnected = 7,
};

// NMVpnConnectionStateReason.
enum VpnReason : std::uint32_t
{
    ReasonUnknown = 0,
    ReasonNone = 1,
    ReasonUserDisconnected = 2,
    ReasonDeviceDisconnected = 3,
    ReasonServiceStopped = 4,
    ReasonIpConfigInvalid = 5,
    ReasonConnectTimeout = 6,
    ReasonServiceStartTimeout = 7,
    ReasonServiceStartFailed = 8,
    ReasonNoSecrets = 9,
    ReasonLoginFailed = 10,
    ReasonConnectionRemoved = 11,
};

// The dial results of a NetworkManager attempt: the base plus the reason, so that a failure
// travels through the worker's result code like a RAS code and gets its own text.
constexpr std::uint32_t resultBase = 20100;
// NetworkManager refused to take or to start the connection (no base network, no plugin).
constexpr std::uint32_t resultNotStarted = 20150;

// NMVpnPluginFailure, as a plugin's Failure signal carries it; noPluginFailure when none came.
constexpr std::uint32_t pluginLoginFailed = 0;
constexpr std::uint32_t noPluginFailure = 0xffffffff;

// The reason an ended attempt is told by: NetworkManager passes a plugin's refused login on as
// an unknown reason or a stopped service, so the plugin's own word wins there.
std::uint32_t vpnEndReason(std::uint32_t reason, std::uint32_t pluginFailure);

enum class Outcome
{
    Progress, // still on its way
    Up,       // the tunnel is up
    Ended,    // failed or went down
};

Outcome vpnOutcome(std::uint32_t state);
// The dial result of an attempt that ended with `reason`.
std::uint32_t vpnResult(std::uint32_t reason);
// Whether a dial result is one of NetworkManager's.
bool isVpnResult(std::uint32_t result);
// Words a user understands for a dial result of NetworkManager's; empty for other results.
QString vpnResultText(std::uint32_t result);
// The same for a reason.
QString vpnReasonText(std::uint32_t reason);

} // namespace nm

#endif
