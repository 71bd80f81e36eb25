#include "connection/pppworker.h"
#include "dialharness.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QtTest>

namespace {

constexpr int blockedDialMs = 600000;

QJsonObject serverJson(int id, const QString& name, const QString& ip, const QString& assignedIp, bool pptp,
                       bool l2tp, const QString& key)
{
    return QJsonObject{
        {"id", id},     {"shortname", name}, {"ip", ip},     {"country", "se"},  {"assignedIP", assignedIp},
        {"pptp", pptp}, {"l2tp", l2tp},      {"pskey", key}, {"openvpn", false}, {"profiles", QJsonArray()}};
}

QByteArray echoPage(const QByteArray& inner)
{
    return "<html><head><title>Current IP Check</title></head><body>" + inner + "</body></html>";
}

} // namespace

class TestCurrentIp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void echoedAddressIsShown_data();
    void echoedAddressIsShown();
    void matchingAddressWhileInProgressShowsTheConnectedPage_data();
    void matchingAddressWhileInProgressShowsTheConnectedPage();
    void otherAddressWhileInProgressOnlyUpdatesTheField();
    void unreadableReplyWhileConnectedIsNoDrop_data();
    void unreadableReplyWhileConnectedIsNoDrop();
    void replyAfterDisconnectOnlyUpdatesTheField();
    void dropWhileConnectedReconnectsTheSameServer();
    void dropOnTheThirdServerByL2tpRedialsItWithItsKey();
    void connectionThatKeepsDroppingStopsAfterThreeRedials();

private:
    QString text(const char* name) const { return d->text(QLatin1String(name)); }
    bool shown(const char* name) const { return d->shown(QLatin1String(name)); }
    // Asks for the public address once and waits until the window has handled the answer.
    bool askForAddress();
    // Lets the tick at 15 s of a connection ask for the address, and waits for the answer.
    bool tickToTheAddressCheck();

    std::unique_ptr<DialHarness> d;
};

void TestCurrentIp::initTestCase()
{
    isolateSettings();
}

void TestCurrentIp::init()
{
    clearSettings();
    d = std::make_unique<DialHarness>();
    d->harness->sim.setServers({serverJson(1, "US1", "198.18.10.1", "198.18.10.1", true, true, "us-key"),
                                serverJson(2, "DE1", "198.18.10.2", "198.18.30.2", true, false, ""),
                                serverJson(3, "SE3", "198.18.10.4", "198.18.30.4", true, true, "se-key")});
    QVERIFY(d->login());
    QVERIFY(d->harness->settle());
}

void TestCurrentIp::cleanup()
{
    d.reset();
}

bool TestCurrentIp::askForAddress()
{
    const int before = d->echoReplies();
    d->harness->invoke("GetCurrentIP");
    return d->waitForEchoReplies(before);
}

bool TestCurrentIp::tickToTheAddressCheck()
{
    const int before = d->echoReplies();
    d->tick(5);
    return d->waitForEchoReplies(before) && d->harness->settle();
}

void TestCurrentIp::echoedAddressIsShown_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("shownAddress");

    QTest::newRow("echo page") << echoPage("Current IP Address: 198.18.5.5") << "198.18.5.5";
    QTest::newRow("blanks around the address")
        << echoPage("Current IP Address:  198.18.5.5 \n") << "198.18.5.5";
    QTest::newRow("no closing body") << QByteArray("<html><body>Current IP Address: 198.18.5.5\n")
                                     << "198.18.5.5";
    QTest::newRow("no address marker") << echoPage("Please sign in to continue.") << "previous";
    QTest::newRow("empty reply") << QByteArray() << "previous";
}

void TestCurrentIp::echoedAddressIsShown()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, shownAddress);
    d->harness->find<QLineEdit>(QStringLiteral("ipCurrent"))->setText(QStringLiteral("previous"));
    d->setEchoPage(page);

    QVERIFY(askForAddress());
    QCOMPARE(text("ipCurrent"), shownAddress);
}

void TestCurrentIp::matchingAddressWhileInProgressShowsTheConnectedPage_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::newRow("echo page") << echoPage("Current IP Address: 198.18.10.1");
    QTest::newRow("blanks around the address") << echoPage("Current IP Address: \t198.18.10.1\r\n ");
}

