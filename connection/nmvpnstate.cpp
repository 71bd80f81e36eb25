#include "connection/nmvpnstate.h"

#include <QCoreApplication>

namespace nm {

Outcome vpnOutcome(std::uint32_t state)
{
    switch (state) {
    case VpnActivated:
        return Outcome::Up;
    case VpnFailed:
    case VpnDisconnected:
        return Outcome::Ended;
    default:
        return Outcome::Progress;
    }
}

std::uint32_t vpnEndReason(std::uint32_t reason, std::uint32_t pluginFailure)
{
    const bool vague = reason == ReasonUnknown || reason == ReasonNone || reason == ReasonServiceStopped;
    return vague && pluginFailure == pluginLoginFailed ? std::uint32_t(ReasonLoginFailed) : reason;
}

std::uint32_t vpnResult(std::uint32_t reason)
{
    // An unknown future reason must not land on resultNotStarted or beyond.
    return resultBase + (reason <= ReasonConnectionRemoved ? reason : ReasonUnknown);
}

bool isVpnResult(std::uint32_t result)
{
    return result >= resultBase &&
           (result <= resultBase + ReasonConnectionRemoved || result == resultNotStarted);
}

QString vpnReasonText(std::uint32_t reason)
{
    const char* text = nullptr;
    switch (reason) {
    case ReasonUserDisconnected:
        text = QT_TRANSLATE_NOOP("LumtarMain", "The connection was ended on this computer. ");
        break;
    case ReasonDeviceDisconnected:
        text = QT_TRANSLATE_NOOP(
            "LumtarMain", "The network this computer uses went away, and the VPN connection with it. ");
        break;
    case ReasonServiceStopped:
        text = QT_TRANSLATE_NOOP("LumtarMain", "The system's VPN service stopped while connecting. ");
        break;
    case ReasonIpConfigInvalid:
        text = QT_TRANSLATE_NOOP("LumtarMain",
                                 "The VPN server sent network settings this computer cannot use. ");
        break;
    case ReasonConnectTimeout:
        text = QT_TRANSLATE_NOOP("LumtarMain",
                                 "The VPN server did not answer in time. Please try again later or choose "
                                 "another server. ");
        break;
    case ReasonServiceStartTimeout:
    case ReasonServiceStartFailed:
        text = QT_TRANSLATE_NOOP("LumtarMain",
                                 "The system's VPN service for this protocol could not be started. Please "
                                 "check that NetworkManager's plugin for it is installed. ");
        break;
    case ReasonNoSecrets:
        text = QT_TRANSLATE_NOOP("LumtarMain",
                                 "The system did not get the password or key for this connection. Please log "
                                 "in again and connect again. ");
        break;
    case ReasonLoginFailed:
        text = QT_TRANSLATE_NOOP(
            "LumtarMain", "The VPN server refused the user name or password. Please check them, log in "
                          "again and connect again. ");
        break;
    case ReasonConnectionRemoved:
        text = QT_TRANSLATE_NOOP("LumtarMain", "The VPN connection was removed from the system. ");
        break;
    default:
        text = QT_TRANSLATE_NOOP("LumtarMain", "The system's VPN service ended the connection. ");
        break;
    }
    return QCoreApplication::translate("LumtarMain", text);
}

QString vpnResultText(std::uint32_t result)
{
    if (!isVpnResult(result))
        return QString();
    if (result == resultNotStarted)
        return QCoreApplication::translate(
            "LumtarMain", "NetworkManager did not start the VPN connection: it needs a working network "
                          "connection and its plugin for this protocol. ");
    const std::uint32_t reason = result - resultBase;
    // PPTP and L2TP end this way when the server does not answer or the system cannot run PPP;
    // the service does not tell which.
    if (reason == ReasonUnknown || reason == ReasonNone || reason == ReasonServiceStopped ||
        reason == ReasonServiceStartFailed)
        return QCoreApplication::translate(
            "LumtarMain",
            "The system's VPN service could not make the connection: the server did not "
            "answer, or this system lacks the PPP support (the ppp kernel module) that PPTP and "
            "L2TP need. Please try again later, choose another server or use OpenVPN. ");
    return vpnReasonText(reason);
}

} // namespace nm
