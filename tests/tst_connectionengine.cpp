// The connection engine against a stand-in OpenVPN program that speaks the management channel
// the way openvpn 2.6 does: each outcome is known as soon as the program says it.
#include "connection/connectionengine.h"
#include "manualclock.h"
#include "testcertificates.h"
#include "tools/servicesim/servicesim.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {
// Connects to the channel named after --management, plays $FAKE_SCENARIO and records what it
// was sent and how it was started in its working folder.
const char fakeProgram[] = R"(#!/usr/bin/python3
import os, signal, socket, sys, time
scenario = os.environ["FAKE_SCENARIO"]
path = sys.argv[sys.argv.index("--management") + 1]
open("arguments", "w").write("\n".join(sys.argv))
if scenario == "deaf":
    signal.signal(signal.SIGTERM, signal.SIG_IGN)
s = socket.socket(socket.AF_UNIX)
s.connect(path)
f = s.makefile("rwb", buffering=0)
def say(line): f.write(line.encode() + b"\n")
say(">INFO:OpenVPN Management Interface Version 5 -- type 'help' for more info")
say(">HOLD:Waiting for hold release:0")
heard = []
def until(prefix):
    while True:
        line = f.readline()
        if not line: sys.exit(3)
        heard.append(line)
        if line.startswith(prefix.encode()): return line
until("hold release")
say(">LOG:1796654661,I,OpenVPN 2.6 stand-in")
if scenario == "chatty":
    for i in range(90000):
        say(">LOG:1796654661,D,packet %06d " % i + "x" * 80)
    say(">LOG:1796654661,I,last words")
if scenario == "exit":
    say(">LOG:1796654661,N,Cannot resolve host address: nowhere")
    sys.exit(1)
if scenario == "fatal":
    say(">FATAL:Cannot open TUN/TAP dev /dev/net/tun: No such device")
    sys.exit(1)
say(">PASSWORD:Need 'Auth' username/password")
until("username")
until("password")
open("credentials", "wb").write(b"".join(heard[-2:]))
if scenario == "authfail":
    say(">PASSWORD:Verification Failed: 'Auth'")
    say(">STATE:1796654652,EXITING,auth-failure,,,,,")
    sys.exit(0)
say(">STATE:1796654642,CONNECTED,SUCCESS,198.19.0.10,198.18.0.1,1194,,")
if scenario == "reconnect":
    say(">STATE:1796654643,RECONNECTING,ping-restart,,,,,")
if scenario == "counting":
    import threading
    def count():
        while True:
            say(">BYTECOUNT:100,200")
            time.sleep(0.2)
    threading.Thread(target=count, daemon=True).start()
until("signal SIGTERM")
if scenario != "deaf":
    say(">STATE:1796654643,EXITING,SIGTERM,,,,,")
    sys.exit(0)
time.sleep(60)
)";
const QByteArray config("client\ndev tun\nremote 198.18.0.1 1194\n");
const QString password = QString::fromUtf8("p\xc3\xa4ss \"w\\rd");
} // namespace

class TestConnectionEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void outcomeIsKnownAtOnce_data();
    void outcomeIsKnownAtOnce();
    void reconnectingWhileUpIsADrop();
    void programThatFallsSilentIsEndedAsADrop_data();
    void programThatFallsSilentIsEndedAsADrop();
    void stopEndsTheProgram_data();
    void stopEndsTheProgram();
    void programLeftByAnEarlierRunIsEndedAtStart();
    void tricklingConfigurationEndsTheAttemptAtItsDeadline();
    void fileOverPlainHttpIsRefusedNamingItsHost();
    void chattyProgramLogStaysWithinItsLimit();
    void highVerbosityIsLowered();

private:
    void start(const QString& scenario);

    ServiceSimulator sim;
    QTemporaryDir runtime;
    std::unique_ptr<QTemporaryDir> base;
    std::unique_ptr<ConnectionEngine> engine;
};

