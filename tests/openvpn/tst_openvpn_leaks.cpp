// Nothing leaks around the client's own tunnel. Runs inside the client namespace of the OpenVPN
// lab (tests/openvpn/lab.sh), whose /etc/resolv.conf names the outside host, a host of the local
// network that also takes IPv6. A listener on the outside host and on the pushed name server
// (in the server namespace) tells where the client's traffic arrived. Probes that must not
// arrive are followed, after the block ends, by probes that must: both take the same link, so
// the later ones arriving first shows the earlier ones never left.
#include "connection/killswitch.h"
#include "connection/trafficrules.h"
#include "core/privatefolder.h"
#include "core/settingskeys.h"
#include "openvpnsupport.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

#include <unistd.h>

#include <csignal>

namespace {
const QString certificatePath = QStringLiteral("/files/lab/ca.crt");
const QString configPath = QStringLiteral("/files/lab/client.ovpn");
constexpr int tunnelTimeoutMs = 30000;
constexpr int arrivalTimeoutMs = 10000;

} // namespace

class TestOpenVpnLeaks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void connectionKeepsNameServersAndIpv6InTheTunnel_data();
    void connectionKeepsNameServersAndIpv6InTheTunnel();
    void killSwitchHoldsThroughTheRedialPause_data();
    void killSwitchHoldsThroughTheRedialPause();
    void failureLiftsTheBlockUnlessKeptAlways_data();
    void failureLiftsTheBlockUnlessKeptAlways();
    void nextStartCleansWhatADeadRunLeft();

private:
    QString lab(const char* key) const { return labValues.value(QString::fromLatin1(key)); }
    void serve(const QString& password);
    void endLookups();
    void connectWith(const QString& setting);
    // A TCP connection, a UDP datagram and an IPv6 datagram to the outside host, and a name lookup.
    void sendProbes(const QString& tag);
    bool arrived(const QString& place, const QString& tag);
    QByteArray resolvConf() const;
    bool tableInForce() const;

    QHash<QString, QString> labValues;
    QByteArray originalResolvConf;
    QByteArray labCa;
    QByteArray labConfig;
    std::unique_ptr<WindowHarness> harness;
    ArrivalListener listener;
    QList<QProcess*> lookups;
};

void TestOpenVpnLeaks::initTestCase()
{
    QVERIFY2(::geteuid() == 0, "The leak test needs root (namespaces, TUN, nftables). It does not skip.");
    QString error;
    labValues = readLabEnvironment(qEnvironmentVariable("CORVANE_LAB_ENV"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(!lab("LAB_OUTSIDE_IP6").isEmpty(), "The lab has no outside host: tests/openvpn/lab.sh");
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("nft"), {QStringLiteral("/usr/sbin")}).isEmpty(),
             "nft is not installed (Debian's package nftables): tools/install-deps.sh");
    originalResolvConf = resolvConf();
    QVERIFY2(originalResolvConf.contains("nameserver " + lab("LAB_OUTSIDE_IP").toLatin1()),
             "/etc/resolv.conf is not the lab namespace's own: run this test through CTest");
    isolateSettings();

    const QString outside = lab("LAB_OUTSIDE_IP");
    const QString outside6 = lab("LAB_OUTSIDE_IP6");
    QVERIFY(listener.start(lab("LAB_SERVER_NS"),
                           {"udp," + outside + ",53", "udp," + outside + ",9", "tcp," + outside + ",8080",
                            "udp," + outside6 + ",9", "udp," + lab("LAB_DNS_IP") + ",53"}));
}

void TestOpenVpnLeaks::init()
{
    clearSettings();
    harness = std::make_unique<WindowHarness>();
    qputenv("CORVANE_IPECHO_URL", lab("LAB_ECHO_URL").toUtf8());
    QFile ca(lab("LAB_DIR") + QStringLiteral("/ca.crt"));
    QFile config(lab("LAB_DIR") + QStringLiteral("/client.ovpn"));
    QVERIFY(ca.open(QIODevice::ReadOnly) && config.open(QIODevice::ReadOnly));
    labCa = ca.readAll();
    // At the program's default verbosity its log does not show the pushed options.
    labConfig = config.readAll() + "verb 1\n";
    serve(lab("LAB_PASSWORD_ALICE"));
}

void TestOpenVpnLeaks::serve(const QString& password)
{
    harness->sim.loadData(
        labServiceData({lab("LAB_USER_ALICE"), password, lab("LAB_SERVER_IP"), lab("LAB_TUNNEL_IP_ALICE")},
                       configPath, certificatePath));
    harness->sim.setFile(certificatePath, labCa);
    harness->sim.setFile(configPath, labConfig);
}

void TestOpenVpnLeaks::cleanup()
{
    harness.reset();
    endLookups();
}

void TestOpenVpnLeaks::endLookups()
{
    // A lookup still retrying would send its query once the block is gone.
    for (QProcess* lookup : lookups) {
        lookup->kill();
        lookup->waitForFinished();
        delete lookup;
    }
    lookups.clear();
}

