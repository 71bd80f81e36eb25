#include "service/documents.h"
#include "service/endpoints.h"
#include "service/requests.h"
#include "tools/servicesim/servicesim.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

namespace {

const char* const serviceVariable = "CORVANE_SERVICE_URL";
const char* const webSiteVariable = "CORVANE_WEBSITE_URL";
const char* const ipEchoVariable = "CORVANE_IPECHO_URL";

// Texts a user may type that a URL carries only when encoded.
void addAwkwardTexts()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "alice";
    QTest::newRow("ampersand") << "tom&jerry";
    QTest::newRow("hash") << "no#1";
    QTest::newRow("plus") << "a+b";
    QTest::newRow("equals") << "k=v";
    QTest::newRow("percent") << "100%";
    QTest::newRow("percent escape lookalike") << "%41%2B";
    QTest::newRow("blanks") << "two  words ";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Zoë Łódź 東京");
    QTest::newRow("e-mail with plus") << "ann+vpn@example.com";
    QTest::newRow("query lookalike") << "x?y=1&z=2";
    QTest::newRow("slash and backslash") << "a/b\\c";
    QTest::newRow("quotes and brackets") << "\"[<x>]'";
}

} // namespace

class TestServiceRequests : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void endpointsHaveDefaults();
    void endpointsFollowEnvironment();
    void passwordKeyIsLowerHexMd5OfUtf8_data();
    void passwordKeyIsLowerHexMd5OfUtf8();
    void loginValuesArriveExactlyAsTyped_data();
    void loginValuesArriveExactlyAsTyped();
    void accountDetailsValuesArriveExactlyAsTyped_data();
    void accountDetailsValuesArriveExactlyAsTyped();
    void newAccountValuesArriveExactlyAsTyped_data();
    void newAccountValuesArriveExactlyAsTyped();
    void versionTravelsAsOnePathSegment_data();
    void versionTravelsAsOnePathSegment();
    void loginWithNonAsciiPasswordIsAccepted();
    void webPagesUseWebSiteBase();

private:
    RecordedRequest send(const QUrl& url);

    ServiceSimulator sim;
    QNetworkAccessManager nam;
    QByteArray savedService, savedWebSite, savedIpEcho;
};

void TestServiceRequests::initTestCase()
{
    savedService = qgetenv(serviceVariable);
    savedWebSite = qgetenv(webSiteVariable);
    savedIpEcho = qgetenv(ipEchoVariable);
    nam.setProxy(QNetworkProxy::NoProxy);
    sim.loadData(
        QJsonObject{{QStringLiteral("accounts"),
                     QJsonArray{QJsonObject{{QStringLiteral("username"), QString::fromUtf8("jörg & co")},
                                            {QStringLiteral("password"), QString::fromUtf8("pässwörd+#=%")},
                                            {QStringLiteral("enabled"), QStringLiteral("1")}}}}});
    QVERIFY(sim.start());
}

void TestServiceRequests::cleanupTestCase()
{
    auto restore = [](const char* name, const QByteArray& value) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    };
    restore(serviceVariable, savedService);
    restore(webSiteVariable, savedWebSite);
    restore(ipEchoVariable, savedIpEcho);
}

void TestServiceRequests::init()
{
    qputenv(serviceVariable, sim.baseUrl().toUtf8());
    sim.clearRequests();
}

RecordedRequest TestServiceRequests::send(const QUrl& url)
{
    QNetworkReply* reply = nam.get(QNetworkRequest(url));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished()) {
        finished.wait(10000);
    }
    reply->deleteLater();
    const QList<RecordedRequest> recorded = sim.requests();
    return recorded.isEmpty() ? RecordedRequest() : recorded.last();
}

