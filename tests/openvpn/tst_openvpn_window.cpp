// The window's OpenVPN connection over a real tunnel. Runs inside the client namespace of the
// OpenVPN lab (tests/openvpn/lab.sh), started by CTest with CORVANE_LAB_ENV pointing at the lab.
// The service simulator runs in this process on 127.0.0.1 of the client namespace and hands out
// the lab's CA and client configuration; the window's IP-echo check asks the lab's echo page,
// which sees the veth address without the tunnel and the user's fixed address through it.
#include "openvpnsupport.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {
const QString certificatePath = QStringLiteral("/files/lab/ca.crt");
const QString configPath = QStringLiteral("/files/lab/client.ovpn");
const QString echoPath = QStringLiteral("/ip/");
const QStringList workFileNames{QStringLiteral("auth.conf"), QStringLiteral("certificate.crt"),
                                QStringLiteral("config.ovpn")};
constexpr int replyTimeoutMs = 10000;
// The tunnel comes up in about a second here; a loaded machine gets plenty more.
constexpr int tunnelTimeoutMs = 30000;
// Ticks until the attempt timeout: elapsedSeconds goes past 30 on the eleventh.
constexpr int ticksToTimeout = 11;
} // namespace

class TestOpenVpnWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void connectsThroughTheTunnelAndDisconnectsCleanly_data();
    void connectsThroughTheTunnelAndDisconnectsCleanly();
    void wrongPasswordEndsByTheAttemptTimeout();
    void unreachableServerEndsByTheAttemptTimeout();
    void configurationThatRunsCodeIsRefused_data();
    void configurationThatRunsCodeIsRefused();
    void downloadErrorReturnsToTheIdlePage_data();
    void downloadErrorReturnsToTheIdlePage();
    void replyAfterCancelStartsNoTunnel_data();
    void replyAfterCancelStartsNoTunnel();

private:
    QString lab(const QString& key) const { return labValues.value(key); }
    // Serves the lab's server to `user` (ALICE, BOB, CAROL), who logs in with `password`.
    void serveLab(const QString& user, const QString& password);
    void openWindowAndLogIn(const QString& user, const QString& password);
    // One status tick; while an attempt runs it asks the echo page, and this waits for the answer.
    bool tickAndWaitForEcho();
    // Asks the echo page once, outside the tick, and returns the address the window shows.
    QString freshEcho();
    QByteArray programLog() const;
    QStringList presentWorkFiles() const;
    bool idlePageShown() const;
    bool timeoutReported(const LabelHistory& history) const;

    QHash<QString, QString> labValues;
    QString labError;
    QString openVpnProgram;
    std::unique_ptr<WindowHarness> harness;
    ReplyWatch* watch = nullptr; // owned by the window
};

