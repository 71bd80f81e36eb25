#include "catalogue/catalogue.h"

#include <QtTest>

#include <optional>

// One server entry as the service writes it; absent optionals leave the element out.
struct ServerSpec
{
    QString id;
    std::optional<QString> name;
    std::optional<QString> country = QStringLiteral("us");
    QString ip;
    QString assignedIp;
    QString pptp = QStringLiteral("1");
    QString l2tp = QStringLiteral("0");
    QString openvpn = QStringLiteral("0");
    std::optional<QString> pskey;
    std::optional<QString> count; // absent: the number of profiles
    QVector<Profile> profiles;
};

enum class Whitespace
{
    Lines,      // one element per line, the profile list without whitespace
    OneBlank,   // one line; a single blank between <pptp> and <enabled> only
    None,       // one line, no whitespace at all
    Everywhere, // line breaks and indentation between all tags, the profile list included
};

static QString serverXml(const ServerSpec& s, Whitespace ws)
{
    const QString nl =
        ws == Whitespace::Lines || ws == Whitespace::Everywhere ? QStringLiteral("\n") : QString();
    const QString gap = ws == Whitespace::Everywhere ? QStringLiteral("\n   ") : QString();
    QString pptpGap = nl;
    if (ws == Whitespace::OneBlank)
        pptpGap = QStringLiteral(" ");
    auto element = [&](const QString& name, const QString& text) {
        return QStringLiteral("<%1>%2</%1>").arg(name, text) + nl;
    };

    QString x = QStringLiteral("<server>") + nl;
    x += element(QStringLiteral("id"), s.id);
    if (s.name)
        x += element(QStringLiteral("shortname"), *s.name);
    x += element(QStringLiteral("IP"), s.ip);
    if (s.country)
        x += element(QStringLiteral("country"), *s.country);
    x += element(QStringLiteral("assignedIP"), s.assignedIp);
    x += QStringLiteral("<pptp>") + pptpGap + element(QStringLiteral("enabled"), s.pptp) +
         QStringLiteral("</pptp>") + nl;
    x += QStringLiteral("<l2tp>") + nl + element(QStringLiteral("enabled"), s.l2tp);
    if (s.pskey)
        x += element(QStringLiteral("pskey"), *s.pskey);
    x += QStringLiteral("</l2tp>") + nl;
    x += QStringLiteral("<openvpn>") + nl + element(QStringLiteral("enabled"), s.openvpn);
    x += QStringLiteral("<profiles>") + nl;
    x += QStringLiteral("<count>%1</count>").arg(s.count ? *s.count : QString::number(s.profiles.size()));
    for (const Profile& p : s.profiles) {
        x += gap + QStringLiteral("<profile>") + gap;
        x += QStringLiteral("<name>%1</name>").arg(p.name) + gap;
        x += QStringLiteral("<config>%1</config>").arg(p.config) + gap;
        x += QStringLiteral("<certificate>%1</certificate>").arg(p.certificate) + gap;
        x += QStringLiteral("</profile>");
    }
    x += gap + QStringLiteral("</profiles>") + nl + QStringLiteral("</openvpn>") + nl;
    x += QStringLiteral("</server>") + nl;
    return x;
}

static QString loginXml(const QVector<ServerSpec>& servers, Whitespace ws = Whitespace::Lines)
{
    const QString nl =
        ws == Whitespace::Lines || ws == Whitespace::Everywhere ? QStringLiteral("\n") : QString();
    QString x = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") + nl;
    x += QStringLiteral("<corvane>") + nl + QStringLiteral("<response>true</response>") + nl;
    x += QStringLiteral("<servers>") + nl;
    for (const ServerSpec& s : servers)
        x += serverXml(s, ws);
    x += QStringLiteral("</servers>") + nl + QStringLiteral("</corvane>") + nl;
    return x;
}

