// What a user meets when connecting: the whole window, logged in against the simulator, with
// dials to the simulated phone book and time moved by the test. The connection's own rules are
// tested on the controller; here, what the pages, buttons, boxes and balloons say.
#include "app/trayview.h"
#include "dialharness.h"
#include "openvpnsupport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>

using State = ConnectionController::State;

class TestConnect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateSettings(); }
    void init();
    void cleanup() { d.reset(); }

    void connectAndDisconnectKeepTheUserWhereTheyWere();
    void refusedAttemptSaysWhyAndStartsNothing_data();
    void refusedAttemptSaysWhyAndStartsNothing();
    void failedDialShowsItsErrorBox();
    void echoOfTheServersAddressIsNoConnection_data();
    void echoOfTheServersAddressIsNoConnection();
    void dropShowsTheRedialWithItsCountdownAndCancel();
    void quickConnectCountsEveryStageAndSaysWhatItTried();
    void connectedPageShowsServerProtocolTimeAndTheSeenAddress();
    void trayFollowsTheConnection();
    void quittingWhileConnectedWarnsThatTheVpnCloses_data();
    void quittingWhileConnectedWarnsThatTheVpnCloses();
    void connectionLogTellsEachStepAndTheEndInWords();

private:
    bool enabled(const char* name) const
    {
        return d->harness->find<QWidget>(QLatin1String(name))->isEnabled();
    }
    bool shown(const char* name) const { return d->shown(QLatin1String(name)); }
    QString text(const char* name) const { return d->text(QLatin1String(name)); }
    LumtarMain* window() const { return d->window(); }

    std::unique_ptr<DialHarness> d;
};

void TestConnect::init()
{
    clearSettings();
    d = std::make_unique<DialHarness>();
    QVERIFY(d->login());
}

void TestConnect::connectAndDisconnectKeepTheUserWhereTheyWere()
{
    auto* tabs = d->harness->find<QTabWidget>(QStringLiteral("WingetConnected"));
    tabs->setCurrentIndex(1);
    d->dialUp.setDialOutcome({ras::success, 60000});
    d->pressConnect();
    QVERIFY(shown("WidgetConnectingVPN") && !shown("WingetConnected"));
    QCOMPARE(text("connecting_title"), QStringLiteral("Connecting to US1"));
    QCOMPARE(text("connecting_message"), QStringLiteral("PPTP connection to US1\nis in progress"));
    QVERIFY(shown("cancel") && enabled("cancel"));
    d->tick(4);
    QCOMPARE(text("authstatus"), QStringLiteral("connection in progress - 30%"));

    d->dialUp.setDialOutcome({ras::success, 0});
    window()->connectionController()->disconnect();
    QVERIFY(d->waitForConnection(State::Idle));
    QVERIFY(d->connectNow());
    QCOMPARE(text("connected_title"), QStringLiteral("Connected to US1 Server!"));
    QCOMPARE(text("authstatus"), QStringLiteral("connected"));
    QVERIFY(d->harness->balloonTitles().contains(QStringLiteral("Corvane is now connected!")));
    QVERIFY(window()->windowState() & Qt::WindowMinimized);
    QVERIFY(shown("disconnect") && !shown("logout"));

    LabelHistory status(d->harness->find<QLabel>(QStringLiteral("authstatus")));
    d->harness->invoke("on_disconnect_clicked");
    QVERIFY(d->waitForConnection(State::Idle));
    QVERIFY(shown("WingetConnected"));
    QCOMPARE(tabs->currentIndex(), 1);
    // The account refresh that follows may have written its quota over it already.
    QVERIFY(status.contains(QStringLiteral("Ready!")));
    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    // Nothing holds the buttons back once the disconnect is done.
    QVERIFY(enabled("connect") && enabled("quickConnect"));
    QVERIFY(d->harness->boxes.isEmpty());
}

void TestConnect::refusedAttemptSaysWhyAndStartsNothing_data()
{
    QTest::addColumn<QString>("accountFlag");
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("title");
    QTest::newRow("account not enabled") << "0"
                                         << "PPTP"
                                         << "Your account is disabled";
    QTest::newRow("account unknown") << ""
                                     << "PPTP"
                                     << "Your account is disabled";
    QTest::newRow("OpenVPN without profile") << "1"
                                             << "OpenVPN"
                                             << "No OpenVPN profile";
    QTest::newRow("no protocol") << "1" << QString() << "No connection protocol";
}

void TestConnect::refusedAttemptSaysWhyAndStartsNothing()
{
    QFETCH(QString, accountFlag);
    QFETCH(QString, protocol);
    QFETCH(QString, title);
    d->state()->setAccountFlag(accountFlag);
    d->state()->setServerProtocol(protocol);
    d->state()->setServerCertificate(QString());
    d->pressConnect();
    QCOMPARE(d->harness->boxTitles(), QStringList{title});
    QCOMPARE(window()->connectionController()->state(), State::Idle);
    QVERIFY(shown("WingetConnected") && enabled("connect"));
    QTest::qWait(20);
    QVERIFY(d->dialUp.dialCalls().empty());
}

