// The plain pieces of the kill switch and the leak protection: the servers a configuration may
// dial, the nftables rule set (checked by the real nft, which commits nothing in check mode),
// the pushed name servers and the resolv.conf that uses them.
#include "connection/openvpnconfig.h"
#include "connection/trafficrules.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <unistd.h>

Q_DECLARE_METATYPE(QVector<ServerEndpoint>)

class TestTrafficRules : public QObject
{
    Q_OBJECT

private slots:
    void settingReadsKnownTextsOnly_data();
    void settingReadsKnownTextsOnly();
    void serversComeFromRemotesWithTheirDefaults_data();
    void serversComeFromRemotesWithTheirDefaults();
    void ruleSetAllowsOnlyWhatItNames_data();
    void ruleSetAllowsOnlyWhatItNames();
    void ruleSetIsOneNftTransaction();
    void windowsFiltersPassOnlyWhatTheRulesAllow_data();
    void windowsFiltersPassOnlyWhatTheRulesAllow();
    void pushedNameServersAreAddressesOnly_data();
    void pushedNameServersAreAddressesOnly();
    void resolvConfNamesOnlyTheTunnelsServers();
};

void TestTrafficRules::settingReadsKnownTextsOnly_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("written");
    QTest::newRow("unset") << QVariant() << int(KillSwitchMode::Reconnect) << "reconnect";
    QTest::newRow("always") << QVariant(QStringLiteral("always")) << int(KillSwitchMode::Always) << "always";
    QTest::newRow("off") << QVariant(QStringLiteral("off")) << int(KillSwitchMode::Off) << "off";
    QTest::newRow("other case") << QVariant(QStringLiteral("Off")) << int(KillSwitchMode::Reconnect)
                                << "reconnect";
    QTest::newRow("a number") << QVariant(0) << int(KillSwitchMode::Reconnect) << "reconnect";
}

void TestTrafficRules::settingReadsKnownTextsOnly()
{
    QFETCH(QVariant, stored);
    QFETCH(int, mode);
    QFETCH(QString, written);
    QCOMPARE(int(killSwitchModeFromSetting(stored)), mode);
    QCOMPARE(killSwitchSettingText(KillSwitchMode(mode)), written);
}

void TestTrafficRules::serversComeFromRemotesWithTheirDefaults_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QVector<ServerEndpoint>>("servers");
    const QByteArray head = "client\ndev tun\n";
    QTest::newRow("defaults") << head + "remote 198.18.0.1\n"
                              << QVector<ServerEndpoint>{{"198.18.0.1", 1194, "udp"}};
    QTest::newRow("file port and proto")
        << head + "proto tcp-client\nport 443\nremote vpn.example 8443\nremote 198.18.0.9\n"
        << QVector<ServerEndpoint>{{"vpn.example", 8443, "tcp"}, {"198.18.0.9", 443, "tcp"}};
    QTest::newRow("connection blocks")
        << head + "proto udp\n<connection>\nremote 198.18.0.1 1194\n</connection>\n"
                  "<connection>\nremote 198.18.0.2 443 tcp\n</connection>\n"
        << QVector<ServerEndpoint>{{"198.18.0.1", 1194, "udp"}, {"198.18.0.2", 443, "tcp"}};
    QTest::newRow("twice the same") << head + "remote 198.18.0.1\nremote 198.18.0.1 1194 udp\n"
                                    << QVector<ServerEndpoint>{{"198.18.0.1", 1194, "udp"}};
}

void TestTrafficRules::serversComeFromRemotesWithTheirDefaults()
{
    QFETCH(QByteArray, config);
    QFETCH(QVector<ServerEndpoint>, servers);
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(config);
    QVERIFY2(verdict.accepted, qPrintable(verdict.reason));
    QCOMPARE(openVpnServerEndpoints(verdict.directives), servers);
}