static Profile profile(const QString& name)
{
    return {name, QStringLiteral("http://127.0.0.1/") + name + QStringLiteral(".ovpn"),
            QStringLiteral("http://127.0.0.1/") + name + QStringLiteral(".crt")};
}

static ServerSpec server(const QString& id, const QString& name)
{
    ServerSpec s;
    s.id = id;
    s.name = name;
    s.ip = QStringLiteral("198.18.0.") + id;
    s.assignedIp = QStringLiteral("198.19.0.") + id;
    s.pskey = QStringLiteral("key") + id;
    return s;
}

// The Part's example: PPTP and L2TP; PPTP only; OpenVPN with two profiles.
static QVector<ServerSpec> threeServers()
{
    ServerSpec amsterdam = server(QStringLiteral("1"), QStringLiteral("Amsterdam"));
    amsterdam.country = QStringLiteral("nl");
    amsterdam.l2tp = QStringLiteral("1");
    ServerSpec zurich = server(QStringLiteral("2"), QStringLiteral("Zurich"));
    zurich.country = QStringLiteral("ch");
    ServerSpec london = server(QStringLiteral("3"), QStringLiteral("London"));
    london.country = QStringLiteral("UK");
    london.pptp = QStringLiteral("0");
    london.openvpn = QStringLiteral("1");
    london.profiles = {profile(QStringLiteral("udp")), profile(QStringLiteral("tcp"))};
    return {amsterdam, zurich, london};
}

// Everything read from a catalogue, in one comparable text per entry.
static QStringList described(const Catalogue& catalogue)
{
    QStringList lines;
    for (int row = 0; row < catalogue.rows.size(); ++row) {
        const ServerEntry* e = serverAtRow(catalogue, row);
        QStringList parts = {e->name,
                             e->ip,
                             e->country,
                             e->assignedIp,
                             e->hasPskey ? e->pskey : QStringLiteral("(no key)"),
                             protocolItems(catalogue, row).join(QLatin1Char('+'))};
        for (const Profile& p : e->profiles)
            parts << p.name << p.config << p.certificate;
        lines << parts.join(QLatin1Char('|'));
    }
    lines << QStringLiteral("entries %1").arg(catalogue.entries.size());
    return lines;
}

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void threeServerExampleListsEveryServerAndItsProtocols();
    void threeServerExampleFirstSelection();
    void choosingTheOpenVpnServerOffersItsProfiles();
    void choosingAProfileWritesItsUrls();
    void duplicatedNamesAreListedTwiceInDocumentOrder();
    void entryWithoutCountryIsListedWithTheNeutralFlag();
    void entryWithoutShortnameShowsItsAddress();
    void profileCountLimitsTheProfilesRead_data();
    void profileCountLimitsTheProfilesRead();
    void onlyExactlyOneOffersAProtocol_data();
    void onlyExactlyOneOffersAProtocol();
    void serverOfferingNothingHasNoProtocolsAndNoType();
    void preSharedKeyIsTakenForL2tpOrLonePptp_data();
    void preSharedKeyIsTakenForL2tpOrLonePptp();
    void openVpnServerWithoutProfilesClearsTheUrls();
    void pptpChoiceLeavesTheUrlsAlone();
    void documentsWithoutServersGiveEmptyLists_data();
    void documentsWithoutServersGiveEmptyLists();
    void readingStopsAtTheFirstXmlErrorKeepingWhatCameBefore_data();
    void readingStopsAtTheFirstXmlErrorKeepingWhatCameBefore();
    void otherWhitespaceIsReadLikeTheLinesLayout_data();
    void otherWhitespaceIsReadLikeTheLinesLayout();
    void escapedTextIsReadWhole();
    void elementsBeforeTheFirstServerAreIgnored();
    void flagResourceUsesTheLowerCaseCountry();
    void rowsOutsideTheListsSelectNothing();
    void readingInHalvesReadsLikeReadingWhole_data();
    void readingInHalvesReadsLikeReadingWhole();
};

