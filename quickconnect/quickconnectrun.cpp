#include "quickconnect/quickconnectrun.h"

#include <QTimer>

QuickConnectRun::QuickConnectRun(QObject* parent) : QObject(parent), pauseTimer(new QTimer(this))
{
    pauseTimer->setObjectName(QStringLiteral("quickConnectPause"));
    pauseTimer->setSingleShot(true);
    connect(pauseTimer, &QTimer::timeout, this, &QuickConnectRun::pauseOver);
}

void QuickConnectRun::pause(int ms)
{
    pauseTimer->start(ms);
}

void QuickConnectRun::stop()
{
    pauseTimer->stop();
}
