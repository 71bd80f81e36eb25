// The connection controller on its own: dials go to the simulated phone book, OpenVPN files and
// the echo page come from the service simulator, and time moves only when the test moves it.
#include "connection/connectioncontroller.h"
#include "connection/dialup_simulated.h"
#include "manualclock.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using State = ConnectionController::State;
using Reason = ConnectionController::Reason;

class tst_connectioncontroller : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void onlyTheTunnelMakesItConnected_data();
    void onlyTheTunnelMakesItConnected();
    void dialOutcomeDecidesTheAttempt_data();
    void dialOutcomeDecidesTheAttempt();
    void dialledTunnelsTrafficIsCountedEachSecond();
    void refusedAttemptChangesNothing_data();
    void refusedAttemptChangesNothing();
    void dropIsRedialledToTheSameServerAfterItsPause();
    void sleepOfTheComputerRedialsAtOnce_data();
    void sleepOfTheComputerRedialsAtOnce();
    void usersOwnStepEndsTheRedialPause_data();
    void usersOwnStepEndsTheRedialPause();
    void connectionThatKeepsDroppingStops();
    void cancelDuringABlockedDialEndsQuietly();

private:
    ConnectionController::Server pptpServer(const QString& ip = QStringLiteral("198.18.10.1")) const;
    bool connectNow();
    // Asks the echo page and waits until the controller has taken its answer.
    bool seeAddress(const QString& address);
    bool waitFor(State state) const;

    ServiceSimulator sim;
    std::unique_ptr<SimulatedDialUp> simulated;
    SimulatedDialUp* dialUpPtr = nullptr;
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<ConnectionController> controller;
};

void tst_connectioncontroller::initTestCase()
{
    isolateSettings();
    sim.loadData(standardTestData());
    QVERIFY(sim.start());
    qputenv("CORVANE_IPECHO_URL", (sim.baseUrl() + QStringLiteral("/ip/")).toUtf8());
    // The service on this machine may name its files over plain HTTP.
    qputenv("CORVANE_SERVICE_URL", sim.baseUrl().toUtf8());
}

void tst_connectioncontroller::init()
{
    sim.clearFaults();
    sim.setEchoAddress(QString());
    simulated = std::make_unique<SimulatedDialUp>();
    setDialUpOverride(simulated.get());
    simulated->setDialOutcome({ras::success, 0});
    clock = std::make_unique<ManualClock>();
    folder = std::make_unique<QTemporaryDir>();
    controller = std::make_unique<ConnectionController>(folder->path());
}

void tst_connectioncontroller::cleanup()
{
    simulated->releaseDialReturn();
    controller.reset();
    clock.reset();
    setDialUpOverride(nullptr);
    simulated.reset();
}

ConnectionController::Server tst_connectioncontroller::pptpServer(const QString& ip) const
{
    ConnectionController::Server server;
    server.name = QStringLiteral("US1");
    server.ip = ip;
    server.assignedIp = ip;
    server.protocol = QStringLiteral("PPTP");
    return server;
}

bool tst_connectioncontroller::waitFor(State state) const
{
    return QTest::qWaitFor([&] { return controller->state() == state; }, 5000);
}

bool tst_connectioncontroller::connectNow()
{
    return controller->connectTo(pptpServer(), QStringLiteral("alice"), QStringLiteral("secret"), true) ==
               Reason::None &&
           waitFor(State::Connected);
}

bool tst_connectioncontroller::seeAddress(const QString& address)
{
    sim.setEchoAddress(address);
    QSignalSpy seen(controller.get(), &ConnectionController::addressSeen);
    controller->checkAddress();
    if (!seen.wait(5000))
        return false;
    // What the address decides comes from the event loop after the answer.
    QCoreApplication::processEvents();
    return true;
}

void tst_connectioncontroller::onlyTheTunnelMakesItConnected_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::newRow("PPTP dial still under way") << QStringLiteral("PPTP");
    QTest::newRow("OpenVPN configuration still trickling in") << QStringLiteral("OpenVPN");
}

