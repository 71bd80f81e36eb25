#include "testcertificates.h"
#include "tools/servicesim/controlserver.h"
#include "tools/servicesim/remoteprotocol.h"
#include "tools/servicesim/servicesim.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <QXmlStreamReader>

namespace {

struct Fetched
{
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QByteArray location;
    qint64 received = 0;
    qint64 elapsedMs = 0;
    bool finished = false;
};

// keepBody false counts the bytes without keeping them (large bodies).
Fetched fetch(QNetworkAccessManager& nam, const QUrl& url, int transferTimeoutMs = 10000,
              bool keepBody = true)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(transferTimeoutMs);
    QElapsedTimer timer;
    timer.start();
    QNetworkReply* reply = nam.get(request);
    Fetched result;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        const QByteArray chunk = reply->readAll();
        result.received += chunk.size();
        if (keepBody) {
            result.body += chunk;
        }
    });
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished()) {
        finished.wait(transferTimeoutMs + 10000);
    }
    const QByteArray rest = reply->isOpen() ? reply->readAll() : QByteArray();
    result.received += rest.size();
    if (keepBody) {
        result.body += rest;
    }
    result.finished = reply->isFinished();
    result.error = reply->error();
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.location = reply->rawHeader("Location");
    result.elapsedMs = timer.elapsed();
    reply->deleteLater();
    return result;
}

