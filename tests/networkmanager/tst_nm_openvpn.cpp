// The window's OpenVPN connection through the lab's real NetworkManager (nm.sh) and the lab's
// real OpenVPN server: no program of the client's own runs, the daemon applies the pushed name
// server, and nothing of the connection or its password stays behind.
#include "connection/connectionengine.h"
#include "connection/killswitch.h"
#include "core/settingskeys.h"
#include "nmsupport.h"
#include "openvpnsupport.h"
#include "testsupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <csignal>

namespace {
const QString certificatePath = QStringLiteral("/files/lab/ca.crt");
const QString configPath = QStringLiteral("/files/lab/client.ovpn");
constexpr int tunnelTimeoutMs = 30000;
} // namespace

// Counts the plugin failure signals this process receives, whoever sent them.
class FailureWatch : public QObject
{
    Q_OBJECT

public:
    int seen = 0;

public slots:
    void failure(uint) { ++seen; }
};

class TestNmOpenVpn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { harness.reset(); }
    void connectsAppliesNameServerAndLeavesNothing();
    void tunnelsNameServerIsTheOnlyOne();
    void killSwitchBlocksAllButTheTunnel_data();
    void killSwitchBlocksAllButTheTunnel();
    void nextStartRemovesTheBlockADeadRunLeft();
    void refusedPasswordIsToldAtOnce();
    void tunnelEndedOutsideGoesDownTheDropPath();
    void daemonOrPluginGoneIsADropAndRedialled_data();
    void daemonOrPluginGoneIsADropAndRedialled();
    void secretsGoToNetworkManagerAlone();
    void pluginFailureCountsOnlyFromThePlugin();
    void inlineBlocksLeaveNothingBehind();

private:
    QString lab(const QString& key) const { return labValues.value(key); }
    // Serves the lab's configuration with `addition` at its end.
    void openWindowAndLogIn(const QString& user, const QString& password, const QByteArray& addition = {});
    QStringList vpnConnections() const;
    // Drops what reaches the VPN server's port, or stops dropping it.
    bool holdServer(bool hold) const;

    QHash<QString, QString> labValues;
    QTemporaryDir runtime;
    QTemporaryDir home;
    std::unique_ptr<WindowHarness> harness;
};

