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
    // Without a tunnel the echo page would see this machine's address and every connection would
    // read as dropped; tests of the address check give the page an answer.
    harness->sim.setFault(QStringLiteral("/ip/"), Fault::httpStatus(503));
    harness->create();
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

bool DialHarness::waitForConnection(ConnectionController::State state, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (window()->connectionController()->state() != state) {
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
    return waitForConnection(ConnectionController::State::Connected) &&
           text(QStringLiteral("connectionStatus")) == QLatin1String("connected") &&
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