void TestCatalogue::threeServerExampleListsEveryServerAndItsProtocols()
{
    const Catalogue c = readCatalogue(loginXml(threeServers()));
    QCOMPARE(serverItems(c), QStringList({"Amsterdam", "Zurich", "London"}));
    QCOMPARE(protocolItems(c, 0), QStringList({"PPTP", "L2TP"}));
    QCOMPARE(protocolItems(c, 1), QStringList({"PPTP"}));
    QCOMPARE(protocolItems(c, 2), QStringList({"OpenVPN"}));
}

void TestCatalogue::threeServerExampleFirstSelection()
{
    const Catalogue c = readCatalogue(loginXml(threeServers()));
    const TypeFill fill = typeFill(c, 0, 0);
    QCOMPARE(fill.items, QStringList({"Auto"}));
    QCOMPARE(fill.details.protocol, std::optional<QString>("PPTP"));
    QCOMPARE(fill.details.name, std::optional<QString>("Amsterdam"));
    QCOMPARE(fill.details.ip, std::optional<QString>("198.18.0.1"));
    QCOMPARE(fill.details.assignedIp, std::optional<QString>("198.19.0.1"));
    QCOMPARE(fill.details.flag, std::optional<QString>(":/resources/flags/nl.png"));
    // PPTP chosen while L2TP is offered: the key is not taken.
    QVERIFY(!fill.details.pskey);
    QVERIFY(!fill.details.config);
    QVERIFY(!fill.details.certificate);

    const DetailUpdate choice = typeChoice(c, 0, 0, 0);
    QCOMPARE(choice.name, std::optional<QString>("Amsterdam"));
    QCOMPARE(choice.assignedIp, std::optional<QString>("198.19.0.1"));
    QVERIFY(!choice.protocol);
    QVERIFY(!choice.config);
}

void TestCatalogue::choosingTheOpenVpnServerOffersItsProfiles()
{
    const Catalogue c = readCatalogue(loginXml(threeServers()));
    const TypeFill fill = typeFill(c, 2, 0);
    QCOMPARE(fill.items, QStringList({"udp", "tcp"}));
    QCOMPARE(fill.details.protocol, std::optional<QString>("OpenVPN"));
    QCOMPARE(fill.details.name, std::optional<QString>("London"));
    QCOMPARE(fill.details.config, std::optional<QString>("http://127.0.0.1/udp.ovpn"));
    QCOMPARE(fill.details.certificate, std::optional<QString>("http://127.0.0.1/udp.crt"));
    QCOMPARE(fill.details.flag, std::optional<QString>(":/resources/flags/uk.png"));
}

void TestCatalogue::choosingAProfileWritesItsUrls()
{
    const Catalogue c = readCatalogue(loginXml(threeServers()));
    const DetailUpdate second = typeChoice(c, 2, 0, 1);
    QCOMPARE(second.config, std::optional<QString>("http://127.0.0.1/tcp.ovpn"));
    QCOMPARE(second.certificate, std::optional<QString>("http://127.0.0.1/tcp.crt"));
    QCOMPARE(second.assignedIp, std::optional<QString>("198.19.0.3"));
    // A profile row that does not exist writes no URL.
    QVERIFY(!typeChoice(c, 2, 0, 2).config);
    QVERIFY(!typeChoice(c, 2, 0, -1).certificate);
}

void TestCatalogue::duplicatedNamesAreListedTwiceInDocumentOrder()
{
    QVector<ServerSpec> servers = {server("1", "Paris"), server("2", "Berlin"), server("3", "Paris")};
    const Catalogue c = readCatalogue(loginXml(servers));
    QCOMPARE(serverItems(c), QStringList({"Paris", "Berlin", "Paris"}));
    QCOMPARE(serverAtRow(c, 0)->ip, QString("198.18.0.1"));
    QCOMPARE(serverAtRow(c, 2)->ip, QString("198.18.0.3"));
}