void TestNmOpenVpn::initTestCase()
{
    QVERIFY2(nmTestEnvironmentProblem().isEmpty(), qPrintable(nmTestEnvironmentProblem()));
    QString error;
    labValues = readLabEnvironment(qEnvironmentVariable("CORVANE_LAB_ENV"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!lab("LAB_DNS_IP").isEmpty());
    qRegisterMetaType<ConnectionEngine::Reason>();
    isolateSettings();
    // The work files' folder of this process alone: every window of every other test run by this
    // user ends its attempts by deleting the files of the shared one, the CA the daemon is about
    // to read included.
    QVERIFY(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    // Before the first import: GLib reads the home folder once.
    qputenv("HOME", QFile::encodeName(home.path()));
}

void TestNmOpenVpn::init()
{
    clearSettings();
    harness = std::make_unique<WindowHarness>();
    qputenv("CORVANE_IPECHO_URL", lab("LAB_ECHO_URL").toUtf8());
}

void TestNmOpenVpn::openWindowAndLogIn(const QString& user, const QString& password,
                                       const QByteArray& addition)
{
    QFile ca(lab("LAB_DIR") + QStringLiteral("/ca.crt"));
    QFile config(lab("LAB_DIR") + QStringLiteral("/client.ovpn"));
    QVERIFY(ca.open(QIODevice::ReadOnly) && config.open(QIODevice::ReadOnly));
    harness->sim.loadData(labServiceData(
        {lab("LAB_USER_" + user), password, lab("LAB_SERVER_IP"), lab("LAB_TUNNEL_IP_" + user)}, configPath,
        certificatePath));
    harness->sim.setFile(certificatePath, ca.readAll());
    harness->sim.setFile(configPath, config.readAll() + addition);
    harness->create();
    QVERIFY(harness->login(lab("LAB_USER_" + user), password));
    QCOMPARE(harness->text("server_protocol"), QStringLiteral("OpenVPN"));
}

bool TestNmOpenVpn::holdServer(bool hold) const
{
    return filterServerPort(labValues, "corvane_test_hold", hold ? "drop" : "");
}

QStringList TestNmOpenVpn::vpnConnections() const
{
    QStringList found;
    for (const QString& path : nmConnections())
        if (nmSettings(path).value("connection").value("type").toString() == QLatin1String("vpn"))
            found << path;
    return found;
}

void TestNmOpenVpn::connectsAppliesNameServerAndLeavesNothing()
{
    const QString password = lab("LAB_PASSWORD_BOB");
    openWindowAndLogIn("BOB", password);
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("connectionStatus"), QStringLiteral("connected"),
                              tunnelTimeoutMs);
    // Confirmed by the address check through the tunnel.
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("ipCurrent"), lab("LAB_TUNNEL_IP_BOB"), tunnelTimeoutMs);
    QVERIFY(harness->shown("WidgetConnectedVPN"));
    // The daemon's count of the tunnel's device, the address check's bytes included, asked for
    // each second of the test's clock.
    QTRY_VERIFY_WITH_TIMEOUT(
        (harness->clock->advance(1000), harness->text("connected_traffic").contains(QStringLiteral(" in, "))),
        5000);
    QVERIFY2(!harness->text("connected_traffic").startsWith(QStringLiteral("Traffic: 0 bytes in")),
             qPrintable(harness->text("connected_traffic")));
    QCOMPARE(harness->window->openVpnChild()->state(), QProcess::NotRunning);

    // The daemon's connection: imported from the checked configuration, in memory, its password
    // the agent's; the pushed name server applied on the tunnel.
    const QStringList vpns = vpnConnections();
    QCOMPARE(vpns.size(), 1);
    QVERIFY(nmConnectionFlags(vpns.at(0)) & 0x1);
    const QMap<QString, QString> data = nmVpnData(nmSettings(vpns.at(0)));
    QVERIFY2(data.value("remote").startsWith(lab("LAB_SERVER_IP")), qPrintable(data.value("remote")));
    QCOMPARE(data.value("username"), lab("LAB_USER_BOB"));
    QCOMPARE(data.value("password-flags"), QStringLiteral("1"));
    QCOMPARE(data.value("remote-cert-tls"), QStringLiteral("server"));
    QVERIFY(QFile::exists(data.value("ca")));
    QTRY_VERIFY(nmAppliedNameServers().filter(QStringLiteral(" ") + lab("LAB_DNS_IP")).size() == 1);
    QCOMPARE(nmFilesHolding(password.toUtf8()), QStringList());

    harness->invoke("on_disconnect_clicked");
    QCOMPARE(harness->text("connectionStatus"), QStringLiteral("disconnected"));
    QTRY_COMPARE(vpnConnections(), QStringList());
    QTRY_COMPARE(nmAppliedNameServers().filter(lab("LAB_DNS_IP")), QStringList());
    QVERIFY(!QFile::exists(data.value("ca")));
}

void TestNmOpenVpn::tunnelsNameServerIsTheOnlyOne()
{
    // What the daemon makes of every connection's name servers, for the system's resolver.
    QFile resolvConf(qEnvironmentVariable("CORVANE_NM_DIR") +
                     QStringLiteral("/run/NetworkManager/resolv.conf"));
    const auto servers = [&resolvConf] {
        resolvConf.open(QIODevice::ReadOnly);
        QStringList found;
        for (const QByteArray& line : resolvConf.readAll().split('\n'))
            if (line.startsWith("nameserver "))
                found << QString::fromLatin1(line.mid(11).trimmed());
        resolvConf.close();
        return found;
    };
    QTRY_COMPARE(servers(), QStringList{lab("LAB_OUTSIDE_IP")});
    openWindowAndLogIn("BOB", lab("LAB_PASSWORD_BOB"));
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("connectionStatus"), QStringLiteral("connected"),
                              tunnelTimeoutMs);
    QTRY_COMPARE(servers(), QStringList{lab("LAB_DNS_IP")});
    const QVariantMap ipv4 = nmSettings(vpnConnections().value(0)).value("ipv4");
    QVERIFY(ipv4.value("dns-priority").toInt() < 0);
    QCOMPARE(ipv4.value("dns-search").toStringList(), QStringList{QStringLiteral("~.")});

    harness->invoke("on_disconnect_clicked");
    QTRY_COMPARE(servers(), QStringList{lab("LAB_OUTSIDE_IP")});
}

void TestNmOpenVpn::killSwitchBlocksAllButTheTunnel_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("pauseBlocked");
    QTest::newRow("on") << QStringLiteral("reconnect") << true;
    QTest::newRow("off") << QStringLiteral("off") << false;
}

