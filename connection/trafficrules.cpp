#include "connection/trafficrules.h"

#include <QRegularExpression>

namespace {

constexpr quint16 openVpnDefaultPort = 1194;

QString transportOf(const QByteArray& proto)
{
    if (proto.startsWith("udp"))
        return QStringLiteral("udp");
    if (proto.startsWith("tcp"))
        return QStringLiteral("tcp");
    return QString();
}

quint16 portOf(const QByteArray& word)
{
    bool ok = false;
    const uint port = word.toUInt(&ok);
    return ok && port > 0 && port <= 65535 ? quint16(port) : 0;
}

// What 'port', 'rport' and 'proto' say within one scope: the file, or one <connection> block.
struct Defaults
{
    quint16 port = 0;
    QString transport;
    QVector<ServerEndpoint> remotes; // as written, port and transport 0/empty where not given

    void take(const QList<QByteArray>& words)
    {
        const QByteArray& name = words.first();
        if ((name == "port" || name == "rport") && words.size() > 1)
            port = portOf(words.at(1));
        else if (name == "proto" && words.size() > 1)
            transport = transportOf(words.at(1));
        else if (name == "remote" && words.size() > 1)
            remotes.append({QString::fromLatin1(words.at(1)),
                            words.size() > 2 ? portOf(words.at(2)) : quint16(0),
                            words.size() > 3 ? transportOf(words.at(3)) : QString()});
    }
};

QString nftAddress(const QHostAddress& address)
{
    return (address.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("ip6 daddr ")
                                                                : QStringLiteral("ip daddr ")) +
           address.toString();
}

bool isSafeDeviceName(const QString& name)
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_.-]{1,15}$"));
    return safe.match(name).hasMatch();
}

// An address of 'dns server n address': a.b.c.d[:port], [v6][:port] or a bare v6.
QString withoutPort(const QString& word)
{
    if (word.startsWith(QLatin1Char('[')))
        return word.mid(1, word.indexOf(QLatin1Char(']')) - 1);
    if (word.count(QLatin1Char(':')) == 1)
        return word.section(QLatin1Char(':'), 0, 0);
    return word;
}

} // namespace

const char nftablesTableName[] = "corvane";

KillSwitchMode killSwitchModeFromSetting(const QVariant& value)
{
    const QString text = value.userType() == QMetaType::QString ? value.toString() : QString();
    if (text == QLatin1String("always"))
        return KillSwitchMode::Always;
    if (text == QLatin1String("off"))
        return KillSwitchMode::Off;
    return KillSwitchMode::Reconnect;
}

QString killSwitchSettingText(KillSwitchMode mode)
{
    switch (mode) {
    case KillSwitchMode::Always:
        return QStringLiteral("always");
    case KillSwitchMode::Off:
        return QStringLiteral("off");
    case KillSwitchMode::Reconnect:
        break;
    }
    return QStringLiteral("reconnect");
}

QVector<ServerEndpoint> openVpnServerEndpoints(const QList<OpenVpnDirective>& directives)
{
    Defaults file;
    QVector<Defaults> blocks;
    bool inBlock = false;
    for (const OpenVpnDirective& directive : directives) {
        if (directive.block || directive.words.isEmpty())
            continue;
        const QByteArray& name = directive.words.first();
        if (name == "<connection>") {
            blocks.append(Defaults());
            inBlock = true;
        } else if (name == "</connection>") {
            inBlock = false;
        } else {
            (inBlock ? blocks.last() : file).take(directive.words);
        }
    }
    QVector<ServerEndpoint> endpoints;
    const auto add = [&endpoints](const Defaults& scope, const Defaults& outer) {
        for (ServerEndpoint remote : scope.remotes) {
            if (!remote.port)
                remote.port = scope.port ? scope.port : outer.port ? outer.port : openVpnDefaultPort;
            if (remote.transport.isEmpty())
                remote.transport = !scope.transport.isEmpty()   ? scope.transport
                                   : !outer.transport.isEmpty() ? outer.transport
                                                                : QStringLiteral("udp");
            if (!endpoints.contains(remote))
                endpoints.append(remote);
        }
    };
    // A file with <connection> blocks dials those; its own 'remote' lines too.
    add(file, Defaults());
    for (const Defaults& block : blocks)
        add(block, file);
    return endpoints;
}