void TestConnectionEngine::initTestCase()
{
    trustTestAuthority();
    sim.useTls(testCertificates().trusted.certificate, testCertificates().trusted.key);
    QVERIFY(sim.start());
    sim.setFile(QStringLiteral("/files/ca.crt"), "certificate");
    sim.setFile(QStringLiteral("/files/udp.ovpn"), config);
    // The channel and the pid file go to the runtime folder; a test keeps its own.
    QVERIFY(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qRegisterMetaType<ConnectionEngine::Reason>();
}

void TestConnectionEngine::init()
{
    base = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(base->path()).mkpath(QStringLiteral("openvpn")));
    QFile program(base->filePath(QStringLiteral("openvpn/openvpn")));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.write(fakeProgram);
    program.close();
    QVERIFY(program.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    engine = std::make_unique<ConnectionEngine>(base->path());
}

void TestConnectionEngine::cleanup()
{
    engine.reset();
    base.reset();
}

void TestConnectionEngine::start(const QString& scenario)
{
    qputenv("FAKE_SCENARIO", scenario.toUtf8());
    engine->startOpenVpn({sim.baseUrl() + QStringLiteral("/files/ca.crt"),
                          sim.baseUrl() + QStringLiteral("/files/udp.ovpn"), QStringLiteral("alice"),
                          password});
}

void TestConnectionEngine::outcomeIsKnownAtOnce_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("detail");
    QTest::newRow("success") << "success" << true << 0 << "";
    QTest::newRow("password refused")
        << "authfail" << false << int(ConnectionEngine::Reason::AuthFailed) << "";
    QTest::newRow("fatal") << "fatal" << false << int(ConnectionEngine::Reason::Fatal)
                           << "Cannot open TUN/TAP dev /dev/net/tun: No such device";
    QTest::newRow("exit before connected") << "exit" << false << int(ConnectionEngine::Reason::ProgramEnded)
                                           << "Cannot resolve host address: nowhere";
}

void TestConnectionEngine::outcomeIsKnownAtOnce()
{
    QFETCH(QString, scenario);
    QFETCH(bool, up);
    QFETCH(int, reason);
    QFETCH(QString, detail);
    QSignalSpy tunnelUp(engine.get(), &ConnectionEngine::tunnelUp);
    QSignalSpy failed(engine.get(), &ConnectionEngine::attemptFailed);
    start(scenario);
    QTRY_VERIFY_WITH_TIMEOUT(tunnelUp.size() + failed.size() > 0, 10000);
    QCOMPARE(tunnelUp.size(), up ? 1 : 0);
    if (!up) {
        QCOMPARE(failed.at(0).at(0).value<ConnectionEngine::Reason>(), ConnectionEngine::Reason(reason));
        QCOMPARE(failed.at(0).at(1).toString(), detail);
    }
    const QString programFolder = base->filePath(QStringLiteral("openvpn"));
    if (scenario == QLatin1String("success") || scenario == QLatin1String("authfail")) {
        // The password went over the channel, quoted, and nowhere else.
        QFile credentials(programFolder + QStringLiteral("/credentials"));
        QVERIFY(credentials.open(QIODevice::ReadOnly));
        QCOMPARE(credentials.readAll(), QByteArray("username \"Auth\" \"alice\"\npassword \"Auth\" "
                                                   "\"p\xc3\xa4ss \\\"w\\\\rd\"\n"));
    }
    QFile arguments(programFolder + QStringLiteral("/arguments"));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QVERIFY(!arguments.readAll().contains(password.toUtf8()));
    QVERIFY(!QFile::exists(base->filePath(QStringLiteral("include/auth.conf"))));
}

void TestConnectionEngine::reconnectingWhileUpIsADrop()
{
    QSignalSpy dropped(engine.get(), &ConnectionEngine::tunnelDropped);
    start(QStringLiteral("reconnect"));
    QTRY_COMPARE_WITH_TIMEOUT(dropped.size(), 1, 10000);
    QCOMPARE(dropped.at(0).at(0).value<ConnectionEngine::Reason>(), ConnectionEngine::Reason::Reconnecting);
}

void TestConnectionEngine::programThatFallsSilentIsEndedAsADrop_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<bool>("silent");
    QTest::newRow("counting every second") << "counting" << false;
    // This one ignores SIGTERM, as a stopped program does.
    QTest::newRow("silent after connecting") << "deaf" << true;
}