void TestTrafficRules::ruleSetAllowsOnlyWhatItNames_data()
{
    QTest::addColumn<bool>("everything");
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QByteArrayList>("present");
    QTest::addColumn<QByteArrayList>("absent");
    QTest::newRow("kill switch") << true << QStringList{"tun0"}
                                 << QByteArrayList{"oifname \"tun0\" accept",
                                                   "ip daddr 198.18.0.1 udp dport 1194 accept",
                                                   "\t\treject with icmpx type admin-prohibited"}
                                 << QByteArrayList{"dport 53 reject"};
    QTest::newRow("leak protection") << false << QStringList{"tun0"}
                                     << QByteArrayList{"meta nfproto ipv6 reject",
                                                       "meta l4proto { tcp, udp } th dport 53 reject"}
                                     << QByteArrayList{"\t\treject"};
    QTest::newRow("unsafe device name") << true << QStringList{"tun0\" accept\n\t\taccept #"}
                                        << QByteArrayList{"oifname \"lo\" accept"} << QByteArrayList{"tun0"};
}

void TestTrafficRules::ruleSetAllowsOnlyWhatItNames()
{
    QFETCH(bool, everything);
    QFETCH(QStringList, devices);
    QFETCH(QByteArrayList, present);
    QFETCH(QByteArrayList, absent);
    BlockRules rules;
    rules.everything = everything;
    rules.tunnelDevices = devices;
    rules.allowed = {{QHostAddress(QStringLiteral("198.18.0.1")), 1194, QStringLiteral("udp")}};
    const QByteArray script = nftablesScript(rules);
    for (const QByteArray& line : present)
        QVERIFY2(script.contains(line), line.constData());
    for (const QByteArray& line : absent)
        QVERIFY2(!script.contains(line), line.constData());
}

void TestTrafficRules::ruleSetIsOneNftTransaction()
{
    const QString nft = QStandardPaths::findExecutable(QStringLiteral("nft"), {QStringLiteral("/usr/sbin")});
    QVERIFY2(!nft.isEmpty(), "nft is not installed (Debian's package nftables): tools/install-deps.sh");
    QVERIFY2(::geteuid() == 0,
             "nft checks a rule set against the kernel only as root; run this test as root");
    BlockRules rules;
    rules.everything = true;
    rules.tunnelDevices = QStringList{QStringLiteral("tun0")};
    rules.allowed = {{QHostAddress(QStringLiteral("198.18.0.1")), 1194, QStringLiteral("udp")},
                     {QHostAddress(QStringLiteral("2001:db8::1")), 443, QString()},
                     {QHostAddress(QStringLiteral("198.18.0.7")), 0, QString()}};
    for (const QByteArray& script : {nftablesScript(rules), nftablesRemovalScript()}) {
        QProcess check;
        // Check mode: the kernel parses the transaction and commits nothing.
        check.start(nft, {QStringLiteral("-c"), QStringLiteral("-f"), QStringLiteral("-")});
        QVERIFY(check.waitForStarted());
        check.write(script);
        check.closeWriteChannel();
        QVERIFY(check.waitForFinished());
        QVERIFY2(check.exitCode() == 0, check.readAllStandardError().constData());
    }
}

void TestTrafficRules::windowsFiltersPassOnlyWhatTheRulesAllow_data()
{
    QTest::addColumn<bool>("everything");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("remote");
    QTest::addColumn<int>("remotePort");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<bool>("passes");
    const QString eth = QStringLiteral("Ethernet");
    const int tcp = 6;
    const int udp = 17;
    QTest::newRow("loopback") << true << QString() << "127.0.0.1" << 80 << tcp << true;
    QTest::newRow("tunnel") << true << "tun0"
                            << "203.0.113.5" << 443 << tcp << true;
    QTest::newRow("server, its transport") << true << eth << "198.18.0.1" << 1194 << udp << true;
    QTest::newRow("server, other transport") << true << eth << "198.18.0.1" << 1194 << tcp << false;
    QTest::newRow("server, other port") << true << eth << "198.18.0.1" << 443 << tcp << false;
    QTest::newRow("other host") << true << eth << "203.0.113.5" << 443 << tcp << false;
    QTest::newRow("v6 server, any transport") << true << eth << "2001:db8::1" << 443 << udp << true;
    QTest::newRow("v6 other host") << true << eth << "2001:db8::9" << 443 << tcp << false;
    QTest::newRow("v6 loopback") << true << QString() << "::1" << 80 << tcp << true;
    QTest::newRow("name server") << true << eth << "192.0.2.53" << 53 << udp << false;
    QTest::newRow("guard: other host") << false << eth << "203.0.113.5" << 443 << tcp << true;
    QTest::newRow("guard: name server") << false << eth << "192.0.2.53" << 53 << udp << false;
    QTest::newRow("guard: name server, tcp") << false << eth << "192.0.2.53" << 53 << tcp << false;
    QTest::newRow("guard: name server in tunnel") << false << "tun0"
                                                  << "192.0.2.53" << 53 << udp << true;
    QTest::newRow("guard: v6 outside") << false << eth << "2001:db8::9" << 443 << tcp << false;
    QTest::newRow("guard: v6 in tunnel") << false << "tun0"
                                         << "2001:db8::9" << 443 << tcp << true;
}

