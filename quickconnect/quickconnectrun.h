// A Quick Connect run as a component: the pause between two attempts, which the user's cancel
// stops. The window starts each attempt and shows the run.
#ifndef CORVANE_QUICKCONNECTRUN_H
#define CORVANE_QUICKCONNECTRUN_H

#include <QObject>

class QTimer;

class QuickConnectRun : public QObject
{
    Q_OBJECT

public:
    explicit QuickConnectRun(QObject* parent = nullptr);

    // pauseOver() follows after `ms`, unless the run is stopped first.
    void pause(int ms);
    void stop();

signals:
    void pauseOver();

private:
    QTimer* pauseTimer;
};

#endif
