// A clock a test moves by hand. Made, it becomes the clock components take; destroyed, it puts
// the system's clock back. Timers fire only inside advance(), in the order they fall due.
#ifndef CORVANE_MANUALCLOCK_H
#define CORVANE_MANUALCLOCK_H

#include "core/clock.h"

#include <QList>
#include <QPointer>

class ManualTimer;

class ManualClock : public Clock
{
public:
    ManualClock();
    ~ManualClock() override;

    qint64 steadyMs() const override { return steadyNow; }
    QDateTime now() const override { return wallStart.addMSecs(steadyNow + wallOffset); }
    ClockTimer* newTimer(QObject* owner) override;

    // Moves time on by `ms`, firing every timer that falls due on the way, each at its moment.
    void advance(qint64 ms);
    // The wall clock alone jumps, as after a suspend; steady time and timers stay.
    void jumpWallClock(qint64 ms) { wallOffset += ms; }
    // Timers that are running now.
    int activeTimers() const;

private:
    friend class ManualTimer;
    qint64 steadyNow = 0;
    qint64 wallOffset = 0;
    QDateTime wallStart;
    QList<QPointer<ManualTimer>> timers;
};

#endif