void TestOpenVpnLeaks::connectWith(const QString& setting)
{
    QSettings().setValue(SettingsKeys::killSwitch, setting);
    harness->create();
    QVERIFY(harness->login(lab("LAB_USER_ALICE"), lab("LAB_PASSWORD_ALICE")));
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("connected"),
                              tunnelTimeoutMs);
}

void TestOpenVpnLeaks::sendProbes(const QString& tag)
{
    const QByteArray payload = tag.toLatin1() + '\n';
    QUdpSocket udp;
    udp.writeDatagram(payload, QHostAddress(lab("LAB_OUTSIDE_IP")), 9);
    QUdpSocket udp6;
    udp6.writeDatagram(payload, QHostAddress(lab("LAB_OUTSIDE_IP6")), 9);
    QTcpSocket tcp;
    tcp.connectToHost(QHostAddress(lab("LAB_OUTSIDE_IP")), 8080);
    if (tcp.waitForConnected(3000)) {
        tcp.write(payload);
        tcp.waitForBytesWritten(3000);
        tcp.disconnectFromHost();
    }
    // The system's resolver, as any program of the user asks it.
    auto* lookup = new QProcess;
    lookup->start(QStringLiteral("getent"), {QStringLiteral("hosts"), tag + QStringLiteral(".test")});
    lookups << lookup;
}

bool TestOpenVpnLeaks::arrived(const QString& place, const QString& tag)
{
    const QString dns = place.endsWith(QLatin1String(" 53")) ? QStringLiteral(".test") : QString();
    return listener.arrived(place, tag + dns);
}