QString md5(const QString& text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

QJsonObject profile(const QString& name, const QString& folder)
{
    return QJsonObject{
        {QStringLiteral("name"), name},
        {QStringLiteral("config"), QStringLiteral("{base}/files/") + folder + QStringLiteral("/config.ovpn")},
        {QStringLiteral("certificate"),
         QStringLiteral("{base}/files/") + folder + QStringLiteral("/ca.crt")}};
}

// Three servers: all protocols with three profiles; PPTP only; OpenVPN with two profiles and
// a name that needs escaping.
QJsonObject testData()
{
    const QJsonArray servers{
        QJsonObject{{QStringLiteral("id"), 7},
                    {QStringLiteral("shortname"), QStringLiteral("US East")},
                    {QStringLiteral("ip"), QStringLiteral("198.18.0.7")},
                    {QStringLiteral("country"), QStringLiteral("us")},
                    {QStringLiteral("assignedIP"), QStringLiteral("198.18.1.7")},
                    {QStringLiteral("pptp"), true},
                    {QStringLiteral("l2tp"), QStringLiteral("1")},
                    {QStringLiteral("pskey"), QStringLiteral("secret-us")},
                    {QStringLiteral("openvpn"), true},
                    {QStringLiteral("profiles"),
                     QJsonArray{profile(QStringLiteral("UDP"), QStringLiteral("us1")),
                                profile(QStringLiteral("TCP"), QStringLiteral("us1")),
                                profile(QStringLiteral("TCP 80"), QStringLiteral("us1"))}}},
        QJsonObject{{QStringLiteral("id"), 8},
                    {QStringLiteral("shortname"), QStringLiteral("Germany")},
                    {QStringLiteral("ip"), QStringLiteral("198.18.0.8")},
                    {QStringLiteral("country"), QStringLiteral("de")},
                    {QStringLiteral("assignedIP"), QStringLiteral("198.18.1.8")},
                    {QStringLiteral("pptp"), true},
                    {QStringLiteral("l2tp"), QStringLiteral("0")},
                    {QStringLiteral("openvpn"), false}},
        QJsonObject{{QStringLiteral("id"), 9},
                    {QStringLiteral("shortname"), QStringLiteral("R&D <Lab> \"Zürich\"")},
                    {QStringLiteral("ip"), QStringLiteral("198.18.0.9")},
                    {QStringLiteral("country"), QStringLiteral("ch")},
                    {QStringLiteral("assignedIP"), QStringLiteral("198.18.1.9")},
                    {QStringLiteral("pptp"), false},
                    {QStringLiteral("l2tp"), false},
                    {QStringLiteral("pskey"), QStringLiteral("k&y<")},
                    {QStringLiteral("openvpn"), QStringLiteral("1")},
                    {QStringLiteral("profiles"),
                     QJsonArray{profile(QStringLiteral("Zürich UDP"), QStringLiteral("ch1")),
                                profile(QStringLiteral("Zürich TCP"), QStringLiteral("ch1"))}}},
    };
    const QJsonArray accounts{
        QJsonObject{{QStringLiteral("username"), QStringLiteral("alice")},
                    {QStringLiteral("password"), QStringLiteral("wonder land")},
                    {QStringLiteral("enabled"), true},
                    {QStringLiteral("email"), QStringLiteral("alice&bob@example.com")},
                    {QStringLiteral("plan"), QStringLiteral("Premium <Yearly>")},
                    {QStringLiteral("expiry"), QStringLiteral("2031-05-01")},
                    {QStringLiteral("quota"), QStringLiteral("100 GB")},
                    {QStringLiteral("processors"), QStringLiteral("1:Credit Card|2:Paypal")},
                    {QStringLiteral("plans"), QStringLiteral("1:Monthly|3:Yearly")},
                    {QStringLiteral("quickServers"),
                     QStringLiteral(
                         "US East^198.18.0.7^OpenVPN^{base}/files/us1/ca.crt^{base}/files/us1/config.ovpn")},
                    {QStringLiteral("notice"), QStringLiteral("  Maintenance tonight  ")}},
        QJsonObject{{QStringLiteral("username"), QStringLiteral("jörg")},
                    {QStringLiteral("password"), QStringLiteral("pässwörd&=+#%")},
                    {QStringLiteral("enabled"), QStringLiteral("0")},
                    {QStringLiteral("email"), QStringLiteral("joerg@example.com")},
                    {QStringLiteral("servers"), QJsonArray{8}}},
    };
    return QJsonObject{
        {QStringLiteral("accounts"), accounts},
        {QStringLiteral("servers"), servers},
        {QStringLiteral("version"),
         QJsonObject{{QStringLiteral("latest"), QStringLiteral("4.1.0")},
                     {QStringLiteral("installer"), QStringLiteral("{base}/files/update.exe")}}},
        {QStringLiteral("files"),
         QJsonObject{{QStringLiteral("/files/us1/config.ovpn"),
                      QJsonObject{{QStringLiteral("text"), QStringLiteral("remote {base}\n")}}},
                     {QStringLiteral("/files/update.exe"),
                      QJsonObject{{QStringLiteral("base64"),
                                   QString::fromLatin1(QByteArray("MZ\0\1\2", 5).toBase64())}}}}},
    };
}

// What the stepping readers of the login document need. Returns the first violation, or an
// empty text.
QString layoutViolation(const QByteArray& document, int* servers, int* profiles)
{
    *servers = 0;
    *profiles = 0;
    QXmlStreamReader r(document);
    auto at = [&r](const char* name) { return r.isStartElement() && r.name() == QLatin1String(name); };
    while (!r.atEnd()) {
        r.readNext();
        if (r.hasError()) {
            return QStringLiteral("XML error: ") + r.errorString();
        }
        if (at("server")) {
            ++*servers;
        } else if (at("pptp")) {
            r.readNext();
            if (!r.isWhitespace()) {
                return QStringLiteral("pptp: the token after the start tag is not one run of whitespace");
            }
            r.readNext();
            if (!at("enabled")) {
                return QStringLiteral("pptp: enabled is not the second token");
            }
        } else if (at("l2tp")) {
            if (!r.readNextStartElement() || !at("enabled")) {
                return QStringLiteral("l2tp: enabled is not the first child");
            }
            r.skipCurrentElement();
            if (!r.readNextStartElement() || !at("pskey")) {
                return QStringLiteral("l2tp: pskey is not the next child");
            }
        } else if (at("openvpn")) {
            if (!r.readNextStartElement() || !at("enabled")) {
                return QStringLiteral("openvpn: enabled is not the first child");
            }
            r.skipCurrentElement();
            if (!r.readNextStartElement() || !at("profiles")) {
                return QStringLiteral("openvpn: profiles is not the next child");
            }
            if (!r.readNextStartElement() || !at("count")) {
                return QStringLiteral("profiles: count is not the first child");
            }
            const int count = r.readElementText().toInt();
            for (int i = 0; i < count; ++i) {
                r.readNext();
                if (!at("profile")) {
                    return QStringLiteral("profile %1 does not follow directly").arg(i);
                }
                for (const char* child : {"name", "config", "certificate"}) {
                    r.readNext();
                    if (!at(child)) {
                        return QStringLiteral("profile %1: %2 does not follow directly")
                            .arg(i)
                            .arg(QLatin1String(child));
                    }
                    r.readElementText();
                }
                r.readNext();
                if (!r.isEndElement() || r.name() != QLatin1String("profile")) {
                    return QStringLiteral("profile %1 does not end directly").arg(i);
                }
                ++*profiles;
            }
            r.readNext();
            if (!r.isEndElement() || r.name() != QLatin1String("profiles")) {
                return QStringLiteral("count differs from the number of profiles");
            }
        }
    }
    return QString();
}

struct ServerEntry
{
    QString id, shortname, ip, country, assignedIP, pptp, l2tp, pskey, openvpn;
    QStringList profileNames, configs, certificates;
};

QList<ServerEntry> serverEntries(const QByteArray& document)
{
    QList<ServerEntry> entries;
    QXmlStreamReader r(document);
    QString section;
    while (!r.atEnd() && !r.hasError()) {
        r.readNext();
        if (!r.isStartElement()) {
            continue;
        }
        const QString name = r.name().toString();
        if (name == QLatin1String("server")) {
            entries.append(ServerEntry());
        } else if (name == QLatin1String("pptp") || name == QLatin1String("l2tp") ||
                   name == QLatin1String("openvpn")) {
            section = name;
        } else if (!entries.isEmpty() && name != QLatin1String("servers") &&
                   name != QLatin1String("profiles") && name != QLatin1String("profile")) {
            ServerEntry& e = entries.last();
            const QString text = r.readElementText();
            if (name == QLatin1String("id"))
                e.id = text;
            else if (name == QLatin1String("shortname"))
                e.shortname = text;
            else if (name == QLatin1String("IP"))
                e.ip = text;
            else if (name == QLatin1String("country"))
                e.country = text;
            else if (name == QLatin1String("assignedIP"))
                e.assignedIP = text;
            else if (name == QLatin1String("pskey"))
                e.pskey = text;
            else if (name == QLatin1String("name"))
                e.profileNames.append(text);
            else if (name == QLatin1String("config"))
                e.configs.append(text);
            else if (name == QLatin1String("certificate"))
                e.certificates.append(text);
            else if (name == QLatin1String("enabled")) {
                if (section == QLatin1String("pptp"))
                    e.pptp = text;
                else if (section == QLatin1String("l2tp"))
                    e.l2tp = text;
                else
                    e.openvpn = text;
            }
        }
    }
    return entries;
}

QStringList responseTexts(const QByteArray& document)
{
    QStringList texts;
    QXmlStreamReader r(document);
    while (!r.atEnd() && !r.hasError()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("response")) {
            texts.append(r.readElementText());
        }
    }
    return texts;
}

// The elements after </response>, with a flag telling whether anything stood between tags.
QStringList positionsAfterResponse(const QByteArray& document, bool* tokensBetween)
{
    *tokensBetween = false;
    QStringList texts;
    QXmlStreamReader r(document);
    while (!r.atEnd() && !(r.isEndElement() && r.name() == QLatin1String("response"))) {
        r.readNext();
    }
    while (!r.atEnd() && !r.hasError()) {
        r.readNext();
        if (r.isStartElement()) {
            r.readNext();
            texts.append(r.isCharacters() ? r.text().toString() : QString());
            if (!r.isEndElement()) {
                r.readNext();
            }
            if (!r.isEndElement()) {
                *tokensBetween = true;
            }
        } else if (r.isCharacters()) {
            *tokensBetween = true;
        }
    }
    return texts;
}