void TestTrafficRules::windowsFiltersPassOnlyWhatTheRulesAllow()
{
    QFETCH(bool, everything);
    QFETCH(QString, device);
    QFETCH(QString, remote);
    QFETCH(int, remotePort);
    QFETCH(int, protocol);
    QFETCH(bool, passes);
    BlockRules rules;
    rules.everything = everything;
    rules.tunnelDevices = QStringList{QStringLiteral("tun0")};
    rules.allowed = {{QHostAddress(QStringLiteral("198.18.0.1")), 1194, QStringLiteral("udp")},
                     {QHostAddress(QStringLiteral("2001:db8::1")), 443, QString()}};
    const QHostAddress address(remote);
    // The platform's arbitration within one sublayer: the matching filter of highest weight.
    int best = -1;
    bool verdict = true;
    for (const WfpFilter& filter : wfpFilters(rules)) {
        const bool matches = filter.ipv6 == (address.protocol() == QAbstractSocket::IPv6Protocol) &&
                             (!filter.loopback || address.isLoopback()) &&
                             (filter.device.isEmpty() || filter.device == device) &&
                             (filter.remote.isNull() || filter.remote == address) &&
                             (!filter.remotePort || filter.remotePort == remotePort) && !filter.localPort &&
                             (!filter.protocol || filter.protocol == protocol);
        if (matches && filter.weight > best) {
            best = filter.weight;
            verdict = filter.permit;
        }
    }
    QCOMPARE(verdict, passes);
}

void TestTrafficRules::pushedNameServersAreAddressesOnly_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("servers");
    const QString push = QStringLiteral("PUSH: Received control message: 'PUSH_REPLY,");
    QTest::newRow("dhcp-option") << push + "route 198.18.100.1,dhcp-option DNS 198.18.100.53,"
                                           "dhcp-option DNS6 2001:db8::53,ping 10'"
                                 << QStringList{"198.18.100.53", "2001:db8::53"};
    QTest::newRow("dns server")
        << push + "dns server 0 address 198.18.100.53:53 [2001:db8::53]:53 2001:db8::54,ping 10'"
        << QStringList{"198.18.100.53", "2001:db8::53", "2001:db8::54"};
    QTest::newRow("names and words dropped") << push + "dhcp-option DNS ns.example,dhcp-option DOMAIN x,"
                                                       "dhcp-option DNS 1.2.3.4 extra'"
                                             << QStringList();
    QTest::newRow("twice") << push + "dhcp-option DNS 198.18.100.53,dhcp-option DNS 198.18.100.53'"
                           << QStringList{"198.18.100.53"};
}

void TestTrafficRules::pushedNameServersAreAddressesOnly()
{
    QFETCH(QString, line);
    QFETCH(QStringList, servers);
    QCOMPARE(pushedNameServers(line), servers);
}

void TestTrafficRules::resolvConfNamesOnlyTheTunnelsServers()
{
    const QByteArray text = tunnelResolvConf(
        {"198.18.100.53", "2001:db8::53", "198.18.100.54", "198.18.100.55", "bad\nnameserver 9.9.9.9"});
    QList<QByteArray> servers;
    for (const QByteArray& line : text.split('\n'))
        if (line.startsWith("nameserver"))
            servers << line;
    QCOMPARE(servers, (QList<QByteArray>{"nameserver 198.18.100.53", "nameserver 2001:db8::53",
                                         "nameserver 198.18.100.54"}));
    QVERIFY(text.startsWith("# Written by Corvane"));
}

QTEST_GUILESS_MAIN(TestTrafficRules)
#include "tst_trafficrules.moc"