void TestCatalogue::entryWithoutCountryIsListedWithTheNeutralFlag()
{
    ServerSpec unplaced = server("2", "Unplaced");
    unplaced.country.reset();
    QVector<ServerSpec> servers = {server("1", "Rome"), unplaced, server("3", "Oslo")};
    servers[2].l2tp = QStringLiteral("1");
    const Catalogue c = readCatalogue(loginXml(servers));

    QCOMPARE(c.entries.size(), 3);
    QCOMPARE(serverItems(c), QStringList({"Rome", "Unplaced", "Oslo"}));
    QCOMPARE(typeFill(c, 1, 0).details.ip, std::optional<QString>("198.18.0.2"));
    QVERIFY(!QFile::exists(*typeFill(c, 1, 0).details.flag));
    // The third item is Oslo, and Oslo is what it selects.
    QCOMPARE(protocolItems(c, 2), QStringList({"PPTP", "L2TP"}));
    const TypeFill fill = typeFill(c, 2, 1);
    QCOMPARE(fill.details.name, std::optional<QString>("Oslo"));
    QCOMPARE(fill.details.pskey, std::optional<QString>("key3"));
    QVERIFY(!serverAtRow(c, 3));
}

void TestCatalogue::entryWithoutShortnameShowsItsAddress()
{
    ServerSpec unnamed = server("2", QString());
    unnamed.name.reset();
    const Catalogue c = readCatalogue(loginXml({server("1", "Rome"), unnamed, server("3", "  ")}));
    QCOMPARE(serverItems(c), QStringList({"Rome", "198.18.0.2", "198.18.0.3"}));
    QCOMPARE(typeFill(c, 1, 0).details.name, std::optional<QString>(QString()));
    QCOMPARE(typeChoice(c, 1, 0, 0).ip, std::optional<QString>("198.18.0.2"));
}

void TestCatalogue::profileCountLimitsTheProfilesRead_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("present");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("equal") << "2" << 2 << QStringList({"p0", "p1"});
    QTest::newRow("larger than present") << "5" << 2 << QStringList({"p0", "p1"});
    QTest::newRow("smaller than present") << "1" << 3 << QStringList({"p0"});
    QTest::newRow("zero") << "0" << 2 << QStringList();
    QTest::newRow("negative") << "-1" << 2 << QStringList();
    QTest::newRow("not a number") << "two" << 2 << QStringList();
    QTest::newRow("empty") << "" << 2 << QStringList();
}

void TestCatalogue::profileCountLimitsTheProfilesRead()
{
    QFETCH(QString, count);
    QFETCH(int, present);
    QFETCH(QStringList, items);

    ServerSpec s = server("1", "Vienna");
    s.pptp = QStringLiteral("0");
    s.openvpn = QStringLiteral("1");
    s.count = count;
    for (int i = 0; i < present; ++i)
        s.profiles << profile(QStringLiteral("p%1").arg(i));
    const Catalogue c = readCatalogue(loginXml({s}));

    QCOMPARE(protocolItems(c, 0), QStringList({"OpenVPN"}));
    const TypeFill fill = typeFill(c, 0, 0);
    QCOMPARE(fill.items, items);
    QCOMPARE(fill.details.protocol, std::optional<QString>("OpenVPN"));
    if (!items.isEmpty()) {
        QCOMPARE(fill.details.config, std::optional<QString>("http://127.0.0.1/p0.ovpn"));
        QVERIFY(!typeChoice(c, 0, 0, items.size()).config);
    }
}

void TestCatalogue::onlyExactlyOneOffersAProtocol_data()
{
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<bool>("offered");

    QTest::newRow("1") << "1" << true;
    QTest::newRow("true") << "true" << false;
    QTest::newRow("leading blank") << " 1" << false;
    QTest::newRow("trailing blank") << "1 " << false;
    QTest::newRow("01") << "01" << false;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("empty") << "" << false;
}

