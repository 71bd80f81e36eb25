// OpenVPN attempts of the window against the service simulator, with a stand-in program in
// place of openvpn that records how it was started.
#include "connection/workfiles.h"
#include "openvpnsupport.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <memory>

namespace {
const QString certificatePath = QStringLiteral("/files/nl/ca.crt");
const QString configPath = QStringLiteral("/files/nl/udp.ovpn");
const QStringList workFileNames{QStringLiteral("auth.conf"), QStringLiteral("certificate.crt"),
                                QStringLiteral("config.ovpn")};
// The command line up to the management channel's options, which name a socket of this run.
const QStringList expectedArguments{QStringLiteral("--config"),
                                    QStringLiteral("../include/config.ovpn"),
                                    QStringLiteral("--script-security"),
                                    QStringLiteral("1"),
                                    QStringLiteral("--ca"),
                                    QStringLiteral("../include/certificate.crt"),
                                    QStringLiteral("--auth-user-pass"),
                                    QStringLiteral("--management-query-passwords"),
                                    QStringLiteral("--management-hold"),
                                    QStringLiteral("--auth-retry"),
                                    QStringLiteral("none"),
                                    QStringLiteral("--connect-retry-max"),
                                    QStringLiteral("1"),
                                    QStringLiteral("--server-poll-timeout"),
                                    QStringLiteral("10"),
                                    QStringLiteral("--resolv-retry"),
                                    QStringLiteral("0"),
                                    QStringLiteral("--management")};
// A body that a text-mode write or a string conversion would change: CR LF, a bare LF, a NUL
// byte, and bytes that are not UTF-8.
const char awkwardBytes[] =
    "-----BEGIN CERTIFICATE-----\r\nMIIB\nzero:\0:end\r\n\xff\xfe\x80\n-----END CERTIFICATE-----";
const QByteArray awkwardCertificate(awkwardBytes, sizeof(awkwardBytes) - 1);
const QByteArray goodConfig("client\r\ndev tun\nproto udp\r\nremote 198.18.10.3 1194\nnobind\n");
constexpr int replyTimeoutMs = 10000;
} // namespace

// The set-up checks with QVERIFY; a failed set-up ends the test.
#define OPEN_WINDOW_ON_OPENVPN_SERVER()                                                                      \
    do {                                                                                                     \
        openWindowOnOpenVpnServer();                                                                         \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (false)

class TestOpenVpn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void statusTextsFollowTheDownloads_data();
    void statusTextsFollowTheDownloads();
    void programStartsFromItsFolderWithTheFixedCommandLine();
    void passwordIsNeitherWrittenNorOnTheCommandLine();
    void workFilesReplaceLinksPlantedDuringTheDownload();
    void downloadedBodiesAreWrittenByteForByte();
    void disconnectKillsTheProgramAndRemovesTheWorkFiles();
    void connectWhileTheProgramRunsReplacesIt();
    void downloadErrorReturnsToTheIdlePage_data();
    void downloadErrorReturnsToTheIdlePage();
    void downloadErrorInQuickConnectTriesTheNextEntry();
    void refusedConfigurationStartsNothing_data();
    void refusedConfigurationStartsNothing();
    void onlyWebAddressesAreFetched_data();
    void onlyWebAddressesAreFetched();
    void lateReplyAfterCancelIsDropped_data();
    void lateReplyAfterCancelIsDropped();
    void lateCertificateReplyAfterTimeoutIsDropped();
    void lateReplyDoesNotDisturbTheNextAttempt();
    void workFilesOfACrashedRunAreRemovedAtStart();
    void removingAbsentWorkFilesDoesNothing();
    void currentFolderIsNeitherRunNorCleaned();

private:
    // A logged-in window with the OpenVPN server NL1 chosen and the stand-in program in place.
    void openWindowOnOpenVpnServer();
    void connectNow();
    QString includeFile(const QString& name) const;
    QString recordFile() const;
    QByteArray contents(const QString& path) const;
    QStringList presentWorkFiles() const;
    bool idlePageShown() const;
    bool programNeverStarted() const;

    std::unique_ptr<WindowHarness> harness;
    ReplyWatch* watch = nullptr; // owned by the window
};