void TestServiceRequests::endpointsHaveDefaults()
{
    qunsetenv(serviceVariable);
    qunsetenv(webSiteVariable);
    qunsetenv(ipEchoVariable);
    QCOMPARE(service::serviceBaseUrl(), QStringLiteral("https://service.corvane.com"));
    QCOMPARE(service::webSiteBaseUrl(), QStringLiteral("https://www.corvane.com"));
    QCOMPARE(service::ipEchoUrl(), QStringLiteral("https://ip.corvane.com/"));
    QCOMPARE(service::loginUrl(QStringLiteral("u"), QStringLiteral("k"), QStringLiteral("4.0.2")).toString(),
             QStringLiteral("https://service.corvane.com/AppServersV2?username=u&key=k&appver=4.0.2"));
}

void TestServiceRequests::endpointsFollowEnvironment()
{
    qputenv(serviceVariable, "http://127.0.0.1:8080/");
    qputenv(webSiteVariable, "http://127.0.0.1:8081/site");
    qputenv(ipEchoVariable, "http://127.0.0.1:8082/ip/");
    QCOMPARE(service::serviceBaseUrl(), QStringLiteral("http://127.0.0.1:8080"));
    QCOMPARE(service::webSiteBaseUrl(), QStringLiteral("http://127.0.0.1:8081/site"));
    QCOMPARE(service::ipEchoUrl(), QStringLiteral("http://127.0.0.1:8082/ip/"));
    QCOMPARE(service::versionCheckUrl(QStringLiteral("4.0.2")).toString(),
             QStringLiteral("http://127.0.0.1:8080/AppVer2/4.0.2"));
    qunsetenv(webSiteVariable);
    qunsetenv(ipEchoVariable);
}

void TestServiceRequests::passwordKeyIsLowerHexMd5OfUtf8_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("key");
    QTest::newRow("empty") << ""
                           << "d41d8cd98f00b204e9800998ecf8427e";
    QTest::newRow("demo") << "demo"
                          << "fe01ce2a7fbac8fafaed7c982a04e229";
    QTest::newRow("non-ASCII as UTF-8")
        << QString::fromUtf8("pässwörd") << "12841e4ba5e37d2fbfc78458c6714ade";
}

void TestServiceRequests::passwordKeyIsLowerHexMd5OfUtf8()
{
    QFETCH(QString, password);
    QFETCH(QString, key);
    QCOMPARE(service::passwordKey(password), key);
}

void TestServiceRequests::loginValuesArriveExactlyAsTyped_data()
{
    addAwkwardTexts();
}

void TestServiceRequests::loginValuesArriveExactlyAsTyped()
{
    QFETCH(QString, text);
    const RecordedRequest r =
        send(service::loginUrl(text, service::passwordKey(text), QStringLiteral("4.0.2")));
    QCOMPARE(r.path, QStringLiteral("/AppServersV2"));
    QCOMPARE(r.queryKeys(),
             (QStringList{QStringLiteral("username"), QStringLiteral("key"), QStringLiteral("appver")}));
    QCOMPARE(r.queryValue(QStringLiteral("username")), text);
    QCOMPARE(r.queryValue(QStringLiteral("key")), service::passwordKey(text));
    QCOMPARE(r.queryValue(QStringLiteral("appver")), QStringLiteral("4.0.2"));
    QVERIFY(!r.target.contains('#'));
}

void TestServiceRequests::accountDetailsValuesArriveExactlyAsTyped_data()
{
    addAwkwardTexts();
}

void TestServiceRequests::accountDetailsValuesArriveExactlyAsTyped()
{
    QFETCH(QString, text);
    const RecordedRequest r = send(service::accountDetailsUrl(text, QStringLiteral("0123abcd")));
    QCOMPARE(r.path, QStringLiteral("/AppUserInfoV2"));
    QCOMPARE(r.queryKeys(), (QStringList{QStringLiteral("username"), QStringLiteral("key")}));
    QCOMPARE(r.queryValue(QStringLiteral("username")), text);
    QCOMPARE(r.queryValue(QStringLiteral("key")), QStringLiteral("0123abcd"));
}

