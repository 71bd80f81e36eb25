#include "connection/errortexts.h"
#include "connection/pppworker.h"
#include "dialharness.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

namespace {
// Long enough that only a hang-up ends the dial within a test.
constexpr int blockedDialMs = 600000;
} // namespace

class TestStatusTimer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void workerInProgressReachesTheWindowOnTheNextTick();
    void workerStopIsNeverMirrored();
    void workerSuccessWhileIdleIsNotShownAsConnected();
    void dialSuccessShowsTheConnectedPage();
    void progressTextAndTimeoutFollowTheTicks();
    void timeoutIsReportedOnceWhenTheDialReturnsLate();
    void dialErrorIsReportedAfterTheDisconnect();
    void dialErrorDuringQuickConnectTriesTheNextEntry();
    void connectReturnsOnTheSecondTickAfterADisconnect();
    void connectedStatusLineAlternates_data();
    void connectedStatusLineAlternates();
    void connectedChecksThePublicAddressEvery15Seconds();
    void expiredAccountIsDisconnectedWhileConnected();
    void addressConfirmedTunnelIsAnnouncedOnceWhileTheDialReturns();

private:
    bool enabled(const char* name) const
    {
        return d->harness->find<QWidget>(QLatin1String(name))->isEnabled();
    }
    bool shown(const char* name) const { return d->shown(QLatin1String(name)); }
    QString text(const char* name) const { return d->text(QLatin1String(name)); }
    // Connects with a dial that stays blocked until it is hung up, and lets one tick see it.
    bool startBlockedAttempt();

    std::unique_ptr<DialHarness> d;
};

void TestStatusTimer::initTestCase()
{
    isolateSettings();
}

void TestStatusTimer::init()
{
    clearSettings();
    d = std::make_unique<DialHarness>();
    // Unless a test says otherwise the echo page fails, which the window ignores; only the
    // worker decides the outcome.
    d->harness->sim.setFault(QStringLiteral("/ip/"), Fault::httpStatus(503));
    QVERIFY(d->login());
}

void TestStatusTimer::cleanup()
{
    d.reset();
}

bool TestStatusTimer::startBlockedAttempt()
{
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});
    d->pressConnect();
    if (!d->waitForWorkerStatus(QStringLiteral("in progress")))
        return false;
    if (!QTest::qWaitFor([this] { return d->dialUp.dialling() != 0; }, 5000))
        return false;
    d->tick();
    return text("connectionStatus") == QLatin1String("in progress");
}

void TestStatusTimer::workerInProgressReachesTheWindowOnTheNextTick()
{
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});
    d->pressConnect();
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("in progress")));
    QCOMPARE(text("connectionStatus"), QString());

    d->tick();
    QCOMPARE(text("connectionStatus"), QStringLiteral("in progress"));
    QVERIFY(shown("WidgetConnectingVPN"));
}

void TestStatusTimer::workerStopIsNeverMirrored()
{
    QVERIFY(startBlockedAttempt());
    d->worker()->setStatus(QStringLiteral("stop"));

    d->tick();
    QCOMPARE(text("connectionStatus"), QStringLiteral("in progress"));
    QCOMPARE(d->worker()->statusText(), QStringLiteral("stop"));
}

void TestStatusTimer::workerSuccessWhileIdleIsNotShownAsConnected()
{
    d->state()->setConnection(WindowState::Connection::Disconnected);
    d->worker()->setStatus(QStringLiteral("connected"));

    d->tick(2);
    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    QVERIFY(shown("WingetConnected"));
    QVERIFY(!shown("WidgetConnectedVPN"));
    QVERIFY(d->harness->balloons.isEmpty());
}