void TestOpenVpn::initTestCase()
{
    isolateSettings();
}

void TestOpenVpn::init()
{
    clearSettings();
    harness = std::make_unique<WindowHarness>();
    harness->sim.setFile(certificatePath, "CA ONE\n");
    harness->sim.setFile(configPath, goodConfig);
    QVERIFY(writeStandInOpenVpn(harness->workDir.path(), recordFile()));
}

void TestOpenVpn::cleanup()
{
    watch = nullptr;
    harness.reset();
}

void TestOpenVpn::openWindowOnOpenVpnServer()
{
    harness->create();
    watch = new ReplyWatch(harness->window.get());
    QVERIFY(harness->login());
    harness->find<QComboBox>(QStringLiteral("servers"))->setCurrentIndex(2);
    QCOMPARE(harness->text(QStringLiteral("server_name")), QStringLiteral("NL1"));
    QCOMPARE(harness->text(QStringLiteral("server_protocol")), QStringLiteral("OpenVPN"));
    QCOMPARE(harness->text(QStringLiteral("server_certificate")), harness->sim.baseUrl() + certificatePath);
    QCOMPARE(harness->text(QStringLiteral("user_enabled")), QStringLiteral("1"));
}

void TestOpenVpn::connectNow()
{
    harness->invoke("on_connect_clicked");
}

QString TestOpenVpn::includeFile(const QString& name) const
{
    return harness->workDir.path() + QStringLiteral("/include/") + name;
}

QString TestOpenVpn::recordFile() const
{
    return harness->workDir.path() + QStringLiteral("/started.txt");
}

