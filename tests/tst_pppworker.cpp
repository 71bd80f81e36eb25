#include "connection/dialup.h"
#include "connection/dialup_simulated.h"
#include "connection/errortexts.h"
#include "connection/pppworker.h"

#include <QSysInfo>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

const int waitMs = 5000;

// The worker and its thread, wired the way the window wires them.
class DialRig
{
public:
    // A worker made as the window makes it, on the selected dial-up.
    DialRig() : worker(new PPPWorker) { wire(); }

    explicit DialRig(DialUp& dialUp) : worker(new PPPWorker(dialUp)) { wire(); }

    ~DialRig()
    {
        thread.quit();
        thread.wait(waitMs);
        delete worker;
    }

    void fill(const QString& protocol, const QString& key = QStringLiteral("psk-secret"))
    {
        worker->protocol = protocol;
        worker->preSharedKey = key;
        worker->serverAddress = QStringLiteral("198.18.0.10");
        worker->userName = QStringLiteral("alice");
        worker->password = QStringLiteral("s3cr\u00e9t");
        worker->serverName = QStringLiteral("Amsterdam 1");
    }

    void start() { thread.start(QThread::InheritPriority); }

    // True once everything the thread had to do before this call has run, VPNStart included:
    // the marker is handled by the thread's event loop, which only runs after VPNStart returned.
    bool waitForIdle()
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        QMetaObject::invokeMethod(
            worker, [done] { done->store(true); }, Qt::QueuedConnection);
        return QTest::qWaitFor([done] { return done->load(); }, waitMs);
    }

    bool stop()
    {
        thread.quit();
        return thread.wait(waitMs);
    }

    QThread thread;
    PPPWorker* worker;

private:
    void wire()
    {
        worker->moveToThread(&thread);
        QObject::connect(worker, SIGNAL(PPPStart()), &thread, SLOT(start()));
        QObject::connect(&thread, SIGNAL(started()), worker, SLOT(VPNStart()));
    }
};

std::u16string u16(const QString& text)
{
    return text.toStdU16String();
}

} // namespace

class TestPPPWorker : public QObject
{
    Q_OBJECT

private slots:
    void environmentSwitchesOnSimulation();
    void entryHoldsTheValuesOfItsProtocol_data();
    void entryHoldsTheValuesOfItsProtocol();
    void preSharedKeyIsStoredOnlyForL2tp_data();
    void preSharedKeyIsStoredOnlyForL2tp();
    void dialUsesTheEntryAndTheAccount();
    void successfulDialReportsConnected();
    void refusedDialReportsItsCode();
    void hangUpThenStopEndsTheDialQuietly_data();
    void hangUpThenStopEndsTheDialQuietly();
    void stopBeforeTheDialBeginsDialsNothing();
    void hangUpWithoutStopIsReportedAsError();
    void otherProtocolsWriteNothing_data();
    void otherProtocolsWriteNothing();
    void failedEntryWriteMakesNoDial();
    void failedCredentialsWriteMakesNoDial();
    void secondStartWithoutQuitDoesNotDial();
    void handleIsClearedBeforeEachDial();
    void entrySizeFollowsTheSystemVersion_data();
    void entrySizeFollowsTheSystemVersion();
    void versionQueryFallsBackToThePlainStructure();
    void failedVersionQueryMakesNoDial();
    void nonNtSystemMakesNoDial();
    void tooLongInputRefusesTheDial_data();
    void tooLongInputRefusesTheDial();
    void inputsAtTheirLimitAreDialledWhole();
    void hangUpOfNoConnectionIsHarmless();
    void systemWithoutDialUpFailsAtOnce();
    void overrideReplacesTheSelectedDialUp();
};

