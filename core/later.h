#ifndef CORVANE_LATER_H
#define CORVANE_LATER_H

#include <QMetaObject>
#include <QObject>

#include <utility>

// Runs `action` from the event loop once the signal chain running now (a socket's, a process's, a
// reply's) has returned, unless `context` is gone by then. Whoever takes a component's report
// may then show a box, which runs an event loop of its own, or end what reported it.
template <typename Action> void later(QObject* context, Action&& action)
{
    QMetaObject::invokeMethod(context, std::forward<Action>(action), Qt::QueuedConnection);
}

#endif