void TestNmOpenVpn::killSwitchBlocksAllButTheTunnel()
{
    QFETCH(QString, setting);
    QFETCH(bool, pauseBlocked);
    // A blocking route refuses the datagram at once; the outside host is on the local network.
    const auto leaves = [this](const char* key) {
        QUdpSocket udp;
        return udp.writeDatagram("probe\n", QHostAddress(lab(key)), 9) > 0;
    };
    QTRY_VERIFY(leaves("LAB_OUTSIDE_IP") && leaves("LAB_OUTSIDE_IP6"));
    QSettings().setValue(SettingsKeys::killSwitch, setting);
    openWindowAndLogIn("BOB", lab("LAB_PASSWORD_BOB"));
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("connectionStatus"), QStringLiteral("connected"),
                              tunnelTimeoutMs);
    // The tunnel carries the address check; IPv6, which it does not take, goes nowhere.
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("ipCurrent"), lab("LAB_TUNNEL_IP_BOB"), tunnelTimeoutMs);
    QVERIFY(!leaves("LAB_OUTSIDE_IP6"));

    // The tunnel ends outside the client: the redial pause waits for the test's clock.
    QDBusConnection::systemBus().call(
        QDBusMessage::createMethodCall("org.freedesktop.NetworkManager", vpnConnections().value(0),
                                       "org.freedesktop.NetworkManager.Settings.Connection", "Delete"));
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                              ConnectionController::State::Reconnecting, tunnelTimeoutMs);
    QTRY_COMPARE(leaves("LAB_OUTSIDE_IP"), !pauseBlocked);
    QVERIFY(!leaves("LAB_OUTSIDE_IP6"));

    harness->invoke("on_disconnect_clicked");
    QTRY_VERIFY(leaves("LAB_OUTSIDE_IP") && leaves("LAB_OUTSIDE_IP6"));
}

void TestNmOpenVpn::nextStartRemovesTheBlockADeadRunLeft()
{
    // What a run killed while blocking leaves: its in-memory connection, kept by the daemon.
    qDBusRegisterMetaType<NmSettings>();
    const NmSettings left{{"connection", QVariantMap{{"id", QStringLiteral("Corvane block")},
                                                     {"type", QStringLiteral("bridge")},
                                                     {"interface-name", QStringLiteral("corvane-block")},
                                                     {"autoconnect", false}}},
                          {"bridge", QVariantMap{{"stp", false}}}};
    const QDBusMessage added = QDBusConnection::systemBus().call(
        QDBusMessage::createMethodCall("org.freedesktop.NetworkManager",
                                       "/org/freedesktop/NetworkManager/Settings",
                                       "org.freedesktop.NetworkManager.Settings", "AddConnection2")
        << QVariant::fromValue(left) << 0x2u << QVariantMap());
    QVERIFY2(added.type() != QDBusMessage::ErrorMessage, qPrintable(added.errorMessage()));
    const QString path = qdbus_cast<QDBusObjectPath>(added.arguments().value(0)).path();
    QVERIFY(nmConnections().contains(path));

    harness->create();
    QVERIFY(harness->window->connectionController()->killSwitch()->leftoverRemoved());
    QVERIFY(!nmConnections().contains(path));
}

void TestNmOpenVpn::refusedPasswordIsToldAtOnce()
{
    // The service knows this password; the VPN server does not.
    openWindowAndLogIn("ALICE", QStringLiteral("not-the-password"));
    harness->invoke("on_connect_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(!harness->boxes.isEmpty(), tunnelTimeoutMs);
    QCOMPARE(harness->boxTitles(), QStringList{QStringLiteral("Cannot connect")});
    QVERIFY2(harness->boxes.at(0).text.contains(QStringLiteral("refused the user name or password")),
             qPrintable(harness->boxes.at(0).text));
    QCOMPARE(harness->text("connectionStatus"), QStringLiteral("disconnected"));
    QTRY_COMPARE(vpnConnections(), QStringList());
}

void TestNmOpenVpn::tunnelEndedOutsideGoesDownTheDropPath()
{
    openWindowAndLogIn("ALICE", lab("LAB_PASSWORD_ALICE"));
    // The redial waits for the test's clock; this test looks at the drop alone.
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("connectionStatus"), QStringLiteral("connected"),
                              tunnelTimeoutMs);
    QCOMPARE(vpnConnections().size(), 1);
    // As when the connection is removed in the desktop's network settings.
    const QDBusMessage removed = QDBusConnection::systemBus().call(
        QDBusMessage::createMethodCall("org.freedesktop.NetworkManager", vpnConnections().at(0),
                                       "org.freedesktop.NetworkManager.Settings.Connection", "Delete"));
    QCOMPARE(removed.type(), QDBusMessage::ReplyMessage);
    QTRY_VERIFY_WITH_TIMEOUT(harness->balloonTitles().contains(QStringLiteral("Corvane connection dropped")),
                             3000);
    QCOMPARE(harness->text("connectionStatus"), QStringLiteral("disconnected"));
    QCOMPARE(harness->window->connectionController()->state(), ConnectionController::State::Reconnecting);
}

