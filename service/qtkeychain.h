#ifndef CORVANE_SERVICE_QTKEYCHAIN_H
#define CORVANE_SERVICE_QTKEYCHAIN_H

// QtKeychain installs its header under the name of the Qt it was built for.
#include <QtGlobal>
#if QT_VERSION_MAJOR >= 6
#include <qt6keychain/keychain.h>
#else
#include <qt5keychain/keychain.h>
#endif

#endif
