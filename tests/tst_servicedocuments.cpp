#include "catalogue/catalogue.h"
#include "service/documents.h"
#include "tools/servicesim/documents.h"

#include <QTest>

using service::AccountDetails;
using service::LoginVerdict;

Q_DECLARE_METATYPE(QVector<LoginVerdict>)
using PaymentItems = QList<QPair<QString, int>>;
Q_DECLARE_METATYPE(PaymentItems)
Q_DECLARE_METATYPE(service::VersionOrder)

namespace {

// Fourteen positions written the way the service writes them, between a prefix and a suffix.
QString detailsDocument(const QStringList& elements, const QString& response = QStringLiteral("true"))
{
    return QStringLiteral("<userinfo><response>") + response + QStringLiteral("</response>") +
           elements.join(QString()) + QStringLiteral("</userinfo>");
}

QStringList standardElements()
{
    return {QStringLiteral("<id>12</id>"),
            QStringLiteral("<u>alice</u>"),
            QStringLiteral("<e>a@b.c</e>"),
            QStringLiteral("<en>1</en>"),
            QStringLiteral("<p>Premium</p>"),
            QStringLiteral("<c>2024-01-01</c>"),
            QStringLiteral("<x>2031-05-01</x>"),
            QStringLiteral("<l>never</l>"),
            QStringLiteral("<n>1</n>"),
            QStringLiteral("<q>100 GB</q>"),
            QStringLiteral("<pr>1:Card|2:Paypal</pr>"),
            QStringLiteral("<pl>1:Monthly</pl>"),
            QStringLiteral("<qs>A^1.2.3.4^PPTP</qs>"),
            QStringLiteral("<no> Hello there </no>")};
}

QStringList standardTexts()
{
    return {QStringLiteral("12"),
            QStringLiteral("alice"),
            QStringLiteral("a@b.c"),
            QStringLiteral("1"),
            QStringLiteral("Premium"),
            QStringLiteral("2024-01-01"),
            QStringLiteral("2031-05-01"),
            QStringLiteral("never"),
            QStringLiteral("1"),
            QStringLiteral("100 GB"),
            QStringLiteral("1:Card|2:Paypal"),
            QStringLiteral("1:Monthly"),
            QStringLiteral("A^1.2.3.4^PPTP"),
            QStringLiteral(" Hello there ")};
}

// `inner` inside `depth` elements named `name`.
QString nested(const QString& name, int depth, const QString& inner)
{
    return QStringLiteral("<%1>").arg(name).repeated(depth) + inner +
           QStringLiteral("</%1>").arg(name).repeated(depth);
}

// What each reader made of a document, in one comparable line.
QString readBack(const QString& reader, const QString& document)
{
    if (reader == QLatin1String("version")) {
        const service::VersionInfo info = service::readVersionDocument(document.toUtf8());
        return info.latestVersion + QLatin1Char(',') + info.installerUrl;
    }
    if (reader == QLatin1String("account")) {
        const AccountDetails details = service::readAccountDetails(document);
        QStringList reached;
        for (int number = 1; details.isReached(number); ++number)
            reached.append(details.position(number));
        return reached.join(QLatin1Char(','));
    }
    if (reader == QLatin1String("login"))
        return QString::number(service::loginVerdicts(document).size());
    return serverItems(readCatalogue(document)).join(QLatin1Char(','));
}

} // namespace

class TestServiceDocuments : public QObject
{
    Q_OBJECT

private slots:
    void bodyDecodedUpToFirstNul_data();
    void bodyDecodedUpToFirstNul();
    void onlyExactFalseRefusesLogin_data();
    void onlyExactFalseRefusesLogin();
    void simulatorLoginDocumentsGiveOneVerdict_data();
    void simulatorLoginDocumentsGiveOneVerdict();
    void accountPositionsCountedByElement_data();
    void accountPositionsCountedByElement();
    void accountDetailsNeedExactTrue_data();
    void accountDetailsNeedExactTrue();
    void simulatorAccountDocumentReadsBack();
    void noticeIsTrimmed();
    void paymentItemsSkipEmptyParts_data();
    void paymentItemsSkipEmptyParts();
    void newAccountReplyRead_data();
    void newAccountReplyRead();
    void versionDocumentRead_data();
    void versionDocumentRead();
    void onlyANewerVersionIsAnUpdate_data();
    void onlyANewerVersionIsAnUpdate();
    void updateOfferedOnlyForUsableAnswer_data();
    void updateOfferedOnlyForUsableAnswer();
    void tooDeepDocumentReadsAsMalformed_data();
    void tooDeepDocumentReadsAsMalformed();
};