QByteArray nftablesScript(const BlockRules& rules)
{
    QStringList lines;
    const QString reject = QStringLiteral("reject with icmpx type admin-prohibited");
    lines << QStringLiteral("oifname \"lo\" accept");
    for (const QString& device : rules.tunnelDevices)
        if (isSafeDeviceName(device))
            lines << QStringLiteral("oifname \"%1\" accept").arg(device);
    for (const AllowedEndpoint& endpoint : rules.allowed) {
        if (endpoint.address.isNull())
            continue;
        QString line = nftAddress(endpoint.address);
        if (!endpoint.transport.isEmpty() && endpoint.port)
            line += QStringLiteral(" %1 dport %2").arg(endpoint.transport).arg(endpoint.port);
        else if (endpoint.port)
            line += QStringLiteral(" meta l4proto { tcp, udp } th dport %1").arg(endpoint.port);
        lines << line + QStringLiteral(" accept");
    }
    // The link itself stays up: addresses by DHCP, neighbours and routers by ICMPv6.
    lines << QStringLiteral("udp sport 68 udp dport 67 accept")
          << QStringLiteral("udp sport 546 udp dport 547 accept")
          << QStringLiteral(
                 "icmpv6 type { nd-router-solicit, nd-neighbor-solicit, nd-neighbor-advert } accept");
    if (rules.everything) {
        lines << reject;
    } else {
        lines << QStringLiteral("meta nfproto ipv6 ") + reject
              << QStringLiteral("meta l4proto { tcp, udp } th dport 53 ") + reject;
    }
    QByteArray script;
    const QByteArray table = QByteArrayLiteral("table inet ") + nftablesTableName;
    // Made first so that the delete cannot fail: the three lines are one transaction.
    script += table + "\ndelete " + table + '\n' + table + " {\n";
    script += "\tchain output {\n\t\ttype filter hook output priority filter; policy accept;\n";
    for (const QString& line : lines)
        script += "\t\t" + line.toLatin1() + '\n';
    script += "\t}\n}\n";
    return script;
}

QByteArray nftablesRemovalScript()
{
    const QByteArray table = QByteArrayLiteral("table inet ") + nftablesTableName;
    return table + "\ndelete " + table + '\n';
}

QVector<WfpFilter> wfpFilters(const BlockRules& rules)
{
    // Weights: what may pass outweighs the block.
    constexpr quint8 permitted = 15;
    constexpr quint8 blocked = 1;
    constexpr quint8 tcp = 6;
    constexpr quint8 udp = 17;
    QVector<WfpFilter> filters;
    for (const bool ipv6 : {false, true}) {
        WfpFilter permit;
        permit.ipv6 = ipv6;
        permit.permit = true;
        permit.weight = permitted;
        WfpFilter loopback = permit;
        loopback.loopback = true;
        filters << loopback;
        for (const QString& device : rules.tunnelDevices) {
            WfpFilter tunnel = permit;
            tunnel.device = device;
            filters << tunnel;
        }
        for (const AllowedEndpoint& endpoint : rules.allowed) {
            const bool v6 = endpoint.address.protocol() == QAbstractSocket::IPv6Protocol;
            if (endpoint.address.isNull() || v6 != ipv6)
                continue;
            WfpFilter server = permit;
            server.remote = endpoint.address;
            server.remotePort = endpoint.port;
            if (endpoint.transport == QLatin1String("tcp"))
                server.protocol = tcp;
            else if (endpoint.transport == QLatin1String("udp"))
                server.protocol = udp;
            filters << server;
        }
        // The link itself stays up: addresses by DHCP. Neighbour discovery passes below these
        // layers.
        WfpFilter dhcp = permit;
        dhcp.protocol = udp;
        dhcp.localPort = ipv6 ? 546 : 68;
        dhcp.remotePort = ipv6 ? 547 : 67;
        filters << dhcp;

        WfpFilter block;
        block.ipv6 = ipv6;
        block.weight = blocked;
        if (!rules.everything && !ipv6)
            block.remotePort = 53;
        filters << block;
    }
    return filters;
}

QStringList pushedNameServers(const QString& logLine)
{
    QString options = logLine;
    const int reply = options.indexOf(QLatin1String("PUSH_REPLY,"));
    if (reply >= 0)
        options = options.mid(reply + int(qstrlen("PUSH_REPLY,")));
    if (options.endsWith(QLatin1Char('\'')))
        options.chop(1);
    QStringList servers;
    const auto addServer = [&servers](const QString& text) {
        const QHostAddress address(text);
        if (!address.isNull() && !servers.contains(address.toString()))
            servers << address.toString();
    };
    for (const QString& option : options.split(QLatin1Char(','))) {
        const QStringList words = option.simplified().split(QLatin1Char(' '));
        if (words.size() == 3 && words.at(0) == QLatin1String("dhcp-option") &&
            (words.at(1) == QLatin1String("DNS") || words.at(1) == QLatin1String("DNS6")))
            addServer(words.at(2));
        // OpenVPN 2.6's own form: dns server <n> address <a> [<a> ...]
        if (words.size() >= 5 && words.at(0) == QLatin1String("dns") &&
            words.at(1) == QLatin1String("server") && words.at(3) == QLatin1String("address"))
            for (int i = 4; i < words.size(); ++i)
                addServer(withoutPort(words.at(i)));
    }
    return servers;
}

QByteArray tunnelResolvConf(const QStringList& servers)
{
    QByteArray text = "# Written by Corvane for its VPN connection: only the tunnel's name servers.\n"
                      "# The file it replaced comes back when the connection ends.\n";
    // The resolver reads no more than three.
    for (const QString& server : servers.mid(0, 3))
        if (!QHostAddress(server).isNull())
            text += "nameserver " + QHostAddress(server).toString().toLatin1() + '\n';
    return text;
}
