#include "connection/pppworker.h"
#include "dialharness.h"

#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QtTest>

#include <chrono>
#include <thread>

namespace {
constexpr int blockedDialMs = 600000;
} // namespace

class TestConnect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void disabledAccountIsRefusedWithoutTearingDown_data();
    void disabledAccountIsRefusedWithoutTearingDown();
    void connectShowsTheConnectingPageAndDialsTheChosenServer();
    void l2tpDialStoresTheServersKey();
    void earlySuccessReachesTheConnectedPage();
    void disconnectReturnsToTheIdlePage();
    void cancelDuringABlockedDialEndsQuietly();
    void dialThatSucceedsAfterCancelIsHungUp();
    void connectRightAfterCancelStillDials();
    void dialOutcomeIsTakenWithoutATick_data();
    void dialOutcomeIsTakenWithoutATick();
    void openVpnWithoutProfileIsRefused_data();
    void openVpnWithoutProfileIsRefused();

private:
    bool enabled(const char* name) const
    {
        return d->harness->find<QWidget>(QLatin1String(name))->isEnabled();
    }
    bool shown(const char* name) const { return d->shown(QLatin1String(name)); }
    QString text(const char* name) const { return d->text(QLatin1String(name)); }
    QStringList errorBoxTitles() const;

    std::unique_ptr<DialHarness> d;
};

void TestConnect::initTestCase()
{
    isolateSettings();
}

void TestConnect::init()
{
    clearSettings();
    d = std::make_unique<DialHarness>();
    // The echo page fails unless a test wants it; the window ignores such replies.
    d->harness->sim.setFault(QStringLiteral("/ip/"), Fault::httpStatus(503));
    QVERIFY(d->login());
}

void TestConnect::cleanup()
{
    d.reset();
}

QStringList TestConnect::errorBoxTitles() const
{
    return d->harness->boxTitles().filter(QStringLiteral("Error"));
}

void TestConnect::disabledAccountIsRefusedWithoutTearingDown_data()
{
    QTest::addColumn<QString>("enabledFlag");
    QTest::newRow("not enabled") << "0";
    QTest::newRow("unknown") << "";
}

void TestConnect::disabledAccountIsRefusedWithoutTearingDown()
{
    QFETCH(QString, enabledFlag);
    d->state()->setAccountFlag(enabledFlag);
    const std::size_t hangUps = d->dialUp.hangUps().size();
    const QString state = text("connectionStatus");
    const QString status = text("authstatus");

    d->pressConnect();

    QCOMPARE(d->harness->boxes.size(), 1);
    QCOMPARE(d->harness->boxes.first().icon, QMessageBox::Critical);
    QCOMPARE(d->harness->boxes.first().title, QStringLiteral("Your account is disabled"));
    QCOMPARE(
        d->harness->boxes.first().text,
        QStringLiteral("VPN connections are not available for your account. You need to subscribe to one of "
                       "our plans. \nFor more details please visit our site."));
    QCOMPARE(d->dialUp.hangUps().size(), hangUps);
    QVERIFY(d->harness->settle());
    QVERIFY(d->dialUp.dialCalls().empty());
    QVERIFY(!d->window()->workerThread()->isRunning());
    QCOMPARE(text("connectionStatus"), state);
    QCOMPARE(text("authstatus"), status);
    QVERIFY(shown("WingetConnected"));
    QVERIFY(!shown("WidgetConnectingVPN"));
    QVERIFY(shown("connect"));
    QVERIFY(enabled("servers"));
}

void TestConnect::connectShowsTheConnectingPageAndDialsTheChosenServer()
{
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});
    d->pressConnect();

    QVERIFY(shown("WidgetConnectingVPN"));
    QVERIFY(!shown("WingetConnected"));
    QCOMPARE(text("connecting_title"), QStringLiteral("Connecting to US1"));
    QCOMPARE(text("connecting_message"), QStringLiteral("PPTP connection to US1\nis in progress"));
    QCOMPARE(text("authstatus"), QStringLiteral("Connecting..."));
    QCOMPARE(text("ipCurrent"), QStringLiteral("updating..."));
    QCOMPARE(text("connectionStatus"), QString());
    QVERIFY(shown("cancel"));
    QVERIFY(enabled("cancel"));
    QVERIFY(!shown("connect"));
    QVERIFY(!enabled("connect"));
    QVERIFY(!enabled("logout"));
    QVERIFY(!enabled("servers"));
    QVERIFY(!enabled("protocols"));
    QVERIFY(!enabled("type"));
    QVERIFY(shown("loading"));

    QTRY_COMPARE_WITH_TIMEOUT(d->dialUp.dialCalls().size(), std::size_t(1), 5000);
    const SimulatedDialUp::DialCall dial = d->dialUp.dialCalls().front();
    QCOMPARE(dial.params.szUserName, std::u16string(u"alice"));
    QCOMPARE(dial.params.szPassword, std::u16string(u"secret"));
    const SimulatedDialUp::EntryCall entry = d->dialUp.entryCalls().back();
    QCOMPARE(entry.entry.szLocalPhoneNumber, std::u16string(u"198.18.10.1"));
    QCOMPARE(entry.entry.dwVpnStrategy, ras::vpnPptpOnly);
    QVERIFY(d->dialUp.credentialsCalls().empty());
    QCOMPARE(d->worker()->serverName, QStringLiteral("US1"));
}