void tst_connectioncontroller::onlyTheTunnelMakesItConnected()
{
    QFETCH(QString, protocol);
    simulated->setDialOutcome({ras::success, 60000});
    sim.setFault(QStringLiteral("/files/nl/udp.ovpn"), Fault::neverAnswer());
    ConnectionController::Server server = pptpServer(QStringLiteral("127.0.0.1"));
    server.protocol = protocol;
    server.certificate = sim.baseUrl() + QStringLiteral("/files/nl/ca.crt");
    server.config = sim.baseUrl() + QStringLiteral("/files/nl/udp.ovpn");
    QCOMPARE(controller->connectTo(server, QStringLiteral("alice"), QStringLiteral("secret"), true),
             Reason::None);

    // The echo page sees exactly the address the service promised, but no tunnel said it is up.
    QVERIFY(seeAddress(QStringLiteral("127.0.0.1")));
    for (int seconds = 3; seconds <= 30; seconds += 3) {
        controller->tick();
        QVERIFY2(controller->state() != State::Connected, qPrintable(QString::number(seconds)));
    }
    controller->tick();
    QCOMPARE(controller->state(), State::Failed);
    QCOMPARE(controller->outcome().reason, Reason::TimedOut);
}

void tst_connectioncontroller::dialOutcomeDecidesTheAttempt_data()
{
    QTest::addColumn<quint32>("result");
    QTest::addColumn<State>("state");
    QTest::addColumn<Reason>("reason");
    QTest::newRow("connected") << quint32(ras::success) << State::Connected << Reason::None;
    QTest::newRow("server unreachable")
        << quint32(SimulatedDialUp::errorVpnUnreachable) << State::Failed << Reason::DialFailed;
}

void tst_connectioncontroller::dialOutcomeDecidesTheAttempt()
{
    QFETCH(quint32, result);
    QFETCH(State, state);
    QFETCH(Reason, reason);
    simulated->setDialOutcome({result, 0});
    controller->connectTo(pptpServer(), QStringLiteral("alice"), QStringLiteral("secret"), true);
    QCOMPARE(controller->state(), State::Connecting);
    QVERIFY(waitFor(state));
    QCOMPARE(controller->outcome().reason, reason);
    QCOMPARE(controller->outcome().dialCode, state == State::Failed ? int(result) : 0);
}

void tst_connectioncontroller::dialledTunnelsTrafficIsCountedEachSecond()
{
    QVERIFY(connectNow());
    QSignalSpy counted(controller.get(), &ConnectionController::trafficCounted);
    simulated->setStatistics(5000, 1200);
    clock->advance(999);
    QCOMPARE(counted.size(), 0);
    clock->advance(1);
    QCOMPARE(counted.size(), 1);
    QCOMPARE(counted.at(0), (QVariantList{quint64(5000), quint64(1200)}));
    controller->disconnect();
    clock->advance(5000);
    QCOMPARE(counted.size(), 1);
}

void tst_connectioncontroller::refusedAttemptChangesNothing_data()
{
    QTest::addColumn<bool>("accountEnabled");
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<Reason>("reason");
    QTest::newRow("account disabled") << false << QStringLiteral("PPTP") << Reason::AccountDisabled;
    QTest::newRow("OpenVPN without profile") << true << QStringLiteral("OpenVPN") << Reason::NoProfile;
    QTest::newRow("unknown protocol") << true << QStringLiteral("SSTP") << Reason::NoProtocol;
}

void tst_connectioncontroller::refusedAttemptChangesNothing()
{
    QFETCH(bool, accountEnabled);
    QFETCH(QString, protocol);
    QFETCH(Reason, reason);
    QVERIFY(connectNow());
    ConnectionController::Server server = pptpServer(QStringLiteral("198.18.10.2"));
    server.protocol = protocol;
    QCOMPARE(controller->connectTo(server, QStringLiteral("alice"), QStringLiteral("secret"), accountEnabled),
             reason);
    QCOMPARE(controller->state(), State::Connected);
    QCOMPARE(controller->server().ip, QStringLiteral("198.18.10.1"));
    QCOMPARE(simulated->dialCalls().size(), size_t(1));
}

void tst_connectioncontroller::dropIsRedialledToTheSameServerAfterItsPause()
{
    QVERIFY(connectNow());
    QSignalSpy states(controller.get(), &ConnectionController::stateChanged);
    QVERIFY(seeAddress(QStringLiteral("198.18.99.9")));
    QCOMPARE(controller->state(), State::Reconnecting);
    QCOMPARE(controller->outcome().reason, Reason::AddressChanged);
    QCOMPARE(controller->redialSecondsLeft(), 3);

    sim.setEchoAddress(QStringLiteral("198.18.10.1"));
    clock->advance(2999);
    QCOMPARE(controller->state(), State::Reconnecting);
    QCOMPARE(simulated->dialCalls().size(), size_t(1));
    clock->advance(1);
    QVERIFY(waitFor(State::Connected));
    QCOMPARE(controller->origin(), ConnectionController::Origin::Redial);
    QCOMPARE(simulated->dialCalls().size(), size_t(2));
    QCOMPARE(simulated->dialCalls().back().params.szEntryName, std::u16string(ras::entryName));
    QCOMPARE(controller->server().ip, QStringLiteral("198.18.10.1"));
    QCOMPARE(states.first().at(0).value<State>(), State::Reconnecting);
}

