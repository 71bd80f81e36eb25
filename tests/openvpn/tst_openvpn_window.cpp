// The window's OpenVPN connection over a real tunnel. Runs inside the client namespace of the
// OpenVPN lab (tests/openvpn/lab.sh), started by CTest with CORVANE_LAB_ENV pointing at the lab.
// The service simulator runs in this process on 127.0.0.1 of the client namespace and hands out
// the lab's CA and client configuration; the window's IP-echo check asks the lab's echo page,
// which sees the veth address without the tunnel and the user's fixed address through it.
#include "app/trayview.h"
#include "connection/connectionengine.h"
#include "openvpnsupport.h"
#include "servicewindow.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QUdpSocket>
#include <QUrl>
#include <QtTest>

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

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
// The program gives up a silent server after this long (its --server-poll-timeout).
constexpr int serverPollMs = 10000;

// Another process of the same user that connects to every management socket of `folder` the
// moment it appears, before the program can, and asks for the credentials as the program does.
class ChannelRacer
{
public:
    explicit ChannelRacer(const QString& folder) : folder(QFile::encodeName(folder))
    {
        thread = std::thread([this] { run(); });
    }
    ~ChannelRacer()
    {
        stop = true;
        thread.join();
    }
    QByteArray heard() const
    {
        std::lock_guard<std::mutex> locker(lock);
        return received;
    }
    int connections() const { return connected; }

private:
    void run()
    {
        while (!stop) {
            DIR* dir = ::opendir(folder.constData());
            while (dirent* entry = dir ? ::readdir(dir) : nullptr) {
                const QByteArray name(entry->d_name);
                if (name.startsWith("management-") && name.endsWith(".sock"))
                    race(folder + '/' + name);
            }
            if (dir)
                ::closedir(dir);
            ::usleep(200);
        }
    }

    void race(const QByteArray& path)
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
            ++connected;
            const char ask[] = ">PASSWORD:Need 'Auth' username/password\r\n";
            if (::write(fd, ask, sizeof(ask) - 1) > 0) {
                char buffer[4096];
                pollfd wait = {fd, POLLIN, 0};
                while (!stop && ::poll(&wait, 1, 50) >= 0) {
                    if (!(wait.revents & (POLLIN | POLLHUP)))
                        continue;
                    const ssize_t got = ::read(fd, buffer, sizeof(buffer));
                    if (got <= 0)
                        break;
                    std::lock_guard<std::mutex> locker(lock);
                    received.append(buffer, int(got));
                }
            }
        }
        ::close(fd);
    }

    QByteArray folder;
    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<int> connected{0};
    mutable std::mutex lock;
    QByteArray received;
};
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
    void wrongPasswordEndsAtOnceWithTheRefusal();
    void failureTellsWhatBecameOfTheBlock_data();
    void failureTellsWhatBecameOfTheBlock();
    void unreachableServerEndsWithinThePollTimeout();
    void killedProgramGoesDownTheDropPath();
    void faultUnderTheTunnelEndsInTheTruth_data();
    void faultUnderTheTunnelEndsInTheTruth();
    void programKilledWhileConnectingIsTold();
    void fullDiskIsToldAndLeavesNoHalfFile();
    void failureBoxOpenOverTheEndedProgramIsSafe_data();
    void failureBoxOpenOverTheEndedProgramIsSafe();
    void configurationThatRunsCodeIsRefused_data();
    void configurationThatRunsCodeIsRefused();
    void downloadErrorReturnsToTheIdlePage_data();
    void downloadErrorReturnsToTheIdlePage();
    void replyAfterCancelStartsNoTunnel_data();
    void replyAfterCancelStartsNoTunnel();
    void processRacingTheProgramToTheChannelGetsNothing();
    void verbosityOfTheConfigurationIsLowered();

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
    // Files under these folders and command lines of running processes that hold `secret`.
    QStringList placesHolding(const QByteArray& secret) const;
    int serverLogCount(const QByteArray& text) const;
    // Runs `ip` with these arguments; true when it succeeded.
    static bool ip(const QStringList& arguments);
    qint64 serverPid() const;
    // Stops the lab's server (SIGTERM: it tells its clients) and starts it again.
    bool restartServer();
    // The server's end of the link under the tunnel.
    QString serverLink() const;
    // Rejects what reaches the VPN server's port, or stops rejecting it.
    bool refuseAtServer(bool refuse) const;

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

    harness->sim.loadData(
        labServiceData({lab(QStringLiteral("LAB_USER_") + user), password,
                        lab(QStringLiteral("LAB_SERVER_IP")), lab(QStringLiteral("LAB_TUNNEL_IP_") + user)},
                       configPath, certificatePath));
    harness->sim.setFile(certificatePath, ca.readAll());
    harness->sim.setFile(configPath, config.readAll());
}

