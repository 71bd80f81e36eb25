// One copy per user, with real processes of the program: a second start hands over to the
// running copy and leaves; a killed copy does not block the next start.
#include "app/singleinstance.h"
#include "corvaneversion.h"
#include "manualclock.h"
#include "otheruser.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondCopyShowsRunningCopyAndLeaves();
    void simultaneousStartsLeaveOneCopy();
    void killedCopyDoesNotBlockNextStart();
    void commandLineAnswersVersionAndHelp();
    void unknownOptionIsRefusedWithoutDisplay();
    void quietConnectionsAreClosedAfterASecond();
    void floodOfIdleConnectionsLeavesRoomForTheNextCopy();
    void whatOtherUsersMadeInTheTempFolderDoesNotMatter();

private:
    // Without a runtime folder the copies use `tempFolder` as the shared temporary folder.
    QProcess* start(const QStringList& arguments = {}, const QString& tempFolder = QString());
    QString output(QProcess* process);
    bool listening(QProcess* process) { return output(process).contains(QLatin1String("listening on")); }
    QString setting(const char* key) const;

    std::unique_ptr<QTemporaryDir> home;
    std::vector<std::unique_ptr<QProcess>> processes;
    QHash<QProcess*, QString> outputs;
};

void TestSingleInstance::init()
{
    home = std::make_unique<QTemporaryDir>();
    QVERIFY(home->isValid());
    QDir(home->path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(home->filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestSingleInstance::cleanup()
{
    for (auto& process : processes) {
        process->kill();
        process->waitForFinished(5000);
    }
    processes.clear();
    outputs.clear();
    home.reset();
}

// Every copy of a test shares one isolated user: settings, runtime folder and working folder.
QProcess* TestSingleInstance::start(const QStringList& arguments, const QString& tempFolder)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home->path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home->filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home->filePath(QStringLiteral("data")));
    env.remove(QStringLiteral("XDG_CACHE_HOME"));
    if (tempFolder.isEmpty()) {
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home->filePath(QStringLiteral("runtime")));
    } else {
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("TMPDIR"), tempFolder);
    }
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("corvane.app.info=true"));
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    // Nothing leaves the machine: the service addresses point at a closed local port.
    for (const char* name : {"CORVANE_SERVICE_URL", "CORVANE_WEBSITE_URL", "CORVANE_IPECHO_URL"})
        env.insert(QLatin1String(name), QStringLiteral("http://127.0.0.1:9"));
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(home->path());
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral(CORVANE_PROGRAM), arguments);
    processes.push_back(std::move(process));
    return processes.back().get();
}

QString TestSingleInstance::output(QProcess* process)
{
    outputs[process] += QString::fromLocal8Bit(process->readAll());
    return outputs.value(process);
}

QString TestSingleInstance::setting(const char* key) const
{
    QSettings settings(home->filePath(QStringLiteral("config/Corvane/Corvane.conf")), QSettings::IniFormat);
    return settings.value(QLatin1String(key)).toString();
}

void TestSingleInstance::secondCopyShowsRunningCopyAndLeaves()
{
    QProcess* first = start();
    QTRY_VERIFY_WITH_TIMEOUT(listening(first), 20000);

    QProcess* second = start();
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(!listening(second), qPrintable(output(second)));

    QTRY_VERIFY_WITH_TIMEOUT(output(first).contains(QLatin1String("asked to show")), 10000);
    QCOMPARE(first->state(), QProcess::Running);
    QCOMPARE(setting("ltrunning"), QStringLiteral("1"));
}

