// The clock tests move: timers fire in the order they fall due, and only while time moves.
#include "manualclock.h"

#include <QObject>
#include <QStringList>
#include <QTest>

#include <memory>

class tst_clock : public QObject
{
    Q_OBJECT

private slots:
    void timersFireInOrderAsTimeMoves()
    {
        ManualClock clock;
        QObject owner;
        QStringList fired;
        ClockTimer* tick = Clock::current().newTimer(&owner);
        QObject::connect(tick, &ClockTimer::timeout,
                         [&] { fired << QStringLiteral("tick@%1").arg(clock.steadyMs()); });
        tick->start(3000);
        Clock::current().callLater(4000, &owner,
                                   [&] { fired << QStringLiteral("once@%1").arg(clock.steadyMs()); });

        clock.advance(2999);
        QVERIFY(fired.isEmpty());
        clock.advance(6001);
        QCOMPARE(fired, (QStringList{"tick@3000", "once@4000", "tick@6000", "tick@9000"}));
        QCOMPARE(tick->remainingMs(), 3000);
    }

    void aLaterCallDiesWithItsContext()
    {
        ManualClock clock;
        bool called = false;
        auto context = std::make_unique<QObject>();
        Clock::current().callLater(100, context.get(), [&] { called = true; });
        context.reset();
        clock.advance(1000);
        QVERIFY(!called);
    }

    void theSystemClockIsBackOnceTheTestClockIsGone()
    {
        Clock* manual = nullptr;
        {
            ManualClock clock;
            manual = &Clock::current();
            QCOMPARE(manual, static_cast<Clock*>(&clock));
        }
        QVERIFY(&Clock::current() != manual);
    }
};

QTEST_GUILESS_MAIN(tst_clock)
#include "tst_clock.moc"
