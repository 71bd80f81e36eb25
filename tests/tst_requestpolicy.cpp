// The one policy every request of the client goes through, against real HTTPS servers on
// 127.0.0.1: whom the client trusts, what it refuses to send, and when it gives up.
#include "manualclock.h"
#include "service/network.h"
#include "service/pinning.h"
#include "service/serviceclient.h"
#include "testcertificates.h"
#include "testsupport.h"
#include "tools/servicesim/servicesim.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QTest>

Q_DECLARE_METATYPE(RequestPurpose)
Q_DECLARE_METATYPE(RequestProblem)

namespace {
QList<QSslCertificate> certificates(const QString& path)
{
    return QSslCertificate::fromPath(path, QSsl::Pem);
}

// A pin of 32 bytes that no key has.
const QByteArray strangerPin = QByteArray(32, 'x').toBase64();
} // namespace

class TestRequestPolicy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void pinListKeepsOnlyWellFormedPins_data();
    void pinListKeepsOnlyWellFormedPins();
    void pinIsTheHashOfTheSubjectPublicKeyInfo();
    void sentChainIsCompletedWithItsAuthority();
    void chainIsPinnedByAnyOfItsKeys_data();
    void chainIsPinnedByAnyOfItsKeys();
    void plainHttpGoesOnlyWhereItIsSafe_data();
    void plainHttpGoesOnlyWhereItIsSafe();
    void untrustedServerIsSentNoCredentials_data();
    void untrustedServerIsSentNoCredentials();
    void plainHttpServiceElsewhereGetsNoRequest();
    void requestEndsAtItsDeadline_data();
    void requestEndsAtItsDeadline();
    void idleManagerKeepsNoConnection();

private:
    // Logs in as alice through a service client with these pins; the reported problem.
    RequestProblem logIn(const QList<QByteArray>& pins, QString* text = nullptr);

    ServiceSimulator sim;
};

void TestRequestPolicy::initTestCase()
{
    qRegisterMetaType<QNetworkReply*>();
    trustTestAuthority();
    QVERIFY(QFile::exists(testCertificates().authority));
}

