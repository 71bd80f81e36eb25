// The window's components on their own, against the service simulator: what each reports for
// what the service answers, with no window in between.
#include "manualclock.h"
#include "monitor/addresscheck.h"
#include "service/accountwatch.h"
#include "service/rememberedlogin.h"
#include "service/secretstore_memory.h"
#include "service/serviceclient.h"
#include "testsupport.h"
#include "update/installer.h"
#include "update/updater.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using service::LoginVerdict;

Q_DECLARE_METATYPE(Fault)

class TestComponents : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void serviceClientReportsTheLogin_data();
    void serviceClientReportsTheLogin();
    void serviceClientReportsOnlyReadableAccountDetails_data();
    void serviceClientReportsOnlyReadableAccountDetails();
    void updaterReportsTheVersionCheck_data();
    void updaterReportsTheVersionCheck();
    void addressCheckReportsTheEchoedAddress();
    void rememberedLoginReadsTheStoreAndAsksALateStoreOnceMore_data();
    void rememberedLoginReadsTheStoreAndAsksALateStoreOnceMore();
    void rememberedLoginKeepsNoPasswordOfAUserWhoLeftTheBox();
    void accountWatchAsksWhilePayingAndNowAndThenWhileConnected_data();
    void accountWatchAsksWhilePayingAndNowAndThenWhileConnected();

private:
    std::unique_ptr<ServiceSimulator> sim;
};

void TestComponents::init()
{
    qRegisterMetaType<QNetworkReply*>();
    sim = std::make_unique<ServiceSimulator>();
    sim->loadData(standardTestData());
    QVERIFY(sim->start());
    qputenv("CORVANE_SERVICE_URL", sim->baseUrl().toUtf8());
    qputenv("CORVANE_IPECHO_URL", (sim->baseUrl() + QStringLiteral("/ip/")).toUtf8());
}

void TestComponents::cleanup()
{
    sim.reset();
}

void TestComponents::serviceClientReportsTheLogin_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("report");
    QTest::newRow("accepted") << "secret" << Fault() << "accepted";
    QTest::newRow("refused") << "wrong" << Fault() << "refused";
    QTest::newRow("server error") << "secret" << Fault::httpStatus(500) << "failed";
    QTest::newRow("portal page") << "secret" << Fault::customBody("<html>Sign in to the Wi-Fi</html>")
                                 << "unreadable";
    // One answer is one login, however many verdicts it holds.
    QByteArray many = "<xml>";
    for (int i = 0; i < 3000; ++i)
        many += "<response>true</response>";
    QTest::newRow("3,000 verdicts") << "secret" << Fault::customBody(many + "</xml>", "text/xml")
                                    << "accepted";
}

void TestComponents::serviceClientReportsTheLogin()
{
    QFETCH(QString, password);
    QFETCH(Fault, fault);
    QFETCH(QString, report);
    sim->setFault(QStringLiteral("/AppServersV2"), fault);
    ServiceClient client(QStringLiteral("4.0.2"));
    QStringList reports;
    connect(&client, &ServiceClient::loginDocument, this, [&] { reports << QStringLiteral("document"); });
    connect(&client, &ServiceClient::loginFailed, this, [&] { reports << QStringLiteral("failed"); });
    connect(&client, &ServiceClient::loginUnreadable, this, [&] { reports << QStringLiteral("unreadable"); });
    connect(&client, &ServiceClient::loginAnswered, this, [&](LoginVerdict verdict) {
        reports << (verdict == LoginVerdict::Accepted ? QStringLiteral("accepted")
                                                      : QStringLiteral("refused"));
    });

    client.logIn(QStringLiteral("alice"), password);
    QVERIFY(client.loginInFlight());
    QTRY_COMPARE(reports.size(), 2);
    // The document comes first, so that the server list is read while the verdict is shown.
    QCOMPARE(reports, (QStringList{QStringLiteral("document"), report}));
    QVERIFY(!client.loginInFlight());
}

void TestComponents::serviceClientReportsOnlyReadableAccountDetails_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("enabledFlag");
    QTest::newRow("answered") << Fault() << "1";
    QTest::newRow("server error") << Fault::httpStatus(503) << QString();
}