void TestServiceDocuments::bodyDecodedUpToFirstNul_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::newRow("no NUL") << QByteArray("<a>b</a>") << "<a>b</a>";
    QTest::newRow("NUL in the middle") << QByteArray("<a>b</a>\0<junk>", 15) << "<a>b</a>";
    QTest::newRow("NUL first") << QByteArray("\0abc", 4) << "";
    QTest::newRow("UTF-8 letters") << QByteArray("Z\xc3\xbcrich \xe6\x9d\xb1")
                                   << QString::fromUtf8("Zürich 東");
    QTest::newRow("empty") << QByteArray() << "";
}

void TestServiceDocuments::bodyDecodedUpToFirstNul()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QCOMPARE(service::decodeBody(body), text);
}

void TestServiceDocuments::onlyExactFalseRefusesLogin_data()
{
    const LoginVerdict A = LoginVerdict::Accepted;
    const LoginVerdict R = LoginVerdict::Refused;
    QTest::addColumn<QString>("document");
    QTest::addColumn<QVector<LoginVerdict>>("verdicts");
    QTest::newRow("false") << "<r><response>false</response></r>" << QVector<LoginVerdict>{R};
    QTest::newRow("true") << "<r><response>true</response></r>" << QVector<LoginVerdict>{A};
    QTest::newRow("empty element") << "<r><response/></r>" << QVector<LoginVerdict>{A};
    QTest::newRow("empty start and end") << "<r><response></response></r>" << QVector<LoginVerdict>{A};
    QTest::newRow("leading blank") << "<r><response> false</response></r>" << QVector<LoginVerdict>{A};
    QTest::newRow("other case") << "<r><response>False</response></r>" << QVector<LoginVerdict>{A};
    QTest::newRow("first child is an element")
        << "<r><response><x>false</x></response></r>" << QVector<LoginVerdict>{A};
    QTest::newRow("two responses") << "<r><response>false</response><response>ok</response></r>"
                                   << QVector<LoginVerdict>{R, A};
    QTest::newRow("no response") << "<r><status>false</status></r>" << QVector<LoginVerdict>{};
    QTest::newRow("not XML") << "Service unavailable" << QVector<LoginVerdict>{};
    QTest::newRow("error before the response")
        << "<r></x><response>false</response></r>" << QVector<LoginVerdict>{};
    QTest::newRow("verdict before an error stands")
        << "<r><response>false</response></x>" << QVector<LoginVerdict>{R};
    QTest::newRow("cut inside the end tag") << "<r><response>false</respo" << QVector<LoginVerdict>{R};
    QTest::newRow("cut inside the content") << "<r><response>fal" << QVector<LoginVerdict>{};
    QTest::newRow("other element names response")
        << "<r><responses>false</responses></r>" << QVector<LoginVerdict>{};
}

void TestServiceDocuments::onlyExactFalseRefusesLogin()
{
    QFETCH(QString, document);
    QFETCH(QVector<LoginVerdict>, verdicts);
    QCOMPARE(service::loginVerdicts(document), verdicts);
}

void TestServiceDocuments::simulatorLoginDocumentsGiveOneVerdict_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("oneline");
    QTest::newRow("accepted, lines") << true << false;
    QTest::newRow("accepted, one line") << true << true;
    QTest::newRow("refused, lines") << false << false;
    QTest::newRow("refused, one line") << false << true;
}

void TestServiceDocuments::simulatorLoginDocumentsGiveOneVerdict()
{
    QFETCH(bool, accepted);
    QFETCH(bool, oneline);
    const QByteArray document =
        servicesim::loginDocument(servicesim::sampleServers(3, QStringLiteral("http://h")), accepted,
                                  oneline ? servicesim::Layout::OneLine : servicesim::Layout::Lines);
    QCOMPARE(service::loginVerdicts(service::decodeBody(document)),
             QVector<LoginVerdict>{accepted ? LoginVerdict::Accepted : LoginVerdict::Refused});
}