// Runs first: the selection happens once per process.
void TestPPPWorker::environmentSwitchesOnSimulation()
{
    qputenv("CORVANE_SIMULATED_DIALUP", "1");
    qputenv("CORVANE_SIMULATED_DIALUP_RESULT", "691");
    qputenv("CORVANE_SIMULATED_DIALUP_MS", "0");
    qputenv("CORVANE_SIMULATED_DIALUP_FAILING_ADDRESSES", "198.18.0.66,198.18.0.77");
    auto* simulated = dynamic_cast<SimulatedDialUp*>(&selectedDialUp());
    QVERIFY(simulated);
    QCOMPARE(&selectedDialUp(), static_cast<DialUp*>(simulated));

    DialRig rig; // default worker: the selected phone book
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(rig.worker->resultCodeText(), QStringLiteral("691"));
    QCOMPARE(rig.worker->statusText(), QStringLiteral("error"));
    QCOMPARE(simulated->dialCalls().size(), std::size_t(1));

    QVERIFY(rig.stop());
    rig.worker->serverAddress = QStringLiteral("198.18.0.77");
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(rig.worker->resultCodeText(), QStringLiteral("800"));
}

void TestPPPWorker::entryHoldsTheValuesOfItsProtocol_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<quint32>("strategy");
    QTest::addColumn<quint32>("options2");
    QTest::newRow("PPTP") << QStringLiteral("PPTP") << 1u << 0x44u;
    QTest::newRow("L2TP") << QStringLiteral("L2TP") << 3u << 0x54u;
}

void TestPPPWorker::entryHoldsTheValuesOfItsProtocol()
{
    QFETCH(QString, protocol);
    QFETCH(quint32, strategy);
    QFETCH(quint32, options2);
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    rig.fill(protocol);
    rig.start();
    QVERIFY(rig.waitForIdle());

    const auto calls = simulated.entryCalls();
    QCOMPARE(calls.size(), std::size_t(1));
    const auto& call = calls.front();
    QVERIFY(call.defaultPhoneBook);
    QVERIFY(call.entryName == u"Corvane");
    QCOMPARE(call.entrySize, 5616u);
    QVERIFY(call.noDeviceInfo);
    QCOMPARE(call.deviceInfoSize, 0u);
    const PhoneBookEntry& entry = call.entry;
    QCOMPARE(entry.dwSize, 5616u);
    QCOMPARE(entry.dwfOptions, 0x05010010u);
    QVERIFY(entry.szLocalPhoneNumber == u"198.18.0.10");
    QCOMPARE(entry.dwfNetProtocols, 4u);
    QCOMPARE(entry.dwFramingProtocol, 1u);
    QVERIFY(entry.szDeviceType == u"vpn");
    QVERIFY(entry.szDeviceName == u"VPN");
    QCOMPARE(entry.dwType, 2u);
    QCOMPARE(entry.dwEncryptionType, 3u);
    QCOMPARE(entry.dwVpnStrategy, strategy);
    QCOMPARE(entry.dwfOptions2, options2);
    QCOMPARE(entry.dwRedialCount, 3u);
    QCOMPARE(entry.dwRedialPause, 1u);
}

void TestPPPWorker::preSharedKeyIsStoredOnlyForL2tp_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("stored");
    QTest::newRow("L2TP") << QStringLiteral("L2TP") << QStringLiteral("psk-secret") << true;
    QTest::newRow("L2TP, empty key") << QStringLiteral("L2TP") << QString() << true;
    QTest::newRow("PPTP ignores the key") << QStringLiteral("PPTP") << QStringLiteral("psk-secret") << false;
}

void TestPPPWorker::preSharedKeyIsStoredOnlyForL2tp()
{
    QFETCH(QString, protocol);
    QFETCH(QString, key);
    QFETCH(bool, stored);
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    rig.fill(protocol, key);
    rig.start();
    QVERIFY(rig.waitForIdle());

    const auto calls = simulated.credentialsCalls();
    QCOMPARE(calls.size(), std::size_t(stored ? 1 : 0));
    QCOMPARE(simulated.dialCalls().size(), std::size_t(1));
    if (!stored)
        return;
    const auto& call = calls.front();
    QVERIFY(call.defaultPhoneBook);
    QVERIFY(call.entryName == u"Corvane");
    QVERIFY(!call.clearCredentials);
    QCOMPARE(call.credentials.dwSize, 1068u);
    QCOMPARE(call.credentials.dwMask, 0x10u);
    QVERIFY(call.credentials.szPassword == u16(key));
}