void TestCatalogue::onlyExactlyOneOffersAProtocol()
{
    QFETCH(QString, enabled);
    QFETCH(bool, offered);

    for (int which = 0; which < 3; ++which) {
        ServerSpec s = server("1", "Madrid");
        s.pptp = s.l2tp = s.openvpn = QStringLiteral("0");
        (which == 0 ? s.pptp : which == 1 ? s.l2tp : s.openvpn) = enabled;
        s.profiles = {profile("x")};
        const QStringList expected =
            offered ? QStringList({QStringList({"PPTP", "L2TP", "OpenVPN"}).at(which)}) : QStringList();
        QCOMPARE(protocolItems(readCatalogue(loginXml({s})), 0), expected);
    }
}

void TestCatalogue::serverOfferingNothingHasNoProtocolsAndNoType()
{
    ServerSpec idle = server("2", "Idle");
    idle.pptp = QStringLiteral("0");
    idle.pskey.reset();
    const Catalogue c = readCatalogue(loginXml({server("1", "Rome"), idle}));
    QCOMPARE(serverItems(c), QStringList({"Rome", "Idle"}));
    QVERIFY(protocolItems(c, 1).isEmpty());

    // Nothing of an earlier server's protocol or profile may stay to be dialled.
    const TypeFill fill = typeFill(c, 1, -1);
    QVERIFY(fill.items.isEmpty());
    QCOMPARE(fill.details.protocol, std::optional<QString>(QString()));
    QCOMPARE(fill.details.config, std::optional<QString>(QString()));
    QCOMPARE(fill.details.certificate, std::optional<QString>(QString()));
    QCOMPARE(fill.details.pskey, std::optional<QString>(QString()));
    QCOMPARE(fill.details.name, std::optional<QString>("Idle"));
    QCOMPARE(fill.details.assignedIp, std::optional<QString>("198.19.0.2"));
}

void TestCatalogue::preSharedKeyIsTakenForL2tpOrLonePptp_data()
{
    QTest::addColumn<QString>("pptp");
    QTest::addColumn<QString>("l2tp");
    QTest::addColumn<QString>("openvpn");
    QTest::addColumn<int>("protocolRow");
    QTest::addColumn<bool>("written");

    QTest::newRow("PPTP chosen, L2TP offered") << "1"
                                               << "1"
                                               << "0" << 0 << false;
    QTest::newRow("L2TP chosen after PPTP") << "1"
                                            << "1"
                                            << "0" << 1 << true;
    QTest::newRow("PPTP chosen, L2TP not offered") << "1"
                                                   << "0"
                                                   << "0" << 0 << true;
    QTest::newRow("L2TP only") << "0"
                               << "1"
                               << "0" << 0 << true;
    QTest::newRow("OpenVPN chosen after both") << "1"
                                               << "1"
                                               << "1" << 2 << false;
    QTest::newRow("OpenVPN only") << "0"
                                  << "0"
                                  << "1" << 0 << false;
}

void TestCatalogue::preSharedKeyIsTakenForL2tpOrLonePptp()
{
    QFETCH(QString, pptp);
    QFETCH(QString, l2tp);
    QFETCH(QString, openvpn);
    QFETCH(int, protocolRow);
    QFETCH(bool, written);

    ServerSpec s = server("7", "Sofia");
    s.pptp = pptp;
    s.l2tp = l2tp;
    s.openvpn = openvpn;
    s.profiles = {profile("p")};
    const TypeFill fill = typeFill(readCatalogue(loginXml({s})), 0, protocolRow);
    QCOMPARE(fill.details.pskey, written ? std::optional<QString>("key7") : std::nullopt);

    // A server without an l2tp key never writes one.
    s.pskey.reset();
    QVERIFY(!typeFill(readCatalogue(loginXml({s})), 0, protocolRow).details.pskey);
}

