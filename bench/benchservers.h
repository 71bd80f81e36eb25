#ifndef CORVANE_BENCHSERVERS_H
#define CORVANE_BENCHSERVERS_H

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// Servers whose neighbours offer different protocols and types, so each step through the
// list changes what the lower lists show.
inline QJsonArray benchServers(int count, const QString& base)
{
    static const char* countries[] = {"ca", "ch", "de", "fr", "it", "nl", "ro", "se", "uk", "us"};
    QJsonArray servers;
    for (int id = 1; id <= count; ++id) {
        const int kind = id % 3;
        QJsonArray profiles;
        for (int p = 0; p < 1 + id % 4; ++p) {
            const QString name = QStringLiteral("profile-%1-%2").arg(id).arg(p);
            profiles.append(QJsonObject{{"name", name},
                                        {"config", base + QStringLiteral("/files/%1.ovpn").arg(name)},
                                        {"certificate", base + QStringLiteral("/files/ca%1.crt").arg(id)}});
        }
        const QString address = QStringLiteral("198.18.%1.%2").arg(id / 250 % 256).arg(id % 250 + 1);
        servers.append(
            QJsonObject{{"id", id},
                        {"shortname", QStringLiteral("%1 Server %2").arg(countries[id % 10]).arg(id)},
                        {"ip", address},
                        {"country", QLatin1String(countries[id % 10])},
                        {"assignedIP", address},
                        {"pptp", kind == 0},
                        {"l2tp", kind != 1},
                        {"pskey", QStringLiteral("key-%1").arg(id)},
                        {"openvpn", kind != 0},
                        {"profiles", profiles}});
    }
    return servers;
}

#endif