void tst_connectioncontroller::sleepOfTheComputerRedialsAtOnce_data()
{
    QTest::addColumn<int>("sleptSeconds");
    QTest::addColumn<bool>("redialled");
    QTest::newRow("ten minutes") << 600 << true;
    // Shorter than the servers wait: the tunnel is still there.
    QTest::newRow("half a minute") << 30 << false;
}

void tst_connectioncontroller::sleepOfTheComputerRedialsAtOnce()
{
    QFETCH(int, sleptSeconds);
    QFETCH(bool, redialled);
    QVERIFY(connectNow());
    controller->tick();
    // Asleep: the wall clock runs on, the steady clock and the timers do not.
    clock->jumpWallClock(sleptSeconds * 1000);
    clock->advance(3000);
    controller->tick();
    QCOMPARE(controller->state(), redialled ? State::Reconnecting : State::Connected);
    if (!redialled)
        return;
    QCOMPARE(controller->outcome().reason, Reason::ComputerSlept);
    clock->advance(3000);
    QVERIFY(waitFor(State::Connected));
    QCOMPARE(simulated->dialCalls().size(), size_t(2));
    // Once awake, ticks are ordinary again.
    clock->advance(3000);
    controller->tick();
    QCOMPARE(controller->state(), State::Connected);
}

void tst_connectioncontroller::usersOwnStepEndsTheRedialPause_data()
{
    QTest::addColumn<int>("step");
    QTest::newRow("disconnect") << 0;
    QTest::newRow("another server chosen") << 1;
    QTest::newRow("connect to another server") << 2;
}

void tst_connectioncontroller::usersOwnStepEndsTheRedialPause()
{
    QFETCH(int, step);
    QVERIFY(connectNow());
    QVERIFY(seeAddress(QStringLiteral("198.18.99.9")));
    QCOMPARE(controller->state(), State::Reconnecting);
    if (step == 0)
        controller->disconnect();
    else if (step == 1)
        controller->cancelRedial();
    else {
        sim.setEchoAddress(QStringLiteral("198.18.10.2"));
        controller->connectTo(pptpServer(QStringLiteral("198.18.10.2")), QStringLiteral("alice"),
                              QStringLiteral("secret"), true);
    }
    clock->advance(60000);
    QTest::qWait(50);
    // The dropped server is never dialled again.
    int droppedDialled = 0;
    for (const SimulatedDialUp::EntryCall& call : simulated->entryCalls())
        droppedDialled += call.entry.szLocalPhoneNumber == u"198.18.10.1";
    QCOMPARE(droppedDialled, 1);
    QCOMPARE(simulated->dialCalls().size(), size_t(step == 2 ? 2 : 1));
    QVERIFY(controller->state() != State::Reconnecting);
}

void tst_connectioncontroller::connectionThatKeepsDroppingStops()
{
    QVERIFY(connectNow());
    for (const int pauseMs : {3000, 10000, 30000}) {
        QVERIFY(seeAddress(QStringLiteral("198.18.99.9")));
        QCOMPARE(controller->state(), State::Reconnecting);
        clock->advance(pauseMs);
        QVERIFY(waitFor(State::Connected));
    }
    QVERIFY(seeAddress(QStringLiteral("198.18.99.9")));
    QCOMPARE(controller->state(), State::Failed);
    QCOMPARE(controller->outcome().reason, Reason::KeptDropping);
    QCOMPARE(simulated->dialCalls().size(), size_t(4));
}

void tst_connectioncontroller::cancelDuringABlockedDialEndsQuietly()
{
    simulated->setDialOutcome({ras::success, 60000});
    simulated->holdDialReturn();
    QSignalSpy states(controller.get(), &ConnectionController::stateChanged);
    controller->connectTo(pptpServer(), QStringLiteral("alice"), QStringLiteral("secret"), true);
    QTRY_VERIFY(simulated->dialling() != 0);
    controller->disconnect();
    QCOMPARE(controller->state(), State::Disconnecting);
    simulated->releaseDialReturn();
    QVERIFY(waitFor(State::Idle));
    QTest::qWait(50);
    for (const QList<QVariant>& change : states)
        QVERIFY(change.at(0).value<State>() != State::Failed);
    QVERIFY(!simulated->hangUps().empty());
}

QTEST_GUILESS_MAIN(tst_connectioncontroller)
#include "tst_connectioncontroller.moc"
