#ifndef CORVANE_SERVICE_AFTEREVENTS_H
#define CORVANE_SERVICE_AFTEREVENTS_H

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <functional>
#include <utility>

namespace service {

// Runs work once the events already waiting have been handled, the window's pending repaint
// among them (Qt posts it at low priority; this comes after it). Nothing runs when the
// context is destroyed first.
class AfterPendingEvents : public QObject
{
public:
    AfterPendingEvents(QObject* context, std::function<void()> work) : QObject(context), work(std::move(work))
    {
        QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority - 1);
    }

    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        deleteLater();
        std::exchange(work, nullptr)();
        return true;
    }

private:
    std::function<void()> work;
};

inline void afterPendingEvents(QObject* context, std::function<void()> work)
{
    new AfterPendingEvents(context, std::move(work));
}

} // namespace service

#endif