void TestStatusTimer::dialSuccessShowsTheConnectedPage()
{
    // The dial's attempt succeeds at once, but the call returns only when released: the first
    // tick sees the worker still dialling.
    d->dialUp.setDialOutcome({ras::success, 0});
    d->dialUp.holdDialReturn();
    d->pressConnect();
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("in progress")));
    d->tick();
    QCOMPARE(text("connectionStatus"), QStringLiteral("in progress"));
    QVERIFY(!d->window()->isMinimized());

    d->dialUp.releaseDialReturn();
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("connected")));
    d->tick();

    QCOMPARE(text("connectionStatus"), QStringLiteral("connected"));
    QCOMPARE(d->worker()->statusText(), QString()); // taken once
    QCOMPARE(text("authstatus"), QStringLiteral("connected"));
    QCOMPARE(text("connected_title"), QStringLiteral("Connected to US1 Server!"));
    QCOMPARE(text("connected_message"),
             QStringLiteral("You are now connected to US1 Server.\n Your connection is now secured."));
    QCOMPARE(text("quick_stage"), QStringLiteral("0"));
    QVERIFY(shown("WidgetConnectedVPN"));
    QVERIFY(!shown("WidgetConnectingVPN"));
    QVERIFY(!shown("WingetConnected"));
    QVERIFY(!shown("logout"));
    QVERIFY(!enabled("logout"));
    QVERIFY(!enabled("servers"));
    QVERIFY(!enabled("protocols"));
    QVERIFY(!enabled("type"));
    QVERIFY(shown("disconnect"));
    QVERIFY(enabled("disconnect"));
    QVERIFY(!shown("connect"));
    QVERIFY(!shown("cancel"));
    QVERIFY(!shown("loading"));
    QVERIFY(d->window()->isMinimized());
    QCOMPARE(d->harness->balloons.size(), 1);
    QCOMPARE(d->harness->balloons.first().first, QStringLiteral("Corvane is now connected!"));
    QCOMPARE(d->harness->balloons.first().second, QStringLiteral("You are now connected to US1."));
    QVERIFY(d->harness->boxes.isEmpty());

    // The connected time starts at the transition.
    d->tick();
    QCOMPARE(text("seconds"), QStringLiteral("3"));
    QCOMPARE(text("connectionStatus"), QStringLiteral("connected"));
    QCOMPARE(d->harness->balloons.size(), 1);
}

void TestStatusTimer::progressTextAndTimeoutFollowTheTicks()
{
    const int echoRequests = d->harness->sim.requests(QStringLiteral("/ip/")).size();
    QVERIFY(startBlockedAttempt()); // 3 s
    QCOMPARE(text("authstatus"), QStringLiteral("Connecting..."));
    QVERIFY(!enabled("connect"));

    d->tick(); // 6 s
    QCOMPARE(text("authstatus"), QStringLiteral("connection in progress - 10%"));
    QVERIFY(enabled("connect"));

    d->tick(8); // 30 s
    QCOMPARE(text("seconds"), QStringLiteral("30"));
    QCOMPARE(text("authstatus"), QStringLiteral("connection in progress - 90%"));
    QCOMPARE(text("connectionStatus"), QStringLiteral("in progress"));
    QVERIFY(shown("WidgetConnectingVPN"));
    QVERIFY(d->harness->boxes.isEmpty());
    QVERIFY(d->dialUp.dialling() != 0);
    // Every tick of an attempt asks for the public address.
    QTRY_COMPARE_WITH_TIMEOUT(d->harness->sim.requests(QStringLiteral("/ip/")).size(), echoRequests + 10,
                              5000);

    const RasHandle dial = d->dialUp.dialling();
    d->tick(); // 33 s
    QCOMPARE(d->harness->boxTitles(), QStringList{QStringLiteral("Cannot connect")});
    QCOMPARE(d->harness->boxes.first().icon, QMessageBox::Information);
    QCOMPARE(
        d->harness->boxes.first().text,
        QStringLiteral("Cannot connect to this server. You can try again to connect using another available "
                       "configuration for this server or can use another one."));
    QCOMPARE(text("authstatus"), QStringLiteral("cannot establish connection"));
    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    QVERIFY(shown("WingetConnected"));
    QVERIFY(!shown("WidgetConnectingVPN"));
    const std::vector<RasHandle> hangUps = d->dialUp.hangUps();
    QVERIFY(std::find(hangUps.begin(), hangUps.end(), dial) != hangUps.end());
    QVERIFY(!d->dialUp.isOpen(dial));

    QTRY_COMPARE_WITH_TIMEOUT(d->worker()->resultCodeText(), QStringLiteral("disconnected"), 5000);
    d->tick(3);
    QCOMPARE(d->harness->boxes.size(), 1);
}