void TestOpenVpnWindow::openWindowAndLogIn(const QString& user, const QString& password)
{
    harness->create();
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
    // An older check the window cancels finishes too, without an address: only an answer counts.
    while ((watch->finished(echoPath) == before || harness->text(QStringLiteral("ipCurrent")).isEmpty()) &&
           clock.elapsed() < replyTimeoutMs)
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

QStringList TestOpenVpnWindow::placesHolding(const QByteArray& secret) const
{
    QStringList found;
    const QStringList roots{harness->workDir.path(), QDir::homePath(), QStringLiteral("/tmp"),
                            QStringLiteral("/run")};
    for (const QString& root : roots) {
        // Regular files only: a device, a pipe or a link to one (a Wine prefix's dosdevices/com1) would
        // block the read.
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!it.fileInfo().isFile() || it.fileInfo().isSymLink())
                continue;
            // A lab's own user list and settings (this one's, or another build's) hold it by design.
            if (file.fileName().contains(QStringLiteral("/corvane-lab-")))
                continue;
            // Devices and pipes (a Wine prefix links to /dev/ttyS0, say) would block the read.
            if (!it.fileInfo().isFile())
                continue;
            if (file.size() > 1024 * 1024 || !file.open(QIODevice::ReadOnly))
                continue;
            if (file.readAll().contains(secret))
                found << file.fileName();
        }
    }
    for (const QString& pid :
         QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        QFile commandLine(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(secret))
            found << commandLine.fileName();
    }
    return found;
}

int TestOpenVpnWindow::serverLogCount(const QByteArray& text) const
{
    QFile log(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/server.log"));
    return log.open(QIODevice::ReadOnly) ? log.readAll().count(text) : -1;
}

void TestOpenVpnWindow::connectsThroughTheTunnelAndDisconnectsCleanly_data()
{
    QTest::addColumn<QString>("user");
    QTest::newRow("ASCII password") << QStringLiteral("BOB");
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
    // The program's report of the tunnel starts the address check; no tick is needed.
    QTRY_COMPARE_WITH_TIMEOUT(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("connected"),
                              tunnelTimeoutMs);
    QVERIFY(programLog().contains("Initialization Sequence Completed"));
    // The address check confirms what the tunnel said.
    QTRY_COMPARE_WITH_TIMEOUT(harness->text(QStringLiteral("authstatus")),
                              QStringLiteral("Connected! IP: ") + tunnelAddress, replyTimeoutMs);
    // While connected the password is in no file and on no command line.
    const QStringList holding = placesHolding(password.toUtf8());
    QVERIFY2(holding.isEmpty(), qPrintable(holding.join(QLatin1Char(' '))));
    QCOMPARE(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("connected"));
    QCOMPARE(harness->text(QStringLiteral("authstatus")), QStringLiteral("Connected! IP: ") + tunnelAddress);
    QCOMPARE(harness->text(QStringLiteral("ipCurrent")), tunnelAddress);
    QVERIFY(harness->shown(QStringLiteral("WidgetConnectedVPN")));
    QVERIFY(!harness->shown(QStringLiteral("WidgetConnectingVPN")));
    QCOMPARE(harness->text(QStringLiteral("connected_title")), QStringLiteral("Connected to LAB1 Server!"));
    QCOMPARE(harness->balloonTitles(), QStringList{QStringLiteral("Corvane is now connected!")});
    QCOMPARE(harness->window->openVpnChild()->state(), QProcess::Running);
    QVERIFY(harness->boxes.isEmpty());
    // openvpn counts the bytes each second; the address check's answer came through the tunnel.
    QTRY_VERIFY_WITH_TIMEOUT(
        harness->text(QStringLiteral("connected_traffic")).contains(QStringLiteral(" in, ")), 3000);
    QVERIFY(!harness->text(QStringLiteral("connected_traffic"))
                 .startsWith(QStringLiteral("Traffic: 0 bytes in")));
    QCOMPARE(harness->text(QStringLiteral("connected_address")),
             QStringLiteral("Public address: ") + tunnelAddress);

    // The server hears the client leave (explicit-exit-notify) instead of timing it out.
    const QByteArray leaving("exit message received by peer");
    const int leftBefore = serverLogCount(leaving);
    const auto program = static_cast<pid_t>(harness->window->openVpnChild()->processId());
    harness->invoke("on_disconnect_clicked");
    QVERIFY(idlePageShown());
    QTRY_VERIFY_WITH_TIMEOUT(serverLogCount(leaving) > leftBefore, 3000);
    // The program says goodbye to the server before it ends and takes the tunnel down.
    QTRY_COMPARE_WITH_TIMEOUT(::kill(program, 0), -1, replyTimeoutMs);
    QCOMPARE(presentWorkFiles(), QStringList());
    QString address;
    for (int i = 0; i < 50 && address != clientAddress; ++i)
        address = freshEcho();
    QCOMPARE(address, clientAddress);
}

void TestOpenVpnWindow::failureTellsWhatBecameOfTheBlock_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("boxEnd");
    QTest::addColumn<bool>("held");
    QTest::newRow("lifted after the failure") << "reconnect"
                                              << "The internet is no longer blocked." << false;
    QTest::newRow("held until the user disconnects")
        << "always"
        << "The internet stays blocked until the VPN connects or you disconnect." << true;
}