void TestCatalogue::openVpnServerWithoutProfilesClearsTheUrls()
{
    ServerSpec bare = server("4", "Bare");
    bare.pptp = QStringLiteral("0");
    bare.openvpn = QStringLiteral("1");
    const TypeFill fill = typeFill(readCatalogue(loginXml({bare})), 0, 0);
    QVERIFY(fill.items.isEmpty());
    QCOMPARE(fill.details.protocol, std::optional<QString>("OpenVPN"));
    QCOMPARE(fill.details.config, std::optional<QString>(QString()));
    QCOMPARE(fill.details.certificate, std::optional<QString>(QString()));
}

void TestCatalogue::pptpChoiceLeavesTheUrlsAlone()
{
    ServerSpec both = server("5", "Both");
    both.openvpn = QStringLiteral("1");
    both.profiles = {profile("p")};
    const Catalogue c = readCatalogue(loginXml({both}));
    QCOMPARE(protocolItems(c, 0), QStringList({"PPTP", "OpenVPN"}));
    const TypeFill fill = typeFill(c, 0, 0);
    QCOMPARE(fill.items, QStringList({"Auto"}));
    QVERIFY(!fill.details.config);
    QVERIFY(!fill.details.certificate);
    QVERIFY(!typeChoice(c, 0, 0, 0).config);
}

void TestCatalogue::documentsWithoutServersGiveEmptyLists_data()
{
    QTest::addColumn<QString>("document");

    QTest::newRow("empty") << QString();
    QTest::newRow("not XML") << QStringLiteral("Service Unavailable");
    QTest::newRow("refused") << QStringLiteral("<corvane><response>false</response></corvane>");
    QTest::newRow("no servers") << QStringLiteral(
        "<corvane><response>true</response><servers></servers></corvane>");
    QTest::newRow("entries outside server") << QStringLiteral("<corvane><id>1</id><shortname>A</shortname>"
                                                              "<country>us</country></corvane>");
    QTest::newRow("broken before the first server")
        << QStringLiteral("<corvane><response>true</oops><servers>") +
               serverXml(server("1", "A"), Whitespace::Lines);
}

void TestCatalogue::documentsWithoutServersGiveEmptyLists()
{
    QFETCH(QString, document);
    const Catalogue c = readCatalogue(document);
    QVERIFY(serverItems(c).isEmpty());
    QVERIFY(!serverAtRow(c, 0));
    QVERIFY(protocolItems(c, 0).isEmpty());
    const TypeFill fill = typeFill(c, 0, 0);
    QVERIFY(fill.items.isEmpty());
    QVERIFY(!fill.details.name && !fill.details.ip && !fill.details.flag && !fill.details.pskey);
    QVERIFY(!typeChoice(c, 0, 0, 0).name);
}

void TestCatalogue::readingStopsAtTheFirstXmlErrorKeepingWhatCameBefore_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("lastProtocols");

    const QString full = loginXml(threeServers());
    const int third = full.indexOf(QStringLiteral("<server>"), full.indexOf(QStringLiteral("Zurich")));
    QTest::newRow("truncated inside the third entry")
        << full.left(full.indexOf(QStringLiteral("<IP>"), third)) << QStringList({"Amsterdam", "Zurich"})
        << QStringList({"PPTP"});

    QString mismatched = full;
    mismatched.insert(
        mismatched.indexOf(QStringLiteral("<l2tp>"), mismatched.indexOf(QStringLiteral("Zurich"))),
        QStringLiteral("</wrong>"));
    // Zurich's country was read before the error, its protocols after it were not.
    QTest::newRow("mismatched tag inside the second entry")
        << mismatched << QStringList({"Amsterdam", "Zurich"}) << QStringList({"PPTP"});

    QString broken = full;
    broken.insert(broken.indexOf(QStringLiteral("<pptp>"), broken.indexOf(QStringLiteral("Zurich"))),
                  QStringLiteral("<a b>"));
    QTest::newRow("bad start tag before the second entry's protocols")
        << broken << QStringList({"Amsterdam", "Zurich"}) << QStringList();
}

