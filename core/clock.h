// Time for every component: what time it is, and timers that fire after a while. The program
// runs on the system's clock; a test puts a clock of its own in place and moves it by hand, so no
// test waits for real seconds to pass.
#ifndef CORVANE_CLOCK_H
#define CORVANE_CLOCK_H

#include <QDateTime>
#include <QObject>

#include <functional>

class ClockTimer;

class Clock
{
public:
    virtual ~Clock();

    // Milliseconds on a steady clock that never jumps with the wall clock.
    virtual qint64 steadyMs() const = 0;
    // The wall clock, for time stamps a user reads.
    virtual QDateTime now() const = 0;
    // A stopped timer, deleted with `owner`.
    virtual ClockTimer* newTimer(QObject* owner) = 0;

    // Calls `action` once after `ms` unless `context` is gone by then.
    void callLater(int ms, QObject* context, std::function<void()> action);

    // The clock components take when they are made: the system's, unless a test set its own.
    static Clock& current();
    // Tests only; nullptr puts the system's clock back.
    static void setCurrent(Clock* clock);
};

// A timer of a clock. Repeating unless made single-shot; start() restarts a running one.
class ClockTimer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // Until the next timeout; -1 when stopped.
    virtual int remainingMs() const = 0;

    void setSingleShot(bool singleShot) { oneShot = singleShot; }
    bool isSingleShot() const { return oneShot; }

signals:
    void timeout();

private:
    bool oneShot = false;
};

#endif
