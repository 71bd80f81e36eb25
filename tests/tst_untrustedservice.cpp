// What a user meets when the service cannot be trusted: the login page says why, and the user
// name and password key never leave the machine.
#include "core/settingskeys.h"
#include "testcertificates.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QNetworkProxy>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>

class TestUntrustedService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void plainHttpServiceElsewhereIsRefusedAtStart();
    void untrustedServiceIsToldAndSentNoCredentials_data();
    void untrustedServiceIsToldAndSentNoCredentials();

private:
    std::unique_ptr<WindowHarness> h;
};

void TestUntrustedService::initTestCase()
{
    isolateSettings();
}

void TestUntrustedService::init()
{
    clearSettings();
    h = std::make_unique<WindowHarness>();
}

void TestUntrustedService::cleanup()
{
    h.reset();
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

void TestUntrustedService::plainHttpServiceElsewhereIsRefusedAtStart()
{
    // Every request would go through this proxy, which logs it; nothing leaves the machine.
    ServiceSimulator proxy;
    QVERIFY(proxy.start());
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, proxy.host(), proxy.port()));
    qputenv("CORVANE_SERVICE_URL", "http://service.example");
    // The remembered login would go out at start.
    QSettings settings;
    settings.setValue(SettingsKeys::remember, QStringLiteral("1"));
    settings.setValue(SettingsKeys::user, QByteArray("alice"));
    h->secrets->secrets.insert(QStringLiteral("alice"), QStringLiteral("secret"));

    h->create();
    QTest::qWait(200);
    QCOMPARE(h->text(QStringLiteral("authstatus")),
             QStringLiteral("Login disabled: service.example uses plain HTTP"));
    for (const char* field : {"username", "password", "login"})
        QVERIFY2(!h->find<QWidget>(QLatin1String(field))->isEnabled(), field);

    // Return in the field does not send it either.
    h->find<QLineEdit>(QStringLiteral("password"))->setText(QStringLiteral("secret"));
    h->invoke("on_password_returnPressed");
    QTest::qWait(200);
    for (const RecordedRequest& request : proxy.requests())
        QVERIFY2(!request.target.contains("service.example"), request.target.constData());
    QVERIFY(h->boxes.isEmpty());
}

void TestUntrustedService::untrustedServiceIsToldAndSentNoCredentials_data()
{
    const TestCertificates& made = testCertificates();
    QTest::addColumn<TlsIdentity>("identity");
    QTest::addColumn<QString>("why");
    QTest::newRow("another authority")
        << made.otherAuthority
        << "The certificate of 127.0.0.1 is not vouched for by an authority this computer trusts.";
    QTest::newRow("expired") << made.expired
                             << "The certificate of 127.0.0.1 has expired or is not valid yet.";
    QTest::newRow("wrong host name") << made.wrongHost
                                     << "The certificate shown by 127.0.0.1 is made out to another name.";
}

void TestUntrustedService::untrustedServiceIsToldAndSentNoCredentials()
{
    QFETCH(TlsIdentity, identity);
    QFETCH(QString, why);
    h->sim.stop();
    h->sim.useTls(identity.certificate, identity.key);
    QVERIFY(h->sim.start());
    qputenv("CORVANE_SERVICE_URL", h->sim.baseUrl().toUtf8());
    h->create();

    QVERIFY(!h->login());
    QCOMPARE(h->boxTitles(), QStringList{QStringLiteral("Service not trusted")});
    QVERIFY2(h->boxes.first().text.startsWith(why), qPrintable(h->boxes.first().text));
    QVERIFY(h->boxes.first().text.contains(QStringLiteral("were not sent")));
    QCOMPARE(h->text(QStringLiteral("authstatus")), why);
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
    QCOMPARE(h->sim.requests().size(), 0);
}

QTEST_MAIN(TestUntrustedService)
#include "tst_untrustedservice.moc"