void TestServiceRequests::newAccountValuesArriveExactlyAsTyped_data()
{
    addAwkwardTexts();
}

void TestServiceRequests::newAccountValuesArriveExactlyAsTyped()
{
    QFETCH(QString, text);
    const QString last = text + QStringLiteral(" Jr.");
    const QString email = QStringLiteral("x+") + text + QStringLiteral("@example.com");
    const RecordedRequest r = send(service::newAccountUrl(text, last, email, QStringLiteral("4.0.2")));
    QCOMPARE(r.path, QStringLiteral("/AppNewAccount"));
    QCOMPARE(r.queryKeys(), (QStringList{QStringLiteral("firstname"), QStringLiteral("lastname"),
                                         QStringLiteral("email"), QStringLiteral("appver")}));
    QCOMPARE(r.queryValue(QStringLiteral("firstname")), text);
    QCOMPARE(r.queryValue(QStringLiteral("lastname")), last);
    QCOMPARE(r.queryValue(QStringLiteral("email")), email);
    QCOMPARE(r.queryValue(QStringLiteral("appver")), QStringLiteral("4.0.2"));
}

void TestServiceRequests::versionTravelsAsOnePathSegment_data()
{
    QTest::addColumn<QString>("version");
    QTest::newRow("plain") << "4.0.2";
    QTest::newRow("blank") << "4.0 beta";
    QTest::newRow("slash") << "4.0/2";
    QTest::newRow("query and fragment marks") << "4?x#y";
    QTest::newRow("percent and plus") << "4%2+1";
    QTest::newRow("non-ASCII") << QString::fromUtf8("4.0-ß");
}

void TestServiceRequests::versionTravelsAsOnePathSegment()
{
    QFETCH(QString, version);
    const RecordedRequest r = send(service::versionCheckUrl(version));
    QCOMPARE(r.path, QStringLiteral("/AppVer2/") + version);
    QVERIFY(r.query.isEmpty());
    const QByteArray segment = r.target.mid(int(qstrlen("/AppVer2/")));
    QVERIFY2(!segment.contains('/') && !segment.contains('?') && !segment.contains('#'), segment.constData());
}

void TestServiceRequests::loginWithNonAsciiPasswordIsAccepted()
{
    QNetworkReply* reply = nam.get(QNetworkRequest(
        service::loginUrl(QString::fromUtf8("jörg & co"),
                          service::passwordKey(QString::fromUtf8("pässwörd+#=%")), QStringLiteral("4.0.2"))));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(10000));
    const QString body = service::decodeBody(reply->readAll());
    reply->deleteLater();
    QCOMPARE(service::loginVerdicts(body), QVector<service::LoginVerdict>{service::LoginVerdict::Accepted});
}

void TestServiceRequests::webPagesUseWebSiteBase()
{
    qputenv(webSiteVariable, sim.baseUrl().toUtf8());
    const QUrl order = service::orderPageUrl();
    const QUrl trial = service::trialPageUrl();
    QCOMPARE(order.toString(), sim.baseUrl() + QStringLiteral("/order/"));
    QCOMPARE(trial.toString(), sim.baseUrl() + QStringLiteral("/free-vpn-trial/"));
    QVERIFY(!order.hasQuery() && !trial.hasQuery());
    QCOMPARE(send(order).path, QStringLiteral("/order/"));
    QCOMPARE(send(trial).path, QStringLiteral("/free-vpn-trial/"));
    qunsetenv(webSiteVariable);
    QCOMPARE(service::orderPageUrl().toString(), QStringLiteral("https://www.corvane.com/order/"));
    QCOMPARE(service::trialPageUrl().toString(), QStringLiteral("https://www.corvane.com/free-vpn-trial/"));
}

QTEST_GUILESS_MAIN(TestServiceRequests)
#include "tst_servicerequests.moc"
