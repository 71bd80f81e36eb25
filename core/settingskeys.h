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
// When the internet is blocked around the VPN: "reconnect" (the default), "always" or "off".
inline const QLatin1String killSwitch("killSwitch");
} // namespace SettingsKeys

#endif