// The window tells what the kill switch did when an attempt failed for good, and a block the
// strict setting holds is shown, with Disconnect in the tray as the way out.
void TestOpenVpnWindow::failureTellsWhatBecameOfTheBlock()
{
    QFETCH(QString, setting);
    QFETCH(QString, boxEnd);
    QFETCH(bool, held);
    QSettings().setValue(QStringLiteral("killSwitch"), setting);
    serveLab(QStringLiteral("ALICE"), QStringLiteral("not-the-password"));
    openWindowAndLogIn(QStringLiteral("ALICE"), QStringLiteral("not-the-password"));
    harness->invoke("on_connect_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(!harness->boxes.isEmpty(), tunnelTimeoutMs);
    QVERIFY2(harness->boxes.at(0).text.endsWith(boxEnd), qPrintable(harness->boxes.at(0).text));
    TrayView* tray = harness->window->trayView();
    QCOMPARE(tray->state(), held ? TrayView::State::Blocked : TrayView::State::Disconnected);
    // The account's refresh that follows a failure keeps the held block in the status line.
    QVERIFY(servicewindow::fetchAccountDetails(*harness));
    QCOMPARE(harness->text(QStringLiteral("authstatus")).startsWith(QStringLiteral("Internet blocked")),
             held);
    QCOMPARE(tray->disconnectAction()->isEnabled(), held);
    if (!held)
        return;
    tray->disconnectAction()->trigger();
    QTRY_COMPARE(tray->state(), TrayView::State::Disconnected);
    QVERIFY(!tray->disconnectAction()->isEnabled());
}

void TestOpenVpnWindow::wrongPasswordEndsAtOnceWithTheRefusal()
{
    // The service knows this password; the VPN server does not.
    serveLab(QStringLiteral("ALICE"), QStringLiteral("not-the-password"));
    openWindowAndLogIn(QStringLiteral("ALICE"), QStringLiteral("not-the-password"));
    harness->invoke("on_connect_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(harness->window->openVpnChild()->processId() != 0, replyTimeoutMs);
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(!harness->boxes.isEmpty(), 3000);
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(harness->boxTitles(), QStringList{QStringLiteral("Cannot connect")});
    QVERIFY2(harness->boxes.at(0).text.contains(QStringLiteral("refused the user name or password")),
             qPrintable(harness->boxes.at(0).text));
    QVERIFY(idlePageShown());
    QCOMPARE(presentWorkFiles(), QStringList());
}

void TestOpenVpnWindow::unreachableServerEndsWithinThePollTimeout()
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
    QTRY_VERIFY_WITH_TIMEOUT(!harness->boxes.isEmpty(), serverPollMs + 3000);
    QCOMPARE(harness->boxTitles(), QStringList{QStringLiteral("Cannot connect")});
    QVERIFY(idlePageShown());
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->openVpnChild()->state(), QProcess::NotRunning, replyTimeoutMs);
    QCOMPARE(presentWorkFiles(), QStringList());
    QCOMPARE(freshEcho(), lab(QStringLiteral("LAB_CLIENT_IP")));
}

