#ifndef CORVANE_SETTINGSKEYS_H
#define CORVANE_SETTINGSKEYS_H

#include <QLatin1String>

// Every key the client keeps in the per-user settings store.
namespace SettingsKeys {
inline const QLatin1String running("ltrunning");
inline const QLatin1String maximize("ltmaximize");
inline const QLatin1String remember("ltr");
inline const QLatin1String user("ltu");
// Earlier versions kept the remembered password here in clear. It is only read, to move it
// into the secret store, and removed once it is there.
inline const QLatin1String legacyPassword("ltp");
inline const QLatin1String usedTrial("UsedTrial");
// The server last connected to from the lists, offered again at the next start.
inline const QLatin1String lastServer("lastServer");
// Server names the user starred, and the last few connected to, latest first: listed first.
inline const QLatin1String favouriteServers("favouriteServers");
inline const QLatin1String recentServers("recentServers");
// "1": after an automatic login, connect to the last server.
inline const QLatin1String connectAtStart("connectAtStart");
// "reconnect" (the default), "always" or "off": when the internet is blocked outside the tunnel.
inline const QLatin1String killSwitch("killSwitch");
// "PPTP", "L2TP" or "OpenVPN": chosen first where a server offers it; unset for none.
inline const QLatin1String preferredProtocol("preferredProtocol");
// A language such as "de", or unset for the system's.
inline const QLatin1String language("language");
} // namespace SettingsKeys

#endif
