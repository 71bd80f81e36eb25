#include "dialharness.h"

#include "connection/pppworker.h"

#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QtTest>

DialHarness::DialHarness()
{
    setDialUpOverride(&dialUp);
    harness = std::make_unique<WindowHarness>();
    harness->create();
    // Dial outcomes are taken by the ticks the tests give, as the status timer does.
    window()->followWorkerAtOnce = false;
    // A dropped connection is redialled at once, as the tests step through it.
    window()->redialPausesOverrideMs = 0;
    // The status timer ticks every 3 s of real time; tests move time themselves.
    for (QTimer* timer : window()->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (timer->interval() == 3000)
            timer->stop();
    }
    // Connected after the window's own connection, so this runs once SetCurrentIP is done.
    const std::shared_ptr<int> count = echoCount;
    for (QNetworkAccessManager* manager : window()->findChildren<QNetworkAccessManager*>()) {
        QObject::connect(manager, &QNetworkAccessManager::finished, manager, [count](QNetworkReply* reply) {
            if (reply->url().path().startsWith(QLatin1String("/ip")))
                ++*count;
        });
    }
}

DialHarness::~DialHarness()
{
    dialUp.releaseDialReturn();
    harness.reset();
    setDialUpOverride(nullptr);
}

PPPWorker* DialHarness::worker() const
{
    return window()->worker();
}

bool DialHarness::login()
{
    return harness->login();
}

void DialHarness::pressConnect()
{
    harness->invoke("on_connect_clicked");
}

bool DialHarness::waitForWorkerStatus(const QString& status, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (worker()->statusText() != status) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

bool DialHarness::connectNow()
{
    dialUp.setDialOutcome({ras::success, 0});
    pressConnect();
    if (!waitForWorkerStatus(QStringLiteral("connected")))
        return false;
    tick();
    return text(QStringLiteral("connectionStatus")) == QLatin1String("connected") &&
           shown(QStringLiteral("WidgetConnectedVPN"));
}

bool DialHarness::waitForEchoReplies(int before, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (*echoCount <= before) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

void DialHarness::setEchoPage(const QByteArray& body)
{
    harness->sim.setFault(QStringLiteral("/ip/"), Fault::customBody(body, "text/html"));
}