void TestNmOpenVpn::daemonOrPluginGoneIsADropAndRedialled_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("NetworkManager restarted") << "restart";
    QTest::newRow("NetworkManager restarted while connecting") << "restart while connecting";
    QTest::newRow("VPN plugin killed") << "plugin";
}

// The tunnel the daemon ran is gone with it or with its plugin: the user sees the drop, the
// redial goes through the daemon that is there now, and Disconnect leaves no connection behind.
void TestNmOpenVpn::daemonOrPluginGoneIsADropAndRedialled()
{
    QFETCH(QString, fault);
    openWindowAndLogIn("ALICE", lab("LAB_PASSWORD_ALICE"));
    if (fault == QLatin1String("restart while connecting")) {
        // The server does not answer yet, so the attempt is still connecting when the daemon goes.
        QVERIFY(holdServer(true));
        harness->invoke("on_connect_clicked");
        QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                                  ConnectionController::State::Connecting, tunnelTimeoutMs);
        QVERIFY(restartNetworkManager());
        QVERIFY(holdServer(false));
        QTRY_VERIFY_WITH_TIMEOUT(harness->window->connectionController()->state() !=
                                     ConnectionController::State::Connecting,
                                 10000);
        QCOMPARE(harness->text("connectionStatus"), QStringLiteral("disconnected"));
        QTRY_COMPARE_WITH_TIMEOUT(vpnConnections(), QStringList(), 10000);
        QTRY_VERIFY(!harness->boxes.isEmpty());
        QVERIFY2(harness->boxes.last().text.contains(
                     QStringLiteral("The system's VPN service stopped while connecting.")),
                 qPrintable(harness->boxes.last().text));
        harness->boxes.clear();
        harness->invoke("on_connect_clicked");
        QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                                  ConnectionController::State::Connected, tunnelTimeoutMs);
        harness->invoke("on_disconnect_clicked");
        QTRY_COMPARE_WITH_TIMEOUT(vpnConnections(), QStringList(), 10000);
        return;
    }
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                              ConnectionController::State::Connected, tunnelTimeoutMs);
    if (fault == QLatin1String("restart"))
        QVERIFY(restartNetworkManager());
    else
        QVERIFY(killVpnPlugin(QStringLiteral("org.freedesktop.NetworkManager.openvpn")));
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                              ConnectionController::State::Reconnecting, 10000);
    QVERIFY(harness->balloonTitles().contains(QStringLiteral("Corvane connection dropped")));
    harness->clock->advance(3000);
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                              ConnectionController::State::Connected, tunnelTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("ipCurrent"), lab("LAB_TUNNEL_IP_ALICE"), tunnelTimeoutMs);
    harness->invoke("on_disconnect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(vpnConnections(), QStringList(), 10000);
}

void TestNmOpenVpn::secretsGoToNetworkManagerAlone()
{
    const QString password = lab("LAB_PASSWORD_BOB");
    openWindowAndLogIn("BOB", password);
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("connectionStatus"), QStringLiteral("connected"),
                              tunnelTimeoutMs);
    const QString uuid = nmSettings(vpnConnections().value(0)).value("connection").value("uuid").toString();
    QVERIFY(!uuid.isEmpty());

    // Another root process on the same bus asks the agent, as NetworkManager would.
    QDBusConnection intruder =
        QDBusConnection::connectToBus(QDBusConnection::SystemBus, QStringLiteral("secrets-intruder"));
    QVERIFY(intruder.isConnected());
    qDBusRegisterMetaType<NmSettings>();
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QDBusConnection::systemBus().baseService(),
        QStringLiteral("/org/freedesktop/NetworkManager/SecretAgent"),
        QStringLiteral("org.freedesktop.NetworkManager.SecretAgent"), QStringLiteral("GetSecrets"));
    ask << QVariant::fromValue(NmSettings{{"connection", QVariantMap{{"uuid", uuid}}}})
        << QVariant::fromValue(QDBusObjectPath("/")) << QStringLiteral("vpn") << QStringList() << 0u;
    QDBusPendingCallWatcher answer(intruder.asyncCall(ask));
    QTRY_VERIFY(answer.isFinished());
    QCOMPARE(answer.reply().type(), QDBusMessage::ErrorMessage);
    QCOMPARE(answer.reply().errorName(),
             QStringLiteral("org.freedesktop.NetworkManager.SecretAgent.PermissionDenied"));
    QDBusConnection::disconnectFromBus(QStringLiteral("secrets-intruder"));
    QCOMPARE(harness->text("connectionStatus"), QStringLiteral("connected"));
}

