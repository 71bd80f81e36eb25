// A Quick Connect run on its own: its entries' attempts go through a real connection controller
// whose dials go to the simulated phone book; time moves only when the test moves it.
#include "connection/dialup_simulated.h"
#include "manualclock.h"
#include "quickconnect/quickconnectrun.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using End = QuickConnectRun::End;

class tst_quickconnectrun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        isolateSettings();
        qRegisterMetaType<QuickConnectRun::End>();
    }
    void init();
    void cleanup();

    void entriesAreTriedInOrderFiveSecondsApartUntilOneConnects();
    void runThatFindsNothingSaysWhatItTried();
    void cancelDuringThePauseStartsNoAttempt();
    void disabledAccountEndsTheRunBeforeAnyDial();

private:
    void start(const QString& list, bool accountEnabled = true);
    int dials() const { return int(dialUp->dialCalls().size()); }

    std::unique_ptr<SimulatedDialUp> dialUp;
    std::unique_ptr<ManualClock> clock;
    QTemporaryDir folder;
    std::unique_ptr<ConnectionController> controller;
    std::unique_ptr<QuickConnectRun> run;
    std::unique_ptr<QSignalSpy> ends;
    QList<int> stages;
};

void tst_quickconnectrun::init()
{
    dialUp = std::make_unique<SimulatedDialUp>();
    setDialUpOverride(dialUp.get());
    dialUp->setDialOutcome({SimulatedDialUp::errorVpnUnreachable, 0});
    clock = std::make_unique<ManualClock>();
    controller = std::make_unique<ConnectionController>(folder.path());
    run = std::make_unique<QuickConnectRun>(controller.get());
    ends = std::make_unique<QSignalSpy>(run.get(), &QuickConnectRun::finished);
    stages.clear();
    connect(run.get(), &QuickConnectRun::entryChosen, this, [this](int stage, int count) {
        stages << stage;
        QCOMPARE(count, run->entryCount());
    });
}

void tst_quickconnectrun::cleanup()
{
    ends.reset();
    run.reset();
    controller.reset();
    clock.reset();
    setDialUpOverride(nullptr);
    dialUp.reset();
}

void tst_quickconnectrun::start(const QString& list, bool accountEnabled)
{
    run->start(list, QStringLiteral("alice"), QStringLiteral("secret"), accountEnabled);
}

void tst_quickconnectrun::entriesAreTriedInOrderFiveSecondsApartUntilOneConnects()
{
    dialUp->setDialOutcomeForAddress(u"198.18.10.3", {ras::success, 0});
    start(QStringLiteral("US1^198.18.10.1^PPTP|DE1^198.18.10.2^L2TP^de-key|NL1^198.18.10.3^PPTP"));
    QTRY_COMPARE(dials(), 1);
    for (int entry = 2; entry <= 3; ++entry) {
        QTRY_COMPARE(run->state(), QuickConnectRun::State::Pausing);
        QCOMPARE(run->stageLabel(), QStringLiteral("Stage %1/3").arg(entry));
        clock->advance(4999);
        QCOMPARE(dials(), entry - 1);
        clock->advance(1);
        QTRY_COMPARE(dials(), entry);
        QCOMPARE(QString::fromStdU16String(dialUp->entryCalls().back().entry.szLocalPhoneNumber),
                 QStringLiteral("198.18.10.%1").arg(entry));
    }
    QTRY_COMPARE(ends->size(), 1);
    QCOMPARE(ends->first().at(0).value<End>(), End::Connected);
    QCOMPARE(stages, (QList<int>{1, 2, 3}));
    QCOMPARE(run->stage(), 0);
    QCOMPARE(controller->state(), ConnectionController::State::Connected);
    // The L2TP entry's key went to its dial.
    QCOMPARE(dialUp->credentialsCalls().back().credentials.szPassword, std::u16string(u"de-key"));
}

void tst_quickconnectrun::runThatFindsNothingSaysWhatItTried()
{
    // An entry of an unknown protocol is passed over; an OpenVPN entry without its files is
    // refused by the controller and counts as tried.
    start(QStringLiteral("X^198.18.10.9^SSTP|US1^198.18.10.1^PPTP|NL1^198.18.10.3^OpenVPN"));
    QTRY_COMPARE(dials(), 1);
    QTRY_COMPARE(run->state(), QuickConnectRun::State::Pausing);
    clock->advance(5000);
    QTRY_COMPARE(ends->size(), 1);
    QCOMPARE(ends->first().at(0).value<End>(), End::AllFailed);
    QCOMPARE(stages, (QList<int>{2, 3}));
    QCOMPARE(run->tried().size(), 2);
    QCOMPARE(run->tried().at(0).entry.protocol, QStringLiteral("PPTP"));
    QCOMPARE(run->tried().at(0).reason, ConnectionController::Reason::DialFailed);
    QCOMPARE(run->tried().at(1).reason, ConnectionController::Reason::NoProfile);
    QVERIFY(!run->running());
}

void tst_quickconnectrun::cancelDuringThePauseStartsNoAttempt()
{
    start(QStringLiteral("US1^198.18.10.1^PPTP|DE1^198.18.10.2^PPTP"));
    QTRY_COMPARE(run->state(), QuickConnectRun::State::Pausing);
    run->cancel();
    controller->disconnect();
    clock->advance(60000);
    QTest::qWait(20);
    QCOMPARE(dials(), 1);
    QCOMPARE(ends->size(), 1);
    QCOMPARE(ends->first().at(0).value<End>(), End::Cancelled);
}

void tst_quickconnectrun::disabledAccountEndsTheRunBeforeAnyDial()
{
    start(QStringLiteral("US1^198.18.10.1^PPTP"), false);
    QTRY_COMPARE(ends->size(), 1);
    QCOMPARE(ends->first().at(0).value<End>(), End::AccountDisabled);
    QCOMPARE(dials(), 0);
    QCOMPARE(controller->state(), ConnectionController::State::Idle);
}

QTEST_GUILESS_MAIN(tst_quickconnectrun)
#include "tst_quickconnectrun.moc"