void TestSingleInstance::simultaneousStartsLeaveOneCopy()
{
    QList<QProcess*> copies{start(), start(), start()};
    QTRY_VERIFY_WITH_TIMEOUT(std::count_if(copies.begin(), copies.end(),
                                           [](QProcess* p) { return p->state() == QProcess::NotRunning; }) ==
                                 2,
                             30000);
    QProcess* survivor = *std::find_if(copies.begin(), copies.end(),
                                       [](QProcess* p) { return p->state() == QProcess::Running; });
    for (QProcess* copy : copies) {
        if (copy != survivor)
            QCOMPARE(copy->exitCode(), 0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(listening(survivor), 10000);
    QTest::qWait(1000);
    QCOMPARE(survivor->state(), QProcess::Running);
}

void TestSingleInstance::killedCopyDoesNotBlockNextStart()
{
    QProcess* crashed = start();
    QTRY_VERIFY_WITH_TIMEOUT(listening(crashed), 20000);
    crashed->kill();
    QVERIFY(crashed->waitForFinished(10000));
    QVERIFY2(QFile::exists(home->filePath(QStringLiteral("runtime/corvane.lock"))), "the kill left its lock");

    QProcess* next = start();
    QTRY_VERIFY_WITH_TIMEOUT(listening(next), 20000);
    QProcess* another = start();
    QVERIFY(another->waitForFinished(20000));
    QCOMPARE(another->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(output(next).contains(QLatin1String("asked to show")), 10000);
    QCOMPARE(next->state(), QProcess::Running);
}

void TestSingleInstance::commandLineAnswersVersionAndHelp()
{
    QProcess* version = start({QStringLiteral("--version")});
    QVERIFY(version->waitForFinished(20000));
    QCOMPARE(version->exitCode(), 0);
    QCOMPARE(output(version).trimmed(), QStringLiteral("Corvane " CORVANE_VERSION));

    QProcess* help = start({QStringLiteral("--help")});
    QVERIFY(help->waitForFinished(20000));
    QCOMPARE(help->exitCode(), 0);
    QVERIFY2(output(help).contains(QLatin1String("--minimized")), qPrintable(output(help)));
    // Answering in the terminal takes no lock, so it never stands in for a running copy.
    QVERIFY(!QFile::exists(home->filePath(QStringLiteral("runtime/corvane.lock"))));
}

// A mistyped option is answered in the terminal, not with the display's error.
void TestSingleInstance::unknownOptionIsRefusedWithoutDisplay()
{
    QProcess* bogus = start({QStringLiteral("--bogus")});
    QProcessEnvironment env = bogus->processEnvironment();
    bogus->kill();
    bogus->waitForFinished(5000);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    bogus->setProcessEnvironment(env);
    bogus->start(QStringLiteral(CORVANE_PROGRAM), {QStringLiteral("--bogus")});
    QVERIFY(bogus->waitForFinished(20000));
    QCOMPARE(bogus->exitStatus(), QProcess::NormalExit);
    QCOMPARE(bogus->exitCode(), 1);
    QVERIFY2(output(bogus).contains(QLatin1String("Unknown option 'bogus'")), qPrintable(output(bogus)));
}

void TestSingleInstance::quietConnectionsAreClosedAfterASecond()
{
    ManualClock clock;
    SingleInstance instance(home->filePath(QStringLiteral("runtime")));
    QVERIFY(instance.claim());
    QSignalSpy shown(&instance, &SingleInstance::showRequested);
    std::vector<std::unique_ptr<QLocalSocket>> quiet;
    for (int i = 0; i < 20; ++i) {
        quiet.push_back(std::make_unique<QLocalSocket>());
        quiet.back()->connectToServer(instance.socketPath());
        QVERIFY(quiet.back()->waitForConnected(1000));
    }
    const auto open = [&quiet] {
        return std::count_if(quiet.begin(), quiet.end(), [](const std::unique_ptr<QLocalSocket>& socket) {
            return socket->state() == QLocalSocket::ConnectedState;
        });
    };
    // Past a few, the connections are closed at once; the rest get their second.
    QTRY_COMPARE(open(), 8L);
    clock.advance(999);
    QTest::qWait(100);
    QCOMPARE(open(), 8L);
    clock.advance(1);
    QTRY_COMPARE(open(), 0L);
    QVERIFY(instance.askRunningCopyToShow(3000));
    QTRY_COMPARE(shown.size(), 1);
}

void TestSingleInstance::floodOfIdleConnectionsLeavesRoomForTheNextCopy()
{
    // The running copy gets the usual 1024 descriptors; this process more, for the flood.
    rlimit limit = {};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    QVERIFY(limit.rlim_max >= 4096);
    const rlimit usual{1024, limit.rlim_max};
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &usual), 0);
    QProcess* first = start();
    const rlimit more{4096, limit.rlim_max};
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &more), 0);
    QTRY_VERIFY_WITH_TIMEOUT(listening(first), 20000);
    std::vector<std::unique_ptr<QLocalSocket>> flood;
    for (int i = 0; i < 1100; ++i) {
        flood.push_back(std::make_unique<QLocalSocket>());
        flood.back()->connectToServer(home->filePath(QStringLiteral("runtime/corvane.socket")));
        flood.back()->waitForConnected(1000);
    }

    QProcess* second = start();
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(output(first).contains(QLatin1String("asked to show")), 10000);
    QCOMPARE(first->state(), QProcess::Running);
}

void TestSingleInstance::whatOtherUsersMadeInTheTempFolderDoesNotMatter()
{
    const OtherUser other;
    QVERIFY2(other.problem().isEmpty(), qPrintable(other.problem()));
    // A shared temporary folder like /tmp, where the other user made first what Qt's and our own
    // fallbacks would have taken.
    QTemporaryDir sharedDir;
    const QString shared = sharedDir.path();
    QVERIFY(::chmod(QFile::encodeName(shared).constData(), 01777) == 0);
    QVERIFY(other.run(QStringLiteral("cd '%1' && mkdir runtime-root corvane-0 && : > corvane.lock && "
                                     ": > corvane.socket")
                          .arg(shared)));

    QProcess* first = start({}, shared);
    QTRY_VERIFY_WITH_TIMEOUT(listening(first) || first->state() == QProcess::NotRunning, 20000);
    QVERIFY2(listening(first), qPrintable(output(first)));
    QVERIFY(QFile::exists(home->filePath(QStringLiteral(".cache/corvane/corvane.lock"))));
    QProcess* second = start({}, shared);
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(output(first).contains(QLatin1String("asked to show")), 10000);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