void TestRequestPolicy::cleanup()
{
    sim.stop();
    sim.useTls(QString(), QString());
    sim.keepConnectionsAlive(false);
    sim.clearFaults();
    sim.clearRequests();
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

void TestRequestPolicy::pinListKeepsOnlyWellFormedPins_data()
{
    const QByteArray a = QByteArray(32, 'a').toBase64();
    const QByteArray b = QByteArray(32, 'b').toBase64();
    QTest::addColumn<QString>("list");
    QTest::addColumn<QList<QByteArray>>("pins");
    QTest::newRow("none") << "" << QList<QByteArray>{};
    QTest::newRow("one") << QString::fromLatin1(a) << QList<QByteArray>{a};
    QTest::newRow("two, for a rotation, with blanks")
        << QString::fromLatin1(" " + a + " , " + b + " ") << QList<QByteArray>{a, b};
    QTest::newRow("too short") << QString::fromLatin1(QByteArray(20, 'a').toBase64()) << QList<QByteArray>{};
    QTest::newRow("not base64") << QStringLiteral("not a pin at all, really not one!!!!!!!!!!!")
                                << QList<QByteArray>{};
    QTest::newRow("empty items") << QString::fromLatin1(",," + a + ",") << QList<QByteArray>{a};
}

void TestRequestPolicy::pinListKeepsOnlyWellFormedPins()
{
    QFETCH(QString, list);
    QFETCH(QList<QByteArray>, pins);
    QCOMPARE(service::parsePins(list), pins);
}

void TestRequestPolicy::pinIsTheHashOfTheSubjectPublicKeyInfo()
{
    // What OpenSSL computes from the key is what the client computes from the certificate.
    const TestCertificates& made = testCertificates();
    QCOMPARE(service::publicKeyPin(certificates(made.trusted.certificate).value(0)), made.trusted.pin);
    QCOMPARE(service::publicKeyPin(certificates(made.authority).value(0)), made.authorityPin);
    QVERIFY(made.trusted.pin != made.authorityPin);
}

void TestRequestPolicy::sentChainIsCompletedWithItsAuthority()
{
    // Servers send their chain without the root; the root's pin must count all the same.
    const TestCertificates& made = testCertificates();
    const QList<QSslCertificate> sent = certificates(made.trusted.certificate).mid(0, 1);
    const QList<QSslCertificate> authority = certificates(made.authority);
    const QList<QSslCertificate> others = certificates(made.otherAuthority.certificate);
    QCOMPARE(service::withIssuingAuthority(sent, others + authority), sent + authority);
    QCOMPARE(service::withIssuingAuthority(sent, others), sent);
    QCOMPARE(service::withIssuingAuthority(authority, authority), authority);
}

void TestRequestPolicy::chainIsPinnedByAnyOfItsKeys_data()
{
    const TestCertificates& made = testCertificates();
    const QList<QSslCertificate> chain =
        certificates(made.trusted.certificate) + certificates(made.authority);
    QTest::addColumn<QList<QSslCertificate>>("chain");
    QTest::addColumn<QList<QByteArray>>("pins");
    QTest::addColumn<bool>("pinned");
    QTest::newRow("no pins: the authorities decide") << chain << QList<QByteArray>{} << true;
    QTest::newRow("server key") << chain << QList<QByteArray>{made.trusted.pin} << true;
    QTest::newRow("authority key") << chain << QList<QByteArray>{made.authorityPin} << true;
    QTest::newRow("next key announced beside it")
        << chain << QList<QByteArray>{strangerPin, made.authorityPin} << true;
    QTest::newRow("other key") << chain << QList<QByteArray>{strangerPin} << false;
    QTest::newRow("another server's key") << chain << QList<QByteArray>{made.wrongHost.pin} << false;
    QTest::newRow("no chain") << QList<QSslCertificate>{} << QList<QByteArray>{made.trusted.pin} << false;
}

void TestRequestPolicy::chainIsPinnedByAnyOfItsKeys()
{
    QFETCH(QList<QSslCertificate>, chain);
    QFETCH(QList<QByteArray>, pins);
    QFETCH(bool, pinned);
    QCOMPARE(service::chainIsPinned(chain, pins), pinned);
}

void TestRequestPolicy::plainHttpGoesOnlyWhereItIsSafe_data()
{
    const QUrl remote(QStringLiteral("https://service.example"));
    const QUrl local(QStringLiteral("http://127.0.0.1:8480"));
    QTest::addColumn<QString>("url");
    QTest::addColumn<RequestPurpose>("purpose");
    QTest::addColumn<QUrl>("service");
    QTest::addColumn<RequestProblem>("problem");
    const auto row = [](const char* name, const char* url, RequestPurpose purpose, const QUrl& service,
                        RequestProblem problem) {
        QTest::newRow(name) << QString::fromLatin1(url) << purpose << service << problem;
    };
    using P = RequestPurpose;
    using R = RequestProblem;
    row("login over https", "https://service.example/AppServersV2", P::Credentials, remote, R::None);
    row("login over http elsewhere", "http://service.example/AppServersV2", P::Credentials, remote,
        R::PlainHttp);
    row("login over http here", "http://127.0.0.1:8480/AppServersV2", P::Credentials, local, R::None);
    row("login over http to localhost", "http://LocalHost:8480/AppServersV2", P::Credentials, local, R::None);
    row("login over http to ::1", "http://[::1]:8480/AppServersV2", P::Credentials, local, R::None);
    row("login over http to a private address", "http://192.0.2.7/AppServersV2", P::Credentials, remote,
        R::PlainHttp);
    row("version check over http elsewhere", "http://service.example/AppVer2/4.0.2", P::Service, remote,
        R::PlainHttp);
    row("file over https", "https://files.example/ca.crt", P::Download, remote, R::None);
    row("file over http, service elsewhere", "http://files.example/ca.crt", P::Download, remote,
        R::PlainHttp);
    row("file over http here, service elsewhere", "http://127.0.0.1:8480/ca.crt", P::Download, remote,
        R::PlainHttp);
    row("file over http, service here", "http://127.0.0.1:8480/ca.crt", P::Download, local, R::None);
    row("installer over http, service elsewhere", "http://files.example/u.exe", P::Installer, remote,
        R::PlainHttp);
    row("local file", "file:///etc/passwd", P::Download, local, R::NotWebAddress);
    row("resource", "qrc:/lumtar.png", P::Download, local, R::NotWebAddress);
    row("no host", "https:///ca.crt", P::Download, remote, R::NotWebAddress);
    row("address check as configured", "http://198.18.100.1/ip/", P::AddressCheck, remote, R::None);
}

void TestRequestPolicy::plainHttpGoesOnlyWhereItIsSafe()
{
    QFETCH(QString, url);
    QFETCH(RequestPurpose, purpose);
    QFETCH(QUrl, service);
    QFETCH(RequestProblem, problem);
    QCOMPARE(addressProblem(QUrl(url), purpose, service), problem);
}

RequestProblem TestRequestPolicy::logIn(const QList<QByteArray>& pins, QString* text)
{
    ServiceClient client(QStringLiteral("4.0.2"), nullptr, RequestPolicy(pins));
    connect(client.loginManager(), &QNetworkAccessManager::finished, &client, &ServiceClient::loginArrived);
    RequestProblem problem = RequestProblem::Network;
    bool done = false;
    connect(&client, &ServiceClient::loginFailed, this, [&](RequestProblem why, const QString& said) {
        problem = why;
        if (text)
            *text = said;
        done = true;
    });
    connect(&client, &ServiceClient::loginAnswered, this, [&] {
        problem = RequestProblem::None;
        done = true;
    });
    client.logIn(QStringLiteral("alice"), QStringLiteral("secret"));
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qWarning("no answer to the login");
    return problem;
}

void TestRequestPolicy::untrustedServerIsSentNoCredentials_data()
{
    const TestCertificates& made = testCertificates();
    QTest::addColumn<TlsIdentity>("identity");
    QTest::addColumn<QList<QByteArray>>("pins");
    QTest::addColumn<RequestProblem>("problem");
    QTest::newRow("trusted") << made.trusted << QList<QByteArray>{} << RequestProblem::None;
    QTest::newRow("trusted, its authority pinned")
        << made.trusted << QList<QByteArray>{strangerPin, made.authorityPin} << RequestProblem::None;
    QTest::newRow("trusted, its own key pinned")
        << made.trusted << QList<QByteArray>{made.trusted.pin} << RequestProblem::None;
    QTest::newRow("another authority")
        << made.otherAuthority << QList<QByteArray>{} << RequestProblem::UntrustedAuthority;
    QTest::newRow("expired") << made.expired << QList<QByteArray>{} << RequestProblem::Expired;
    QTest::newRow("wrong host name") << made.wrongHost << QList<QByteArray>{} << RequestProblem::WrongHost;
    QTest::newRow("valid chain, key not pinned")
        << made.trusted << QList<QByteArray>{strangerPin} << RequestProblem::UnpinnedKey;
}

void TestRequestPolicy::untrustedServerIsSentNoCredentials()
{
    QFETCH(TlsIdentity, identity);
    QFETCH(QList<QByteArray>, pins);
    QFETCH(RequestProblem, problem);
    sim.loadData(standardTestData());
    sim.useTls(identity.certificate, identity.key);
    QVERIFY(sim.start());
    qputenv("CORVANE_SERVICE_URL", sim.baseUrl().toUtf8());

    QString text;
    QCOMPARE(logIn(pins, &text), problem);
    if (problem == RequestProblem::None) {
        QCOMPARE(sim.requests(QStringLiteral("/AppServersV2")).size(), 1);
        return;
    }
    QCOMPARE(text, RequestPolicy::problemText(problem, QStringLiteral("127.0.0.1")));
    // Once more, as a second login would: a connection kept from the first must not carry it.
    QCOMPARE(logIn(pins), problem);
    // The server logs every request line that reaches it: none came, with or without the key.
    QCOMPARE(sim.requests().size(), 0);
    if (problem == RequestProblem::UnpinnedKey)
        QVERIFY2(sim.handshakes() >= 2, "the client never reached the server");
}

void TestRequestPolicy::plainHttpServiceElsewhereGetsNoRequest()
{
    // The simulator stands in as the proxy every request would go through, so a request that
    // went out would be logged here, and nothing leaves the machine.
    sim.loadData(standardTestData());
    QVERIFY(sim.start());
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, sim.host(), sim.port()));
    qputenv("CORVANE_SERVICE_URL", "http://service.example");

    QString text;
    QCOMPARE(logIn({}, &text), RequestProblem::PlainHttp);
    QVERIFY2(text.contains(QStringLiteral("service.example")), qPrintable(text));
    QCOMPARE(sim.requests().size(), 0);

    // The proxy does take what may go over plain HTTP: the refusal above is the policy's.
    QNetworkAccessManager manager;
    QSignalSpy finished(&manager, &QNetworkAccessManager::finished);
    RequestPolicy().get(&manager, noCacheRequest(QUrl(QStringLiteral("http://echo.example/ip/"))),
                        RequestPurpose::AddressCheck);
    QVERIFY(finished.wait());
    QCOMPARE(sim.requests().size(), 1);
    finished.first().first().value<QNetworkReply*>()->deleteLater();
}