void TestStatusTimer::timeoutIsReportedOnceWhenTheDialReturnsLate()
{
    QVERIFY(startBlockedAttempt());
    // After the hang-up, the dial takes its time to return.
    d->dialUp.holdDialReturn();
    d->tick(10); // 33 s
    QCOMPARE(d->harness->boxTitles(), QStringList{QStringLiteral("Cannot connect")});

    d->dialUp.releaseDialReturn();
    QTRY_VERIFY_WITH_TIMEOUT(!d->window()->workerThread()->isRunning(), 5000);
    d->tick(3);
    QCOMPARE(d->harness->boxTitles(), QStringList{QStringLiteral("Cannot connect")});
    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    QCOMPARE(d->worker()->resultCodeText(), QStringLiteral("disconnected"));
    QVERIFY(shown("WingetConnected"));
}

void TestStatusTimer::dialErrorIsReportedAfterTheDisconnect()
{
    QString stateAtBox;
    bool idlePageAtBox = false;
    d->window()->messageBox = [&](QMessageBox::Icon icon, const QString& title, const QString& message) {
        stateAtBox = text("connectionStatus");
        idlePageAtBox = shown("WingetConnected");
        d->harness->boxes.append({icon, title, message});
    };
    d->dialUp.setDialOutcome({691, 0});
    d->pressConnect();
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("error")));
    QCOMPARE(d->worker()->resultCodeText(), QStringLiteral("691"));

    d->tick();
    QCOMPARE(d->harness->boxes.size(), 1);
    const RecordedBox box = d->harness->boxes.first();
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.title, QStringLiteral("Corvane | PPP Error Code 691"));
    QVERIFY(!pppErrorText(691).isEmpty());
    QVERIFY2(box.text.startsWith(pppErrorText(691) + QStringLiteral(" \nTry to connect again. \n\n")),
             qPrintable(box.text));
    QVERIFY2(box.text.endsWith(QStringLiteral("choose to connect using another protocol on US1 server or/and "
                                              "another server.")),
             qPrintable(box.text));
    QCOMPARE(stateAtBox, QStringLiteral("disconnected"));
    QVERIFY(idlePageAtBox);
    QVERIFY(!shown("loading"));
    QCOMPARE(d->worker()->statusText(), QString());
    QCOMPARE(d->worker()->resultCodeText(), QString());

    d->tick(2);
    QCOMPARE(d->harness->boxes.size(), 1);
}

void TestStatusTimer::dialErrorDuringQuickConnectTriesTheNextEntry()
{
    QCOMPARE(text("quick_servers"), QStringLiteral("US1^198.18.10.1^PPTP|DE1^198.18.10.2^L2TP^de-key"));
    d->window()->quickConnectPauseMs = 0;
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});
    d->dialUp.setDialOutcomeForAddress(u"198.18.10.1", {691, 0});
    d->harness->invoke("on_quickConnect_clicked");
    QCOMPARE(text("quick_stage"), QStringLiteral("1"));
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("error")));

    d->tick();
    QVERIFY(d->harness->boxes.isEmpty());
    QCOMPARE(text("quick_stage"), QStringLiteral("2"));
    QCOMPARE(text("server_name"), QStringLiteral("DE1"));
    QTRY_COMPARE_WITH_TIMEOUT(d->dialUp.dialCalls().size(), std::size_t(2), 5000);
    const auto entries = d->dialUp.entryCalls();
    QCOMPARE(entries.back().entry.szLocalPhoneNumber, std::u16string(u"198.18.10.2"));
    QCOMPARE(entries.back().entry.dwVpnStrategy, ras::vpnL2tpOnly);
    QCOMPARE(d->dialUp.credentialsCalls().back().credentials.szPassword, std::u16string(u"de-key"));
}

void TestStatusTimer::connectReturnsOnTheSecondTickAfterADisconnect()
{
    QVERIFY(d->connectNow());
    d->harness->invoke("on_disconnect_clicked");
    QVERIFY(shown("connect"));
    QVERIFY(!enabled("connect"));
    QVERIFY(!enabled("quickConnect"));

    d->tick();
    QVERIFY(!enabled("connect"));
    QVERIFY(!enabled("quickConnect"));

    d->tick();
    QVERIFY(enabled("connect"));
    QVERIFY(enabled("quickConnect"));
}

