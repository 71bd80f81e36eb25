// The window's OpenVPN connection through the lab's real NetworkManager (nm.sh) and the lab's
// real OpenVPN server: no program of the client's own runs, the daemon applies the pushed name
// server, and nothing of the connection or its password stays behind.
#include "nmsupport.h"
#include "openvpnsupport.h"
#include "testsupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString certificatePath = QStringLiteral("/files/lab/ca.crt");
const QString configPath = QStringLiteral("/files/lab/client.ovpn");
constexpr int tunnelTimeoutMs = 30000;
} // namespace

class TestNmOpenVpn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { harness.reset(); }
    void connectsAppliesNameServerAndLeavesNothing();
    void refusedPasswordIsToldAtOnce();
    void tunnelEndedOutsideGoesDownTheDropPath();

private:
    QString lab(const QString& key) const { return labValues.value(key); }
    void openWindowAndLogIn(const QString& user, const QString& password);
    QStringList vpnConnections() const;

    QHash<QString, QString> labValues;
    QTemporaryDir runtime;
    std::unique_ptr<WindowHarness> harness;
};

void TestNmOpenVpn::initTestCase()
{
    QVERIFY2(nmTestEnvironmentProblem().isEmpty(), qPrintable(nmTestEnvironmentProblem()));
    QString error;
    labValues = readLabEnvironment(qEnvironmentVariable("CORVANE_LAB_ENV"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!lab("LAB_DNS_IP").isEmpty());
    isolateSettings();
    // The work files' folder of this process alone: every window of every other test run by this
    // user ends its attempts by deleting the files of the shared one, the CA the daemon is about
    // to read included.
    QVERIFY(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
}

void TestNmOpenVpn::init()
{
    clearSettings();
    harness = std::make_unique<WindowHarness>();
    qputenv("CORVANE_IPECHO_URL", lab("LAB_ECHO_URL").toUtf8());
}

void TestNmOpenVpn::openWindowAndLogIn(const QString& user, const QString& password)
{
    QFile ca(lab("LAB_DIR") + QStringLiteral("/ca.crt"));
    QFile config(lab("LAB_DIR") + QStringLiteral("/client.ovpn"));
    QVERIFY(ca.open(QIODevice::ReadOnly) && config.open(QIODevice::ReadOnly));
    harness->sim.loadData(labServiceData(
        {lab("LAB_USER_" + user), password, lab("LAB_SERVER_IP"), lab("LAB_TUNNEL_IP_" + user)}, configPath,
        certificatePath));
    harness->sim.setFile(certificatePath, ca.readAll());
    harness->sim.setFile(configPath, config.readAll());
    harness->create();
    QVERIFY(harness->login(lab("LAB_USER_" + user), password));
    QCOMPARE(harness->text("server_protocol"), QStringLiteral("OpenVPN"));
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

QTEST_MAIN(TestNmOpenVpn)
#include "tst_nm_openvpn.moc"