void TestOpenVpnWindow::initTestCase()
{
    QVERIFY2(geteuid() == 0, "The OpenVPN window test needs root (network namespaces and TUN). "
                             "Run it as root; it does not skip.");
    QVERIFY2(QFile::exists(QStringLiteral("/dev/net/tun")), "This machine has no TUN device (/dev/net/tun).");
    labValues = readLabEnvironment(qEnvironmentVariable("CORVANE_LAB_ENV"), &labError);
    QVERIFY2(labError.isEmpty(), qPrintable(labError));
    for (const char* key : {"LAB_DIR", "LAB_ECHO_URL", "LAB_SERVER_IP", "LAB_CLIENT_IP", "LAB_USER_ALICE",
                            "LAB_PASSWORD_ALICE", "LAB_TUNNEL_IP_ALICE"})
        QVERIFY2(labValues.contains(QString::fromLatin1(key)), key);
    openVpnProgram = qEnvironmentVariable("CORVANE_OPENVPN");
    if (openVpnProgram.isEmpty())
        openVpnProgram = QStandardPaths::findExecutable(
            QStringLiteral("openvpn"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    QVERIFY2(!openVpnProgram.isEmpty(), "The openvpn program is not installed.");
    isolateSettings();
}

void TestOpenVpnWindow::init()
{
    clearSettings();
    harness = std::make_unique<WindowHarness>();
    // The window's address check goes to the lab's echo page, not to the simulator.
    qputenv("CORVANE_IPECHO_URL", lab(QStringLiteral("LAB_ECHO_URL")).toUtf8());
    // The installation's program folder, with Debian's openvpn in it.
    QVERIFY(QDir(harness->workDir.path()).mkpath(QStringLiteral("openvpn")));
    QVERIFY(QFile::link(openVpnProgram, harness->workDir.filePath(QStringLiteral("openvpn/openvpn"))));
}

void TestOpenVpnWindow::cleanup()
{
    if (QTest::currentTestFailed() && harness && harness->window) {
        qWarning().noquote() << "authstatus:" << harness->text(QStringLiteral("authstatus"));
        qWarning().noquote() << "program log:\n" << programLog();
    }
    watch = nullptr;
    harness.reset(); // the window kills its program
}

void TestOpenVpnWindow::serveLab(const QString& user, const QString& password)
{
    QFile ca(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/ca.crt"));
    QFile config(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
    QVERIFY(ca.open(QIODevice::ReadOnly));
    QVERIFY(config.open(QIODevice::ReadOnly));

    QJsonObject data = standardTestData();
    QJsonObject account = data.value(QStringLiteral("accounts")).toArray().at(0).toObject();
    account[QStringLiteral("username")] = lab(QStringLiteral("LAB_USER_") + user);
    account[QStringLiteral("password")] = password;
    account[QStringLiteral("enabled")] = QStringLiteral("1");
    account[QStringLiteral("quickServers")] = QString();
    data[QStringLiteral("accounts")] = QJsonArray{account};
    const QJsonArray profiles{QJsonObject{{"name", "UDP 1194"},
                                          {"config", QStringLiteral("{base}") + configPath},
                                          {"certificate", QStringLiteral("{base}") + certificatePath}}};
    data[QStringLiteral("servers")] =
        QJsonArray{QJsonObject{{"id", 1},
                               {"shortname", "LAB1"},
                               {"ip", lab(QStringLiteral("LAB_SERVER_IP"))},
                               {"country", "nl"},
                               {"assignedIP", lab(QStringLiteral("LAB_TUNNEL_IP_") + user)},
                               {"pptp", false},
                               {"l2tp", false},
                               {"pskey", ""},
                               {"openvpn", true},
                               {"profiles", profiles}}};
    data[QStringLiteral("files")] = QJsonObject{};
    harness->sim.loadData(data);
    harness->sim.setFile(certificatePath, ca.readAll());
    harness->sim.setFile(configPath, config.readAll());
}

void TestOpenVpnWindow::openWindowAndLogIn(const QString& user, const QString& password)
{
    harness->create();
    QVERIFY(stopStatusTimer(harness->window.get()));
    watch = new ReplyWatch(harness->window.get());
    QVERIFY(harness->login(lab(QStringLiteral("LAB_USER_") + user), password));
    QCOMPARE(harness->text(QStringLiteral("user_enabled")), QStringLiteral("1"));
    QCOMPARE(harness->text(QStringLiteral("server_name")), QStringLiteral("LAB1"));
    QCOMPARE(harness->text(QStringLiteral("server_protocol")), QStringLiteral("OpenVPN"));
    QCOMPARE(harness->find<QComboBox>(QStringLiteral("type"))->currentText(), QStringLiteral("UDP 1194"));
    QCOMPARE(harness->text(QStringLiteral("server_config")), harness->sim.baseUrl() + configPath);
    QCOMPARE(harness->text(QStringLiteral("server_assignedIP")),
             lab(QStringLiteral("LAB_TUNNEL_IP_") + user));
}

bool TestOpenVpnWindow::tickAndWaitForEcho()
{
    const int before = watch->finished(echoPath);
    harness->tick();
    QElapsedTimer clock;
    clock.start();
    while (watch->finished(echoPath) == before) {
        if (clock.elapsed() > replyTimeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

QString TestOpenVpnWindow::freshEcho()
{
    const int before = watch->finished(echoPath);
    harness->invoke("GetCurrentIP");
    QElapsedTimer clock;
    clock.start();
    while (watch->finished(echoPath) == before && clock.elapsed() < replyTimeoutMs)
        QTest::qWait(10);
    return harness->text(QStringLiteral("ipCurrent"));
}

QByteArray TestOpenVpnWindow::programLog() const
{
    QFile log(harness->workDir.filePath(QStringLiteral("include/openvpn.log")));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

QStringList TestOpenVpnWindow::presentWorkFiles() const
{
    QStringList present;
    for (const QString& name : workFileNames)
        if (QFile::exists(harness->workDir.filePath(QStringLiteral("include/") + name)))
            present << name;
    return present;
}

bool TestOpenVpnWindow::idlePageShown() const
{
    return harness->shown(QStringLiteral("WingetConnected")) &&
           !harness->shown(QStringLiteral("WidgetConnectingVPN")) &&
           !harness->shown(QStringLiteral("WidgetConnectedVPN")) &&
           harness->text(QStringLiteral("connectionStatus")) == QLatin1String("disconnected");
}

bool TestOpenVpnWindow::timeoutReported(const LabelHistory& history) const
{
    // The status line says so until the account details, asked for by the disconnect, arrive.
    return harness->boxTitles() == QStringList{QStringLiteral("Cannot connect")} &&
           history.contains(QStringLiteral("cannot establish connection"));
}

void TestOpenVpnWindow::connectsThroughTheTunnelAndDisconnectsCleanly_data()
{
    QTest::addColumn<QString>("user");
    QTest::newRow("ASCII password") << QStringLiteral("ALICE");
    QTest::newRow("UTF-8 password") << QStringLiteral("CAROL");
}

void TestOpenVpnWindow::connectsThroughTheTunnelAndDisconnectsCleanly()
{
    QFETCH(QString, user);
    const QString password = lab(QStringLiteral("LAB_PASSWORD_") + user);
    const QString tunnelAddress = lab(QStringLiteral("LAB_TUNNEL_IP_") + user);
    const QString clientAddress = lab(QStringLiteral("LAB_CLIENT_IP"));
    QVERIFY(!password.isEmpty() && !tunnelAddress.isEmpty());
    serveLab(user, password);
    openWindowAndLogIn(user, password);

    harness->invoke("on_connect_clicked");
    QCOMPARE(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("in progress"));
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->openVpnChild()->state(), QProcess::Running, replyTimeoutMs);
    QCOMPARE(harness->text(QStringLiteral("authstatus")), QStringLiteral("starting connection"));

    struct stat info
    {
    };
    QCOMPARE(
        stat(QFile::encodeName(harness->workDir.filePath(QStringLiteral("include/auth.conf"))).constData(),
             &info),
        0);
    QCOMPARE(info.st_mode & 0777, mode_t(0600));

    QVERIFY(tickAndWaitForEcho());
    if (harness->text(QStringLiteral("connectionStatus")) != QLatin1String("connected")) {
        QCOMPARE(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("in progress"));
        QTRY_VERIFY_WITH_TIMEOUT(programLog().contains("Initialization Sequence Completed"), tunnelTimeoutMs);
        QVERIFY(tickAndWaitForEcho());
    }

    QCOMPARE(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("connected"));
    QCOMPARE(harness->text(QStringLiteral("authstatus")), QStringLiteral("Connected! IP: ") + tunnelAddress);
    QCOMPARE(harness->text(QStringLiteral("ipCurrent")), tunnelAddress);
    QVERIFY(harness->shown(QStringLiteral("WidgetConnectedVPN")));
    QVERIFY(!harness->shown(QStringLiteral("WidgetConnectingVPN")));
    QCOMPARE(harness->text(QStringLiteral("connected_title")), QStringLiteral("Connected to LAB1 Server!"));
    QCOMPARE(harness->balloonTitles(), QStringList{QStringLiteral("Corvane is now connected!")});
    QCOMPARE(harness->window->openVpnChild()->state(), QProcess::Running);
    QVERIFY(harness->boxes.isEmpty());

    harness->invoke("on_disconnect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->openVpnChild()->state(), QProcess::NotRunning, replyTimeoutMs);
    QCOMPARE(presentWorkFiles(), QStringList());
    QVERIFY(idlePageShown());
    QString address;
    for (int i = 0; i < 50 && address != clientAddress; ++i)
        address = freshEcho();
    QCOMPARE(address, clientAddress);
}

void TestOpenVpnWindow::wrongPasswordEndsByTheAttemptTimeout()
{
    // The service knows this password; the VPN server does not.
    serveLab(QStringLiteral("ALICE"), QStringLiteral("not-the-password"));
    openWindowAndLogIn(QStringLiteral("ALICE"), QStringLiteral("not-the-password"));
    harness->invoke("on_connect_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(harness->window->openVpnChild()->processId() != 0, replyTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(programLog().contains("AUTH_FAILED"), tunnelTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->openVpnChild()->state(), QProcess::NotRunning,
                              tunnelTimeoutMs);

    // The window does not watch the program: only the attempt timeout ends the attempt.
    for (int i = 1; i < ticksToTimeout; ++i) {
        QVERIFY(tickAndWaitForEcho());
        QCOMPARE(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("in progress"));
        QCOMPARE(harness->text(QStringLiteral("ipCurrent")), lab(QStringLiteral("LAB_CLIENT_IP")));
    }
    QVERIFY(harness->boxes.isEmpty());
    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    QVERIFY(tickAndWaitForEcho());
    QVERIFY2(timeoutReported(history), qPrintable(history.texts().join(QLatin1String(" | "))));
    QVERIFY(idlePageShown());
    QCOMPARE(presentWorkFiles(), QStringList());
}

void TestOpenVpnWindow::unreachableServerEndsByTheAttemptTimeout()
{
    serveLab(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    QFile base(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
    QVERIFY(base.open(QIODevice::ReadOnly));
    // Nobody has this address on the lab's link.
    QByteArray config = base.readAll();
    QVERIFY(config.contains("remote " + lab(QStringLiteral("LAB_SERVER_IP")).toUtf8()));
    config.replace("remote " + lab(QStringLiteral("LAB_SERVER_IP")).toUtf8(), "remote 198.18.0.99");
    harness->sim.setFile(configPath, config);
    openWindowAndLogIn(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));

    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->openVpnChild()->state(), QProcess::Running, replyTimeoutMs);
    for (int i = 1; i < ticksToTimeout; ++i) {
        QVERIFY(tickAndWaitForEcho());
        QCOMPARE(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("in progress"));
    }
    QCOMPARE(harness->window->openVpnChild()->state(), QProcess::Running);
    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    QVERIFY(tickAndWaitForEcho());
    QVERIFY2(timeoutReported(history), qPrintable(history.texts().join(QLatin1String(" | "))));
    QVERIFY(idlePageShown());
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->openVpnChild()->state(), QProcess::NotRunning, replyTimeoutMs);
    QCOMPARE(presentWorkFiles(), QStringList());
    QCOMPARE(freshEcho(), lab(QStringLiteral("LAB_CLIENT_IP")));
}

void TestOpenVpnWindow::configurationThatRunsCodeIsRefused_data()
{
    QTest::addColumn<QByteArray>("addition");
    QTest::addColumn<bool>("atStart");
    QTest::newRow("up") << QByteArray("script-security 2\nup /bin/touch-marker\n") << false;
    QTest::newRow("--up with CR LF") << QByteArray("--up /bin/true\r\n") << false;
    QTest::newRow("indented, quoted up") << QByteArray("\t \"up\" '/bin/true'\n") << false;
    QTest::newRow("setenv opt up") << QByteArray("setenv opt up /bin/true\n") << false;
    QTest::newRow("up inside a connection block")
        << QByteArray("<connection>\nremote 198.18.0.1 1194\nup /bin/true\n</connection>\n") << false;
    QTest::newRow("plugin") << QByteArray("plugin /usr/lib/openvpn/plugins/openvpn-plugin-down-root.so\n")
                            << false;
    QTest::newRow("--plugin") << QByteArray("--plugin /tmp/evil.so init\n") << false;
    QTest::newRow("quoted plugin") << QByteArray("'plugin' /tmp/evil.so\n") << false;
    QTest::newRow("plugin after a byte-order mark")
        << QByteArray("\xef\xbb\xbfplugin /tmp/evil.so\n") << true;
}

void TestOpenVpnWindow::configurationThatRunsCodeIsRefused()
{
    QFETCH(QByteArray, addition);
    QFETCH(bool, atStart);
    serveLab(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    QFile base(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
    QVERIFY(base.open(QIODevice::ReadOnly));
    const QByteArray config = atStart ? addition + base.readAll() : base.readAll() + addition;
    harness->sim.setFile(configPath, config);
    openWindowAndLogIn(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));

    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(watch->finished(configPath), 1, replyTimeoutMs);
    QVERIFY(idlePageShown());
    QVERIFY2(!history.texts().filter(QStringLiteral("OpenVPN configuration refused")).isEmpty(),
             qPrintable(history.texts().join(QLatin1String(" | "))));
    QCOMPARE(harness->window->openVpnChild()->processId(), qint64(0));
    QCOMPARE(harness->window->openVpnChild()->state(), QProcess::NotRunning);
    QVERIFY(!QFile::exists(harness->workDir.filePath(QStringLiteral("include/openvpn.log"))));
    QCOMPARE(presentWorkFiles(), QStringList());
    QCOMPARE(freshEcho(), lab(QStringLiteral("LAB_CLIENT_IP")));
}

void TestOpenVpnWindow::downloadErrorReturnsToTheIdlePage_data()
{
    QTest::addColumn<QString>("failingPath");
    QTest::addColumn<QString>("statusText");
    QTest::newRow("certificate") << certificatePath << QStringLiteral("certificate download error");
    QTest::newRow("configuration") << configPath << QStringLiteral("config download error");
}

void TestOpenVpnWindow::downloadErrorReturnsToTheIdlePage()
{
    QFETCH(QString, failingPath);
    QFETCH(QString, statusText);
    serveLab(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    harness->sim.setFault(failingPath, Fault::httpStatus(500));
    openWindowAndLogIn(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    harness->invoke("on_connect_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(history.contains(statusText), replyTimeoutMs);
    QVERIFY2(history.texts().indexOf(QStringLiteral("Ready!")) > history.texts().indexOf(statusText),
             qPrintable(history.texts().join(QLatin1String(" | "))));
    QVERIFY(idlePageShown());
    QCOMPARE(harness->window->openVpnChild()->processId(), qint64(0));
    QCOMPARE(presentWorkFiles(), QStringList());
}

void TestOpenVpnWindow::replyAfterCancelStartsNoTunnel_data()
{
    QTest::addColumn<QString>("delayedPath");
    QTest::newRow("certificate") << certificatePath;
    QTest::newRow("configuration") << configPath;
}

void TestOpenVpnWindow::replyAfterCancelStartsNoTunnel()
{
    QFETCH(QString, delayedPath);
    serveLab(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    harness->sim.setFault(delayedPath, Fault::delay(800));
    openWindowAndLogIn(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->sim.requests(delayedPath).size(), 1, replyTimeoutMs);
    harness->invoke("on_cancel_clicked");
    QCOMPARE(watch->finished(delayedPath), 0);
    QTRY_COMPARE_WITH_TIMEOUT(watch->finished(delayedPath), 1, replyTimeoutMs);
    QCoreApplication::processEvents();

    QVERIFY(idlePageShown());
    QCOMPARE(harness->window->openVpnChild()->processId(), qint64(0));
    QCOMPARE(presentWorkFiles(), QStringList());
    QVERIFY(!QFile::exists(harness->workDir.filePath(QStringLiteral("include/openvpn.log"))));
    QCOMPARE(freshEcho(), lab(QStringLiteral("LAB_CLIENT_IP")));
}

QTEST_MAIN(TestOpenVpnWindow)
#include "tst_openvpn_window.moc"