void TestStatusTimer::connectedStatusLineAlternates_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("line");

    const QString usingIp = QStringLiteral("using IP 198.18.10.1");
    QTest::newRow("3 s") << 1 << usingIp;
    QTest::newRow("12 s") << 4 << usingIp;
    QTest::newRow("15 s") << 5 << "connected for 0 minutes";
    QTest::newRow("27 s") << 9 << "connected for 0 minutes";
    QTest::newRow("30 s") << 10 << usingIp;
    QTest::newRow("57 s") << 19 << "connected for 0 minutes";
    QTest::newRow("60 s") << 20 << usingIp;
    QTest::newRow("75 s") << 25 << "connected for 1 minutes";
    QTest::newRow("135 s") << 45 << "connected for 2 minutes";
}

void TestStatusTimer::connectedStatusLineAlternates()
{
    QFETCH(int, ticks);
    QFETCH(QString, line);
    d->harness->sim.clearFault(QStringLiteral("/ip/"));
    d->harness->sim.setEchoAddress(QStringLiteral("198.18.10.1"));
    QVERIFY(d->connectNow());

    d->tick(ticks);
    QCOMPARE(text("authstatus"), line);
    QCOMPARE(text("connectionStatus"), QStringLiteral("connected"));
}

void TestStatusTimer::connectedChecksThePublicAddressEvery15Seconds()
{
    QVERIFY(d->connectNow());
    QVERIFY(d->harness->settle());
    const int before = d->harness->sim.requests(QStringLiteral("/ip/")).size();

    d->tick(4); // 12 s
    QVERIFY(d->harness->settle());
    QCOMPARE(d->harness->sim.requests(QStringLiteral("/ip/")).size(), before);

    d->tick(); // 15 s
    QTRY_COMPARE_WITH_TIMEOUT(d->harness->sim.requests(QStringLiteral("/ip/")).size(), before + 1, 5000);

    d->tick(5); // 30 s
    QTRY_COMPARE_WITH_TIMEOUT(d->harness->sim.requests(QStringLiteral("/ip/")).size(), before + 2, 5000);
    QVERIFY(d->harness->settle());
    QCOMPARE(d->harness->sim.requests(QStringLiteral("/ip/")).size(), before + 2);
}

void TestStatusTimer::expiredAccountIsDisconnectedWhileConnected()
{
    QVERIFY(d->connectNow());
    const RasHandle connection = d->worker()->rasConnection.load();
    QVERIFY(d->dialUp.isOpen(connection));
    QVERIFY(d->window()->isMinimized());
    d->harness->balloons.clear();

    d->state()->setAccountFlag(QStringLiteral("0"));
    d->tick();

    QCOMPARE(d->harness->balloonTitles(), QStringList{QStringLiteral("Corvane - Account Expired")});
    QCOMPARE(d->harness->balloons.first().second,
             QStringLiteral("Your account has expired! In order to continue using our services, you need to "
                            "update your subscription."));
    QVERIFY(!d->window()->isMinimized());
    QVERIFY(d->window()->isVisible());
    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    QVERIFY(shown("WingetConnected"));
    QVERIFY(!shown("WidgetConnectedVPN"));
    QVERIFY(!d->dialUp.isOpen(connection));
}

void TestStatusTimer::addressConfirmedTunnelIsAnnouncedOnceWhileTheDialReturns()
{
    QVERIFY(startBlockedAttempt());
    // The public address shows the tunnel before the blocked dial reports.
    d->harness->sim.clearFault(QStringLiteral("/ip/"));
    d->harness->sim.setEchoAddress(text("server_assignedIP"));
    const int before = d->echoReplies();
    d->tick();
    QVERIFY(d->waitForEchoReplies(before));
    // An earlier request, held by the fault, may be the reply that came first.
    QTRY_COMPARE_WITH_TIMEOUT(text("connectionStatus"), QStringLiteral("connected"), 5000);
    QCOMPARE(d->worker()->statusText(), QStringLiteral("in progress"));

    d->tick(3);
    QCOMPARE(text("connectionStatus"), QStringLiteral("connected"));
    QCOMPARE(d->harness->balloonTitles(), QStringList{QStringLiteral("Corvane is now connected!")});
    QVERIFY(shown("WidgetConnectedVPN"));
}

QTEST_MAIN(TestStatusTimer)
#include "tst_statustimer.moc"
