// The window's components on their own, against the service simulator: what each reports for
// what the service answers, with no window in between.
#include "monitor/addresscheck.h"
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
}

void TestComponents::serviceClientReportsTheLogin()
{
    QFETCH(QString, password);
    QFETCH(Fault, fault);
    QFETCH(QString, report);
    sim->setFault(QStringLiteral("/AppServersV2"), fault);
    ServiceClient client(QStringLiteral("4.0.2"));
    connect(client.loginManager(), &QNetworkAccessManager::finished, &client, &ServiceClient::loginArrived);
    QStringList reports;
    connect(&client, &ServiceClient::loginDocument, this, [&] { reports << QStringLiteral("document"); });
    connect(&client, &ServiceClient::loginFailed, this, [&] { reports << QStringLiteral("failed"); });
    connect(&client, &ServiceClient::loginUnreadable, this, [&] { reports << QStringLiteral("unreadable"); });
    connect(&client, &ServiceClient::loginAnswered, this, [&](const QVector<LoginVerdict>& verdicts) {
        reports << (verdicts == QVector<LoginVerdict>{LoginVerdict::Accepted} ? QStringLiteral("accepted")
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
    connect(client.accountManager(), &QNetworkAccessManager::finished, &client,
            &ServiceClient::accountArrived);
    QList<service::AccountDetails> details;
    connect(&client, &ServiceClient::accountDetails, this,
            [&](const QString&, const service::AccountDetails& read) { details << read; });
    QSignalSpy finished(client.accountManager(), &QNetworkAccessManager::finished);

    client.fetchAccount(QStringLiteral("alice"), QStringLiteral("secret"));
    QVERIFY(finished.wait());
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
    Updater updater(QStringLiteral("4.0.2"), work.path());
    const std::unique_ptr<InstallerPlatform> platform = makeInstallerPlatform();
    connect(updater.versionManager(), &QNetworkAccessManager::finished, &updater,
            [&](QNetworkReply* reply) { updater.versionArrived(reply, *platform); });
    QStringList reports;
    connect(&updater, &Updater::upToDate, this, [&] { reports << QStringLiteral("up to date"); });
    connect(&updater, &Updater::updateOffered, this, [&](const QString& version, bool installsItself) {
        QCOMPARE(installsItself, platform->canRunInstaller());
        reports << QStringLiteral("offered ") + version;
    });
    QSignalSpy finished(updater.versionManager(), &QNetworkAccessManager::finished);

    updater.check();
    QVERIFY(finished.wait());
    QCOMPARE(reports, report.isEmpty() ? QStringList() : QStringList{report});
}

void TestComponents::addressCheckReportsTheEchoedAddress()
{
    sim->setEchoAddress(QStringLiteral("198.18.7.7"));
    AddressCheck check;
    connect(check.manager(), &QNetworkAccessManager::finished, &check, &AddressCheck::answerArrived);
    QSignalSpy seen(&check, &AddressCheck::addressSeen);

    check.ask();
    QVERIFY(seen.wait());
    QCOMPARE(seen.at(0).at(0).toString(), QStringLiteral("198.18.7.7"));
}

QTEST_MAIN(TestComponents)
#include "tst_components.moc"