QUrl url(const ServiceSimulator& sim, const QString& pathAndQuery)
{
    return QUrl(sim.baseUrl() + pathAndQuery);
}

QString loginQuery(const QString& user, const QString& key)
{
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("username"), QString::fromLatin1(QUrl::toPercentEncoding(user)));
    q.addQueryItem(QStringLiteral("key"), key);
    q.addQueryItem(QStringLiteral("appver"), QStringLiteral("4.0.2"));
    return q.query(QUrl::FullyEncoded);
}

} // namespace

class TestServiceSim : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsOnSystemChosenPort();
    void secondSimulatorCannotTakeABoundPort();
    void restartsAfterStop();
    void loginChecksMd5KeyOfPassword_data();
    void loginChecksMd5KeyOfPassword();
    void loginDocumentKeepsReaderLayout_data();
    void loginDocumentKeepsReaderLayout();
    void onelineLayoutHasOnlyTheBlankInPptp();
    void loginDocumentCarriesServerValuesEscaped();
    void accountLimitedToItsServers();
    void accountDetailsHaveFourteenPositionsWithoutWhitespace();
    void accountDetailsRefusedForWrongKey();
    void accountChangesShowInNextAnswer();
    void newAccountCanLogIn();
    void newAccountRefusals_data();
    void newAccountRefusals();
    void versionDocumentHasThreeTextsWithoutWhitespace();
    void ipEchoShowsPeerOrChosenAddress();
    void webPagesAnswer_data();
    void webPagesAnswer();
    void filesServedByteForByte();
    void fileFromDiskRelativeToDataFile();
    void unknownPathIsNotFound();
    void requestsRecordedDecodedInOrder();
    void clearRequestsForgets();

    void httpStatusFaultIsAnError();
    void oneShotFaultAppliesOnce();
    void longestPrefixFaultWins();
    void delayFaultHoldsTheAnswer();
    void neverAnswerTimesOutAndStopDoesNotHang();
    void malformedXmlFaultBreaksParsing();
    void truncatedXmlFaultCutsTheBody();
    void nulByteFaultInsertsNulAndMoreText();
    void redirectFaultIsNotFollowed();
    void oversizedFaultStreamsTheWholeSize();
    void customBodyFaultReplacesAnswer();
    void clearFaultsRestoresNormalAnswers();

    void demoDataOffersWhatTheDemoNeeds();
    void standaloneProgramServesUntilTerminated();

    void remoteFaultKeepsEveryField();
    void remoteControlServesHttpsAndCountsHandshakes();

private:
    ServiceSimulator* sim = nullptr;
    QNetworkAccessManager* nam = nullptr;
};

void TestServiceSim::init()
{
    sim = new ServiceSimulator;
    sim->loadData(testData());
    QVERIFY(sim->start());
    nam = new QNetworkAccessManager;
    nam->setProxy(QNetworkProxy::NoProxy);
}

void TestServiceSim::cleanup()
{
    delete nam;
    nam = nullptr;
    delete sim;
    sim = nullptr;
}

void TestServiceSim::startsOnSystemChosenPort()
{
    QVERIFY(sim->port() > 0);
    QCOMPARE(sim->baseUrl(), QStringLiteral("http://127.0.0.1:%1").arg(sim->port()));
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/ip/"))).status, 200);
}

void TestServiceSim::secondSimulatorCannotTakeABoundPort()
{
    ServiceSimulator other;
    QVERIFY(!other.start(sim->port()));
    QVERIFY(!other.isRunning());
}

void TestServiceSim::restartsAfterStop()
{
    const quint16 port = sim->port();
    sim->stop();
    QVERIFY(!sim->isRunning());
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/ip/"))).error, QNetworkReply::ConnectionRefusedError);
    QVERIFY(sim->start(port));
    QCOMPARE(sim->port(), port);
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/ip/"))).status, 200);
}

void TestServiceSim::loginChecksMd5KeyOfPassword_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<int>("servers");
    QTest::newRow("right key") << "alice" << md5(QStringLiteral("wonder land")) << "true" << 3;
    QTest::newRow("non-ASCII password, UTF-8 MD5")
        << "jörg" << md5(QStringLiteral("pässwörd&=+#%")) << "true" << 1;
    QTest::newRow("upper-case hex is not the key")
        << "alice" << md5(QStringLiteral("wonder land")).toUpper() << "false" << 0;
    QTest::newRow("plain password is not the key") << "alice"
                                                   << "wonder land"
                                                   << "false" << 0;
    QTest::newRow("unknown user") << "mallory" << md5(QStringLiteral("wonder land")) << "false" << 0;
    QTest::newRow("user name is exact") << "Alice" << md5(QStringLiteral("wonder land")) << "false" << 0;
}

void TestServiceSim::loginChecksMd5KeyOfPassword()
{
    QFETCH(QString, user);
    QFETCH(QString, key);
    QFETCH(QString, verdict);
    QFETCH(int, servers);
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/AppServersV2?") + loginQuery(user, key)));
    QCOMPARE(f.error, QNetworkReply::NoError);
    QCOMPARE(responseTexts(f.body), QStringList{verdict});
    QCOMPARE(serverEntries(f.body).size(), servers);
}

void TestServiceSim::loginDocumentKeepsReaderLayout_data()
{
    QTest::addColumn<bool>("oneline");
    QTest::addColumn<bool>("throughData");
    QTest::newRow("lines, set through the API") << false << false;
    QTest::newRow("oneline, set through the API") << true << false;
    QTest::newRow("oneline, set in the data") << true << true;
}