void TestNmOpenVpn::pluginFailureCountsOnlyFromThePlugin()
{
    openWindowAndLogIn("ALICE", lab("LAB_PASSWORD_ALICE"));
    QSignalSpy dropped(harness->window->connectionController()->engine(), &ConnectionEngine::tunnelDropped);
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("connectionStatus"), QStringLiteral("connected"),
                              tunnelTimeoutMs);
    // A process that is not the plugin says the login failed...
    QDBusConnection intruder =
        QDBusConnection::connectToBus(QDBusConnection::SystemBus, QStringLiteral("failure-intruder"));
    QVERIFY(intruder.isConnected());
    QDBusMessage failure = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/NetworkManager/VPN/Plugin"),
        QStringLiteral("org.freedesktop.NetworkManager.VPN.Plugin"), QStringLiteral("Failure"));
    failure << 0u;
    FailureWatch watch;
    QVERIFY(QDBusConnection::systemBus().connect(QString(), failure.path(), failure.interface(),
                                                 failure.member(), &watch, SLOT(failure(uint))));
    QVERIFY(intruder.send(failure));
    QTRY_COMPARE(watch.seen, 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("failure-intruder"));
    // ... before the plugin goes away, which NetworkManager tells only vaguely.
    QDBusConnectionInterface* names = QDBusConnection::systemBus().interface();
    QStringList plugins;
    for (const QString& name : names->registeredServiceNames().value()) {
        if (name.startsWith(QStringLiteral("org.freedesktop.NetworkManager.openvpn")))
            plugins << name + QLatin1Char('=') + QString::number(names->servicePid(name).value());
    }
    QVERIFY(!plugins.isEmpty());
    qInfo() << "ending" << plugins;
    for (const QString& plugin : plugins)
        ::kill(pid_t(plugin.section(QLatin1Char('='), 1).toInt()), SIGKILL);
    QTRY_COMPARE_WITH_TIMEOUT(dropped.size(), 1, tunnelTimeoutMs);
    QCOMPARE(dropped.at(0).at(0).value<ConnectionEngine::Reason>(), ConnectionEngine::Reason::Fatal);
}

void TestNmOpenVpn::inlineBlocksLeaveNothingBehind()
{
    // The importer of earlier versions left copies of the inline blocks in the home folder.
    const QString copies = home.filePath(QStringLiteral(".cert/nm-openvpn"));
    QVERIFY(QDir().mkpath(copies));
    QFile left(copies + QStringLiteral("/config.ovpn-key.pem"));
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.write("an earlier attempt's key");
    left.close();
    QFile ca(lab("LAB_DIR") + QStringLiteral("/ca.crt"));
    QVERIFY(ca.open(QIODevice::ReadOnly));
    const QByteArray certificate = ca.readAll();
    openWindowAndLogIn("ALICE", lab("LAB_PASSWORD_ALICE"),
                       "<ca>\n" + certificate + "</ca>\n<extra-certs>\n" + certificate + "</extra-certs>\n");
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text("connectionStatus"), QStringLiteral("connected"),
                              tunnelTimeoutMs);

    const QMap<QString, QString> data = nmVpnData(nmSettings(vpnConnections().value(0)));
    const QString extraCerts = data.value("extra-certs");
    QVERIFY2(extraCerts.startsWith(runtime.path() + QLatin1Char('/')), qPrintable(extraCerts));
    QFile block(extraCerts);
    QVERIFY(block.open(QIODevice::ReadOnly));
    QCOMPARE(block.readAll(), certificate);
    QVERIFY(!left.exists());
    QCOMPARE(QDir(copies).entryList(QDir::Files), QStringList());

    harness->invoke("on_disconnect_clicked");
    QTRY_COMPARE(vpnConnections(), QStringList());
    QVERIFY(!QFile::exists(extraCerts));
}

QTEST_MAIN(TestNmOpenVpn)
#include "tst_nm_openvpn.moc"
