#ifndef CORVANE_SERVICE_WHENQUIET_H
#define CORVANE_SERVICE_WHENQUIET_H

#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

namespace service {

// Runs work once a window has drawn what it was asked to and gone quiet: no repaint for a few
// milliseconds (a first paint can bring a relayout and a second paint), or at the latest after
// a limit, for a window that keeps drawing. Nothing runs when the window is destroyed first.
class WhenQuiet : public QObject
{
public:
    static constexpr int quietMs = 15;
    static constexpr int latestMs = 500;

    WhenQuiet(QWidget* window, std::function<void()> work) : QObject(window), work(std::move(work))
    {
        window->installEventFilter(this);
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, &WhenQuiet::run);
        waited.start();
        timer.start(quietMs);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest && waited.elapsed() < latestMs)
            timer.start(quietMs);
        return false;
    }

private:
    void run()
    {
        deleteLater();
        std::exchange(work, nullptr)();
    }

    std::function<void()> work;
    QTimer timer;
    QElapsedTimer waited;
};

inline void whenQuiet(QWidget* window, std::function<void()> work)
{
    new WhenQuiet(window, std::move(work));
}

} // namespace service

#endif