void TestServiceSim::loginDocumentKeepsReaderLayout()
{
    QFETCH(bool, oneline);
    QFETCH(bool, throughData);
    if (throughData) {
        QJsonObject data = testData();
        data.insert(QStringLiteral("layout"), oneline ? QStringLiteral("oneline") : QStringLiteral("lines"));
        sim->loadData(data);
    } else {
        sim->setLayout(oneline ? ServiceSimulator::Layout::OneLine : ServiceSimulator::Layout::Lines);
    }
    const Fetched f =
        fetch(*nam, url(*sim, QStringLiteral("/AppServersV2?") +
                                  loginQuery(QStringLiteral("alice"), md5(QStringLiteral("wonder land")))));
    int servers = 0;
    int profiles = 0;
    QCOMPARE(layoutViolation(f.body, &servers, &profiles), QString());
    QCOMPARE(servers, 3);
    QCOMPARE(profiles, 5);
    QCOMPARE(f.body.contains('\n'), !oneline);
    if (!oneline) {
        QVERIFY(f.body.contains("\n<server>\n<id>7</id>\n"));
    }
}

void TestServiceSim::onelineLayoutHasOnlyTheBlankInPptp()
{
    const QByteArray document = servicesim::loginDocument(
        servicesim::sampleServers(5, QStringLiteral("http://h")), true, servicesim::Layout::OneLine);
    QXmlStreamReader r(document);
    int blanks = 0;
    QString parent;
    while (!r.atEnd() && !r.hasError()) {
        r.readNext();
        if (r.isStartElement()) {
            parent = r.name().toString();
        } else if (r.isWhitespace()) {
            QCOMPARE(parent, QStringLiteral("pptp"));
            QCOMPARE(r.text().toString(), QStringLiteral(" "));
            ++blanks;
        }
    }
    QVERIFY(!r.hasError());
    QCOMPARE(blanks, 5);
}

void TestServiceSim::loginDocumentCarriesServerValuesEscaped()
{
    const Fetched f =
        fetch(*nam, url(*sim, QStringLiteral("/AppServersV2?") +
                                  loginQuery(QStringLiteral("alice"), md5(QStringLiteral("wonder land")))));
    const QList<ServerEntry> entries = serverEntries(f.body);
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(0).id, QStringLiteral("7"));
    QCOMPARE(entries.at(0).ip, QStringLiteral("198.18.0.7"));
    QCOMPARE(entries.at(0).assignedIP, QStringLiteral("198.18.1.7"));
    QCOMPARE(entries.at(0).country, QStringLiteral("us"));
    QCOMPARE(entries.at(0).pptp + entries.at(0).l2tp + entries.at(0).openvpn, QStringLiteral("111"));
    QCOMPARE(entries.at(0).pskey, QStringLiteral("secret-us"));
    QCOMPARE(entries.at(0).configs.value(1), sim->baseUrl() + QStringLiteral("/files/us1/config.ovpn"));
    QCOMPARE(entries.at(0).certificates.value(2), sim->baseUrl() + QStringLiteral("/files/us1/ca.crt"));
    QCOMPARE(entries.at(1).pptp + entries.at(1).l2tp + entries.at(1).openvpn, QStringLiteral("100"));
    QCOMPARE(entries.at(1).profileNames, QStringList());
    QCOMPARE(entries.at(2).shortname, QStringLiteral("R&D <Lab> \"Zürich\""));
    QCOMPARE(entries.at(2).pskey, QStringLiteral("k&y<"));
    QCOMPARE(entries.at(2).pptp + entries.at(2).l2tp + entries.at(2).openvpn, QStringLiteral("001"));
    QCOMPARE(entries.at(2).profileNames,
             (QStringList{QStringLiteral("Zürich UDP"), QStringLiteral("Zürich TCP")}));
}

void TestServiceSim::accountLimitedToItsServers()
{
    const Fetched f =
        fetch(*nam, url(*sim, QStringLiteral("/AppServersV2?") +
                                  loginQuery(QStringLiteral("jörg"), md5(QStringLiteral("pässwörd&=+#%")))));
    const QList<ServerEntry> entries = serverEntries(f.body);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.at(0).shortname, QStringLiteral("Germany"));
}

void TestServiceSim::accountDetailsHaveFourteenPositionsWithoutWhitespace()
{
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/AppUserInfoV2?username=alice&key=") +
                                                md5(QStringLiteral("wonder land"))));
    QCOMPARE(f.error, QNetworkReply::NoError);
    QCOMPARE(responseTexts(f.body), QStringList{QStringLiteral("true")});
    bool between = true;
    const QStringList positions = positionsAfterResponse(f.body, &between);
    QVERIFY2(!between, f.body.constData());
    QCOMPARE(positions.size(), 14);
    QCOMPARE(positions.at(1), QStringLiteral("alice"));
    QCOMPARE(positions.at(2), QStringLiteral("alice&bob@example.com"));
    QCOMPARE(positions.at(3), QStringLiteral("1"));
    QCOMPARE(positions.at(4), QStringLiteral("Premium <Yearly>"));
    QCOMPARE(positions.at(6), QStringLiteral("2031-05-01"));
    QCOMPARE(positions.at(9), QStringLiteral("100 GB"));
    QCOMPARE(positions.at(10), QStringLiteral("1:Credit Card|2:Paypal"));
    QCOMPARE(positions.at(11), QStringLiteral("1:Monthly|3:Yearly"));
    QCOMPARE(positions.at(12), QStringLiteral("US East^198.18.0.7^OpenVPN^") + sim->baseUrl() +
                                   QStringLiteral("/files/us1/ca.crt^") + sim->baseUrl() +
                                   QStringLiteral("/files/us1/config.ovpn"));
    QCOMPARE(positions.at(13), QStringLiteral("  Maintenance tonight  "));
    for (int i : {0, 5, 7, 8}) {
        QVERIFY2(!positions.at(i).isEmpty(), qPrintable(QString::number(i + 1)));
    }
}