void TestConnect::failedDialShowsItsErrorBox()
{
    d->dialUp.setDialOutcome({SimulatedDialUp::errorVpnUnreachable, 0});
    d->pressConnect();
    QVERIFY(d->waitForConnection(State::Failed));
    QCOMPARE(d->harness->boxTitles(), QStringList{QStringLiteral("Corvane | PPP Error Code 800")});
    QVERIFY(d->harness->boxes.first().text.endsWith(
        QStringLiteral("choose to connect using another protocol on US1 server or/and another server.")));
    QVERIFY(shown("WingetConnected") && enabled("connect"));
}

void TestConnect::echoOfTheServersAddressIsNoConnection_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::newRow("PPTP dial under way") << QStringLiteral("PPTP");
    QTest::newRow("OpenVPN configuration trickling in") << QStringLiteral("OpenVPN");
}

void TestConnect::echoOfTheServersAddressIsNoConnection()
{
    QFETCH(QString, protocol);
    // The service says the tunnel's address is this machine's own, which the echo page sees.
    d->harness->sim.clearFault(QStringLiteral("/ip/"));
    d->harness->sim.setFault(QStringLiteral("/files/nl/udp.ovpn"), Fault::neverAnswer());
    d->dialUp.setDialOutcome({ras::success, 60000});
    d->state()->setServerAssignedIp(QStringLiteral("127.0.0.1"));
    d->state()->setServerProtocol(protocol);
    d->state()->setServerCertificate(d->harness->sim.baseUrl() + QStringLiteral("/files/nl/ca.crt"));
    d->state()->setServerConfig(d->harness->sim.baseUrl() + QStringLiteral("/files/nl/udp.ovpn"));
    d->pressConnect();
    const int before = d->echoReplies();
    d->harness->invoke("GetCurrentIP");
    QVERIFY(d->waitForEchoReplies(before));
    for (int tick = 0; tick < 10; ++tick) {
        d->tick();
        QVERIFY(!shown("WidgetConnectedVPN"));
        QVERIFY(d->harness->balloons.isEmpty());
    }
    d->tick();
    QCOMPARE(d->harness->boxTitles(), QStringList{QStringLiteral("Cannot connect")});
    QCOMPARE(text("authstatus"), QStringLiteral("cannot establish connection"));
}

void TestConnect::dropShowsTheRedialWithItsCountdownAndCancel()
{
    QVERIFY(d->connectNow());
    d->setEchoPage("<html><body>Current IP Address: 198.18.99.9</body></html>");
    const int before = d->echoReplies();
    d->tick(5);
    QVERIFY(d->waitForEchoReplies(before));
    QVERIFY(d->waitForConnection(State::Reconnecting));
    QVERIFY(d->harness->balloonTitles().contains(QStringLiteral("Corvane connection dropped")));
    QVERIFY(shown("WidgetConnectingVPN") && shown("cancel") && enabled("cancel"));
    QCOMPARE(text("connecting_title"), QStringLiteral("Reconnecting to US1"));
    QCOMPARE(text("authstatus"), QStringLiteral("Reconnecting to US1 in 3 s"));
    d->harness->clock->advance(1000);
    QCOMPARE(text("authstatus"), QStringLiteral("Reconnecting to US1 in 2 s"));

    d->harness->invoke("on_cancel_clicked");
    QVERIFY(shown("WingetConnected"));
    QCOMPARE(text("authstatus"), QStringLiteral("Ready!"));
    d->tick(20);
    QTest::qWait(20);
    QCOMPARE(d->dialUp.dialCalls().size(), size_t(1));
}

void TestConnect::quickConnectCountsEveryStageAndSaysWhatItTried()
{
    d->state()->setQuickServers(
        QStringLiteral("US1^198.18.10.1^PPTP|DE1^198.18.10.2^L2TP^de-key|NL1^198.18.10.3^PPTP"));
    d->dialUp.setDialOutcome({SimulatedDialUp::errorVpnUnreachable, 0});
    QStringList titles;
    connect(window()->quickConnect(), &QuickConnectRun::stateChanged, this, [&] {
        if (shown("WidgetConnectingVPN") && !titles.contains(text("connecting_title")))
            titles << text("connecting_title");
    });
    d->harness->invoke("on_quickConnect_clicked");
    for (int pause = 0; pause < 2; ++pause) {
        QTRY_COMPARE(window()->quickConnect()->state(), QuickConnectRun::State::Pausing);
        QCOMPARE(text("authstatus"), QStringLiteral("Initiating another method. Please wait..."));
        QVERIFY(shown("cancel"));
        d->harness->clock->advance(5000);
    }
    QTRY_VERIFY(!window()->quickConnect()->running());
    QTRY_COMPARE(d->harness->boxTitles(), QStringList{QStringLiteral("Connection Error")});
    QCOMPARE(titles,
             (QStringList{"1/3 - Connecting to US1", "2/3 - Connecting to DE1", "3/3 - Connecting to NL1"}));
    // OpenVPN was not among the entries, so the box does not claim it was tried.
    QVERIFY(d->harness->boxes.first().text.startsWith(QStringLiteral("We tried PPTP and L2TP on 3 servers")));
    QVERIFY(shown("WingetConnected") && enabled("quickConnect"));
}