void TestConnectionEngine::programThatFallsSilentIsEndedAsADrop()
{
    QFETCH(QString, scenario);
    QFETCH(bool, silent);
    ManualClock clock;
    engine = std::make_unique<ConnectionEngine>(base->path());
    const auto endEngine = qScopeGuard([this] { engine.reset(); });
    QSignalSpy up(engine.get(), &ConnectionEngine::tunnelUp);
    QSignalSpy dropped(engine.get(), &ConnectionEngine::tunnelDropped);
    QSignalSpy counted(engine.get(), &ConnectionEngine::trafficCounted);
    start(scenario);
    QTRY_COMPARE_WITH_TIMEOUT(up.size(), 1, 10000);
    // Each lap: a few seconds pass, then whatever the program says in the meantime is read.
    for (int lap = 0; lap < 3 && dropped.isEmpty(); ++lap) {
        clock.advance(4000);
        const int before = counted.size();
        if (!silent)
            QTRY_VERIFY(counted.size() > before);
        QTest::qWait(0);
    }
    if (!silent) {
        QVERIFY(dropped.isEmpty());
        return;
    }
    QTRY_COMPARE(dropped.size(), 1);
    QCOMPARE(dropped.at(0).at(0).value<ConnectionEngine::Reason>(), ConnectionEngine::Reason::ProgramSilent);
    // Gone at once, long before a polite stop would have given up on it.
    QTRY_COMPARE_WITH_TIMEOUT(engine->process()->state(), QProcess::NotRunning, 1500);
}

void TestConnectionEngine::stopEndsTheProgram_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("atLeastMs");
    QTest::newRow("program answers") << "success" << 0;
    QTest::newRow("program deaf") << "deaf" << 2900;
}

void TestConnectionEngine::stopEndsTheProgram()
{
    QFETCH(QString, scenario);
    QFETCH(int, atLeastMs);
    const int timers = int(engine->findChildren<ClockTimer*>().size());
    QSignalSpy tunnelUp(engine.get(), &ConnectionEngine::tunnelUp);
    start(scenario);
    QTRY_COMPARE_WITH_TIMEOUT(tunnelUp.size(), 1, 10000);
    const qint64 pid = engine->process()->processId();
    QVERIFY(pid > 0);
    QElapsedTimer clock;
    clock.start();
    engine->endAttempt();
    // The window goes on at once; the program ends in the background.
    QVERIFY(clock.elapsed() < 500);
    QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(pid), 0) != 0, 6000);
    QVERIFY(clock.elapsed() >= atLeastMs);
    QVERIFY(clock.elapsed() < atLeastMs + 2000);
    QVERIFY(!QFile::exists(base->filePath(QStringLiteral("include/config.ovpn"))));
    // Over days of use attempts come by the thousand: each leaves nothing of its own behind.
    QCOMPARE(int(engine->findChildren<ClockTimer*>().size()), timers);
}

void TestConnectionEngine::programLeftByAnEarlierRunIsEndedAtStart()
{
    engine.reset();
    // A program whose client died without ending it: its record names a client that is gone.
    const QString folder = runtime.path() + QStringLiteral("/corvane");
    qint64 orphan = 0;
    QVERIFY(QProcess::startDetached(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"), QStringLiteral("import time; time.sleep(60)"), folder}, QString(), &orphan));
    qint64 goneClient = 0;
    QVERIFY(QProcess::startDetached(QStringLiteral("/bin/true"), {}, QString(), &goneClient));
    QTRY_VERIFY(::kill(pid_t(goneClient), 0) != 0);
    QFile record(folder + QStringLiteral("/openvpn-%1.pid").arg(goneClient));
    QVERIFY(record.open(QIODevice::WriteOnly));
    record.write(QByteArray::number(orphan) + '\n' + QFile::encodeName(folder) + '\n');
    record.close();

    engine = std::make_unique<ConnectionEngine>(base->path());
    QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(orphan), 0) != 0, 5000);
    QVERIFY(!record.exists());
}

