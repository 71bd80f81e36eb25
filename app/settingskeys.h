#ifndef CORVANE_SETTINGSKEYS_H
#define CORVANE_SETTINGSKEYS_H

#include <QLatin1String>

// Every key the client keeps in the per-user settings store.
namespace SettingsKeys {
inline const QLatin1String running("ltrunning");
inline const QLatin1String maximize("ltmaximize");
inline const QLatin1String remember("ltr");
inline const QLatin1String user("ltu");
inline const QLatin1String password("ltp");
inline const QLatin1String usedTrial("UsedTrial");
} // namespace SettingsKeys

#endif