void TestServiceDocuments::accountPositionsCountedByElement_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("reachedCount");

    const QStringList elements = standardElements();
    const QStringList texts = standardTexts();
    QTest::newRow("compact") << detailsDocument(elements) << texts << 14;

    QStringList whitespace;
    for (const QString& e : elements) {
        whitespace << e + QStringLiteral("\n  ");
    }
    QTest::newRow("whitespace between tags does not shift") << detailsDocument(whitespace) << texts << 14;

    QStringList emptyFirst = elements;
    emptyFirst[0] = QStringLiteral("<id></id>");
    QStringList emptyFirstTexts = texts;
    emptyFirstTexts[0].clear();
    QTest::newRow("empty element does not shift") << detailsDocument(emptyFirst) << emptyFirstTexts << 14;

    QStringList selfClosing = elements;
    selfClosing[5] = QStringLiteral("<c/>");
    QStringList selfClosingTexts = texts;
    selfClosingTexts[5].clear();
    QTest::newRow("self-closing element does not shift")
        << detailsDocument(selfClosing) << selfClosingTexts << 14;

    QStringList nested = elements;
    nested[13] = QStringLiteral("<no>Read <b>this</b> now</no>");
    QStringList nestedTexts = texts;
    nestedTexts[13] = QStringLiteral("Read this now");
    QTest::newRow("child elements belong to their position") << detailsDocument(nested) << nestedTexts << 14;

    QStringList escaped = elements;
    escaped[2] = QStringLiteral("<e>a&amp;b&lt;c&gt;@d</e>");
    QStringList escapedTexts = texts;
    escapedTexts[2] = QStringLiteral("a&b<c>@d");
    QTest::newRow("entities decoded") << detailsDocument(escaped) << escapedTexts << 14;

    QStringList shortTexts = texts.mid(0, 9);
    while (shortTexts.size() < 14) {
        shortTexts << QString();
    }
    QTest::newRow("document ends after position 9") << detailsDocument(elements.mid(0, 9)) << shortTexts << 9;

    const QString full = detailsDocument(elements);
    QStringList brokenTexts = texts.mid(0, 7);
    while (brokenTexts.size() < 14) {
        brokenTexts << QString();
    }
    QString broken = full;
    broken.replace(QStringLiteral("<l>never</l>"), QStringLiteral("<l>never</x>"));
    QTest::newRow("malformed position 8 stops reading") << broken << brokenTexts << 7;
    QTest::newRow("truncated inside position 8")
        << full.left(full.indexOf(QStringLiteral("<l>never")) + 5) << brokenTexts << 7;

    QStringList extra = elements;
    extra << QStringLiteral("<more>15</more>");
    QTest::newRow("elements beyond 14 ignored") << detailsDocument(extra) << texts << 14;

    QTest::newRow("response nested deeper")
        << QStringLiteral("<a><b><response>true</response>") + elements.mid(0, 3).join(QString()) +
               QStringLiteral("</b><late>x</late></a>")
        << QStringList(texts.mid(0, 3) + QVector<QString>(11).toList()) << 3;
}

void TestServiceDocuments::accountPositionsCountedByElement()
{
    QFETCH(QString, document);
    QFETCH(QStringList, texts);
    QFETCH(int, reachedCount);
    const AccountDetails details = service::readAccountDetails(document);
    QVERIFY(details.accepted);
    for (int i = 1; i <= 14; ++i) {
        QCOMPARE(details.position(i), texts.at(i - 1));
        QCOMPARE(details.isReached(i), i <= reachedCount);
    }
}

void TestServiceDocuments::accountDetailsNeedExactTrue_data()
{
    QTest::addColumn<QString>("document");
    const QString elements = standardElements().join(QString());
    QTest::newRow("false") << detailsDocument(standardElements(), QStringLiteral("false"));
    QTest::newRow("True") << detailsDocument(standardElements(), QStringLiteral("True"));
    QTest::newRow("true with blank") << detailsDocument(standardElements(), QStringLiteral("true "));
    QTest::newRow("empty response") << QStringLiteral("<u><response/>") + elements + QStringLiteral("</u>");
    QTest::newRow("no response") << QStringLiteral("<u>") + elements + QStringLiteral("</u>");
    QTest::newRow("not XML") << QStringLiteral("Internal error");
    QTest::newRow("error before response") << QStringLiteral("<u></v><response>true</response>") + elements;
}

void TestServiceDocuments::accountDetailsNeedExactTrue()
{
    QFETCH(QString, document);
    const AccountDetails details = service::readAccountDetails(document);
    QVERIFY(!details.accepted);
    for (int i = 1; i <= 14; ++i) {
        QVERIFY(details.position(i).isEmpty());
        QVERIFY(!details.isReached(i));
    }
}