void TestServiceSim::accountDetailsRefusedForWrongKey()
{
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/AppUserInfoV2?username=alice&key=") +
                                                md5(QStringLiteral("wonder"))));
    QCOMPARE(responseTexts(f.body), QStringList{QStringLiteral("false")});
    bool between = false;
    QCOMPARE(positionsAfterResponse(f.body, &between), QStringList());
}

void TestServiceSim::accountChangesShowInNextAnswer()
{
    const QString key = md5(QStringLiteral("pässwörd&=+#%"));
    const QUrl details =
        url(*sim, QStringLiteral("/AppUserInfoV2?") + loginQuery(QStringLiteral("jörg"), key));
    bool between = false;
    QCOMPARE(positionsAfterResponse(fetch(*nam, details).body, &between).value(3), QStringLiteral("0"));
    sim->setAccountValue(QStringLiteral("jörg"), QStringLiteral("enabled"), QStringLiteral("1"));
    QCOMPARE(positionsAfterResponse(fetch(*nam, details).body, &between).value(3), QStringLiteral("1"));
}

void TestServiceSim::newAccountCanLogIn()
{
    const Fetched f = fetch(
        *nam,
        url(*sim,
            QStringLiteral(
                "/AppNewAccount?firstname=Ann&lastname=Lee&email=ann%2Btest%40example.com&appver=4.0.2")));
    QCOMPARE(f.error, QNetworkReply::NoError);
    const QList<QByteArray> parts = f.body.split('|');
    QCOMPARE(parts.size(), 2);
    QCOMPARE(parts.at(0), QByteArray("true"));
    const QString user = QString::fromUtf8(parts.at(1));
    const QJsonObject account = sim->account(user);
    QCOMPARE(account.value(QStringLiteral("email")).toString(), QStringLiteral("ann+test@example.com"));
    const QString password = account.value(QStringLiteral("password")).toString();
    QVERIFY(password.size() >= 8);

    const Fetched login =
        fetch(*nam, url(*sim, QStringLiteral("/AppServersV2?") + loginQuery(user, md5(password))));
    QCOMPARE(responseTexts(login.body), QStringList{QStringLiteral("true")});
    bool between = false;
    const QStringList positions = positionsAfterResponse(
        fetch(*nam, url(*sim, QStringLiteral("/AppUserInfoV2?") + loginQuery(user, md5(password)))).body,
        &between);
    QCOMPARE(positions.value(3), QStringLiteral("1"));

    const Fetched second = fetch(
        *nam, url(*sim, QStringLiteral("/AppNewAccount?firstname=B&lastname=C&email=b%40x&appver=4.0.2")));
    QVERIFY(second.body.startsWith("true|"));
    QVERIFY(second.body.mid(5) != user.toUtf8());
}

void TestServiceSim::newAccountRefusals_data()
{
    QTest::addColumn<QString>("query");
    QTest::newRow("missing first name") << "lastname=Lee&email=new%40example.com&appver=4.0.2";
    QTest::newRow("empty last name") << "firstname=Ann&lastname=&email=new%40example.com&appver=4.0.2";
    QTest::newRow("blank e-mail") << "firstname=Ann&lastname=Lee&email=%20&appver=4.0.2";
    QTest::newRow("e-mail already used")
        << "firstname=Ann&lastname=Lee&email=JOERG%40example.com&appver=4.0.2";
}

void TestServiceSim::newAccountRefusals()
{
    QFETCH(QString, query);
    const int before = sim->data().value(QStringLiteral("accounts")).toArray().size();
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/AppNewAccount?") + query));
    QCOMPARE(f.error, QNetworkReply::NoError);
    QVERIFY2(f.body.startsWith("false|") && f.body.size() > 6, f.body.constData());
    QCOMPARE(sim->data().value(QStringLiteral("accounts")).toArray().size(), before);
}

void TestServiceSim::versionDocumentHasThreeTextsWithoutWhitespace()
{
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/AppVer2/4.0.2")));
    QCOMPARE(f.error, QNetworkReply::NoError);
    QXmlStreamReader r(f.body);
    QVERIFY(r.readNextStartElement());
    QStringList texts;
    r.readNext();
    for (int i = 0; i < 3; ++i) {
        QVERIFY(r.isStartElement());
        r.readNext();
        QVERIFY(r.isCharacters());
        texts.append(r.text().toString());
        r.readNext();
        QVERIFY(r.isEndElement());
        r.readNext();
    }
    QCOMPARE(texts.value(0), QStringLiteral("4.1.0"));
    QCOMPARE(texts.value(1), sim->baseUrl() + QStringLiteral("/files/update.exe"));
    QVERIFY(!texts.value(2).isEmpty());

    sim->setVersion(QStringLiteral("4.0.2"), QStringLiteral("http://example.invalid/u.exe"));
    QVERIFY(fetch(*nam, url(*sim, QStringLiteral("/AppVer2/9.9"))).body.contains("<latest>4.0.2</latest>"));
}

void TestServiceSim::ipEchoShowsPeerOrChosenAddress()
{
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/ip/"))).body,
             QByteArray("<html><head><title>Current IP Check</title></head><body>Current IP Address: "
                        "127.0.0.1</body></html>"));
    sim->setEchoAddress(QStringLiteral("198.18.1.7"));
    QVERIFY(
        fetch(*nam, url(*sim, QStringLiteral("/ip/"))).body.endsWith("Address: 198.18.1.7</body></html>"));
    sim->setEchoAddress(QString());
    QVERIFY(fetch(*nam, url(*sim, QStringLiteral("/ip/"))).body.endsWith("Address: 127.0.0.1</body></html>"));
}