void TestRequestPolicy::requestEndsAtItsDeadline_data()
{
    QTest::addColumn<RequestPurpose>("purpose");
    QTest::addColumn<int>("deadlineMs");
    QTest::newRow("login") << RequestPurpose::Credentials << 20000;
    QTest::newRow("version check") << RequestPurpose::Service << 20000;
    QTest::newRow("OpenVPN file") << RequestPurpose::Download << 15000;
    QTest::newRow("address check") << RequestPurpose::AddressCheck << 4000;
    QTest::newRow("installer") << RequestPurpose::Installer << 30 * 60 * 1000;
}

void TestRequestPolicy::requestEndsAtItsDeadline()
{
    QFETCH(RequestPurpose, purpose);
    QFETCH(int, deadlineMs);
    // A byte every 100 ms keeps any idle time-out from ever firing.
    sim.setFile(QStringLiteral("/files/slow.ovpn"), QByteArray(4096, 'x'));
    sim.setFault(QStringLiteral("/files/slow.ovpn"), Fault::trickle(100));
    sim.useTls(testCertificates().trusted.certificate, testCertificates().trusted.key);
    QVERIFY(sim.start());
    qputenv("CORVANE_SERVICE_URL", sim.baseUrl().toUtf8());
    ManualClock clock;
    QNetworkAccessManager manager;
    QNetworkReply* reply = RequestPolicy().get(
        &manager, noCacheRequest(QUrl(sim.baseUrl() + QStringLiteral("/files/slow.ovpn"))), purpose);
    QSignalSpy progress(reply, &QNetworkReply::downloadProgress);
    QVERIFY(
        QTest::qWaitFor([&] { return !progress.isEmpty() && progress.last().first().toLongLong() >= 3; }));

    clock.advance(deadlineMs - 1);
    QVERIFY(reply->isRunning());
    clock.advance(1);
    QVERIFY(reply->isFinished());
    QCOMPARE(requestProblem(reply), RequestProblem::Deadline);
    QCOMPARE(requestProblemText(reply),
             RequestPolicy::problemText(RequestProblem::Deadline, QStringLiteral("127.0.0.1")));
    delete reply;
}

