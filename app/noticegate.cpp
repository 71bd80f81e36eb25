#include "app/noticegate.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

NoticeGate::NoticeGate(std::function<void(const QString& text)> show, QObject* parent)
    : QObject(parent), show(std::move(show))
{
}

void NoticeGate::offer(const QString& text)
{
    pending = text.size() > 5 && text != shown ? text : QString();
    showWhenFree();
}

void NoticeGate::reset()
{
    shown.clear();
    pending.clear();
}

bool NoticeGate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == blocker && event->type() == QEvent::Hide) {
        blocker->removeEventFilter(this);
        blocker = nullptr;
        // Out of the closing box's own event loop first.
        QTimer::singleShot(0, this, &NoticeGate::showWhenFree);
    }
    return false;
}

void NoticeGate::showWhenFree()
{
    if (pending.isEmpty() || blocker)
        return;
    // Any modal box open now (an error, a question, an earlier notice) would be covered.
    if (QWidget* box = QApplication::activeModalWidget()) {
        blocker = box;
        box->installEventFilter(this);
        return;
    }
    shown = pending;
    pending.clear();
    show(shown);
}