void TestComponents::serviceClientReportsOnlyReadableAccountDetails()
{
    QFETCH(Fault, fault);
    QFETCH(QString, enabledFlag);
    sim->setFault(QStringLiteral("/AppUserInfoV2"), fault);
    ServiceClient client(QStringLiteral("4.0.2"));
    QList<service::AccountDetails> details;
    connect(&client, &ServiceClient::accountDetails, this,
            [&](const QString&, const service::AccountDetails& read) { details << read; });
    QSignalSpy finished(client.accountManager(), &QNetworkAccessManager::finished);

    client.fetchAccount(QStringLiteral("alice"), QStringLiteral("secret"));
    QVERIFY(finished.wait());
    QTest::qWait(20);
    QCOMPARE(details.size(), enabledFlag.isEmpty() ? 0 : 1);
    if (!enabledFlag.isEmpty()) {
        const service::AccountDetails& read = details.first();
        QVERIFY(read.accepted);
        QCOMPARE(read.enabledFlag(), enabledFlag);
        QCOMPARE(read.email(), QStringLiteral("alice@example.org"));
    }
}

void TestComponents::updaterReportsTheVersionCheck_data()
{
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("installer");
    QTest::addColumn<QString>("report");
    QTest::newRow("same version") << "4.0.2"
                                  << "{base}/files/update.exe"
                                  << "up to date";
    QTest::newRow("newer version") << "4.1.0"
                                   << "{base}/files/update.exe"
                                   << "offered 4.1.0";
    QTest::newRow("newer by number, older by text") << "4.0.10"
                                                    << "{base}/files/update.exe"
                                                    << "offered 4.0.10";
    // Never back to an older version, and what is no version offers nothing.
    QTest::newRow("older version") << "3.9.0"
                                   << "{base}/files/update.exe"
                                   << "up to date";
    QTest::newRow("same version written otherwise") << "4.0.02"
                                                    << "{base}/files/update.exe"
                                                    << "up to date";
    QTest::newRow("not a version") << "oops"
                                   << "{base}/files/update.exe"
                                   << "";
    QTest::newRow("empty version") << ""
                                   << "{base}/files/update.exe"
                                   << "";
    QTest::newRow("no installer named") << "4.1.0"
                                        << ""
                                        << "";
}

void TestComponents::updaterReportsTheVersionCheck()
{
    QFETCH(QString, latest);
    QFETCH(QString, installer);
    QFETCH(QString, report);
    sim->setVersion(latest, installer);
    QTemporaryDir work;
    const std::shared_ptr<InstallerPlatform> platform = makeInstallerPlatform();
    Updater updater(QStringLiteral("4.0.2"), work.path(), [platform] { return platform; });
    QStringList reports;
    connect(&updater, &Updater::upToDate, this, [&] { reports << QStringLiteral("up to date"); });
    connect(&updater, &Updater::updateOffered, this, [&](const QString& version, bool installsItself) {
        QCOMPARE(installsItself, platform->canRunInstaller());
        reports << QStringLiteral("offered ") + version;
    });
    QSignalSpy finished(updater.versionManager(), &QNetworkAccessManager::finished);

    updater.check();
    QVERIFY(finished.wait());
    QTest::qWait(20);
    QCOMPARE(reports, report.isEmpty() ? QStringList() : QStringList{report});
}

void TestComponents::addressCheckReportsTheEchoedAddress()
{
    sim->setEchoAddress(QStringLiteral("198.18.7.7"));
    AddressCheck check;
    QSignalSpy seen(&check, &AddressCheck::addressSeen);

    check.ask();
    QVERIFY(seen.wait());
    QCOMPARE(seen.at(0).at(0).toString(), QStringLiteral("198.18.7.7"));
}

void TestComponents::rememberedLoginReadsTheStoreAndAsksALateStoreOnceMore_data()
{
    QTest::addColumn<bool>("storeUp");
    QTest::addColumn<bool>("upLater");
    QTest::addColumn<int>("reads");
    QTest::newRow("store answers") << true << false << 1;
    QTest::newRow("store comes up late") << false << true << 2;
    QTest::newRow("no store at all") << false << false << 2;
}