void TestOpenVpnWindow::killedProgramGoesDownTheDropPath()
{
    serveLab(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    openWindowAndLogIn(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    // The redial waits for the test's clock; this test looks at the drop alone.
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("connected"),
                              tunnelTimeoutMs);
    const qint64 pid = harness->window->openVpnChild()->processId();
    QVERIFY(pid > 0);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(harness->balloonTitles().contains(QStringLiteral("Corvane connection dropped")),
                             3000);
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(harness->window->connectionController()->state(), ConnectionController::State::Reconnecting);
    QVERIFY(harness->shown(QStringLiteral("WidgetConnectingVPN")) &&
            harness->shown(QStringLiteral("cancel")));
}

bool TestOpenVpnWindow::ip(const QStringList& arguments)
{
    QProcess run;
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(QStringLiteral("ip"), arguments);
    return run.waitForFinished(10000) && run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
}

qint64 TestOpenVpnWindow::serverPid() const
{
    QFile file(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/server.pid"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

bool TestOpenVpnWindow::restartServer()
{
    const qint64 pid = serverPid();
    if (pid <= 0 || ::kill(pid_t(pid), SIGTERM) != 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (::kill(pid_t(pid), 0) == 0 && clock.elapsed() < 10000)
        QTest::qWait(20);
    const QString dir = lab(QStringLiteral("LAB_DIR"));
    if (!ip({QStringLiteral("netns"), QStringLiteral("exec"), lab(QStringLiteral("LAB_SERVER_NS")),
             QStringLiteral("openvpn"), QStringLiteral("--config"), dir + QStringLiteral("/server.conf"),
             QStringLiteral("--daemon"), QStringLiteral("corvane-lab-server")}))
        return false;
    while (serverLogCount("Initialization Sequence Completed") == 0 && clock.elapsed() < 20000)
        QTest::qWait(20);
    return serverLogCount("Initialization Sequence Completed") > 0;
}

bool TestOpenVpnWindow::refuseAtServer(bool refuse) const
{
    return filterServerPort(labValues, "corvane_test_refuse", refuse ? "reject" : "");
}

QString TestOpenVpnWindow::serverLink() const
{
    QProcess run;
    run.start(QStringLiteral("ip"), {QStringLiteral("-n"), lab(QStringLiteral("LAB_SERVER_NS")),
                                     QStringLiteral("-o"), QStringLiteral("link"), QStringLiteral("show"),
                                     QStringLiteral("type"), QStringLiteral("veth")});
    run.waitForFinished(10000);
    // "7: cv1234abcds@if8: <BROADCAST,...": the name ends at the '@'.
    const QByteArray line = run.readAllStandardOutput();
    const int start = line.indexOf(": ") + 2;
    return QString::fromLatin1(line.mid(start, line.indexOf('@') - start));
}

void TestOpenVpnWindow::faultUnderTheTunnelEndsInTheTruth_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("dropped");
    // A stopped program answers nothing: its silence on the channel gives it away.
    QTest::newRow("program hangs") << "hang" << true;
    QTest::newRow("server restarts") << "restart" << true;
    // Nothing listens at the server's address any more (ICMP port unreachable).
    QTest::newRow("server's address refuses") << "refuse" << true;
    // Too short for the keepalive to give up: the tunnel carries traffic again once it is back.
    QTest::newRow("link down for 5 s") << "link" << false;
}

// What the user sees after the fault is what became of the tunnel; a dropped one is dialled
// again to the same server, and Disconnect leaves nothing behind.
void TestOpenVpnWindow::faultUnderTheTunnelEndsInTheTruth()
{
    QFETCH(QString, fault);
    QFETCH(bool, dropped);
    const QString tunnelAddress = lab(QStringLiteral("LAB_TUNNEL_IP_ALICE"));
    serveLab(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    openWindowAndLogIn(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                              ConnectionController::State::Connected, tunnelTimeoutMs);
    const auto program = pid_t(harness->window->openVpnChild()->processId());
    // Whatever happens below, the stopped program must not outlive the test.
    const auto resume = qScopeGuard([program] { ::kill(program, SIGCONT); });
    // Nor the rejection the lab's later tests: deleting it twice does no harm.
    const auto accept = qScopeGuard([this, fault] {
        if (fault == QLatin1String("refuse"))
            refuseAtServer(false);
    });
    const QString link = serverLink();
    if (fault == QLatin1String("hang")) {
        QCOMPARE(::kill(program, SIGSTOP), 0);
        harness->clock->advance(7000);
    } else if (fault == QLatin1String("restart")) {
        QVERIFY(restartServer());
    } else if (fault == QLatin1String("refuse")) {
        QVERIFY(refuseAtServer(true));
        // Traffic into the tunnel: each datagram the program sends on is refused.
        QUdpSocket probe;
        const QHostAddress echoHost(QUrl(lab(QStringLiteral("LAB_ECHO_URL"))).host());
        for (int i = 0; i < 3; ++i) {
            probe.writeDatagram(QByteArrayLiteral("probe"), echoHost, 9);
            QTest::qWait(200);
        }
    } else {
        QVERIFY2(!link.isEmpty(), "the lab has no link under the tunnel");
        const QString ns = lab(QStringLiteral("LAB_SERVER_NS"));
        // Down would take the link's IPv6 addresses with it, and the lab's later tests need them.
        QVERIFY(
            ip({QStringLiteral("netns"), QStringLiteral("exec"), ns, QStringLiteral("sysctl"),
                QStringLiteral("-qw"), QStringLiteral("net.ipv6.conf.%1.keep_addr_on_down=1").arg(link)}));
        QVERIFY(ip({QStringLiteral("-n"), ns, QStringLiteral("link"), QStringLiteral("set"), link,
                    QStringLiteral("down")}));
        // The outage itself: five seconds of real time in which nothing gets through.
        QTest::qWait(5000);
        QVERIFY(ip({QStringLiteral("-n"), ns, QStringLiteral("link"), QStringLiteral("set"), link,
                    QStringLiteral("up")}));
    }
    if (dropped) {
        QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                                  ConnectionController::State::Reconnecting, 5000);
        QVERIFY(harness->balloonTitles().contains(QStringLiteral("Corvane connection dropped")));
        QVERIFY(harness->shown(QStringLiteral("WidgetConnectingVPN")));
        QTRY_COMPARE_WITH_TIMEOUT(::kill(program, 0), -1, replyTimeoutMs);
        if (fault == QLatin1String("refuse"))
            QVERIFY(refuseAtServer(false));
        harness->clock->advance(3000);
        QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                                  ConnectionController::State::Connected, tunnelTimeoutMs);
        QVERIFY(harness->window->openVpnChild()->processId() != program);
    } else {
        QCOMPARE(harness->window->connectionController()->state(), ConnectionController::State::Connected);
        QCOMPARE(harness->window->openVpnChild()->processId(), qint64(program));
    }
    QVERIFY(harness->shown(QStringLiteral("WidgetConnectedVPN")));
    QString address;
    for (int i = 0; i < 50 && address != tunnelAddress; ++i)
        address = freshEcho();
    QCOMPARE(address, tunnelAddress);
    harness->invoke("on_disconnect_clicked");
    QVERIFY(idlePageShown());
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->openVpnChild()->state(), QProcess::NotRunning, replyTimeoutMs);
    QCOMPARE(presentWorkFiles(), QStringList());
}

void TestOpenVpnWindow::programKilledWhileConnectingIsTold()
{
    serveLab(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    openWindowAndLogIn(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    // A stopped server keeps the attempt connecting for as long as the test needs.
    const auto server = pid_t(serverPid());
    QVERIFY(server > 0);
    QCOMPARE(::kill(server, SIGSTOP), 0);
    const auto resume = qScopeGuard([server] { ::kill(server, SIGCONT); });
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->openVpnChild()->state(), QProcess::Running, replyTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(programLog().contains("UDPv4 link remote"), replyTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->connectionController()->state(),
                              ConnectionController::State::Connecting, replyTimeoutMs);
    QCOMPARE(::kill(pid_t(harness->window->openVpnChild()->processId()), SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!harness->boxes.isEmpty(), 3000);
    QCOMPARE(harness->window->connectionController()->state(), ConnectionController::State::Failed);
    QVERIFY2(
        harness->boxes.at(0).text.contains(QStringLiteral(": the OpenVPN program was ended unexpectedly.")),
        qPrintable(harness->boxes.at(0).text));
    QVERIFY(idlePageShown());
    QCOMPARE(presentWorkFiles(), QStringList());
    QCOMPARE(freshEcho(), lab(QStringLiteral("LAB_CLIENT_IP")));
}

void TestOpenVpnWindow::fullDiskIsToldAndLeavesNoHalfFile()
{
    serveLab(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    openWindowAndLogIn(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    // A disk of one page, all but a few bytes taken: the certificate cannot fit.
    const QString folder = harness->workDir.filePath(QStringLiteral("include"));
    QVERIFY(QDir().mkpath(folder));
    QCOMPARE(QProcess::execute(QStringLiteral("mount"),
                               {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                QStringLiteral("size=4k"), QStringLiteral("tmpfs"), folder}),
             0);
    const auto unmount = qScopeGuard([folder] { QProcess::execute(QStringLiteral("umount"), {folder}); });
    {
        QFile filler(folder + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(4096 - 16, 'x'));
        QVERIFY(filler.flush());
    }
    harness->invoke("on_connect_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(!harness->boxes.isEmpty(), replyTimeoutMs);
    QVERIFY2(harness->boxes.at(0).text.contains(
                 QStringLiteral("cannot write the certificate (No space left on device)")),
             qPrintable(harness->boxes.at(0).text));
    QCOMPARE(harness->window->connectionController()->state(), ConnectionController::State::Failed);
    QVERIFY(idlePageShown());
    QCOMPARE(presentWorkFiles(), QStringList());
    QCOMPARE(harness->window->openVpnChild()->processId(), qint64(0));
}

void TestOpenVpnWindow::failureBoxOpenOverTheEndedProgramIsSafe_data()
{
    QTest::addColumn<bool>("unreachable");
    QTest::newRow("password refused") << false;
    QTest::newRow("server does not answer") << true;
}

// The real box runs an event loop of its own; it must not run inside the program's channel, which
// the ended attempt takes away (under the sanitizers a use of the freed socket fails the test).
void TestOpenVpnWindow::failureBoxOpenOverTheEndedProgramIsSafe()
{
    QFETCH(bool, unreachable);
    const QString password = lab(QStringLiteral("LAB_PASSWORD_ALICE"));
    serveLab(QStringLiteral("ALICE"), unreachable ? password : QStringLiteral("not-the-password"));
    if (unreachable) {
        QFile base(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
        QVERIFY(base.open(QIODevice::ReadOnly));
        QByteArray config = base.readAll();
        config.replace("remote " + lab(QStringLiteral("LAB_SERVER_IP")).toUtf8(), "remote 198.18.0.99");
        harness->sim.setFile(configPath, config);
    }
    openWindowAndLogIn(QStringLiteral("ALICE"), unreachable ? password : QStringLiteral("not-the-password"));
    harness->window->messageBox = harness->realMessageBox;
    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    closer.start(20);
    harness->invoke("on_connect_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), serverPollMs + 5000);
    QTRY_COMPARE(harness->window->connectionController()->state(), ConnectionController::State::Failed);
    // Deferred deletions of the channel and the program run now.
    QTest::qWait(200);
    QVERIFY(idlePageShown());
    QTRY_COMPARE_WITH_TIMEOUT(harness->window->openVpnChild()->state(), QProcess::NotRunning, replyTimeoutMs);
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

void TestOpenVpnWindow::processRacingTheProgramToTheChannelGetsNothing()
{
    const QString password = lab(QStringLiteral("LAB_PASSWORD_BOB"));
    serveLab(QStringLiteral("BOB"), password);
    openWindowAndLogIn(QStringLiteral("BOB"), password);
    ChannelRacer racer(harness->window->connectionController()->engine()->places().privateFolder);
    harness->invoke("on_connect_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(!racer.heard().isEmpty() || harness->text(QStringLiteral("connectionStatus")) ==
                                                             QLatin1String("connected"),
                             tunnelTimeoutMs);
    QCOMPARE(racer.heard(), QByteArray());
    QVERIFY(racer.connections() > 0);
    QCOMPARE(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("connected"));
    QVERIFY(programLog().contains("Initialization Sequence Completed"));
}

void TestOpenVpnWindow::verbosityOfTheConfigurationIsLowered()
{
    serveLab(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    QFile base(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
    QVERIFY(base.open(QIODevice::ReadOnly));
    harness->sim.setFile(configPath, base.readAll() + "verb 11\n");
    openWindowAndLogIn(QStringLiteral("ALICE"), lab(QStringLiteral("LAB_PASSWORD_ALICE")));
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("connected"),
                              tunnelTimeoutMs);
    // At verb 11 the program has written some 200 KB by now, every wait of its event loop among it.
    const QByteArray log = programLog();
    QVERIFY2(!log.contains("event_wait returned") && !log.contains("I/O WAIT"), log.right(2000).constData());
    QVERIFY2(log.size() < 50000, qPrintable(QString::number(log.size())));
}

QTEST_MAIN(TestOpenVpnWindow)
#include "tst_openvpn_window.moc"