void TestCatalogue::readingStopsAtTheFirstXmlErrorKeepingWhatCameBefore()
{
    QFETCH(QString, document);
    QFETCH(QStringList, items);
    QFETCH(QStringList, lastProtocols);

    const Catalogue c = readCatalogue(document);
    QCOMPARE(serverItems(c), items);
    QCOMPARE(protocolItems(c, 0), QStringList({"PPTP", "L2TP"}));
    QCOMPARE(protocolItems(c, items.size() - 1), lastProtocols);
}

void TestCatalogue::otherWhitespaceIsReadLikeTheLinesLayout_data()
{
    QTest::addColumn<int>("whitespace");
    QTest::newRow("one line, one blank after pptp") << int(Whitespace::OneBlank);
    QTest::newRow("one line, no whitespace") << int(Whitespace::None);
    QTest::newRow("whitespace inside the profile list") << int(Whitespace::Everywhere);
}

void TestCatalogue::otherWhitespaceIsReadLikeTheLinesLayout()
{
    QFETCH(int, whitespace);

    QVector<ServerSpec> servers = threeServers();
    ServerSpec all = server("9", "All");
    all.l2tp = all.openvpn = QStringLiteral("1");
    all.profiles = {profile("a"), profile("b"), profile("c")};
    servers << all;

    const QStringList lines = described(readCatalogue(loginXml(servers, Whitespace::Lines)));
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.at(3), QStringLiteral("All|198.18.0.9|us|198.19.0.9|key9|PPTP+L2TP+OpenVPN|"
                                         "a|http://127.0.0.1/a.ovpn|http://127.0.0.1/a.crt|"
                                         "b|http://127.0.0.1/b.ovpn|http://127.0.0.1/b.crt|"
                                         "c|http://127.0.0.1/c.ovpn|http://127.0.0.1/c.crt"));
    QCOMPARE(described(readCatalogue(loginXml(servers, Whitespace(whitespace)))), lines);
}

void TestCatalogue::escapedTextIsReadWhole()
{
    const Catalogue c = readCatalogue(loginXml({server("1", "AT&amp;T &lt;east&gt;")}));
    QCOMPARE(serverItems(c), QStringList({"AT&T <east>"}));
}

void TestCatalogue::elementsBeforeTheFirstServerAreIgnored()
{
    QString document = loginXml({server("1", "Rome")});
    document.replace(QStringLiteral("<servers>"),
                     QStringLiteral("<id>0</id><shortname>Stray</shortname><country>de</country><servers>"));
    const Catalogue c = readCatalogue(document);
    QCOMPARE(c.entries.size(), 1);
    QCOMPARE(serverItems(c), QStringList({"Rome"}));
}

void TestCatalogue::flagResourceUsesTheLowerCaseCountry()
{
    QCOMPARE(flagResource(QStringLiteral("UK")), QStringLiteral(":/resources/flags/uk.png"));
    QCOMPARE(flagResource(QStringLiteral("de")), QStringLiteral(":/resources/flags/de.png"));
    QCOMPARE(flagResource(QString()), QStringLiteral(":/resources/flags/.png"));
}

void TestCatalogue::rowsOutsideTheListsSelectNothing()
{
    const Catalogue c = readCatalogue(loginXml(threeServers()));
    for (int row : {-1, 3, 100}) {
        QVERIFY(!serverAtRow(c, row));
        QVERIFY(protocolItems(c, row).isEmpty());
        QVERIFY(!typeFill(c, row, 0).details.name);
        QVERIFY(!typeChoice(c, row, 0, 0).name);
    }
    // A protocol row the server does not have: name and address, nothing else.
    const TypeFill fill = typeFill(c, 1, 1);
    QVERIFY(fill.items.isEmpty());
    QVERIFY(!fill.details.protocol);
    QCOMPARE(fill.details.name, std::optional<QString>("Zurich"));
}