void TestCurrentIp::matchingAddressWhileInProgressShowsTheConnectedPage()
{
    QFETCH(QByteArray, page);
    d->setEchoPage(page);
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});
    d->pressConnect();
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("in progress")));

    const int before = d->echoReplies();
    d->tick();
    QVERIFY(d->waitForEchoReplies(before));

    QCOMPARE(text("connectionStatus"), QStringLiteral("connected"));
    QCOMPARE(text("authstatus"), QStringLiteral("Connected! IP: 198.18.10.1"));
    QCOMPARE(text("ipCurrent"), QStringLiteral("198.18.10.1"));
    QCOMPARE(text("connected_title"), QStringLiteral("Connected to US1 Server!"));
    QCOMPARE(text("quick_stage"), QStringLiteral("0"));
    QVERIFY(shown("WidgetConnectedVPN"));
    QVERIFY(!shown("WidgetConnectingVPN"));
    QVERIFY(!shown("logout"));
    QVERIFY(shown("disconnect"));
    QVERIFY(!d->harness->find<QComboBox>(QStringLiteral("servers"))->isEnabled());
    QVERIFY(d->window()->isMinimized());
    QCOMPARE(d->harness->balloonTitles(), QStringList{QStringLiteral("Corvane is now connected!")});
    // The worker's own report is not touched by this path.
    QCOMPARE(d->worker()->statusText(), QStringLiteral("in progress"));
}

void TestCurrentIp::otherAddressWhileInProgressOnlyUpdatesTheField()
{
    d->harness->sim.setEchoAddress(QStringLiteral("198.18.5.5"));
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});
    d->pressConnect();
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("in progress")));

    const int before = d->echoReplies();
    d->tick();
    QVERIFY(d->waitForEchoReplies(before));
    QCOMPARE(text("ipCurrent"), QStringLiteral("198.18.5.5"));
    QCOMPARE(text("connectionStatus"), QStringLiteral("in progress"));
    QVERIFY(shown("WidgetConnectingVPN"));
    QVERIFY(d->harness->balloons.isEmpty());
}

void TestCurrentIp::unreadableReplyWhileConnectedIsNoDrop_data()
{
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("refused");

    QTest::newRow("server error") << 500 << QByteArray() << false;
    QTest::newRow("not found") << 404 << QByteArray() << false;
    QTest::newRow("connection refused") << 0 << QByteArray() << true;
    QTest::newRow("captive portal") << 0 << echoPage("Welcome! Please accept the terms of use.") << false;
    QTest::newRow("marker without address") << 0 << echoPage("Current IP Address: ") << false;
}

void TestCurrentIp::unreadableReplyWhileConnectedIsNoDrop()
{
    QFETCH(int, httpStatus);
    QFETCH(QByteArray, page);
    QFETCH(bool, refused);
    d->harness->sim.setEchoAddress(QStringLiteral("198.18.10.1"));
    QVERIFY(d->connectNow());
    QVERIFY(d->harness->settle());
    QVERIFY(askForAddress());
    QCOMPARE(text("ipCurrent"), QStringLiteral("198.18.10.1"));
    const RasHandle connection = d->worker()->rasConnection.load();

    if (refused) {
        // Port 1 of the loopback address: nothing listens there.
        qputenv("CORVANE_IPECHO_URL", "http://127.0.0.1:1/ip/");
    } else if (httpStatus != 0) {
        d->harness->sim.setFault(QStringLiteral("/ip/"), Fault::httpStatus(httpStatus));
    } else {
        d->setEchoPage(page);
    }
    QVERIFY(tickToTheAddressCheck());
    QVERIFY(askForAddress());

    QCOMPARE(text("connectionStatus"), QStringLiteral("connected"));
    QCOMPARE(text("ipCurrent"), QStringLiteral("198.18.10.1"));
    QVERIFY(shown("WidgetConnectedVPN"));
    QVERIFY(!d->harness->balloonTitles().contains(QStringLiteral("Corvane connection dropped")));
    QCOMPARE(d->dialUp.dialCalls().size(), std::size_t(1));
    QVERIFY(d->dialUp.isOpen(connection));
}

void TestCurrentIp::replyAfterDisconnectOnlyUpdatesTheField()
{
    d->harness->sim.setEchoAddress(QStringLiteral("198.18.10.1"));
    QVERIFY(d->connectNow());
    d->harness->invoke("on_disconnect_clicked");
    QVERIFY(d->harness->settle());
    d->harness->sim.setEchoAddress(QStringLiteral("198.18.5.5"));

    QVERIFY(askForAddress());
    QCOMPARE(text("ipCurrent"), QStringLiteral("198.18.5.5"));
    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    QVERIFY(shown("WingetConnected"));
    QCOMPARE(d->dialUp.dialCalls().size(), std::size_t(1));
    QVERIFY(!d->harness->balloonTitles().contains(QStringLiteral("Corvane connection dropped")));
}

