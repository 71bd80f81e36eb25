// What the kill switch and the leak protection are made of, as plain data and text: the VPN
// servers a configuration names, the rules that keep traffic in the tunnel, the nftables rule
// set and the Windows filters that say them, the name servers a server pushes and the
// resolv.conf that uses them.
#ifndef CORVANE_TRAFFICRULES_H
#define CORVANE_TRAFFICRULES_H

#include "connection/openvpnconfig.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// The kill switch setting ("killSwitch" in the settings).
enum class KillSwitchMode
{
    Reconnect, // blocked from the connect click through every redial, lifted after a failure
    Always,    // blocked from the connect click until the user disconnects or quits
    Off,       // only the leak protection of a connection that is up
};

// The stored text read as a mode: "reconnect" (also when unset or unknown), "always", "off".
KillSwitchMode killSwitchModeFromSetting(const QVariant& value);
QString killSwitchSettingText(KillSwitchMode mode);

// A VPN server as a configuration or a dial names it: a host (an address or a name), a port (0:
// any) and a transport ("udp", "tcp" or empty for any).
struct ServerEndpoint
{
    QString host;
    quint16 port = 0;
    QString transport;

    bool operator==(const ServerEndpoint& other) const
    {
        return host == other.host && port == other.port && transport == other.transport;
    }
};

// Every server an accepted configuration may dial: its 'remote' lines, also inside <connection>
// blocks, with the port and protocol they or the file's 'port', 'rport' and 'proto' give
// (OpenVPN's defaults: 1194, udp).
QVector<ServerEndpoint> openVpnServerEndpoints(const QList<OpenVpnDirective>& directives);

// An address traffic may still reach while blocked.
struct AllowedEndpoint
{
    QHostAddress address;
    quint16 port = 0;  // 0: any
    QString transport; // "udp", "tcp", empty: any

    bool operator==(const AllowedEndpoint& other) const
    {
        return address == other.address && port == other.port && transport == other.transport;
    }
};

// What is blocked now.
struct BlockRules
{
    // Everything outside the tunnel (the kill switch); otherwise only IPv6 and name servers
    // outside it (the leak protection).
    bool everything = false;
    // The tunnel's network devices, once known.
    QStringList tunnelDevices;
    QVector<AllowedEndpoint> allowed;

    bool operator==(const BlockRules& other) const
    {
        return everything == other.everything && tunnelDevices == other.tunnelDevices &&
               allowed == other.allowed;
    }
};

// The client's own nftables table, named thus in the "inet" family.
extern const char nftablesTableName[];

// One nftables script that replaces the client's table atomically by one holding `rules`.
// Device names that nftables could not read safely are left out (and so stay blocked).
QByteArray nftablesScript(const BlockRules& rules);
// The script that removes the table, if there is one.
QByteArray nftablesRemovalScript();

// One filter of the Windows Filtering Platform's block, as plain data. Within the client's own
// sublayer the matching filter of the highest weight decides whether a connection may be made.
struct WfpFilter
{
    bool ipv6 = false;
    bool permit = false;
    quint8 weight = 0;
    bool loopback = false;  // only loopback traffic
    QString device;         // only traffic over this device (the tunnel's)
    QHostAddress remote;    // only to this address; null: any
    quint16 remotePort = 0; // 0: any
    quint16 localPort = 0;  // 0: any
    quint8 protocol = 0;    // 6 TCP, 17 UDP; 0: any
};

// The filters that say `rules` for connections the system authorises (both families), the same
// rules as nftablesScript().
QVector<WfpFilter> wfpFilters(const BlockRules& rules);

// The name servers of a pushed option list ("PUSH: Received control message: 'PUSH_REPLY,...'"
// as the program logs it, or the options alone): every 'dhcp-option DNS' and 'DNS6' address.
QStringList pushedNameServers(const QString& logLine);

// A resolv.conf that asks only `servers` and routes every domain to them; what it replaces is
// named in a comment for whoever reads it.
QByteArray tunnelResolvConf(const QStringList& servers);

#endif