// Forty servers, every one different, so a shift at the split shows.
static QString fortyServers(Whitespace ws)
{
    QVector<ServerSpec> servers;
    for (int i = 1; i <= 40; ++i) {
        ServerSpec s = server(QString::number(i), QStringLiteral("Server %1").arg(i));
        s.l2tp = QString::number(i % 2);
        s.openvpn = QString::number(i % 3 == 0);
        if (i % 3 == 0)
            s.profiles = {profile(QStringLiteral("udp%1").arg(i)), profile(QStringLiteral("tcp%1").arg(i))};
        if (i % 7 == 0)
            s.country.reset();
        servers.append(s);
    }
    return loginXml(servers, ws);
}

// Puts text just before (or just after) the first server tag of the second half, where the
// split falls.
static QString atSplit(QString document, const QString& text, bool after = false)
{
    const QString tag = QStringLiteral("<server>");
    document.insert(document.indexOf(tag, document.size() / 2) + (after ? tag.size() : 0), text);
    return document;
}

void TestCatalogue::readingInHalvesReadsLikeReadingWhole_data()
{
    QTest::addColumn<QString>("document");
    const QString lines = fortyServers(Whitespace::Lines);
    const QString later = QStringLiteral("<shortname>Server 35</shortname>");
    QTest::newRow("lines") << lines;
    QTest::newRow("no whitespace") << fortyServers(Whitespace::None);
    QTest::newRow("everywhere") << fortyServers(Whitespace::Everywhere);
    QTest::newRow("error inside a later server")
        << QString(lines).replace(later, QStringLiteral("<shortname>Server 35</shortnme>"));
    QTest::newRow("error between later servers") << QString(lines).replace(
        QStringLiteral("<server>\n<id>35<"), QStringLiteral("</x><server>\n<id>35<"));
    QTest::newRow("stand-in name closed between later servers") << QString(lines).replace(
        QStringLiteral("<server>\n<id>35<"), QStringLiteral("</corvane-part><server>\n<id>35<"));
    QTest::newRow("truncated in a later server") << lines.left(lines.indexOf(later) + 20);
    QTest::newRow("truncated between later servers") << lines.left(lines.indexOf(later) - 30);
    QTest::newRow("second list after the first") << QString(lines).replace(
        QStringLiteral("</servers>"), QStringLiteral("</servers><servers><server><id>99</id><shortname>Late</"
                                                     "shortname><country>de</country></server></servers>"));
    QTest::newRow("fields after the split belong to the entry before") << atSplit(
        lines, QStringLiteral("<shortname>Moved</shortname><pptp><enabled>0</enabled></pptp>"), true);
    QTest::newRow("split tag inside a comment") << atSplit(lines, QStringLiteral("<!-- <server> -->"));
    QTest::newRow("split tag inside an instruction") << atSplit(lines, QStringLiteral("<?note <server>?>"));
    QTest::newRow("prefix declared before the split") << atSplit(
        QString(lines).replace(QStringLiteral("<corvane>"), QStringLiteral("<corvane xmlns:c=\"urn:c\">")),
        QStringLiteral("<c:note/>"));
    QTest::newRow("nested too deep after the split") << QString(lines).replace(
        later, later + QStringLiteral("<a>").repeated(62) + QStringLiteral("</a>").repeated(62));
    QTest::newRow("nested deep but within bounds after the split") << QString(lines).replace(
        later, later + QStringLiteral("<a>").repeated(58) + QStringLiteral("</a>").repeated(58));
}

void TestCatalogue::readingInHalvesReadsLikeReadingWhole()
{
    QFETCH(QString, document);
    const Catalogue whole = readCatalogue(document);
    QVERIFY(!whole.entries.isEmpty());
    QCOMPARE(described(readCatalogueInHalves(document, 0)), described(whole));
    QVERIFY(readCatalogueInHalves(document, 0) == whole);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