void TestConnectionEngine::tricklingConfigurationEndsTheAttemptAtItsDeadline()
{
    // A byte every 100 ms: no idle time-out would ever end it.
    sim.setFile(QStringLiteral("/files/slow.ovpn"), config + QByteArray(4096, '#'));
    sim.setFault(QStringLiteral("/files/slow.ovpn"), Fault::trickle(100));
    ManualClock clock;
    QSignalSpy failed(engine.get(), &ConnectionEngine::attemptFailed);
    engine->startOpenVpn({sim.baseUrl() + QStringLiteral("/files/ca.crt"),
                          sim.baseUrl() + QStringLiteral("/files/slow.ovpn"), QStringLiteral("alice"),
                          password});
    QVERIFY(QTest::qWaitFor([this] { return !sim.requests(QStringLiteral("/files/slow.ovpn")).isEmpty(); }));
    QTest::qWait(300);

    clock.advance(14999);
    QVERIFY(failed.isEmpty());
    clock.advance(1);
    QTRY_COMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).at(0).value<ConnectionEngine::Reason>(), ConnectionEngine::Reason::ConfigDownload);
    QCOMPARE(failed.at(0).at(1).toString(), QStringLiteral("127.0.0.1 did not answer in time."));
    sim.clearFaults();
}

void TestConnectionEngine::fileOverPlainHttpIsRefusedNamingItsHost()
{
    // Only a service on this machine may name files over plain HTTP.
    qputenv("CORVANE_SERVICE_URL", "https://service.example");
    const auto restore = qScopeGuard([] { qunsetenv("CORVANE_SERVICE_URL"); });
    sim.clearRequests();
    QSignalSpy failed(engine.get(), &ConnectionEngine::attemptFailed);
    const QString plain = QStringLiteral("http://127.0.0.1:%1").arg(sim.port());
    engine->startOpenVpn({plain + QStringLiteral("/files/ca.crt"), plain + QStringLiteral("/files/udp.ovpn"),
                          QStringLiteral("alice"), password});
    QVERIFY(failed.wait());
    QCOMPARE(failed.at(0).at(0).value<ConnectionEngine::Reason>(),
             ConnectionEngine::Reason::CertificateDownload);
    QCOMPARE(
        failed.at(0).at(1).toString(),
        QStringLiteral("127.0.0.1 would be reached over plain HTTP, not over a secure connection (https)."));
    QVERIFY(sim.requests().isEmpty());
}

void TestConnectionEngine::chattyProgramLogStaysWithinItsLimit()
{
    QSignalSpy tunnelUp(engine.get(), &ConnectionEngine::tunnelUp);
    start(QStringLiteral("chatty"));
    QTRY_COMPARE_WITH_TIMEOUT(tunnelUp.size(), 1, 60000);
    // About 9 MB went by: the log holds the newest lines, the one before it the lines until then.
    QFile log(base->filePath(QStringLiteral("include/openvpn.log")));
    QFile previous(log.fileName() + QStringLiteral(".1"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(previous.exists());
    QVERIFY2(log.size() <= 4 * 1024 * 1024 && previous.size() <= 4 * 1024 * 1024,
             qPrintable(QStringLiteral("%1 %2").arg(log.size()).arg(previous.size())));
    QVERIFY(previous.size() > 3 * 1024 * 1024);
    QVERIFY(log.readAll().contains("last words"));
}

void TestConnectionEngine::highVerbosityIsLowered()
{
    sim.setFile(QStringLiteral("/files/udp.ovpn"), config + "verb 11\n");
    QSignalSpy tunnelUp(engine.get(), &ConnectionEngine::tunnelUp);
    start(QStringLiteral("success"));
    QTRY_COMPARE_WITH_TIMEOUT(tunnelUp.size(), 1, 10000);
    sim.setFile(QStringLiteral("/files/udp.ovpn"), config);
    QFile arguments(base->filePath(QStringLiteral("openvpn/arguments")));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    const QList<QByteArray> words = arguments.readAll().split('\n');
    // After the file: OpenVPN takes the last 'verb' it reads.
    QVERIFY(words.indexOf("--config") >= 0);
    QCOMPARE(words.mid(words.size() - 2), (QList<QByteArray>{"--verb", "4"}));
}

QTEST_GUILESS_MAIN(TestConnectionEngine)
#include "tst_connectionengine.moc"