void TestPPPWorker::dialUsesTheEntryAndTheAccount()
{
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    rig.fill(QStringLiteral("L2TP"));
    rig.start();
    QVERIFY(rig.waitForIdle());

    const auto calls = simulated.dialCalls();
    QCOMPARE(calls.size(), std::size_t(1));
    const auto& call = calls.front();
    QVERIFY(call.noDialExtensions);
    QVERIFY(call.defaultPhoneBook);
    QCOMPARE(call.notifierType, 2u);
    QVERIFY(call.noNotifier);
    QCOMPARE(call.params.dwSize, 2104u);
    QVERIFY(call.params.szEntryName == u"Corvane");
    QVERIFY(call.params.szUserName == u"alice");
    QVERIFY(call.params.szPassword == u"s3cr\u00e9t");
    QVERIFY(call.params.szDomain.empty());
    // The handle the system handed out is kept for the window's hang-up.
    QVERIFY(rig.worker->rasConnection.load() != 0);
    QVERIFY(simulated.isOpen(rig.worker->rasConnection.load()));
}

void TestPPPWorker::successfulDialReportsConnected()
{
    SimulatedDialUp simulated;
    simulated.setDialOutcome({0, 50});
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.worker->statusText(), QStringLiteral("connected"), waitMs);
    QCOMPARE(rig.worker->resultCodeText(), QStringLiteral("0"));
}

void TestPPPWorker::refusedDialReportsItsCode()
{
    SimulatedDialUp simulated;
    simulated.setDialOutcome({691, 20});
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(rig.worker->resultCodeText(), QStringLiteral("691"));
    QCOMPARE(rig.worker->statusText(), QStringLiteral("error"));
    // Hanging up after a failure is the window's business.
    QVERIFY(simulated.hangUps().empty());
    QVERIFY(simulated.isOpen(rig.worker->rasConnection.load()));
}

void TestPPPWorker::hangUpThenStopEndsTheDialQuietly_data()
{
    QTest::addColumn<bool>("handedOut");
    QTest::newRow("dial blocked with its handle") << true;
    // The hang-up finds no handle to end; the dial must not run on for its whole attempt.
    QTest::newRow("dial not yet handed its handle") << false;
}

void TestPPPWorker::hangUpThenStopEndsTheDialQuietly()
{
    QFETCH(bool, handedOut);
    SimulatedDialUp simulated;
    simulated.setDialOutcome({0, 600000});
    handedOut ? simulated.holdDialReturn() : simulated.holdDialStart();
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    if (handedOut) {
        QTRY_VERIFY_WITH_TIMEOUT(simulated.dialling() != 0, waitMs);
        QCOMPARE(rig.worker->statusText(), QStringLiteral("in progress"));
        QCOMPARE(rig.worker->rasConnection.load(), simulated.dialling());
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(simulated.dialCalls().size(), std::size_t(1), waitMs);
    }

    // The window's order: hang up, then mark the stop.
    QCOMPARE(rig.worker->hangUp() == 0, handedOut);
    rig.worker->setStatus(QStringLiteral("stop"));
    handedOut ? simulated.releaseDialReturn() : simulated.releaseDialStart();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(rig.worker->resultCodeText(), QStringLiteral("disconnected"));
    QCOMPARE(rig.worker->statusText(), QString());

    // The next dial is not affected.
    QVERIFY(rig.stop());
    rig.worker->setStatus(QString());
    simulated.setDialOutcome({0, 0});
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(rig.worker->statusText(), QStringLiteral("connected"));
    QVERIFY(simulated.isOpen(rig.worker->rasConnection.load()));
}