QByteArray TestOpenVpn::contents(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

QStringList TestOpenVpn::presentWorkFiles() const
{
    QStringList present;
    for (const QString& name : workFileNames)
        if (QFile::exists(includeFile(name)))
            present << name;
    return present;
}

bool TestOpenVpn::idlePageShown() const
{
    return harness->shown(QStringLiteral("WingetConnected")) &&
           !harness->shown(QStringLiteral("WidgetConnectingVPN")) &&
           !harness->shown(QStringLiteral("WidgetConnectedVPN")) &&
           harness->text(QStringLiteral("connectionStatus")) == QLatin1String("disconnected");
}

bool TestOpenVpn::programNeverStarted() const
{
    return !QFile::exists(recordFile()) && harness->window->openVpnChild()->processId() == 0;
}

void TestOpenVpn::statusTextsFollowTheDownloads_data()
{
    QTest::addColumn<bool>("quickConnect");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("chosen by hand") << false
                                    << QStringList{"downloading OpenVPN certificate...",
                                                   "downloading OpenVPN profile config...",
                                                   "starting connection"};
    QTest::newRow("second of three Quick Connect entries")
        << true
        << QStringList{"Stage 2/3 downloading OpenVPN certificate...",
                       "Stage 2/3 downloading OpenVPN profile config...", "Stage 2/3: starting connection"};
}

void TestOpenVpn::statusTextsFollowTheDownloads()
{
    QFETCH(bool, quickConnect);
    QFETCH(QStringList, texts);
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    if (quickConnect) {
        const QString base = harness->sim.baseUrl();
        harness->state()->setQuickServers(
            QStringLiteral("US1^198.18.10.1^PPTP|NL1^198.18.10.3^OpenVPN^%1%2^%1%3|DE1^198.18.10.2^L2TP^k")
                .arg(base, certificatePath, configPath));
        // The first entry fails at once (no dial-up here); the run goes on with the second.
        harness->invoke("on_quickConnect_clicked");
        QTRY_COMPARE(harness->window->quickConnect()->state(), QuickConnectRun::State::Pausing);
        harness->clock->advance(5000);
    } else {
        connectNow();
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    QCOMPARE(harness->text(QStringLiteral("authstatus")), texts.last());
    QStringList downloadTexts;
    for (const QString& text : history.texts())
        if (text.contains(QLatin1String("OpenVPN")) || text.contains(QLatin1String("starting connection")))
            downloadTexts << text;
    QCOMPARE(downloadTexts, texts);
}

void TestOpenVpn::programStartsFromItsFolderWithTheFixedCommandLine()
{
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    connectNow();
    // The user may end the attempt at any step; a reply that comes after that is dropped.
    QVERIFY(harness->find<QPushButton>(QStringLiteral("cancel"))->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    const RecordedStart start = readStandInRecord(recordFile());
    QVERIFY(start.valid);
    const QString folder = QDir(harness->workDir.path()).canonicalPath();
    QCOMPARE(start.program,
             QDir(harness->workDir.path()).absolutePath() + QStringLiteral("/openvpn/openvpn"));
    QCOMPARE(start.workingDirectory, folder + QStringLiteral("/openvpn"));
    QCOMPARE(start.arguments.mid(0, expectedArguments.size()), expectedArguments);
    // The channel is a socket in a folder only this user may enter; the program connects to it.
    const QString socket = start.arguments.value(expectedArguments.size());
    QVERIFY2(socket.endsWith(QStringLiteral(".sock")), qPrintable(socket));
    QCOMPARE(QFileInfo(QFileInfo(socket).path()).permissions() & 0x0077, QFileDevice::Permissions());
    // At the configuration's default verbosity the log would not show the pushed name servers.
    QCOMPARE(start.arguments.mid(expectedArguments.size() + 1),
             (QStringList{QStringLiteral("unix"), QStringLiteral("--management-client"),
                          QStringLiteral("--verb"), QStringLiteral("3")}));
    // Each file argument, read from the program's folder, names a file that is there.
    QDir programFolder(start.workingDirectory);
    for (const QString& argument : {expectedArguments.at(1), expectedArguments.at(5)})
        QVERIFY2(QFile::exists(programFolder.filePath(argument)), qPrintable(argument));
    QTRY_COMPARE(harness->window->openVpnChild()->state(), QProcess::Running);
    QCOMPARE(harness->window->openVpnChild()->processId(), start.pid);
    QVERIFY(harness->find<QPushButton>(QStringLiteral("cancel"))->isEnabled());
    QCOMPARE(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("in progress"));
}

void TestOpenVpn::passwordIsNeitherWrittenNorOnTheCommandLine()
{
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    // An older version's file is removed at start and never written again.
    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    QVERIFY(
        !readStandInRecord(recordFile()).arguments.join(QLatin1Char(' ')).contains(QStringLiteral("secret")));
    QVERIFY(!QFile::exists(includeFile(QStringLiteral("auth.conf"))));
    for (const QString& name :
         QDir(harness->workDir.filePath(QStringLiteral("include"))).entryList(QDir::Files))
        QVERIFY2(!contents(includeFile(name)).contains("secret"), qPrintable(name));
}

void TestOpenVpn::workFilesReplaceLinksPlantedDuringTheDownload()
{
    // The client runs with administrator rights: links put into include/ while the
    // configuration downloads must not make it write the file or the log elsewhere.
    const QString victim = harness->workDir.filePath(QStringLiteral("victim.txt"));
    QFile file(victim);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("precious");
    file.close();
    harness->sim.setFault(configPath, Fault::delay(800));
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    connectNow();
    QTRY_COMPARE_WITH_TIMEOUT(harness->sim.requests(configPath).size(), 1, replyTimeoutMs);
    QVERIFY(QFile::link(victim, includeFile(QStringLiteral("openvpn.log"))));
    QVERIFY(QFile::link(victim, includeFile(QStringLiteral("config.ovpn"))));

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    QCOMPARE(contents(victim), QByteArray("precious"));
    QVERIFY(!QFileInfo(includeFile(QStringLiteral("openvpn.log"))).isSymLink());
    QVERIFY(!QFileInfo(includeFile(QStringLiteral("config.ovpn"))).isSymLink());
    QCOMPARE(contents(includeFile(QStringLiteral("config.ovpn"))), goodConfig);
}

void TestOpenVpn::downloadedBodiesAreWrittenByteForByte()
{
    const QByteArray config = goodConfig + "# comment with CR LF\r\nverb 3\n";
    harness->sim.setFile(certificatePath, awkwardCertificate);
    harness->sim.setFile(configPath, config);
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    QCOMPARE(contents(includeFile(QStringLiteral("certificate.crt"))), awkwardCertificate);
    QCOMPARE(contents(includeFile(QStringLiteral("config.ovpn"))), config);
}

void TestOpenVpn::disconnectKillsTheProgramAndRemovesTheWorkFiles()
{
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    const qint64 pid = readStandInRecord(recordFile()).pid;
    QVERIFY(pid > 0);
    QFile log(includeFile(QStringLiteral("openvpn.log")));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("the program's own log");
    log.close();

    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    harness->invoke("on_disconnect_clicked");
    // The program is asked to leave and ends in the background, a killed one within 3 s.
    QTRY_COMPARE_WITH_TIMEOUT(::kill(static_cast<pid_t>(pid), 0), -1, 5000);
    QCOMPARE(presentWorkFiles(), QStringList());
    QCOMPARE(contents(log.fileName()), QByteArray("the program's own log"));
    QVERIFY(idlePageShown());
    QVERIFY(history.contains(QStringLiteral("Ready!")));
}

void TestOpenVpn::connectWhileTheProgramRunsReplacesIt()
{
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    const qint64 first = readStandInRecord(recordFile()).pid;
    QVERIFY(QFile::remove(recordFile()));

    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    const qint64 second = readStandInRecord(recordFile()).pid;
    QVERIFY(second != first);
    QCOMPARE(::kill(static_cast<pid_t>(first), 0), -1);
    QTRY_COMPARE(harness->window->openVpnChild()->state(), QProcess::Running);
    QCOMPARE(harness->window->openVpnChild()->processId(), second);
}

void TestOpenVpn::downloadErrorReturnsToTheIdlePage_data()
{
    QTest::addColumn<QString>("failingPath");
    QTest::addColumn<bool>("redirect");
    QTest::addColumn<QString>("statusText");
    QTest::addColumn<QString>("boxText");
    QTest::newRow("certificate") << certificatePath << false << QStringLiteral("certificate download error")
                                 << "OpenVPN certificate of this server could not be downloaded (HTTP 404)";
    QTest::newRow("configuration")
        << configPath << false << QStringLiteral("config download error")
        << "OpenVPN configuration of this server could not be downloaded (HTTP 404)";
    // A redirect's body is not the file, whatever it holds.
    QTest::newRow("redirected configuration")
        << configPath << true << QStringLiteral("config download error")
        << "OpenVPN configuration of this server could not be downloaded (HTTP 302)";
}

void TestOpenVpn::downloadErrorReturnsToTheIdlePage()
{
    QFETCH(QString, failingPath);
    QFETCH(bool, redirect);
    QFETCH(QString, statusText);
    QFETCH(QString, boxText);
    harness->sim.setFault(failingPath,
                          redirect ? Fault::redirect(harness->sim.baseUrl() + certificatePath, goodConfig)
                                   : Fault::httpStatus(404));
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    // Left-overs of an earlier attempt go before anything else happens.
    for (const QString& name : workFileNames) {
        QFile file(includeFile(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier attempt");
    }
    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(history.contains(statusText), replyTimeoutMs);
    QVERIFY(idlePageShown());
    QVERIFY(!harness->shown(QStringLiteral("loading")));
    QCOMPARE(presentWorkFiles(), QStringList());
    QVERIFY(programNeverStarted());
    QCOMPARE(harness->boxTitles(), QStringList{QStringLiteral("OpenVPN download failed")});
    QVERIFY2(harness->boxes.at(0).text.contains(boxText), qPrintable(harness->boxes.at(0).text));
}

void TestOpenVpn::downloadErrorInQuickConnectTriesTheNextEntry()
{
    harness->sim.setFault(QStringLiteral("/files/broken/"), Fault::httpStatus(500));
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    const QString base = harness->sim.baseUrl();
    harness->state()->setQuickServers(
        QStringLiteral("US1^198.18.10.1^PPTP|NLX^198.18.10.9^OpenVPN^%1/files/broken/ca.crt^%1%3|"
                       "NL1^198.18.10.3^OpenVPN^%1%2^%1%3")
            .arg(base, certificatePath, configPath));
    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    harness->invoke("on_quickConnect_clicked");
    for (int entry = 2; entry <= 3; ++entry) {
        QTRY_COMPARE(harness->window->quickConnect()->state(), QuickConnectRun::State::Pausing);
        harness->clock->advance(5000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    QCOMPARE(harness->text(QStringLiteral("quick_stage")), QStringLiteral("3"));
    QCOMPARE(harness->text(QStringLiteral("server_name")), QStringLiteral("NL1"));
    QVERIFY(!history.contains(QStringLiteral("certificate download error")));
    QVERIFY(history.contains(QStringLiteral("Stage 3/3: starting connection")));
    QCOMPARE(harness->sim.requests(QStringLiteral("/files/broken/ca.crt")).size(), 1);
    QVERIFY(harness->boxes.isEmpty());
}

void TestOpenVpn::refusedConfigurationStartsNothing_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::newRow("up") << QByteArray(goodConfig + "up /bin/sh\n");
    QTest::newRow("--up, CR LF") << QByteArray(goodConfig + "  --up /tmp/x.sh\r\n");
    QTest::newRow("quoted up") << QByteArray(goodConfig + "\"up\" /tmp/x.sh\n");
    QTest::newRow("setenv opt up") << QByteArray(goodConfig + "setenv opt up /tmp/x.sh\n");
    QTest::newRow("plugin") << QByteArray(goodConfig + "plugin /tmp/evil.so\n");
    QTest::newRow("plugin after byte-order mark")
        << QByteArray("\xef\xbb\xbfplugin /tmp/evil.so\n" + goodConfig);
    QTest::newRow("up in a connection block")
        << QByteArray(goodConfig + "<connection>\nremote 198.18.10.3\nup /bin/sh\n</connection>\n");
    QTest::newRow("log elsewhere") << QByteArray(goodConfig + "log /etc/evil\n");
}

void TestOpenVpn::refusedConfigurationStartsNothing()
{
    QFETCH(QByteArray, config);
    harness->sim.setFile(configPath, config);
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(idlePageShown(), replyTimeoutMs);
    const QStringList refusals = history.texts().filter(QStringLiteral("OpenVPN configuration refused"));
    QVERIFY2(!refusals.isEmpty(), qPrintable(history.texts().join(QLatin1String(" | "))));
    QVERIFY(!history.contains(QStringLiteral("starting connection")));
    QVERIFY(programNeverStarted());
    QCOMPARE(presentWorkFiles(), QStringList());
    QCOMPARE(harness->sim.requests(configPath).size(), 1);
    QCOMPARE(harness->boxTitles(), QStringList{QStringLiteral("OpenVPN configuration refused")});
}

void TestOpenVpn::onlyWebAddressesAreFetched_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("statusText");
    QTest::newRow("certificate from a local file") << "server_certificate"
                                                   << "file://{dir}/secret.txt"
                                                   << "certificate download error";
    QTest::newRow("certificate from the resources") << "server_certificate"
                                                    << "qrc:/lumtar.png"
                                                    << "certificate download error";
    QTest::newRow("configuration from a local file") << "server_config"
                                                     << "file://{dir}/secret.txt"
                                                     << "config download error";
    QTest::newRow("configuration from the resources") << "server_config"
                                                      << "qrc:/lumtar.png"
                                                      << "config download error";
}

void TestOpenVpn::onlyWebAddressesAreFetched()
{
    QFETCH(QString, fieldName);
    QFETCH(QString, address);
    QFETCH(QString, statusText);
    QFile secret(harness->workDir.filePath(QStringLiteral("secret.txt")));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("client\ndev tun\n");
    secret.close();
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    address.replace(QLatin1String("{dir}"), harness->workDir.path());
    if (fieldName == QLatin1String("server_certificate"))
        harness->state()->setServerCertificate(address);
    else
        harness->state()->setServerConfig(address);
    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(history.contains(statusText), replyTimeoutMs);
    QVERIFY(idlePageShown());
    QVERIFY(programNeverStarted());
    QCOMPARE(presentWorkFiles(), QStringList());
    if (fieldName == QLatin1String("server_certificate")) {
        QVERIFY(!history.contains(QStringLiteral("downloading OpenVPN profile config...")));
        QCOMPARE(harness->sim.requests(certificatePath).size(), 0);
        QCOMPARE(harness->sim.requests(configPath).size(), 0);
    } else {
        QCOMPARE(harness->sim.requests(certificatePath).size(), 1);
        QCOMPARE(harness->sim.requests(configPath).size(), 0);
    }
}

void TestOpenVpn::lateReplyAfterCancelIsDropped_data()
{
    QTest::addColumn<QString>("delayedPath");
    QTest::newRow("certificate") << certificatePath;
    QTest::newRow("configuration") << configPath;
}

void TestOpenVpn::lateReplyAfterCancelIsDropped()
{
    QFETCH(QString, delayedPath);
    harness->sim.setFault(delayedPath, Fault::delay(800));
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    connectNow();
    QTRY_COMPARE_WITH_TIMEOUT(harness->sim.requests(delayedPath).size(), 1, replyTimeoutMs);
    harness->invoke("on_cancel_clicked");
    QVERIFY(idlePageShown());
    QCOMPARE(watch->finished(delayedPath), 0);

    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    QTRY_COMPARE_WITH_TIMEOUT(watch->finished(delayedPath), 1, replyTimeoutMs);
    QCoreApplication::processEvents();
    QCOMPARE(presentWorkFiles(), QStringList());
    QVERIFY(programNeverStarted());
    QVERIFY(idlePageShown());
    // The late reply changed nothing the user sees.
    QVERIFY2(history.texts().filter(QStringLiteral("OpenVPN")).isEmpty() &&
                 history.texts().filter(QStringLiteral("error")).isEmpty(),
             qPrintable(history.texts().join(QLatin1String(" | "))));
    // A dropped certificate reply asks for no configuration.
    QCOMPARE(harness->sim.requests(configPath).size(), delayedPath == configPath ? 1 : 0);
}

void TestOpenVpn::lateCertificateReplyAfterTimeoutIsDropped()
{
    harness->sim.setFault(certificatePath, Fault::delay(1500));
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    connectNow();
    QTRY_COMPARE_WITH_TIMEOUT(harness->sim.requests(certificatePath).size(), 1, replyTimeoutMs);
    harness->tick(11);
    QCOMPARE(harness->boxTitles(), QStringList{QStringLiteral("Cannot connect")});
    QVERIFY(idlePageShown());
    // Its own deadline has ended the download as well; whenever it finishes, it starts nothing.
    QTRY_COMPARE_WITH_TIMEOUT(watch->finished(certificatePath), 1, replyTimeoutMs);
    QCoreApplication::processEvents();
    QCOMPARE(presentWorkFiles(), QStringList());
    QVERIFY(programNeverStarted());
    QCOMPARE(harness->sim.requests(configPath).size(), 0);
}

void TestOpenVpn::lateReplyDoesNotDisturbTheNextAttempt()
{
    harness->sim.setFault(certificatePath, Fault::delay(1000).once());
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    connectNow();
    QTRY_COMPARE_WITH_TIMEOUT(harness->sim.requests(certificatePath).size(), 1, replyTimeoutMs);
    harness->invoke("on_cancel_clicked");
    // The disconnect rebuilt the lists; the user chooses the OpenVPN server again.
    harness->find<QComboBox>(QStringLiteral("servers"))->setCurrentIndex(2);
    QCOMPARE(harness->text(QStringLiteral("server_protocol")), QStringLiteral("OpenVPN"));

    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    const qint64 pid = readStandInRecord(recordFile()).pid;
    QTRY_COMPARE_WITH_TIMEOUT(watch->finished(certificatePath), 2, replyTimeoutMs);
    QCoreApplication::processEvents();
    // The first attempt's reply neither removed the running attempt's files nor asked again.
    QCOMPARE(presentWorkFiles(),
             (QStringList{QStringLiteral("certificate.crt"), QStringLiteral("config.ovpn")}));
    QCOMPARE(harness->sim.requests(configPath).size(), 1);
    QCOMPARE(harness->window->openVpnChild()->processId(), pid);
    QTRY_COMPARE(harness->window->openVpnChild()->state(), QProcess::Running);
    QCOMPARE(harness->text(QStringLiteral("connectionStatus")), QStringLiteral("in progress"));
}

void TestOpenVpn::workFilesOfACrashedRunAreRemovedAtStart()
{
    for (const QString& name : workFileNames + QStringList{QStringLiteral("openvpn.log")}) {
        QFile file(includeFile(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name == QLatin1String("auth.conf") ? "alice\nsecret" : "left by a crash");
    }
    harness->create();
    QCOMPARE(presentWorkFiles(), QStringList());
    QVERIFY(QFile::exists(includeFile(QStringLiteral("openvpn.log"))));
}

void TestOpenVpn::removingAbsentWorkFilesDoesNothing()
{
    harness->create();
    QFile log(includeFile(QStringLiteral("openvpn.log")));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("log");
    log.close();
    const QString status = harness->text(QStringLiteral("authstatus"));
    harness->invoke("removeOpenVPNfiles");
    QCOMPARE(presentWorkFiles(), QStringList());
    QCOMPARE(contents(log.fileName()), QByteArray("log"));
    QCOMPARE(QDir(harness->workDir.filePath(QStringLiteral("include"))).entryList(QDir::Files),
             QStringList{QStringLiteral("openvpn.log")});
    QCOMPARE(harness->text(QStringLiteral("authstatus")), status);
    QVERIFY(harness->boxes.isEmpty());
    QVERIFY(harness->balloons.isEmpty());
}

void TestOpenVpn::currentFolderIsNeitherRunNorCleaned()
{
    // Whoever starts the client chooses its current folder, and what was put there stays
    // untouched: the program and the work files are the installation's.
    QTemporaryDir current;
    const QString foreignRecord = current.filePath(QStringLiteral("ran.txt"));
    QVERIFY(writeStandInOpenVpn(current.path(), foreignRecord));
    QVERIFY(QDir(current.path()).mkpath(QStringLiteral("include")));
    const auto untouched = [&current] {
        for (const QString& name : workFileNames) {
            QFile file(current.filePath(QStringLiteral("include/") + name));
            if (!file.open(QIODevice::ReadOnly) || file.readAll() != "not the client's")
                return false;
        }
        return true;
    };
    for (const QString& name : workFileNames) {
        QFile file(current.filePath(QStringLiteral("include/") + name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not the client's");
    }
    QVERIFY(QDir::setCurrent(current.path()));
    OPEN_WINDOW_ON_OPENVPN_SERVER();
    QVERIFY(untouched());
    connectNow();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), replyTimeoutMs);
    QVERIFY(!QFile::exists(foreignRecord));
    harness->invoke("on_disconnect_clicked");
    QVERIFY(untouched());
}

QTEST_MAIN(TestOpenVpn)
#include "tst_openvpn.moc"