void TestServiceDocuments::simulatorAccountDocumentReadsBack()
{
    const QJsonObject account{
        {QStringLiteral("username"), QStringLiteral("zoë")},
        {QStringLiteral("email"), QStringLiteral("")},
        {QStringLiteral("enabled"), QStringLiteral("1")},
        {QStringLiteral("plan"), QStringLiteral("Plan & <more>")},
        {QStringLiteral("expiry"), QStringLiteral("2030-01-01")},
        {QStringLiteral("quota"), QStringLiteral("5 GB")},
        {QStringLiteral("processors"), QStringLiteral("1:Card")},
        {QStringLiteral("plans"), QStringLiteral("2:Year")},
        {QStringLiteral("quickServers"), QStringLiteral("A^1^PPTP|B^2^L2TP^k")},
        {QStringLiteral("notice"), QStringLiteral("  Welcome back!  ")},
    };
    const AccountDetails details =
        service::readAccountDetails(service::decodeBody(servicesim::accountDocument(account, true)));
    QVERIFY(details.accepted);
    QCOMPARE(details.position(2), QStringLiteral("zoë"));
    QCOMPARE(details.email(), QString());
    QCOMPARE(details.enabledFlag(), QStringLiteral("1"));
    QCOMPARE(details.plan(), QStringLiteral("Plan & <more>"));
    QCOMPARE(details.expiry(), QStringLiteral("2030-01-01"));
    QCOMPARE(details.quota(), QStringLiteral("5 GB"));
    QCOMPARE(details.processors(), QStringLiteral("1:Card"));
    QCOMPARE(details.plans(), QStringLiteral("2:Year"));
    QCOMPARE(details.quickServers(), QStringLiteral("A^1^PPTP|B^2^L2TP^k"));
    QCOMPARE(details.notice(), QStringLiteral("Welcome back!"));
    QVERIFY(details.isReached(14));

    QVERIFY(!service::readAccountDetails(service::decodeBody(servicesim::accountDocument(account, false)))
                 .accepted);
}

void TestServiceDocuments::noticeIsTrimmed()
{
    const AccountDetails details = service::readAccountDetails(detailsDocument(standardElements()));
    QCOMPARE(details.position(14), QStringLiteral(" Hello there "));
    QCOMPARE(details.notice(), QStringLiteral("Hello there"));
}

void TestServiceDocuments::paymentItemsSkipEmptyParts_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<PaymentItems>("items");
    QTest::newRow("two items") << "1:Credit Card|2:Paypal"
                               << PaymentItems{{QStringLiteral("Credit Card"), 1},
                                               {QStringLiteral("Paypal"), 2}};
    QTest::newRow("empty part skipped")
        << "1:Card||2:Paypal" << PaymentItems{{QStringLiteral("Card"), 1}, {QStringLiteral("Paypal"), 2}};
    QTest::newRow("leading and trailing bars") << "|3:Yearly|" << PaymentItems{{QStringLiteral("Yearly"), 3}};
    QTest::newRow("number not a number") << "x:Bitcoin" << PaymentItems{{QStringLiteral("Bitcoin"), 0}};
    QTest::newRow("name missing") << "5" << PaymentItems{{QString(), 5}};
    QTest::newRow("third piece ignored") << "4:a:b" << PaymentItems{{QStringLiteral("a"), 4}};
    QTest::newRow("hex is not decimal") << "0x10:Hex" << PaymentItems{{QStringLiteral("Hex"), 0}};
    QTest::newRow("empty") << "" << PaymentItems{};
    QTest::newRow("only bars") << "||" << PaymentItems{};
}

void TestServiceDocuments::paymentItemsSkipEmptyParts()
{
    QFETCH(QString, list);
    QFETCH(PaymentItems, items);
    QCOMPARE(service::paymentItems(list), items);
}