void TestPPPWorker::stopBeforeTheDialBeginsDialsNothing()
{
    // Cancel pressed after the thread was started but before the dial wrote "in progress".
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.worker->setStatus(QStringLiteral("stop"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QVERIFY(simulated.dialCalls().empty());
    QCOMPARE(rig.worker->resultCodeText(), QStringLiteral("disconnected"));
    QCOMPARE(rig.worker->statusText(), QString());
}

void TestPPPWorker::hangUpWithoutStopIsReportedAsError()
{
    SimulatedDialUp simulated;
    simulated.setDialOutcome({0, 600000});
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QTRY_VERIFY_WITH_TIMEOUT(simulated.dialling() != 0, waitMs);
    QCOMPARE(rig.worker->hangUp(), 0u);
    QVERIFY(rig.waitForIdle());
    QCOMPARE(rig.worker->resultCodeText(), QStringLiteral("631"));
    QCOMPARE(rig.worker->statusText(), QStringLiteral("error"));
}

void TestPPPWorker::otherProtocolsWriteNothing_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::newRow("lower-case pptp") << QStringLiteral("pptp");
    QTest::newRow("lower-case l2tp") << QStringLiteral("l2tp");
    QTest::newRow("empty") << QString();
    QTest::newRow("OpenVPN") << QStringLiteral("OpenVPN");
}

void TestPPPWorker::otherProtocolsWriteNothing()
{
    QFETCH(QString, protocol);
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    rig.fill(protocol);
    rig.worker->setStatusAndResultCode(QStringLiteral("error"), QStringLiteral("691"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.versionRequests().size(), std::size_t(1));
    QVERIFY(simulated.entryCalls().empty());
    QVERIFY(simulated.credentialsCalls().empty());
    QVERIFY(simulated.dialCalls().empty());
    QCOMPARE(rig.worker->statusText(), QStringLiteral("in progress"));
    QCOMPARE(rig.worker->resultCodeText(), QString());
}

void TestPPPWorker::failedEntryWriteMakesNoDial()
{
    SimulatedDialUp simulated;
    simulated.setEntryResult(621);
    DialRig rig(simulated);
    rig.fill(QStringLiteral("L2TP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.entryCalls().size(), std::size_t(1));
    QVERIFY(simulated.credentialsCalls().empty());
    QVERIFY(simulated.dialCalls().empty());
    QCOMPARE(rig.worker->statusText(), QStringLiteral("in progress"));
    QCOMPARE(rig.worker->resultCodeText(), QString());
}

void TestPPPWorker::failedCredentialsWriteMakesNoDial()
{
    SimulatedDialUp simulated;
    simulated.setCredentialsResult(5);
    DialRig rig(simulated);
    rig.fill(QStringLiteral("L2TP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.credentialsCalls().size(), std::size_t(1));
    QVERIFY(simulated.dialCalls().empty());
    QCOMPARE(rig.worker->statusText(), QStringLiteral("in progress"));
    QCOMPARE(rig.worker->resultCodeText(), QString());
}

void TestPPPWorker::secondStartWithoutQuitDoesNotDial()
{
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.dialCalls().size(), std::size_t(1));

    rig.start();
    emit rig.worker->PPPStart();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.versionRequests().size(), std::size_t(1));
    QCOMPARE(simulated.dialCalls().size(), std::size_t(1));

    // Once the thread has been quit, the next start dials again.
    QVERIFY(rig.stop());
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.dialCalls().size(), std::size_t(2));
}

void TestPPPWorker::handleIsClearedBeforeEachDial()
{
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    const RasHandle first = rig.worker->rasConnection.load();
    QVERIFY(first != 0);

    QVERIFY(rig.stop());
    rig.start();
    QVERIFY(rig.waitForIdle());
    const auto calls = simulated.dialCalls();
    QCOMPARE(calls.size(), std::size_t(2));
    QCOMPARE(calls.back().handleOnEntry, RasHandle(0));
    QVERIFY(rig.worker->rasConnection.load() != first);
}

void TestPPPWorker::entrySizeFollowsTheSystemVersion_data()
{
    QTest::addColumn<quint32>("major");
    QTest::addColumn<quint32>("minor");
    QTest::addColumn<quint32>("size");
    QTest::newRow("NT 4.0") << 4u << 0u << 2088u;
    QTest::newRow("3.51") << 3u << 51u << 2088u;
    QTest::newRow("5.0") << 5u << 0u << 2088u;
    QTest::newRow("5.1") << 5u << 1u << 5616u;
    QTest::newRow("5.2") << 5u << 2u << 5616u;
    QTest::newRow("6.0") << 6u << 0u << 5616u;
    QTest::newRow("6.1") << 6u << 1u << 5616u;
    QTest::newRow("6.3") << 6u << 3u << 5616u;
    QTest::newRow("10.0") << 10u << 0u << 5616u;
}

void TestPPPWorker::entrySizeFollowsTheSystemVersion()
{
    QFETCH(quint32, major);
    QFETCH(quint32, minor);
    QFETCH(quint32, size);
    SimulatedDialUp simulated;
    simulated.setVersion(major, minor);
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    const auto calls = simulated.entryCalls();
    QCOMPARE(calls.size(), std::size_t(1));
    QCOMPARE(calls.front().entry.dwSize, size);
    QCOMPARE(calls.front().entrySize, 5616u);
}

void TestPPPWorker::versionQueryFallsBackToThePlainStructure()
{
    SimulatedDialUp simulated;
    simulated.setVersionFailsFor({284});
    simulated.setVersion(5, 1);
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.versionRequests(), (std::vector<std::uint32_t>{284, 276}));
    QCOMPARE(simulated.entryCalls().size(), std::size_t(1));
    QCOMPARE(simulated.entryCalls().front().entry.dwSize, 5616u);
    QCOMPARE(simulated.dialCalls().size(), std::size_t(1));
}

void TestPPPWorker::failedVersionQueryMakesNoDial()
{
    SimulatedDialUp simulated;
    simulated.setVersionFailsFor({284, 276});
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.versionRequests(), (std::vector<std::uint32_t>{284, 276}));
    QVERIFY(simulated.entryCalls().empty());
    QVERIFY(simulated.dialCalls().empty());
    QCOMPARE(rig.worker->statusText(), QStringLiteral("in progress"));
}

void TestPPPWorker::nonNtSystemMakesNoDial()
{
    SimulatedDialUp simulated;
    simulated.setVersion(4, 10, 1);
    DialRig rig(simulated);
    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.versionRequests().size(), std::size_t(1));
    QVERIFY(simulated.entryCalls().empty());
    QVERIFY(simulated.dialCalls().empty());
    QCOMPARE(rig.worker->statusText(), QStringLiteral("in progress"));
    QCOMPARE(rig.worker->resultCodeText(), QString());
}