void TestServiceSim::webPagesAnswer_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("order") << "/order/";
    QTest::newRow("trial") << "/free-vpn-trial/";
}

void TestServiceSim::webPagesAnswer()
{
    QFETCH(QString, path);
    const Fetched f = fetch(*nam, url(*sim, path));
    QCOMPARE(f.status, 200);
    QVERIFY(f.body.startsWith("<html>"));
}

void TestServiceSim::filesServedByteForByte()
{
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/files/us1/config.ovpn"))).body,
             QStringLiteral("remote %1\n").arg(sim->baseUrl()).toUtf8());
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/files/update.exe"))).body, QByteArray("MZ\0\1\2", 5));
    sim->setFile(QStringLiteral("/files/new.bin"), QByteArray("\0{base}\xff", 8));
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/files/new.bin"))).body, QByteArray("\0{base}\xff", 8));
}

void TestServiceSim::fileFromDiskRelativeToDataFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("blobs")));
    QByteArray blob;
    for (int i = 0; i < 70000; ++i) {
        blob.append(char(i * 7));
    }
    QFile blobFile(dir.filePath(QStringLiteral("blobs/setup.exe")));
    QVERIFY(blobFile.open(QIODevice::WriteOnly));
    blobFile.write(blob);
    blobFile.close();
    QJsonObject data = testData();
    data.insert(QStringLiteral("files"),
                QJsonObject{{QStringLiteral("/files/setup.exe"),
                             QJsonObject{{QStringLiteral("file"), QStringLiteral("blobs/setup.exe")}}}});
    QFile dataFile(dir.filePath(QStringLiteral("data.json")));
    QVERIFY(dataFile.open(QIODevice::WriteOnly));
    dataFile.write(QJsonDocument(data).toJson());
    dataFile.close();
    QVERIFY(sim->loadDataFile(dataFile.fileName()));
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/files/setup.exe"))).body, blob);
    QVERIFY(!sim->loadDataFile(dir.filePath(QStringLiteral("missing.json"))));
}

void TestServiceSim::unknownPathIsNotFound()
{
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/files/none")));
    QCOMPARE(f.status, 404);
    QCOMPARE(f.error, QNetworkReply::ContentNotFoundError);
}

void TestServiceSim::requestsRecordedDecodedInOrder()
{
    sim->clearRequests();
    fetch(*nam, QUrl::fromEncoded(sim->baseUrl().toLatin1() +
                                  "/AppVer2/4.0%202?zeta=1&alpha=a%26b%3Dc&mid=x+y%2Bz&e=%C3%A9%23&flag"));
    const QList<RecordedRequest> recorded = sim->requests();
    QCOMPARE(recorded.size(), 1);
    const RecordedRequest& r = recorded.first();
    QCOMPARE(r.method, QStringLiteral("GET"));
    QCOMPARE(r.path, QStringLiteral("/AppVer2/4.0 2"));
    QCOMPARE(r.target, QByteArray("/AppVer2/4.0%202?zeta=1&alpha=a%26b%3Dc&mid=x+y%2Bz&e=%C3%A9%23&flag"));
    QCOMPARE(r.queryKeys(), (QStringList{"zeta", "alpha", "mid", "e", "flag"}));
    QCOMPARE(r.queryValue(QStringLiteral("alpha")), QStringLiteral("a&b=c"));
    QCOMPARE(r.queryValue(QStringLiteral("mid")), QStringLiteral("x y+z"));
    QCOMPARE(r.queryValue(QStringLiteral("e")), QStringLiteral("é#"));
    QCOMPARE(r.remoteAddress, QStringLiteral("127.0.0.1"));
    QCOMPARE(sim->requests(QStringLiteral("/AppVer2/4.0 2")).size(), 1);
    QCOMPARE(sim->requests(QStringLiteral("/AppVer2/")).size(), 0);
}

void TestServiceSim::clearRequestsForgets()
{
    fetch(*nam, url(*sim, QStringLiteral("/ip/")));
    QVERIFY(!sim->requests().isEmpty());
    sim->clearRequests();
    QVERIFY(sim->requests().isEmpty());
}

void TestServiceSim::httpStatusFaultIsAnError()
{
    sim->setFault(QStringLiteral("/AppServersV2"), Fault::httpStatus(500));
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/AppServersV2?username=alice")));
    QCOMPARE(f.status, 500);
    QCOMPARE(f.error, QNetworkReply::InternalServerError);
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/AppUserInfoV2?username=alice"))).status, 200);
}

void TestServiceSim::oneShotFaultAppliesOnce()
{
    sim->setFault(QStringLiteral("/ip/"), Fault::httpStatus(503).once());
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/ip/"))).status, 503);
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/ip/"))).status, 200);
}

void TestServiceSim::longestPrefixFaultWins()
{
    sim->setFault(QStringLiteral("/files/"), Fault::httpStatus(403));
    sim->setFault(QStringLiteral("/files/us1/"), Fault::httpStatus(410));
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/files/us1/config.ovpn"))).status, 410);
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/files/update.exe"))).status, 403);
    sim->clearFault(QStringLiteral("/files/us1/"));
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/files/us1/config.ovpn"))).status, 403);
}

void TestServiceSim::delayFaultHoldsTheAnswer()
{
    sim->setFault(QStringLiteral("/ip/"), Fault::delay(400));
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/ip/")));
    QCOMPARE(f.status, 200);
    QVERIFY(f.body.contains("Current IP Address"));
    QVERIFY2(f.elapsedMs >= 380, qPrintable(QString::number(f.elapsedMs)));
}

