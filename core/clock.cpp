#include "core/clock.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

namespace {

class SystemTimer : public ClockTimer
{
public:
    explicit SystemTimer(QObject* owner) : ClockTimer(owner), timer(new QTimer(this))
    {
        // A coarse timer may fire up to 5% early, which would cut promised pauses short.
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, &ClockTimer::timeout);
    }

    void start(int ms) override
    {
        timer->setSingleShot(isSingleShot());
        timer->start(ms);
    }
    void stop() override { timer->stop(); }
    bool isActive() const override { return timer->isActive(); }
    int remainingMs() const override { return timer->remainingTime(); }

private:
    QTimer* timer;
};

class SystemClock : public Clock
{
public:
    SystemClock() { steady.start(); }

    qint64 steadyMs() const override { return steady.elapsed(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    ClockTimer* newTimer(QObject* owner) override { return new SystemTimer(owner); }

private:
    QElapsedTimer steady;
};

Clock* installed = nullptr;

} // namespace

Clock::~Clock() = default;

void Clock::callLater(int ms, QObject* context, std::function<void()> action)
{
    ClockTimer* timer = newTimer(context);
    timer->setSingleShot(true);
    QObject::connect(timer, &ClockTimer::timeout, context, [timer, action = std::move(action)] {
        timer->deleteLater();
        action();
    });
    timer->start(ms);
}

Clock& Clock::current()
{
    static SystemClock system;
    return installed ? *installed : system;
}

void Clock::setCurrent(Clock* clock)
{
    installed = clock;
}
