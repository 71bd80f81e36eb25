// The user's choices on the settings page and the lists that rank the servers, kept in the
// settings store under their own keys (core/settingskeys.h). Values read from the store are
// checked: anything but a known value reads as the default.
#ifndef CORVANE_CLIENTSETTINGS_H
#define CORVANE_CLIENTSETTINGS_H

#include <QString>
#include <QStringList>

namespace ClientSettings {

// The kill switch is the connection's own (connection/killswitch.h) and stores itself.

bool connectAtStart();
void setConnectAtStart(bool connect);

// "PPTP", "L2TP", "OpenVPN", or empty for none.
QString preferredProtocol();
void setPreferredProtocol(const QString& protocol);

// The language the user chose ("en", "de"), or empty for the system's.
QString language();
void setLanguage(const QString& code);

QStringList favouriteServers();
void setFavourite(const QString& server, bool favourite);

// The servers connected to, latest first, a few at most.
QStringList recentServers();
void noteConnected(const QString& server);
// `recent` with `server` put first, each name once, at most `kept` names.
QStringList withRecent(const QStringList& recent, const QString& server, int kept = 5);

} // namespace ClientSettings

#endif