void TestCurrentIp::dropWhileConnectedReconnectsTheSameServer()
{
    d->harness->sim.setEchoAddress(QStringLiteral("198.18.10.1"));
    QVERIFY(d->connectNow());
    const RasHandle connection = d->worker()->rasConnection.load();
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});

    d->harness->sim.setEchoAddress(QStringLiteral("198.18.5.5"));
    QVERIFY(tickToTheAddressCheck());

    QVERIFY(d->harness->balloons.size() >= 2);
    QCOMPARE(d->harness->balloons.at(1).first, QStringLiteral("Corvane connection dropped"));
    QCOMPARE(d->harness->balloons.at(1).second, QStringLiteral("Trying to reconnect on US1."));
    QVERIFY(!d->dialUp.isOpen(connection));
    QTRY_COMPARE_WITH_TIMEOUT(d->dialUp.dialCalls().size(), std::size_t(2), 5000);
    QCOMPARE(d->dialUp.entryCalls().back().entry.szLocalPhoneNumber, std::u16string(u"198.18.10.1"));
    QCOMPARE(d->dialUp.entryCalls().back().entry.dwVpnStrategy, ras::vpnPptpOnly);
    QVERIFY(shown("WidgetConnectingVPN"));
    QCOMPARE(text("connecting_title"), QStringLiteral("Connecting to US1"));
    QVERIFY(d->harness->boxes.isEmpty());
}

void TestCurrentIp::dropOnTheThirdServerByL2tpRedialsItWithItsKey()
{
    auto* servers = d->harness->find<QComboBox>(QStringLiteral("servers"));
    auto* protocols = d->harness->find<QComboBox>(QStringLiteral("protocols"));
    servers->setCurrentIndex(2);
    protocols->setCurrentIndex(protocols->findText(QStringLiteral("L2TP")));
    QCOMPARE(text("server_name"), QStringLiteral("SE3"));
    QCOMPARE(text("server_protocol"), QStringLiteral("L2TP"));
    QCOMPARE(text("server_pskey"), QStringLiteral("se-key"));
    d->harness->sim.setEchoAddress(QStringLiteral("198.18.30.4"));
    QVERIFY(d->connectNow());
    QCOMPARE(text("connected_title"), QStringLiteral("Connected to SE3 Server!"));
    QCOMPARE(d->dialUp.credentialsCalls().size(), std::size_t(1));
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});

    d->harness->sim.setEchoAddress(QStringLiteral("198.18.5.5"));
    QVERIFY(tickToTheAddressCheck());

    QVERIFY(d->harness->balloonTitles().contains(QStringLiteral("Corvane connection dropped")));
    QTRY_COMPARE_WITH_TIMEOUT(d->dialUp.dialCalls().size(), std::size_t(2), 5000);
    const SimulatedDialUp::EntryCall entry = d->dialUp.entryCalls().back();
    QCOMPARE(entry.entry.szLocalPhoneNumber, std::u16string(u"198.18.10.4"));
    QCOMPARE(entry.entry.dwVpnStrategy, ras::vpnL2tpOnly);
    QCOMPARE(d->dialUp.credentialsCalls().size(), std::size_t(2));
    QCOMPARE(d->dialUp.credentialsCalls().back().credentials.szPassword, std::u16string(u"se-key"));
    // The lists were rebuilt by the disconnect and keep the server redialled.
    QCOMPARE(servers->currentIndex(), 2);
    QCOMPARE(servers->currentText(), QStringLiteral("SE3"));
    QCOMPARE(text("server_name"), QStringLiteral("SE3"));
    QCOMPARE(text("server_assignedIP"), QStringLiteral("198.18.30.4"));
    QCOMPARE(text("connecting_title"), QStringLiteral("Connecting to SE3"));
    QCOMPARE(text("connecting_message"), QStringLiteral("L2TP connection to SE3\nis in progress"));
}

void TestCurrentIp::connectionThatKeepsDroppingStopsAfterThreeRedials()
{
    d->harness->sim.setEchoAddress(QStringLiteral("198.18.10.1"));
    QVERIFY(d->connectNow());
    for (int redial = 1; redial <= 3; ++redial) {
        d->harness->sim.setEchoAddress(QStringLiteral("198.18.5.5"));
        QVERIFY(tickToTheAddressCheck());
        // Each redial comes up again, only to drop once more.
        d->harness->sim.setEchoAddress(QStringLiteral("198.18.10.1"));
        QTRY_COMPARE_WITH_TIMEOUT(d->dialUp.dialCalls().size(), std::size_t(redial + 1), 5000);
        QVERIFY(d->waitForWorkerStatus(QStringLiteral("connected")));
        d->tick();
        QCOMPARE(text("connectionStatus"), QStringLiteral("connected"));
    }
    d->harness->sim.setEchoAddress(QStringLiteral("198.18.5.5"));
    QVERIFY(tickToTheAddressCheck());
    QCOMPARE(d->harness->boxTitles(), QStringList{QStringLiteral("Connection dropped")});
    QVERIFY(shown("WingetConnected"));
    d->tick(2);
    QCOMPARE(d->dialUp.dialCalls().size(), std::size_t(4));
}

QTEST_MAIN(TestCurrentIp)
#include "tst_currentip.moc"