void TestServiceDocuments::newAccountReplyRead_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("created");
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("message");
    QTest::newRow("created") << "true|trial1001" << true << "trial1001"
                             << "";
    QTest::newRow("name trimmed") << "true|  bob \n"
                                  << true << "bob"
                                  << "";
    QTest::newRow("created without name") << "true" << true << ""
                                          << "";
    QTest::newRow("extra parts ignored") << "true|carl|x" << true << "carl"
                                         << "";
    QTest::newRow("refused with message") << "false|E-mail already used" << false << ""
                                          << "E-mail already used";
    QTest::newRow("message kept as is") << "false| spaced |more" << false << ""
                                        << " spaced ";
    QTest::newRow("no bar") << "error" << false << ""
                            << "";
    QTest::newRow("upper-case TRUE") << "TRUE|x" << false << ""
                                     << "x";
    QTest::newRow("true with blank") << "true |x" << false << ""
                                     << "x";
    QTest::newRow("empty") << "" << false << ""
                           << "";
}

void TestServiceDocuments::newAccountReplyRead()
{
    QFETCH(QString, reply);
    QFETCH(bool, created);
    QFETCH(QString, userName);
    QFETCH(QString, message);
    const service::NewAccountReply result = service::readNewAccountReply(reply);
    QCOMPARE(result.created, created);
    QCOMPARE(result.userName, userName);
    QCOMPARE(result.message, message);
}

void TestServiceDocuments::versionDocumentRead_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("installer");
    QTest::addColumn<QString>("note");
    QTest::newRow("simulator document")
        << servicesim::versionDocument(QStringLiteral("4.1.0"), QStringLiteral("http://h/u.exe"),
                                       QStringLiteral("n"))
        << "4.1.0"
        << "http://h/u.exe"
        << "n";
    QTest::newRow("whitespace between elements")
        << QByteArray(
               "<?xml version=\"1.0\"?>\n<v>\n  <a>4.1.0</a>\n  <b>http://h/u.exe</b>\n  <c>x</c>\n</v>\n")
        << "4.1.0"
        << "http://h/u.exe"
        << "x";
    QTest::newRow("trailing blank kept") << QByteArray("<v><a>4.0.2 </a><b>u</b><c/></v>") << "4.0.2 "
                                         << "u"
                                         << "";
    QTest::newRow("third missing") << QByteArray("<v><a>5</a><b>http://h/u</b></v>") << "5"
                                   << "http://h/u"
                                   << "";
    QTest::newRow("only a root") << QByteArray("<v/>") << ""
                                 << ""
                                 << "";
    QTest::newRow("empty body") << QByteArray() << ""
                                << ""
                                << "";
    QTest::newRow("declared encoding")
        << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><v><a>4.1\xe9</a>"
                      "<b>http://h/u</b><c>z</c></v>")
        << QString::fromUtf8("4.1é") << "http://h/u"
        << "z";
    QTest::newRow("error after the first text") << QByteArray("<v><a>4.1</a><b>http://h/</x></v>") << "4.1"
                                                << ""
                                                << "";
}

void TestServiceDocuments::versionDocumentRead()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, latest);
    QFETCH(QString, installer);
    QFETCH(QString, note);
    const service::VersionInfo info = service::readVersionDocument(document);
    QCOMPARE(info.latestVersion, latest);
    QCOMPARE(info.installerUrl, installer);
    QCOMPARE(info.note, note);
}

void TestServiceDocuments::onlyANewerVersionIsAnUpdate_data()
{
    using service::VersionOrder;
    QTest::addColumn<QString>("latest");
    QTest::addColumn<VersionOrder>("order");
    QTest::newRow("older") << "3.9.0" << VersionOrder::NotNewer;
    QTest::newRow("same") << "4.0.2" << VersionOrder::NotNewer;
    QTest::newRow("same, written with a zero") << "4.0.02" << VersionOrder::NotNewer;
    QTest::newRow("same, with a zero segment") << "4.0.2.0" << VersionOrder::NotNewer;
    QTest::newRow("same, in blanks") << " 4.0.2\n" << VersionOrder::NotNewer;
    QTest::newRow("newer by number, older by text") << "4.0.10" << VersionOrder::Newer;
    QTest::newRow("newer") << "4.1" << VersionOrder::Newer;
    QTest::newRow("not a version") << "oops" << VersionOrder::NotAVersion;
    QTest::newRow("empty") << "" << VersionOrder::NotAVersion;
    QTest::newRow("with a suffix") << "4.1.0-beta" << VersionOrder::NotAVersion;
    QTest::newRow("with a prefix") << "v4.1.0" << VersionOrder::NotAVersion;
    QTest::newRow("trailing dot") << "4.1." << VersionOrder::NotAVersion;
    QTest::newRow("two dots") << "4..1" << VersionOrder::NotAVersion;
}