void TestRequestPolicy::idleManagerKeepsNoConnection()
{
    sim.loadData(standardTestData());
    sim.useTls(testCertificates().trusted.certificate, testCertificates().trusted.key);
    sim.keepConnectionsAlive(true);
    QVERIFY(sim.start());
    qputenv("CORVANE_SERVICE_URL", sim.baseUrl().toUtf8());
    QNetworkAccessManager manager;
    QSignalSpy finished(&manager, &QNetworkAccessManager::finished);
    const auto ask = [&] {
        RequestPolicy().get(&manager, noCacheRequest(QUrl(sim.baseUrl() + QStringLiteral("/AppVer2/4.0.2"))),
                            RequestPurpose::Service);
    };
    // The server would carry the second request on the first one's connection.
    const int before = sim.handshakes();
    ask();
    QVERIFY(QTest::qWaitFor([&] { return finished.size() == 1; }));
    QTest::qWait(0);
    ask();
    QVERIFY(QTest::qWaitFor([&] { return finished.size() == 2; }));
    QCOMPARE(sim.handshakes() - before, 2);
    for (const QList<QVariant>& reply : finished)
        QCOMPARE(reply.first().value<QNetworkReply*>()->error(), QNetworkReply::NoError);
    qDeleteAll(manager.findChildren<QNetworkReply*>());
}

QTEST_MAIN(TestRequestPolicy)
#include "tst_requestpolicy.moc"