void TestServiceSim::neverAnswerTimesOutAndStopDoesNotHang()
{
    sim->setFault(QStringLiteral("/AppServersV2"), Fault::neverAnswer());
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/AppServersV2")), 300);
    QVERIFY(f.finished);
    QCOMPARE(f.error, QNetworkReply::OperationCanceledError);
    QVERIFY(f.body.isEmpty());

    // A held connection still open when the simulator stops.
    QNetworkRequest request(url(*sim, QStringLiteral("/AppServersV2")));
    QNetworkReply* held = nam->get(request);
    QTRY_COMPARE(sim->requests(QStringLiteral("/AppServersV2")).size(), 2);
    QElapsedTimer timer;
    timer.start();
    sim->stop();
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QTRY_VERIFY(held->isFinished());
    QVERIFY(held->error() != QNetworkReply::NoError);
    delete held;
}

void TestServiceSim::malformedXmlFaultBreaksParsing()
{
    const QString path = QStringLiteral("/AppServersV2?") +
                         loginQuery(QStringLiteral("alice"), md5(QStringLiteral("wonder land")));
    const QByteArray normal = fetch(*nam, url(*sim, path)).body;
    sim->setFault(QStringLiteral("/AppServersV2"), Fault::malformedXml());
    const QByteArray broken = fetch(*nam, url(*sim, path)).body;
    QVERIFY(broken.size() > normal.size());
    QXmlStreamReader r(broken);
    while (!r.atEnd()) {
        r.readNext();
    }
    QCOMPARE(r.error(), QXmlStreamReader::NotWellFormedError);
    QVERIFY(r.characterOffset() > normal.size() / 3);

    sim->setFault(QStringLiteral("/AppServersV2"), Fault::malformedXml(0));
    QVERIFY(fetch(*nam, url(*sim, path)).body.startsWith("</mismatch>"));
}

void TestServiceSim::truncatedXmlFaultCutsTheBody()
{
    const QString path =
        QStringLiteral("/AppUserInfoV2?username=alice&key=") + md5(QStringLiteral("wonder land"));
    const QByteArray normal = fetch(*nam, url(*sim, path)).body;
    sim->setFault(QStringLiteral("/AppUserInfoV2"), Fault::truncatedXml());
    const QByteArray cut = fetch(*nam, url(*sim, path)).body;
    QCOMPARE(cut, normal.left(normal.size() / 2));
    QXmlStreamReader r(cut);
    while (!r.atEnd()) {
        r.readNext();
    }
    QCOMPARE(r.error(), QXmlStreamReader::PrematureEndOfDocumentError);
    sim->setFault(QStringLiteral("/AppUserInfoV2"), Fault::truncatedXml(10));
    QCOMPARE(fetch(*nam, url(*sim, path)).body, normal.left(10));
}

void TestServiceSim::nulByteFaultInsertsNulAndMoreText()
{
    const QString path = QStringLiteral("/AppVer2/4.0.2");
    const QByteArray normal = fetch(*nam, url(*sim, path)).body;
    sim->setFault(QStringLiteral("/AppVer2/"), Fault::nulByte());
    const QByteArray body = fetch(*nam, url(*sim, path)).body;
    const int nul = body.indexOf('\0');
    QCOMPARE(nul, normal.size());
    QCOMPARE(body.left(nul), normal);
    QVERIFY(body.size() > nul + 5);

    sim->setFault(QStringLiteral("/AppVer2/"), Fault::nulByte(20));
    const QByteArray early = fetch(*nam, url(*sim, path)).body;
    QCOMPARE(early.indexOf('\0'), 20);
    QVERIFY(early.endsWith(normal.mid(20)));
}

void TestServiceSim::redirectFaultIsNotFollowed()
{
    sim->setFault(QStringLiteral("/files/"),
                  Fault::redirect(QStringLiteral("http://127.0.0.1:9/elsewhere"), "moved away"));
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/files/us1/config.ovpn")));
    QCOMPARE(f.status, 302);
    QCOMPARE(f.error, QNetworkReply::NoError);
    QCOMPARE(f.location, QByteArray("http://127.0.0.1:9/elsewhere"));
    QCOMPARE(f.body, QByteArray("moved away"));
}

void TestServiceSim::oversizedFaultStreamsTheWholeSize()
{
    const qint64 size = 24 * 1024 * 1024 + 3;
    sim->setFault(QStringLiteral("/files/update.exe"), Fault::oversized(size));
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/files/update.exe")), 60000, false);
    QCOMPARE(f.error, QNetworkReply::NoError);
    QCOMPARE(f.received, size);
}

void TestServiceSim::customBodyFaultReplacesAnswer()
{
    sim->setFault(QStringLiteral("/AppNewAccount"), Fault::customBody("true|  spaced  ", "text/plain"));
    const Fetched f = fetch(*nam, url(*sim, QStringLiteral("/AppNewAccount?firstname=a")));
    QCOMPARE(f.status, 200);
    QCOMPARE(f.body, QByteArray("true|  spaced  "));
}

void TestServiceSim::clearFaultsRestoresNormalAnswers()
{
    sim->setFault(QStringLiteral("/"), Fault::httpStatus(500));
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/ip/"))).status, 500);
    sim->clearFaults();
    QCOMPARE(fetch(*nam, url(*sim, QStringLiteral("/ip/"))).status, 200);
}