QByteArray TestOpenVpnLeaks::resolvConf() const
{
    QFile file(QStringLiteral("/etc/resolv.conf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestOpenVpnLeaks::connectionKeepsNameServersAndIpv6InTheTunnel_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("ipv4Blocked");
    QTest::newRow("kill switch off") << QStringLiteral("off") << false;
    QTest::newRow("kill switch on") << QStringLiteral("reconnect") << true;
}

void TestOpenVpnLeaks::connectionKeepsNameServersAndIpv6InTheTunnel()
{
    QFETCH(QString, setting);
    QFETCH(bool, ipv4Blocked);
    const QString outside = QStringLiteral("udp ") + lab("LAB_OUTSIDE_IP");
    const QString outside6 = QStringLiteral("udp ") + lab("LAB_OUTSIDE_IP6") + QStringLiteral(" 9");
    const QString tunnelDns = QStringLiteral("udp ") + lab("LAB_DNS_IP") + QStringLiteral(" 53");
    const QString tag = QStringLiteral("up-") + setting;
    connectWith(setting);

    sendProbes(tag);
    QTRY_VERIFY_WITH_TIMEOUT(arrived(tunnelDns, tag), arrivalTimeoutMs);
    QCOMPARE(resolvConf(), tunnelResolvConf({lab("LAB_DNS_IP")}));
    if (!ipv4Blocked)
        QTRY_VERIFY_WITH_TIMEOUT(arrived(outside + QStringLiteral(" 9"), tag), arrivalTimeoutMs);

    endLookups();
    harness->invoke("on_disconnect_clicked");
    QCOMPARE(resolvConf(), originalResolvConf);
    sendProbes(tag + QStringLiteral("-after"));
    QTRY_VERIFY_WITH_TIMEOUT(arrived(outside6, tag + QStringLiteral("-after")), arrivalTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(arrived(outside + QStringLiteral(" 53"), tag + QStringLiteral("-after")),
                             arrivalTimeoutMs);
    QVERIFY2(!arrived(outside6, tag), "IPv6 left outside the tunnel");
    QVERIFY2(!arrived(outside + QStringLiteral(" 53"), tag), "a name lookup left outside the tunnel");
    QCOMPARE(arrived(outside + QStringLiteral(" 9"), tag), !ipv4Blocked);
}

void TestOpenVpnLeaks::killSwitchHoldsThroughTheRedialPause_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("blocked");
    QTest::newRow("on") << QStringLiteral("reconnect") << true;
    QTest::newRow("off") << QStringLiteral("off") << false;
}

void TestOpenVpnLeaks::killSwitchHoldsThroughTheRedialPause()
{
    QFETCH(QString, setting);
    QFETCH(bool, blocked);
    const QString outside = QStringLiteral("udp ") + lab("LAB_OUTSIDE_IP");
    const QString tcp = QStringLiteral("tcp ") + lab("LAB_OUTSIDE_IP") + QStringLiteral(" 8080");
    const QString tag = QStringLiteral("pause-") + setting;
    connectWith(setting);
    ConnectionController* connection = harness->window->connectionController();
    const KillSwitch::State expected = blocked ? KillSwitch::State::Blocking : KillSwitch::State::Guarding;
    QCOMPARE(connection->killSwitch()->state(), expected);
    KillSwitch::State stateAtDrop = KillSwitch::State::Off;
    QElapsedTimer sinceKill;
    qint64 reportedAfterMs = -1;
    connect(connection, &ConnectionController::stateChanged, this, [&](ConnectionController::State state) {
        if (state == ConnectionController::State::Reconnecting && reportedAfterMs < 0) {
            stateAtDrop = connection->killSwitch()->state();
            reportedAfterMs = sinceKill.elapsed();
        }
    });
    sinceKill.start();
    QCOMPARE(::kill(pid_t(harness->window->openVpnChild()->processId()), SIGKILL), 0);
    QTRY_COMPARE_WITH_TIMEOUT(connection->state(), ConnectionController::State::Reconnecting, 5000);
    // In force before the drop, and never lifted in between.
    QCOMPARE(stateAtDrop, expected);
    qInfo("drop reported %lld ms after the kill, the block in force all along",
          static_cast<long long>(reportedAfterMs));

    // The pause waits for the test's clock: no redial comes in between.
    sendProbes(tag);
    if (!blocked)
        QTRY_VERIFY_WITH_TIMEOUT(arrived(tcp, tag), arrivalTimeoutMs);
    endLookups();
    harness->invoke("on_disconnect_clicked");
    QCOMPARE(connection->killSwitch()->state(), KillSwitch::State::Off);
    sendProbes(tag + QStringLiteral("-after"));
    for (const QString& place : {outside + QStringLiteral(" 9"), tcp, outside + QStringLiteral(" 53")}) {
        QTRY_VERIFY_WITH_TIMEOUT(arrived(place, tag + QStringLiteral("-after")), arrivalTimeoutMs);
        QCOMPARE(arrived(place, tag), !blocked && !place.endsWith(QLatin1String(" 53")));
    }
}

bool TestOpenVpnLeaks::tableInForce() const
{
    QProcess list;
    list.start(QStringLiteral("nft"), {QStringLiteral("list"), QStringLiteral("table"),
                                       QStringLiteral("inet"), QString::fromLatin1(nftablesTableName)});
    return list.waitForFinished() && list.exitStatus() == QProcess::NormalExit && list.exitCode() == 0;
}

void TestOpenVpnLeaks::failureLiftsTheBlockUnlessKeptAlways_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("after");
    QTest::newRow("reconnect") << QStringLiteral("reconnect") << int(KillSwitch::State::Lifted);
    QTest::newRow("always") << QStringLiteral("always") << int(KillSwitch::State::Blocking);
}

void TestOpenVpnLeaks::failureLiftsTheBlockUnlessKeptAlways()
{
    QFETCH(QString, setting);
    QFETCH(int, after);
    // The service knows this password; the VPN server does not.
    const QString wrong = QStringLiteral("not-the-password");
    serve(wrong);
    QSettings().setValue(SettingsKeys::killSwitch, setting);
    harness->create();
    QVERIFY(harness->login(lab("LAB_USER_ALICE"), wrong));
    ConnectionController* connection = harness->window->connectionController();
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(connection->state(), ConnectionController::State::Failed, tunnelTimeoutMs);
    QCOMPARE(int(connection->killSwitch()->state()), after);
    QCOMPARE(tableInForce(), after == int(KillSwitch::State::Blocking));
    if (setting == QLatin1String("always")) {
        // Turned down on the settings page: the held block goes at once.
        connection->killSwitch()->setMode(KillSwitchMode::Reconnect);
        QCOMPARE(QSettings().value(SettingsKeys::killSwitch).toString(), QStringLiteral("reconnect"));
        QVERIFY(!tableInForce());
    }

    connection->disconnect();
    QCOMPARE(connection->killSwitch()->state(), KillSwitch::State::Off);
    QVERIFY(!tableInForce());
}

void TestOpenVpnLeaks::nextStartCleansWhatADeadRunLeft()
{
    // What a run killed while connected leaves: its table and the tunnel's resolv.conf.
    BlockRules rules;
    rules.everything = true;
    QProcess nft;
    nft.start(QStringLiteral("nft"), {QStringLiteral("-f"), QStringLiteral("-")});
    QVERIFY(nft.waitForStarted());
    nft.write(nftablesScript(rules));
    nft.closeWriteChannel();
    QVERIFY(nft.waitForFinished() && nft.exitCode() == 0);
    const QString kept = privateRuntimeFolder() + QStringLiteral("/corvane/resolv.conf.replaced");
    QFile saved(kept);
    QVERIFY(saved.open(QIODevice::WriteOnly) && saved.write(originalResolvConf) == originalResolvConf.size());
    saved.close();
    QFile current(QStringLiteral("/etc/resolv.conf"));
    QVERIFY(current.open(QIODevice::WriteOnly | QIODevice::Truncate));
    current.write(tunnelResolvConf({lab("LAB_DNS_IP")}));
    current.close();

    harness->create();
    QVERIFY(harness->window->connectionController()->killSwitch()->leftoverRemoved());
    QCOMPARE(resolvConf(), originalResolvConf);
    QVERIFY(!QFile::exists(kept));
    QVERIFY2(!tableInForce(), "the table of the dead run is still there");
}

QTEST_MAIN(TestOpenVpnLeaks)
#include "tst_openvpn_leaks.moc"