void TestConnect::l2tpDialStoresTheServersKey()
{
    d->harness->find<QComboBox>(QStringLiteral("protocols"))->setCurrentIndex(1);
    QCOMPARE(text("server_protocol"), QStringLiteral("L2TP"));
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});
    d->pressConnect();

    QTRY_COMPARE_WITH_TIMEOUT(d->dialUp.dialCalls().size(), std::size_t(1), 5000);
    QCOMPARE(text("connecting_message"), QStringLiteral("L2TP connection to US1\nis in progress"));
    QCOMPARE(d->dialUp.entryCalls().back().entry.dwVpnStrategy, ras::vpnL2tpOnly);
    QCOMPARE(d->dialUp.credentialsCalls().size(), std::size_t(1));
    QCOMPARE(d->dialUp.credentialsCalls().front().credentials.szPassword, std::u16string(u"us-key"));
}

void TestConnect::earlySuccessReachesTheConnectedPage()
{
    d->dialUp.setDialOutcome({ras::success, 0});
    d->pressConnect();
    // The dial is through before any tick has seen it running.
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("connected")));
    QCOMPARE(text("connectionStatus"), QString());

    d->tick();
    QCOMPARE(text("connectionStatus"), QStringLiteral("connected"));
    QVERIFY(shown("WidgetConnectedVPN"));
    QVERIFY(!shown("WidgetConnectingVPN"));
    QCOMPARE(text("connected_title"), QStringLiteral("Connected to US1 Server!"));
    QCOMPARE(d->harness->balloonTitles(), QStringList{QStringLiteral("Corvane is now connected!")});
    QCOMPARE(d->worker()->statusText(), QString());
    QVERIFY(d->dialUp.isOpen(d->worker()->rasConnection.load()));
}

void TestConnect::disconnectReturnsToTheIdlePage()
{
    QVERIFY(d->connectNow());
    const RasHandle connection = d->worker()->rasConnection.load();
    d->harness->find<QComboBox>(QStringLiteral("servers"))->setCurrentIndex(1);
    // The account refresh the disconnect asks for would rewrite the status line.
    d->harness->sim.setFault(QStringLiteral("/AppUserInfoV2"), Fault::neverAnswer());

    d->harness->invoke("on_disconnect_clicked");

    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    QCOMPARE(text("authstatus"), QStringLiteral("Ready!"));
    QCOMPARE(text("ipCurrent"), QString());
    QCOMPARE(text("quick_stage"), QStringLiteral("0"));
    QVERIFY(!d->dialUp.isOpen(connection));
    QCOMPARE(d->worker()->statusText(), QString());
    QCOMPARE(d->worker()->resultCodeText(), QString());
    QVERIFY(shown("WingetConnected"));
    QCOMPARE(d->harness->find<QTabWidget>(QStringLiteral("WingetConnected"))->currentIndex(), 0);
    QVERIFY(!shown("WidgetConnectedVPN"));
    QVERIFY(!shown("disconnect"));
    QVERIFY(shown("connect"));
    QCOMPARE(text("connect"), QStringLiteral("connect"));
    QVERIFY(shown("logout"));
    QVERIFY(enabled("logout"));
    QVERIFY(enabled("servers"));
    QVERIFY(!shown("loading"));
    // The lists are built again and keep the server chosen before.
    QCOMPARE(d->harness->find<QComboBox>(QStringLiteral("servers"))->currentIndex(), 1);
    QCOMPARE(text("server_name"), QStringLiteral("DE1"));
}

void TestConnect::cancelDuringABlockedDialEndsQuietly()
{
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});
    d->dialUp.holdDialReturn();
    d->pressConnect();
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("in progress")));
    QTRY_VERIFY_WITH_TIMEOUT(d->dialUp.dialling() != 0, 5000);
    d->tick();
    QCOMPARE(text("connectionStatus"), QStringLiteral("in progress"));

    d->harness->invoke("on_cancel_clicked");
    // The dial has been hung up but has not returned yet.
    QVERIFY(d->dialUp.dialling() != 0);
    QVERIFY(d->window()->workerThread()->isRunning());
    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    QVERIFY(shown("WingetConnected"));

    d->dialUp.releaseDialReturn();
    QTRY_COMPARE_WITH_TIMEOUT(d->worker()->resultCodeText(), QStringLiteral("disconnected"), 5000);
    QCOMPARE(d->worker()->statusText(), QString());

    d->tick(3);
    QVERIFY2(d->harness->boxes.isEmpty(), qPrintable(d->harness->boxTitles().join(QLatin1Char(','))));
    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    QVERIFY(shown("WingetConnected"));
    QVERIFY(!shown("WidgetConnectingVPN"));
    QVERIFY(!shown("WidgetConnectedVPN"));
}