void TestPPPWorker::tooLongInputRefusesTheDial_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("code");
    QTest::newRow("server address") << QStringLiteral("PPTP") << QStringLiteral("serverAddress") << 129
                                    << 20011;
    QTest::newRow("user name") << QStringLiteral("PPTP") << QStringLiteral("userName") << 257 << 20012;
    QTest::newRow("password") << QStringLiteral("L2TP") << QStringLiteral("password") << 257 << 20013;
    QTest::newRow("pre-shared key") << QStringLiteral("L2TP") << QStringLiteral("preSharedKey") << 257
                                    << 20014;
}

void TestPPPWorker::tooLongInputRefusesTheDial()
{
    QFETCH(QString, protocol);
    QFETCH(QString, field);
    QFETCH(int, length);
    QFETCH(int, code);
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    rig.fill(protocol);
    const QString text(length, QLatin1Char('x'));
    if (field == QLatin1String("serverAddress"))
        rig.worker->serverAddress = text;
    else if (field == QLatin1String("userName"))
        rig.worker->userName = text;
    else if (field == QLatin1String("password"))
        rig.worker->password = text;
    else
        rig.worker->preSharedKey = text;
    rig.start();
    QVERIFY(rig.waitForIdle());
    QVERIFY(simulated.entryCalls().empty());
    QVERIFY(simulated.credentialsCalls().empty());
    QVERIFY(simulated.dialCalls().empty());
    QCOMPARE(rig.worker->statusText(), QStringLiteral("error"));
    QCOMPARE(rig.worker->resultCodeText(), QString::number(code));
    QVERIFY(pppErrorText(code) != pppErrorText(0));
}