void TestServiceDocuments::onlyANewerVersionIsAnUpdate()
{
    QFETCH(QString, latest);
    QFETCH(service::VersionOrder, order);
    QCOMPARE(service::compareVersions(latest, QStringLiteral("4.0.2")), order);
}

void TestServiceDocuments::updateOfferedOnlyForUsableAnswer_data()
{
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("installer");
    QTest::addColumn<bool>("offered");
    QTest::newRow("same version") << "4.0.2"
                                  << "http://h/u.exe" << false;
    QTest::newRow("newer version") << "4.1.0"
                                   << "http://h/u.exe" << true;
    QTest::newRow("older version") << "4.0.1"
                                   << "https://h/u.exe" << false;
    QTest::newRow("same version with a trailing blank") << "4.0.2 "
                                                        << "http://h/u.exe" << false;
    QTest::newRow("empty version") << ""
                                   << "http://h/u.exe" << false;
    QTest::newRow("empty installer") << "4.1.0"
                                     << "" << false;
    QTest::newRow("ftp installer") << "4.1.0"
                                   << "ftp://h/u.exe" << false;
    QTest::newRow("local file installer") << "4.1.0"
                                          << "file:///tmp/u.exe" << false;
    QTest::newRow("newer by number") << "4.0.10"
                                     << "https://h/u.exe" << true;
    QTest::newRow("not a version") << "oops"
                                   << "https://h/u.exe" << false;
    QTest::newRow("relative installer") << "4.1.0"
                                        << "u.exe" << false;
    QTest::newRow("upper-case scheme") << "4.1.0"
                                       << "HTTP://h/u.exe" << true;
}

void TestServiceDocuments::updateOfferedOnlyForUsableAnswer()
{
    QFETCH(QString, latest);
    QFETCH(QString, installer);
    QFETCH(bool, offered);
    service::VersionInfo info;
    info.latestVersion = latest;
    info.installerUrl = installer;
    QCOMPARE(service::offersUpdate(info, QStringLiteral("4.0.2")), offered);
}

void TestServiceDocuments::tooDeepDocumentReadsAsMalformed_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<int>("depth");
    QTest::addColumn<QString>("expected");
    // The root counts as the first level, so 63 nested elements reach the deepest one read.
    QTest::newRow("version at the bound") << "version" << 63 << "9,http://h/u";
    QTest::newRow("version one past") << "version" << 64 << ",";
    QTest::newRow("version 100000 deep") << "version" << 100000 << ",";
    QTest::newRow("account at the bound") << "account" << 63 << "1,2,x,4";
    QTest::newRow("account 200000 deep") << "account" << 200000 << "1,2";
    QTest::newRow("login at the bound") << "login" << 63 << "2";
    QTest::newRow("login 100000 deep") << "login" << 100000 << "1";
    QTest::newRow("catalogue at the bound") << "catalogue" << 63 << "A,B";
    QTest::newRow("catalogue 100000 deep") << "catalogue" << 100000 << "A";
}

void TestServiceDocuments::tooDeepDocumentReadsAsMalformed()
{
    QFETCH(QString, reader);
    QFETCH(int, depth);
    QFETCH(QString, expected);
    const QString server =
        QStringLiteral("<server><id>1</id><shortname>%1</shortname><country>us</country></server>");
    QString document;
    if (reader == QLatin1String("version"))
        document = QStringLiteral("<v>") + nested(QStringLiteral("latest"), depth, QStringLiteral("9")) +
                   QStringLiteral("<b>http://h/u</b><c/></v>");
    else if (reader == QLatin1String("account"))
        document = QStringLiteral("<u><response>true</response><a>1</a><b>2</b>") +
                   nested(QStringLiteral("e"), depth, QStringLiteral("x")) + QStringLiteral("<f>4</f></u>");
    else if (reader == QLatin1String("login"))
        document = QStringLiteral("<r><response>x</response>") +
                   nested(QStringLiteral("n"), depth, QString()) +
                   QStringLiteral("<response>false</response></r>");
    else
        document = QStringLiteral("<r><servers>") + server.arg(QLatin1Char('A')) +
                   nested(QStringLiteral("n"), depth - 1, QString()) + server.arg(QLatin1Char('B')) +
                   QStringLiteral("</servers></r>");
    QCOMPARE(readBack(reader, document), expected);
}

QTEST_GUILESS_MAIN(TestServiceDocuments)
#include "tst_servicedocuments.moc"
