#include "core/clientsettings.h"

#include "core/settingskeys.h"

#include <QSettings>

namespace ClientSettings {

namespace {

QString storedText(const QLatin1String& key)
{
    const QVariant value = QSettings().value(key);
    return value.userType() == QMetaType::QString ? value.toString() : QString();
}

QStringList storedList(const QLatin1String& key)
{
    const QVariant value = QSettings().value(key);
    if (value.userType() == QMetaType::QString)
        return value.toString().isEmpty() ? QStringList() : QStringList{value.toString()};
    return value.userType() == QMetaType::QStringList ? value.toStringList() : QStringList();
}

const char* const protocols[] = {"PPTP", "L2TP", "OpenVPN"};

} // namespace

bool connectAtStart()
{
    return storedText(SettingsKeys::connectAtStart) == QLatin1String("1");
}

void setConnectAtStart(bool connect)
{
    QSettings().setValue(SettingsKeys::connectAtStart, connect ? QStringLiteral("1") : QStringLiteral("0"));
}

QString preferredProtocol()
{
    const QString stored = storedText(SettingsKeys::preferredProtocol);
    for (const char* protocol : protocols) {
        if (stored == QLatin1String(protocol))
            return stored;
    }
    return QString();
}

void setPreferredProtocol(const QString& protocol)
{
    for (const char* known : protocols) {
        if (protocol == QLatin1String(known)) {
            QSettings().setValue(SettingsKeys::preferredProtocol, protocol);
            return;
        }
    }
    QSettings().remove(SettingsKeys::preferredProtocol);
}

QString language()
{
    const QString stored = storedText(SettingsKeys::language);
    // A language code and nothing else: it becomes part of a file name.
    for (const QChar c : stored) {
        if (c < QLatin1Char('a') || c > QLatin1Char('z'))
            return QString();
    }
    return stored.size() == 2 ? stored : QString();
}

void setLanguage(const QString& code)
{
    if (code.isEmpty())
        QSettings().remove(SettingsKeys::language);
    else
        QSettings().setValue(SettingsKeys::language, code);
}

QStringList favouriteServers()
{
    return storedList(SettingsKeys::favouriteServers);
}

void setFavourite(const QString& server, bool favourite)
{
    QStringList favourites = favouriteServers();
    favourites.removeAll(server);
    if (favourite)
        favourites.append(server);
    QSettings().setValue(SettingsKeys::favouriteServers, favourites);
}

QStringList recentServers()
{
    return storedList(SettingsKeys::recentServers);
}

void noteConnected(const QString& server)
{
    QSettings settings;
    settings.setValue(SettingsKeys::recentServers, withRecent(recentServers(), server));
    settings.setValue(SettingsKeys::lastServer, server);
}

QStringList withRecent(const QStringList& recent, const QString& server, int kept)
{
    QStringList list{server};
    for (const QString& name : recent) {
        if (list.size() >= kept)
            break;
        if (name != server)
            list.append(name);
    }
    return list;
}

} // namespace ClientSettings