void TestPPPWorker::inputsAtTheirLimitAreDialledWhole()
{
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    rig.fill(QStringLiteral("L2TP"));
    rig.worker->serverAddress = QString(128, QLatin1Char('a'));
    rig.worker->userName = QString(256, QLatin1Char('u'));
    rig.worker->password = QString(256, QLatin1Char('p'));
    rig.worker->preSharedKey = QString(256, QLatin1Char('k'));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.entryCalls().size(), std::size_t(1));
    QVERIFY(simulated.entryCalls().front().entry.szLocalPhoneNumber == std::u16string(128, u'a'));
    QVERIFY(simulated.credentialsCalls().front().credentials.szPassword == std::u16string(256, u'k'));
    const auto dial = simulated.dialCalls();
    QCOMPARE(dial.size(), std::size_t(1));
    QVERIFY(dial.front().params.szUserName == std::u16string(256, u'u'));
    QVERIFY(dial.front().params.szPassword == std::u16string(256, u'p'));
    QCOMPARE(rig.worker->statusText(), QStringLiteral("connected"));

    // A PPTP dial ignores the key, so a long one does not stand in its way.
    QVERIFY(rig.stop());
    rig.worker->protocol = QStringLiteral("PPTP");
    rig.worker->preSharedKey = QString(300, QLatin1Char('k'));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(simulated.dialCalls().size(), std::size_t(2));
    QCOMPARE(rig.worker->statusText(), QStringLiteral("connected"));
}

void TestPPPWorker::hangUpOfNoConnectionIsHarmless()
{
    SimulatedDialUp simulated;
    DialRig rig(simulated);
    QVERIFY(rig.worker->hangUp() != 0);

    rig.fill(QStringLiteral("PPTP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(rig.worker->statusText(), QStringLiteral("connected"));
    QCOMPARE(rig.worker->hangUp(), 0u);
    QVERIFY(!simulated.isOpen(rig.worker->rasConnection.load()));
    QVERIFY(rig.worker->hangUp() != 0);
    QCOMPARE(simulated.hangUps().size(), std::size_t(3));
}

void TestPPPWorker::systemWithoutDialUpFailsAtOnce()
{
    if (QSysInfo::productType() == QLatin1String("windows"))
        QSKIP("this system has the dial-up service");
    const std::unique_ptr<DialUp> platform = makePlatformDialUp();
    QVERIFY(!dynamic_cast<SimulatedDialUp*>(platform.get()));
    DialRig rig(*platform);
    rig.fill(QStringLiteral("L2TP"));
    rig.start();
    QVERIFY(rig.waitForIdle());
    QCOMPARE(rig.worker->statusText(), QStringLiteral("error"));
    QCOMPARE(rig.worker->resultCodeText(), QStringLiteral("20001"));
    QVERIFY(pppErrorText(20001).contains(QLatin1String("OpenVPN")));
    QVERIFY(rig.worker->hangUp() != 0);
}

void TestPPPWorker::overrideReplacesTheSelectedDialUp()
{
    SimulatedDialUp simulated;
    simulated.setDialOutcome({718, 0});
    setDialUpOverride(&simulated);
    QCOMPARE(&selectedDialUp(), static_cast<DialUp*>(&simulated));
    {
        DialRig rig;
        rig.fill(QStringLiteral("PPTP"));
        rig.start();
        QVERIFY(rig.waitForIdle());
        QCOMPARE(rig.worker->resultCodeText(), QStringLiteral("718"));
        QCOMPARE(simulated.dialCalls().size(), std::size_t(1));
    }
    setDialUpOverride(nullptr);
    QVERIFY(&selectedDialUp() != static_cast<DialUp*>(&simulated));
}

QTEST_GUILESS_MAIN(TestPPPWorker)
#include "tst_pppworker.moc"