void TestConnect::dialThatSucceedsAfterCancelIsHungUp()
{
    // The attempt is through, but the dial returns only after the user has cancelled.
    d->dialUp.setDialOutcome({ras::success, 0});
    d->dialUp.holdDialReturn();
    d->pressConnect();
    QTRY_VERIFY_WITH_TIMEOUT(d->dialUp.dialling() != 0, 5000);
    const RasHandle dial = d->dialUp.dialling();
    d->harness->invoke("on_cancel_clicked");
    d->dialUp.releaseDialReturn();
    QTRY_VERIFY_WITH_TIMEOUT(d->dialUp.dialling() == 0, 5000);

    d->tick(2);
    QCOMPARE(text("connectionStatus"), QStringLiteral("disconnected"));
    QVERIFY(shown("WingetConnected"));
    QVERIFY(!shown("WidgetConnectedVPN"));
    QVERIFY(d->harness->balloons.isEmpty());
    QVERIFY(d->harness->boxes.isEmpty());
    QVERIFY(!d->dialUp.isOpen(dial));
}

void TestConnect::connectRightAfterCancelStillDials()
{
    d->dialUp.setDialOutcome({ras::success, blockedDialMs});
    d->dialUp.holdDialReturn();
    d->pressConnect();
    QTRY_VERIFY_WITH_TIMEOUT(d->dialUp.dialling() != 0, 5000);
    d->harness->invoke("on_cancel_clicked");
    QVERIFY(d->window()->workerThread()->isRunning());

    // The first dial returns a moment after the second connect has begun.
    std::thread late([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        d->dialUp.releaseDialReturn();
    });
    d->dialUp.setDialOutcome({ras::success, 0});
    d->pressConnect();
    late.join();

    QTRY_COMPARE_WITH_TIMEOUT(d->dialUp.dialCalls().size(), std::size_t(2), 5000);
    QVERIFY(d->waitForWorkerStatus(QStringLiteral("connected")));
    d->tick();
    QCOMPARE(text("connectionStatus"), QStringLiteral("connected"));
    QVERIFY(errorBoxTitles().isEmpty());
}

void TestConnect::dialOutcomeIsTakenWithoutATick_data()
{
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QString>("page");
    QTest::newRow("success") << quint32(ras::success) << "WidgetConnectedVPN";
    QTest::newRow("failure") << quint32(691) << "WingetConnected";
}

void TestConnect::dialOutcomeIsTakenWithoutATick()
{
    QFETCH(quint32, result);
    QFETCH(QString, page);
    d->window()->followWorkerAtOnce = true;
    d->dialUp.setDialOutcome({result, 0});
    d->pressConnect();
    QTRY_VERIFY_WITH_TIMEOUT(d->shown(page), 5000);
    QVERIFY(!shown("WidgetConnectingVPN"));
}

void TestConnect::openVpnWithoutProfileIsRefused_data()
{
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<QString>("config");
    QTest::newRow("no profile") << ""
                                << "";
    QTest::newRow("no certificate") << ""
                                    << "/files/nl/udp.ovpn";
    QTest::newRow("no configuration") << "/files/nl/ca.crt"
                                      << "";
}

void TestConnect::openVpnWithoutProfileIsRefused()
{
    QFETCH(QString, certificate);
    QFETCH(QString, config);
    const QString base = d->harness->sim.baseUrl();
    d->state()->setServerProtocol(QStringLiteral("OpenVPN"));
    d->state()->setServerCertificate(certificate.isEmpty() ? QString() : base + certificate);
    d->state()->setServerConfig(config.isEmpty() ? QString() : base + config);
    const std::size_t hangUps = d->dialUp.hangUps().size();
    const QString state = text("connectionStatus");

    d->pressConnect();

    QCOMPARE(d->harness->boxes.size(), 1);
    QCOMPARE(d->harness->boxes.first().icon, QMessageBox::Critical);
    QVERIFY(!d->harness->boxes.first().text.isEmpty());
    QCOMPARE(text("connectionStatus"), state);
    QVERIFY(shown("WingetConnected"));
    QVERIFY(!shown("WidgetConnectingVPN"));
    QVERIFY(!shown("loading"));
    QCOMPARE(d->dialUp.hangUps().size(), hangUps);
    QVERIFY(d->harness->settle());
    QVERIFY(d->harness->sim.requests(QStringLiteral("/files/nl/udp.ovpn")).isEmpty());
    QVERIFY(d->harness->sim.requests(QStringLiteral("/files/nl/ca.crt")).isEmpty());
    QCOMPARE(d->window()->openVpnChild()->state(), QProcess::NotRunning);
    QVERIFY(d->dialUp.dialCalls().empty());

    // Ticks do not turn the refusal into an attempt.
    d->tick(12);
    QCOMPARE(d->harness->boxes.size(), 1);
    QVERIFY(shown("WingetConnected"));
}

QTEST_MAIN(TestConnect)
#include "tst_connect.moc"