void TestComponents::rememberedLoginReadsTheStoreAndAsksALateStoreOnceMore()
{
    QFETCH(bool, storeUp);
    QFETCH(bool, upLater);
    QFETCH(int, reads);
    isolateSettings();
    ManualClock clock;
    auto store = std::make_shared<MemorySecretStore>();
    store->secrets.insert(QStringLiteral("alice"), QStringLiteral("secret"));
    store->failReads = !storeUp;
    RememberedLogin login([store] { return store; });
    QSignalSpy read(&login, &RememberedLogin::passwordRead);
    QSignalSpy missing(&login, &RememberedLogin::passwordMissing);

    login.startAutoLogin(QStringLiteral("alice"), QString());
    QTRY_COMPARE(store->reads, 1);
    QTest::qWait(20);
    QCOMPARE(read.size(), storeUp ? 1 : 0);
    QCOMPARE(missing.size(), storeUp ? 0 : 1);
    store->failReads = !upLater && !storeUp;
    clock.advance(5000);
    QTRY_COMPARE(store->reads, reads);
    // The late store's answer comes through the event loop, in its own time.
    QTRY_COMPARE(read.size(), storeUp || upLater ? 1 : 0);
    clock.advance(60000);
    QTest::qWait(20);
    QCOMPARE(store->reads, reads);
    QCOMPARE(read.size(), storeUp || upLater ? 1 : 0);
    if (!read.isEmpty())
        QCOMPARE(read.first().at(0).toString(), QStringLiteral("secret"));
    // The user is told once, not again by the retry.
    QCOMPARE(missing.size(), storeUp ? 0 : 1);
    QCOMPARE(login.state(), RememberedLogin::State::Idle);
}

void TestComponents::rememberedLoginKeepsNoPasswordOfAUserWhoLeftTheBox()
{
    isolateSettings();
    auto store = std::make_shared<MemorySecretStore>();
    RememberedLogin login([store] { return store; });
    login.loginSubmitted(QStringLiteral("alice"), QStringLiteral("secret"), true);
    QTRY_COMPARE(store->secrets.value(QStringLiteral("alice")), QStringLiteral("secret"));
    QVERIFY(RememberedLogin::remembered());
    QCOMPARE(RememberedLogin::rememberedUser(), QStringLiteral("alice"));
    login.loginSubmitted(QStringLiteral("alice"), QStringLiteral("secret"), false);
    QTRY_VERIFY(store->secrets.isEmpty());
    QVERIFY(!RememberedLogin::remembered());
    QVERIFY(RememberedLogin::rememberedUser().isEmpty());
}

void TestComponents::accountWatchAsksWhilePayingAndNowAndThenWhileConnected_data()
{
    QTest::addColumn<bool>("paying");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("asks");
    // Ten minutes of ticks.
    QTest::newRow("idle") << false << false << 0;
    QTest::newRow("paying") << true << false << 40;
    QTest::newRow("connected") << false << true << 2;
}

void TestComponents::accountWatchAsksWhilePayingAndNowAndThenWhileConnected()
{
    QFETCH(bool, paying);
    QFETCH(bool, connected);
    QFETCH(int, asks);
    AccountWatch watch;
    QSignalSpy due(&watch, &AccountWatch::refreshDue);
    QSignalSpy completed(&watch, &AccountWatch::paymentCompleted);
    QSignalSpy expired(&watch, &AccountWatch::expired);
    if (paying)
        watch.startPayment();
    for (int seconds = 3; seconds <= 600; seconds += 3)
        watch.tick(connected ? seconds : -1);
    QCOMPARE(due.size(), asks);

    watch.accountRead(false, connected);
    QCOMPARE(expired.size(), connected ? 1 : 0);
    QCOMPARE(completed.size(), 0);
    watch.accountRead(true, connected);
    QCOMPARE(completed.size(), paying ? 1 : 0);
    QCOMPARE(watch.state(), AccountWatch::State::Idle);
}

QTEST_MAIN(TestComponents)
#include "tst_components.moc"