void TestServiceSim::demoDataOffersWhatTheDemoNeeds()
{
    const QString demo = QFINDTESTDATA("../tools/servicesim/demo-data.json");
    QVERIFY(!demo.isEmpty());
    QVERIFY(sim->loadDataFile(demo));
    const Fetched login =
        fetch(*nam, url(*sim, QStringLiteral("/AppServersV2?") +
                                  loginQuery(QStringLiteral("demo"), md5(QStringLiteral("demo")))));
    int servers = 0;
    int profiles = 0;
    QCOMPARE(layoutViolation(login.body, &servers, &profiles), QString());
    const QList<ServerEntry> entries = serverEntries(login.body);
    QSet<QString> countries;
    bool pptp = false, l2tp = false, openvpn = false;
    for (const ServerEntry& e : entries) {
        countries.insert(e.country);
        pptp |= e.pptp == QLatin1String("1");
        l2tp |= e.l2tp == QLatin1String("1");
        openvpn |= e.openvpn == QLatin1String("1");
        QVERIFY(e.profileNames.size() >= 2 && e.profileNames.size() <= 3);
        for (const QString& file : e.configs + e.certificates) {
            QVERIFY(file.startsWith(sim->baseUrl()));
            QCOMPARE(fetch(*nam, QUrl(file)).status, 200);
        }
    }
    QCOMPARE(countries, (QSet<QString>{"us", "de", "nl", "uk", "ca", "fr", "se", "ch", "ro", "it"}));
    QVERIFY(pptp && l2tp && openvpn);

    bool between = false;
    const QStringList demoDetails =
        positionsAfterResponse(fetch(*nam, url(*sim, QStringLiteral("/AppUserInfoV2?username=demo&key=") +
                                                         md5(QStringLiteral("demo"))))
                                   .body,
                               &between);
    QCOMPARE(demoDetails.value(3), QStringLiteral("1"));
    const QStringList quick = demoDetails.value(12).split(QLatin1Char('|'));
    QVERIFY(quick.size() >= 3 && quick.size() <= 4);
    QVERIFY(demoDetails.value(13).trimmed().size() > 5);
    const QStringList lapsed =
        positionsAfterResponse(fetch(*nam, url(*sim, QStringLiteral("/AppUserInfoV2?username=lapsed&key=") +
                                                         md5(QStringLiteral("lapsed"))))
                                   .body,
                               &between);
    QCOMPARE(lapsed.value(3), QStringLiteral("0"));

    const QByteArray version = fetch(*nam, url(*sim, QStringLiteral("/AppVer2/4.0.2"))).body;
    QVERIFY(version.contains("<latest>4.1.0</latest>"));
    QVERIFY(version.contains(
        QStringLiteral("<installer>%1/files/update.exe</installer>").arg(sim->baseUrl()).toUtf8()));
    QVERIFY(fetch(*nam, url(*sim, QStringLiteral("/files/update.exe"))).body.startsWith("MZ"));
}

void TestServiceSim::standaloneProgramServesUntilTerminated()
{
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/servicesim/corvane-servicesim");
    if (!QFile::exists(program)) {
        QSKIP("corvane-servicesim is not built beside the tests");
    }
    QProcess process;
    process.start(program, {QStringLiteral("--host"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                            QStringLiteral("0"), QStringLiteral("--data"),
                            QFINDTESTDATA("../tools/servicesim/demo-data.json")});
    QVERIFY(process.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 10000);
    const QString line = QString::fromUtf8(process.readLine()).trimmed();
    QVERIFY2(line.startsWith(QStringLiteral("corvane-servicesim listening on http://127.0.0.1:")),
             qPrintable(line));
    const QString base = line.mid(line.indexOf(QStringLiteral("http://")));
    const Fetched f = fetch(*nam, QUrl(base + QStringLiteral("/AppVer2/4.0.2")));
    QVERIFY(f.body.contains("<latest>4.1.0</latest>"));
    process.terminate();
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

// A test under Wine sets its faults through the control connection: nothing may be lost there.
void TestServiceSim::remoteFaultKeepsEveryField()
{
    Fault sent = Fault::trickle(70).delayed(30).once();
    sent.status = 418;
    sent.offset = 5;
    sent.size = 1 << 20;
    sent.location = QStringLiteral("https://127.0.0.1:1/elsewhere");
    sent.body = QByteArray("body\0with nul", 13);
    sent.contentType = "text/xml";
    const Fault got = servicesim::faultFromJson(
        QJsonDocument::fromJson(QJsonDocument(servicesim::faultToJson(sent)).toJson()).object());
    QCOMPARE(int(got.kind), int(sent.kind));
    QCOMPARE(got.delayMs, sent.delayMs);
    QCOMPARE(got.intervalMs, sent.intervalMs);
    QCOMPARE(got.status, sent.status);
    QCOMPARE(got.offset, sent.offset);
    QCOMPARE(got.size, sent.size);
    QCOMPARE(got.location, sent.location);
    QCOMPARE(got.body, sent.body);
    QCOMPARE(got.contentType, sent.contentType);
    QCOMPARE(got.oneShot, sent.oneShot);
}

// What the HTTPS tests under Wine ask of their simulator on the build machine.
void TestServiceSim::remoteControlServesHttpsAndCountsHandshakes()
{
    ServiceSimulator remote;
    const auto command = [&remote](QJsonObject c) { return answerControlCommand(remote, c); };
    const TestCertificates& made = testCertificates();
    QVERIFY(command({{"op", "useTls"}, {"certificate", made.trusted.certificate}, {"key", made.trusted.key}})
                .value(QStringLiteral("ok"))
                .toBool());
    QVERIFY(command({{"op", "usesTls"}}).value(QStringLiteral("result")).toBool());
    const QJsonObject started = command({{"op", "start"}, {"port", 0}, {"host", "127.0.0.1"}});
    QVERIFY(started.value(QStringLiteral("result")).toBool());
    const QString base = started.value(QStringLiteral("base")).toString();
    QVERIFY2(base.startsWith(QStringLiteral("https://127.0.0.1:")), qPrintable(base));
    QCOMPARE(command({{"op", "handshakes"}}).value(QStringLiteral("result")).toInt(), 0);

    QNetworkRequest request(QUrl(base + QStringLiteral("/ip/")));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setCaCertificates(QSslCertificate::fromPath(made.authority));
    request.setSslConfiguration(tls);
    QNetworkReply* reply = nam->get(request);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    reply->deleteLater();
    QCOMPARE(command({{"op", "handshakes"}}).value(QStringLiteral("result")).toInt(), 1);
}

QTEST_GUILESS_MAIN(TestServiceSim)
#include "tst_servicesim.moc"