void TestConnect::connectedPageShowsServerProtocolTimeAndTheSeenAddress()
{
    QVERIFY(d->connectNow());
    QCOMPARE(text("connected_server"), QStringLiteral("Server: US1"));
    QCOMPARE(text("connected_protocol"), QStringLiteral("Protocol: PPTP"));
    QCOMPARE(text("connected_time"), QStringLiteral("Connected for: 0:00:00"));
    // The clock moves each second, not with the three-second tick.
    d->harness->clock->advance(1000);
    QCOMPARE(text("connected_time"), QStringLiteral("Connected for: 0:00:01"));
    d->harness->clock->advance(64000);
    QCOMPARE(text("connected_time"), QStringLiteral("Connected for: 0:01:05"));
    // What the address check saw.
    QCOMPARE(text("connected_address"), QStringLiteral("Public address: checking..."));
    const QString assigned = text("server_assignedIP");
    d->setEchoPage("<html><body>Current IP Address: " + assigned.toLatin1() + "</body></html>");
    const int before = d->echoReplies();
    d->harness->invoke("GetCurrentIP");
    QVERIFY(d->waitForEchoReplies(before));
    QTRY_COMPARE(text("connected_address"), QStringLiteral("Public address: ") + assigned);
}

void TestConnect::trayFollowsTheConnection()
{
    TrayView* tray = window()->trayView();
    QCOMPARE(tray->state(), TrayView::State::Disconnected);
    QVERIFY(!tray->disconnectAction()->isEnabled());
    d->dialUp.setDialOutcome({ras::success, 60000});
    d->pressConnect();
    QCOMPARE(tray->state(), TrayView::State::Connecting);
    QCOMPARE(tray->toolTip(), QStringLiteral("Corvane: connecting to US1"));
    window()->connectionController()->disconnect();
    QVERIFY(d->waitForConnection(State::Idle));

    QVERIFY(d->connectNow());
    QCOMPARE(tray->state(), TrayView::State::Connected);
    d->harness->clock->advance(5000);
    QCOMPARE(tray->toolTip(), QStringLiteral("Corvane: connected to US1\n0:00:05"));
    QVERIFY(tray->disconnectAction()->isEnabled() && !tray->connectAction()->isEnabled());
    tray->disconnectAction()->trigger();
    QVERIFY(d->waitForConnection(State::Idle));
    QCOMPARE(tray->state(), TrayView::State::Disconnected);
    // Connect goes to the server connected to last.
    QCOMPARE(tray->connectAction()->text(), QStringLiteral("&Connect to US1"));
    QVERIFY(tray->connectAction()->isEnabled());
    d->dialUp.setDialOutcome({ras::success, 0});
    tray->connectAction()->trigger();
    QVERIFY(d->waitForConnection(State::Connected));
    QCOMPARE(window()->connectionController()->server().name, QStringLiteral("US1"));
}

void TestConnect::quittingWhileConnectedWarnsThatTheVpnCloses_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("question");
    const QString warning = QStringLiteral("You are connected to US1. Quitting closes the VPN connection.\n\n"
                                           "Are you sure you want to exit?");
    QTest::newRow("close button, connected") << true << "on_application_close_clicked" << warning;
    QTest::newRow("window closed, connected") << true << "close" << warning;
    QTest::newRow("close button, not connected") << false << "on_application_close_clicked"
                                                 << "Are you sure you want to exit?";
}

void TestConnect::quittingWhileConnectedWarnsThatTheVpnCloses()
{
    QFETCH(bool, connected);
    QFETCH(QString, slot);
    QFETCH(QString, question);
    if (connected)
        QVERIFY(d->connectNow());
    d->harness->answer = QMessageBox::No;
    d->harness->invoke(slot.toLatin1().constData());
    QCOMPARE(d->harness->questions.size(), 1);
    QCOMPARE(d->harness->questions.first().second, question);
    QCOMPARE(window()->connectionController()->state(), connected ? State::Connected : State::Idle);
}

void TestConnect::connectionLogTellsEachStepAndTheEndInWords()
{
    QVERIFY(d->connectNow());
    d->harness->invoke("on_disconnect_clicked");
    QVERIFY(d->waitForConnection(State::Idle));
    const QString log = window()->findChild<QTextBrowser*>(QStringLiteral("logBrowser"))->toPlainText();
    for (const char* line : {"Connecting to US1 (", ") by PPTP", "Dial: connected", "Connected to US1",
                             "Ended: the user ended it"})
        QVERIFY2(log.contains(QLatin1String(line)), line);
    // No code words of the program.
    QVERIFY2(!log.contains(QLatin1String("UserRequest")), qPrintable(log));
    QVERIFY(!log.contains(QLatin1String("secret")));
}

QTEST_MAIN(TestConnect)
#include "tst_connect.moc"
