#include "manualclock.h"

#include <limits>

class ManualTimer : public ClockTimer
{
public:
    ManualTimer(ManualClock* owningClock, QObject* owner) : ClockTimer(owner), clock(owningClock) {}

    void start(int ms) override
    {
        interval = qMax(0, ms);
        due = clock->steadyNow + interval;
        active = true;
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
    int remainingMs() const override { return active ? int(due - clock->steadyNow) : -1; }

    ManualClock* clock;
    qint64 due = 0;
    int interval = 0;
    bool active = false;
};

ManualClock::ManualClock() : wallStart(QDateTime::currentDateTime())
{
    Clock::setCurrent(this);
}

ManualClock::~ManualClock()
{
    Clock::setCurrent(nullptr);
}

ClockTimer* ManualClock::newTimer(QObject* owner)
{
    auto* timer = new ManualTimer(this, owner);
    // A soak makes timers by the thousand: the deleted ones' places go.
    timers.removeAll(nullptr);
    timers.append(timer);
    return timer;
}

void ManualClock::advance(qint64 ms)
{
    const qint64 target = steadyNow + ms;
    for (;;) {
        timers.removeAll(nullptr);
        ManualTimer* next = nullptr;
        qint64 nextDue = std::numeric_limits<qint64>::max();
        for (const QPointer<ManualTimer>& timer : qAsConst(timers)) {
            if (timer && timer->active && timer->due <= target && timer->due < nextDue) {
                next = timer;
                nextDue = timer->due;
            }
        }
        if (!next)
            break;
        steadyNow = qMax(steadyNow, nextDue);
        if (next->isSingleShot())
            next->active = false;
        else
            next->due = steadyNow + qMax(1, next->interval);
        emit next->timeout();
    }
    steadyNow = target;
}

int ManualClock::activeTimers() const
{
    int count = 0;
    for (const QPointer<ManualTimer>& timer : timers)
        count += timer && timer->active;
    return count;
}
