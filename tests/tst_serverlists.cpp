#include "connection/dialup_simulated.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHelpEvent>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

namespace {

QJsonObject profileJson(const QString& server, const QString& name)
{
    return QJsonObject{{"name", name},
                       {"config", QStringLiteral("{base}/files/%1/%2.ovpn").arg(server, name)},
                       {"certificate", QStringLiteral("{base}/files/%1/%2.crt").arg(server, name)}};
}

QJsonObject serverJson(int id, const QString& name, const QString& country, bool pptp, bool l2tp,
                       bool openvpn, const QStringList& profileNames = {})
{
    QJsonArray profiles;
    for (const QString& profile : profileNames)
        profiles.append(profileJson(name, profile));
    return QJsonObject{{"id", id},
                       {"shortname", name},
                       {"ip", QStringLiteral("198.18.20.%1").arg(id)},
                       {"country", country},
                       {"assignedIP", QStringLiteral("198.19.20.%1").arg(id)},
                       {"pptp", pptp},
                       {"l2tp", l2tp},
                       {"pskey", QStringLiteral("key%1").arg(id)},
                       {"openvpn", openvpn},
                       {"profiles", profiles}};
}

// What a tooltip shows of its text: Qt takes anything that looks like markup for rich text.
QString shownToolTip(const QString& tip)
{
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

// Shows the tooltip of `widget` at `pos` as the mouse resting there does.
QString hover(QWidget* widget, const QPoint& pos)
{
    QToolTip::hideText();
    QTest::mouseMove(widget, pos);
    QHelpEvent help(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QCoreApplication::sendEvent(widget, &help);
    return QToolTip::isVisible() ? shownToolTip(QToolTip::text()) : QString();
}

QStringList itemsOf(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

} // namespace

class TestServerLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void afterLoginTheFirstServerProtocolAndTypeAreSelected();
    void choosingTheThirdServerOffersItsProfiles();
    void choosingAProtocolRebuildsTheTypes();
    void choosingAnotherServerDropsTheEarlierProfileChoice();
    void openVpnServerWithoutProfilesClearsTheUrls();
    void countryWithoutFlagImageShowsTheNeutralFlag();
    void everyItemSelectsTheEntryItShows();
    void entryWithoutShortnameShowsItsAddress();
    void refillKeepsTheChosenServerProtocolAndType_data();
    void refillKeepsTheChosenServerProtocolAndType();
    void choiceGoneFromTheListFallsBackToTheFirstServer();
    void serverConnectedToIsOfferedAtTheNextStart();
    void serverOfferingNothingClearsTheStaleProtocolFields();
    void longServerNameIsCutWithItsWholeTextInATooltip();
    void serverNameWithMarkupStaysTextInItsTooltips_data();
    void serverNameWithMarkupStaysTextInItsTooltips();
    void loginWithoutServersEmptiesTheListsAndKeepsTheFields();
    void malformedDocumentFillsTheListsUpToTheError();
    void largeListFillsLikeOneByOne();
    void typedSearchShowsTheMatchingServersAndSelectsThem_data();
    void typedSearchShowsTheMatchingServersAndSelectsThem();
    void typingIntoTheClosedListSearchesWithBlanks();
    void starredServerComesFirstAtTheNextLogin();
    void connectIsRefusedWhereTheServerOffersNothingToConnect_data();
    void connectIsRefusedWhereTheServerOffersNothingToConnect();

private:
    QComboBox* list(const char* name) const { return harness->find<QComboBox>(QLatin1String(name)); }
    QString field(const char* name) const { return harness->text(QLatin1String(name)); }
    bool loginWithServers(const QJsonArray& servers);
    bool loginWithDocument(const QByteArray& document);

    std::unique_ptr<WindowHarness> harness;
};

void TestServerLists::initTestCase()
{
    isolateSettings();
}

void TestServerLists::init()
{
    clearSettings();
    harness = std::make_unique<WindowHarness>();
    harness->create();
}

void TestServerLists::cleanup()
{
    harness.reset();
}

bool TestServerLists::loginWithServers(const QJsonArray& servers)
{
    harness->sim.setServers(servers);
    return harness->login();
}

bool TestServerLists::loginWithDocument(const QByteArray& document)
{
    harness->sim.setFault(QStringLiteral("/AppServersV2"), Fault::customBody(document, "text/xml"));
    return harness->login();
}

void TestServerLists::afterLoginTheFirstServerProtocolAndTypeAreSelected()
{
    QCOMPARE(itemsOf(list("servers")), QStringList({"select server..."}));
    QVERIFY(harness->login());

    QCOMPARE(itemsOf(list("servers")), QStringList({"US1", "DE1", "NL1"}));
    QCOMPARE(itemsOf(list("protocols")), QStringList({"PPTP", "L2TP"}));
    QCOMPARE(itemsOf(list("type")), QStringList({"Auto"}));
    QCOMPARE(list("servers")->currentIndex(), 0);
    QCOMPARE(list("protocols")->currentIndex(), 0);
    QCOMPARE(list("type")->currentIndex(), 0);
    QCOMPARE(field("server_name"), QStringLiteral("US1"));
    QCOMPARE(field("server_ip"), QStringLiteral("198.18.10.1"));
    QCOMPARE(field("server_assignedIP"), QStringLiteral("198.18.10.1"));
    QCOMPARE(field("server_protocol"), QStringLiteral("PPTP"));
    QVERIFY(!harness->find<QLabel>("server_icon")->pixmap(Qt::ReturnByValue).isNull());
}

void TestServerLists::choosingTheThirdServerOffersItsProfiles()
{
    QVERIFY(harness->login());
    list("servers")->setCurrentIndex(2);

    QCOMPARE(itemsOf(list("protocols")), QStringList({"OpenVPN"}));
    QCOMPARE(itemsOf(list("type")), QStringList({"UDP 1194", "TCP 443"}));
    QCOMPARE(list("type")->currentIndex(), 0);
    const QString base = harness->sim.baseUrl();
    QCOMPARE(field("server_name"), QStringLiteral("NL1"));
    QCOMPARE(field("server_ip"), QStringLiteral("198.18.10.3"));
    QCOMPARE(field("server_protocol"), QStringLiteral("OpenVPN"));
    QCOMPARE(field("server_config"), base + QStringLiteral("/files/nl/udp.ovpn"));
    QCOMPARE(field("server_certificate"), base + QStringLiteral("/files/nl/ca.crt"));

    list("type")->setCurrentIndex(1);
    QCOMPARE(field("server_config"), base + QStringLiteral("/files/nl/tcp.ovpn"));
    QCOMPARE(field("server_certificate"), base + QStringLiteral("/files/nl/ca2.crt"));
}

void TestServerLists::choosingAProtocolRebuildsTheTypes()
{
    QVERIFY(loginWithServers({serverJson(1, "All", "de", true, true, true, {"udp", "tcp"})}));
    QCOMPARE(itemsOf(list("protocols")), QStringList({"PPTP", "L2TP", "OpenVPN"}));
    QCOMPARE(field("server_protocol"), QStringLiteral("PPTP"));
    QCOMPARE(field("server_pskey"), QString()); // PPTP beside L2TP takes no key

    list("protocols")->setCurrentIndex(1);
    QCOMPARE(itemsOf(list("type")), QStringList({"Auto"}));
    QCOMPARE(field("server_protocol"), QStringLiteral("L2TP"));
    QCOMPARE(field("server_pskey"), QStringLiteral("key1"));

    list("protocols")->setCurrentIndex(2);
    QCOMPARE(itemsOf(list("type")), QStringList({"udp", "tcp"}));
    QCOMPARE(field("server_protocol"), QStringLiteral("OpenVPN"));
    QCOMPARE(field("server_config"), harness->sim.baseUrl() + QStringLiteral("/files/All/udp.ovpn"));
    // An earlier key stays; nothing but L2TP uses it.
    QCOMPARE(field("server_pskey"), QStringLiteral("key1"));
}

void TestServerLists::choosingAnotherServerDropsTheEarlierProfileChoice()
{
    QVERIFY(loginWithServers({serverJson(1, "First", "fr", false, false, true, {"a", "b", "c"}),
                              serverJson(2, "Second", "it", false, false, true, {"x", "y", "z"})}));
    const QString base = harness->sim.baseUrl();
    list("type")->setCurrentIndex(1);
    QCOMPARE(field("server_config"), base + QStringLiteral("/files/First/b.ovpn"));

    list("servers")->setCurrentIndex(1);
    QCOMPARE(list("type")->currentText(), QStringLiteral("x"));
    QCOMPARE(field("server_name"), QStringLiteral("Second"));
    QCOMPARE(field("server_config"), base + QStringLiteral("/files/Second/x.ovpn"));
    QCOMPARE(field("server_certificate"), base + QStringLiteral("/files/Second/x.crt"));
}

void TestServerLists::openVpnServerWithoutProfilesClearsTheUrls()
{
    QVERIFY(loginWithServers({serverJson(1, "Full", "se", false, false, true, {"a"}),
                              serverJson(2, "Empty", "ro", false, false, true)}));
    QVERIFY(!field("server_config").isEmpty());

    list("servers")->setCurrentIndex(1);
    QCOMPARE(itemsOf(list("protocols")), QStringList({"OpenVPN"}));
    QVERIFY(itemsOf(list("type")).isEmpty());
    QCOMPARE(field("server_name"), QStringLiteral("Empty"));
    QCOMPARE(field("server_protocol"), QStringLiteral("OpenVPN"));
    QCOMPARE(field("server_config"), QString());
    QCOMPARE(field("server_certificate"), QString());
}

void TestServerLists::countryWithoutFlagImageShowsTheNeutralFlag()
{
    QVERIFY(loginWithServers({serverJson(1, "Known", "CH", true, false, false),
                              serverJson(2, "Unknown", "zz", true, false, false)}));
    auto* icon = harness->find<QLabel>("server_icon");
    const QImage swiss = QPixmap(QStringLiteral(":/resources/flags/ch.png")).toImage();
    const QImage neutral = QPixmap(QStringLiteral(":/resources/flags/none.png")).toImage();
    QVERIFY(!neutral.isNull());
    QCOMPARE(icon->pixmap(Qt::ReturnByValue).toImage(), swiss);

    list("servers")->setCurrentIndex(1);
    QCOMPARE(field("server_name"), QStringLiteral("Unknown"));
    QCOMPARE(icon->pixmap(Qt::ReturnByValue).toImage(), neutral);

    list("servers")->setCurrentIndex(0);
    QCOMPARE(icon->pixmap(Qt::ReturnByValue).toImage(), swiss);
}

void TestServerLists::everyItemSelectsTheEntryItShows()
{
    // The second entry has no country: it is listed all the same, and every item selects its own entry.
    const QByteArray document =
        "<corvane><response>true</response><servers>"
        "<server><id>1</id><shortname>One</shortname><IP>198.18.30.1</IP><country>us</country>"
        "<assignedIP>198.19.30.1</assignedIP><pptp> <enabled>1</enabled></pptp></server>"
        "<server><id>2</id><shortname>Two</shortname><IP>198.18.30.2</IP>"
        "<assignedIP>198.19.30.2</assignedIP><pptp> <enabled>1</enabled></pptp></server>"
        "<server><id>3</id><shortname>Three</shortname><IP>198.18.30.3</IP><country>de</country>"
        "<assignedIP>198.19.30.3</assignedIP><l2tp><enabled>1</enabled><pskey>k3</pskey></l2tp></server>"
        "<server><id>4</id><shortname>Four</shortname><IP>198.18.30.4</IP><country>nl</country>"
        "<assignedIP>198.19.30.4</assignedIP><openvpn><enabled>1</enabled><profiles><count>1</count>"
        "<profile><name>p</name><config>c4</config><certificate>t4</certificate></profile>"
        "</profiles></openvpn></server>"
        "</servers></corvane>";
    QVERIFY(loginWithDocument(document));
    QCOMPARE(itemsOf(list("servers")), QStringList({"One", "Two", "Three", "Four"}));

    const QStringList ips = {"198.18.30.1", "198.18.30.2", "198.18.30.3", "198.18.30.4"};
    const QStringList protocols = {"PPTP", "PPTP", "L2TP", "OpenVPN"};
    for (int row : {3, 0, 1, 2}) {
        list("servers")->setCurrentIndex(row);
        QCOMPARE(field("server_name"), list("servers")->currentText());
        QCOMPARE(field("server_ip"), ips.at(row));
        QCOMPARE(field("server_protocol"), protocols.at(row));
    }
    QCOMPARE(field("server_pskey"), QStringLiteral("k3"));
    QCOMPARE(field("server_assignedIP"), QStringLiteral("198.19.30.3"));
}

void TestServerLists::entryWithoutShortnameShowsItsAddress()
{
    const QByteArray document = "<corvane><response>true</response><servers>"
                                "<server><id>1</id><shortname>Named</shortname><IP>198.18.31.1</IP>"
                                "<country>us</country><pptp> <enabled>1</enabled></pptp></server>"
                                "<server><id>2</id><IP>198.18.31.2</IP>"
                                "<country>de</country><pptp> <enabled>1</enabled></pptp></server>"
                                "</servers></corvane>";
    QVERIFY(loginWithDocument(document));
    QCOMPARE(itemsOf(list("servers")), QStringList({"Named", "198.18.31.2"}));
    list("servers")->setCurrentIndex(1);
    QCOMPARE(field("server_ip"), QStringLiteral("198.18.31.2"));
}

void TestServerLists::refillKeepsTheChosenServerProtocolAndType_data()
{
    QTest::addColumn<QString>("refill");
    QTest::newRow("disconnect") << QStringLiteral("on_disconnect_clicked");
    QTest::newRow("login") << QStringLiteral("on_login_clicked");
}

void TestServerLists::refillKeepsTheChosenServerProtocolAndType()
{
    QFETCH(QString, refill);
    QVERIFY(loginWithServers({serverJson(1, "First", "us", true, true, false),
                              serverJson(2, "Second", "de", true, true, true, {"udp", "tcp"})}));
    list("servers")->setCurrentIndex(1);
    list("protocols")->setCurrentIndex(2);
    list("type")->setCurrentIndex(1);

    if (refill == QLatin1String("on_login_clicked"))
        QVERIFY(harness->login());
    else
        harness->invoke(qPrintable(refill));
    QVERIFY(harness->settle());

    QCOMPARE(list("servers")->currentText(), QStringLiteral("Second"));
    QCOMPARE(list("protocols")->currentText(), QStringLiteral("OpenVPN"));
    QCOMPARE(list("type")->currentText(), QStringLiteral("tcp"));
    QCOMPARE(field("server_name"), QStringLiteral("Second"));
    QCOMPARE(field("server_protocol"), QStringLiteral("OpenVPN"));
    QVERIFY(field("server_config").endsWith(QLatin1String("/files/Second/tcp.ovpn")));
}

void TestServerLists::choiceGoneFromTheListFallsBackToTheFirstServer()
{
    QVERIFY(harness->login());
    list("servers")->setCurrentIndex(2);
    list("type")->setCurrentIndex(1);

    harness->sim.setServers({serverJson(1, "Other", "us", true, true, false)});
    QVERIFY(harness->login());
    QCOMPARE(itemsOf(list("servers")), QStringList({"Other"}));
    QCOMPARE(list("servers")->currentIndex(), 0);
    QCOMPARE(itemsOf(list("type")), QStringList({"Auto"}));
    QCOMPARE(field("server_name"), QStringLiteral("Other"));
    QCOMPARE(field("server_protocol"), QStringLiteral("PPTP"));
}

void TestServerLists::serverConnectedToIsOfferedAtTheNextStart()
{
    SimulatedDialUp dialUp;
    setDialUpOverride(&dialUp);
    // The window's worker dials through it: the window goes first.
    const auto restore = qScopeGuard([this] {
        harness->window.reset();
        setDialUpOverride(nullptr);
    });
    harness->sim.setFault(QStringLiteral("/ip/"), Fault::httpStatus(503));
    harness->window.reset();
    harness->create();
    QVERIFY(harness->login());
    list("servers")->setCurrentIndex(1);
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE(harness->window->connectionController()->state(), ConnectionController::State::Connected);
    harness->invoke("on_disconnect_clicked");
    QTRY_COMPARE(harness->window->connectionController()->state(), ConnectionController::State::Idle);
    list("servers")->setCurrentIndex(2); // chosen, not connected to

    harness->window.reset();
    harness->create();
    QVERIFY(harness->login());
    QCOMPARE(list("servers")->currentText(), QStringLiteral("DE1"));
    QCOMPARE(field("server_name"), QStringLiteral("DE1"));
}

void TestServerLists::serverOfferingNothingClearsTheStaleProtocolFields()
{
    QJsonObject nothing = serverJson(2, "Nothing", "de", false, false, false);
    nothing.remove(QStringLiteral("pskey"));
    QVERIFY(loginWithServers({serverJson(1, "Vpn", "nl", false, true, true, {"udp"}), nothing}));
    list("protocols")->setCurrentIndex(1);
    QCOMPARE(field("server_protocol"), QStringLiteral("OpenVPN"));
    QVERIFY(!field("server_certificate").isEmpty());

    list("servers")->setCurrentIndex(1);
    QVERIFY(itemsOf(list("protocols")).isEmpty());
    QVERIFY(itemsOf(list("type")).isEmpty());
    QCOMPARE(field("server_name"), QStringLiteral("Nothing"));
    for (const char* stale : {"server_protocol", "server_pskey", "server_config", "server_certificate"})
        QCOMPARE(field(stale), QString());
}

void TestServerLists::longServerNameIsCutWithItsWholeTextInATooltip()
{
    const QString longName = QStringLiteral("Frankfurt am Main Datacenter Two Premium Streaming Server");
    QVERIFY(loginWithServers({serverJson(1, "Short", "de", true, false, false),
                              serverJson(2, longName, "de", true, false, false)}));
    QComboBox* servers = list("servers");
    QCOMPARE(servers->toolTip(), QString());
    servers->setCurrentIndex(1);
    QCOMPARE(shownToolTip(servers->toolTip()), longName);
    QCOMPARE(servers->currentText(), longName);

    // The closed list draws the name cut with an ellipsis, not cut off at the edge.
    harness->window->show();
    harness->find<QTabWidget>(QStringLiteral("WingetConnected"))->setCurrentIndex(1);
    const QImage cut = servers->grab().toImage();
    bool prefixWithEllipsis = false;
    for (int n = 1; n < longName.size() && !prefixWithEllipsis; ++n) {
        servers->setItemText(1, longName.left(n) + QChar(0x2026));
        prefixWithEllipsis = servers->grab().toImage() == cut;
    }
    QVERIFY(prefixWithEllipsis);
    servers->setItemText(1, longName);

    // The open list is as wide as its visible items need; where the screen is too narrow for
    // that, the item gives its whole text when pointed at.
    servers->showPopup();
    QAbstractItemView* view = servers->view();
    const QRect item = view->visualRect(view->model()->index(1, 0));
    const bool shownWhole = item.width() > view->fontMetrics().horizontalAdvance(longName);
    QHelpEvent help(QEvent::ToolTip, item.center(), view->viewport()->mapToGlobal(item.center()));
    QCoreApplication::sendEvent(view->viewport(), &help);
    QVERIFY(shownWhole || shownToolTip(QToolTip::text()) == longName);
    servers->hidePopup();
}

void TestServerLists::serverNameWithMarkupStaysTextInItsTooltips_data()
{
    QTest::addColumn<QString>("name");
    // Laid out as rich text, 5,000 nested tables overflow the stack, and 500 hang the window.
    QTest::newRow("nested tables") << QStringLiteral("<table><tr><td>").repeated(5000);
    QTest::newRow("large red text and a local picture")
        << QStringLiteral("<font color=\"red\" size=\"7\">Amsterdam Premium Streaming</font>"
                          "<img src=\"/usr/share/pixmaps/debian-logo.png\">");
}

void TestServerLists::serverNameWithMarkupStaysTextInItsTooltips()
{
    QFETCH(QString, name);
    QVERIFY(loginWithServers(
        {serverJson(1, "Short", "de", true, false, false), serverJson(2, name, "nl", true, false, false)}));
    QComboBox* servers = list("servers");
    servers->setCurrentIndex(1);
    QCOMPARE(servers->currentText(), name);
    const QString shown = name.size() > 1000 ? name.left(1000) + QStringLiteral("…") : name;

    harness->window->show();
    harness->find<QTabWidget>(QStringLiteral("WingetConnected"))->setCurrentIndex(1);
    QVERIFY(QTest::qWaitForWindowExposed(harness->window.get()));
    QCOMPARE(hover(servers, servers->rect().center()), shown);

    // In the open list the item tells its whole text when it is drawn cut.
    servers->showPopup();
    QAbstractItemView* view = servers->view();
    const QRect item = view->visualRect(view->model()->index(1, 0));
    const bool fits = item.width() - 8 >= view->fontMetrics().horizontalAdvance(name);
    QCOMPARE(hover(view->viewport(), item.center()), fits ? QString() : shown);
    servers->hidePopup();
    QToolTip::hideText();
}

void TestServerLists::loginWithoutServersEmptiesTheListsAndKeepsTheFields()
{
    QVERIFY(harness->login());
    QCOMPARE(field("server_name"), QStringLiteral("US1"));

    QVERIFY(loginWithDocument("<corvane><response>true</response><servers></servers></corvane>"));
    QVERIFY(itemsOf(list("servers")).isEmpty());
    QVERIFY(itemsOf(list("protocols")).isEmpty());
    QVERIFY(itemsOf(list("type")).isEmpty());
    QCOMPARE(field("server_name"), QStringLiteral("US1"));
    QCOMPARE(field("server_ip"), QStringLiteral("198.18.10.1"));
    QCOMPARE(field("server_protocol"), QStringLiteral("PPTP"));
}

void TestServerLists::malformedDocumentFillsTheListsUpToTheError()
{
    const QByteArray document = "<corvane><response>true</response><servers>"
                                "<server><id>1</id><shortname>Whole</shortname><IP>198.18.32.1</IP>"
                                "<country>us</country><pptp> <enabled>1</enabled></pptp></server>"
                                "<server><id>2</id><shortname>Cut</shortname><IP>198.18.32.2</IP>"
                                "<country>de</country></IP><pptp> <enabled>1</enabled></pptp></server>"
                                "<server><id>3</id><shortname>Lost</shortname><country>nl</country></server>"
                                "</servers></corvane>";
    QVERIFY(loginWithDocument(document));
    QCOMPARE(itemsOf(list("servers")), QStringList({"Whole", "Cut"}));
    list("servers")->setCurrentIndex(1);
    QVERIFY(itemsOf(list("protocols")).isEmpty());
    QCOMPARE(field("server_name"), QStringLiteral("Cut"));
}

void TestServerLists::largeListFillsLikeOneByOne()
{
    QJsonArray servers;
    for (int id = 1; id <= 300; ++id)
        servers.append(serverJson(id, QStringLiteral("S%1").arg(id), "us", id % 2, true, true, {"u", "t"}));
    QVERIFY(loginWithServers(servers));

    QComboBox* serverList = list("servers");
    QCOMPARE(serverList->count(), 300);
    QCOMPARE(serverList->itemText(299), QStringLiteral("S300"));
    QCOMPARE(serverList->currentIndex(), 0);
    QCOMPARE(itemsOf(list("protocols")), QStringList({"PPTP", "L2TP", "OpenVPN"}));
    QCOMPARE(field("server_name"), QStringLiteral("S1"));

    // A user's choice still rebuilds the lists below from the new server.
    serverList->setCurrentIndex(299);
    QCOMPARE(itemsOf(list("protocols")), QStringList({"L2TP", "OpenVPN"}));
    QCOMPARE(field("server_name"), QStringLiteral("S300"));
    QCOMPARE(field("server_protocol"), QStringLiteral("L2TP"));
    QCOMPARE(field("server_pskey"), QStringLiteral("key300"));
}

void TestServerLists::typedSearchShowsTheMatchingServersAndSelectsThem_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("server");
    QTest::newRow("nothing typed") << "" << QStringList{"US1", "DE1", "NL1"} << "US1";
    QTest::newRow("a country by name") << "germany" << QStringList{"DE1"} << "DE1";
    QTest::newRow("a country by code") << "nl" << QStringList{"NL1"} << "NL1";
    QTest::newRow("no match") << "mars" << QStringList{} << "";
}

void TestServerLists::typedSearchShowsTheMatchingServersAndSelectsThem()
{
    QFETCH(QString, query);
    QFETCH(QStringList, items);
    QFETCH(QString, server);
    QVERIFY(harness->login());
    auto* search = harness->find<QLineEdit>(QStringLiteral("serverSearch"));
    search->setText(query);
    QCOMPARE(itemsOf(list("servers")), items);
    QCOMPARE(list("servers")->currentText(), server);
    if (!server.isEmpty())
        QCOMPARE(field("server_name"), server);
    // Connect waits for a server that is shown.
    QCOMPARE(harness->find<QPushButton>(QStringLiteral("connect"))->isEnabled(), !server.isEmpty());
    search->clear();
    QCOMPARE(itemsOf(list("servers")), (QStringList{"US1", "DE1", "NL1"}));
}

// A key typed on the closed list goes to the search, blanks too: the popup does not open.
void TestServerLists::typingIntoTheClosedListSearchesWithBlanks()
{
    QVERIFY(harness->login());
    harness->find<QTabWidget>(QStringLiteral("WingetConnected"))->setCurrentIndex(1);
    harness->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(harness->window.get()));
    QComboBox* servers = list("servers");
    servers->setFocus();
    QTest::keyClicks(servers, QStringLiteral("the netherlands"));
    QVERIFY(!servers->view()->isVisible());
    QCOMPARE(harness->find<QLineEdit>(QStringLiteral("serverSearch"))->text(),
             QStringLiteral("the netherlands"));
    QCOMPARE(itemsOf(servers), QStringList{"NL1"});
}

void TestServerLists::starredServerComesFirstAtTheNextLogin()
{
    QVERIFY(harness->login());
    list("servers")->setCurrentIndex(2);
    auto* star = harness->find<QToolButton>(QStringLiteral("serverFavourite"));
    QVERIFY(!star->isChecked());
    star->click();
    QVERIFY(star->isChecked());
    QCOMPARE(itemsOf(list("servers")), (QStringList{"NL1", "US1", "DE1"}));
    QCOMPARE(list("servers")->currentText(), QStringLiteral("NL1"));

    harness->window.reset();
    harness->create();
    QVERIFY(harness->login());
    QCOMPARE(itemsOf(list("servers")), (QStringList{"NL1", "US1", "DE1"}));
    QVERIFY(harness->find<QToolButton>(QStringLiteral("serverFavourite"))->isChecked());
    list("servers")->setCurrentIndex(1);
    QVERIFY(!harness->find<QToolButton>(QStringLiteral("serverFavourite"))->isChecked());
}

void TestServerLists::connectIsRefusedWhereTheServerOffersNothingToConnect_data()
{
    QTest::addColumn<QJsonObject>("server");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a protocol") << serverJson(1, "US9", "us", true, false, false) << QString();
    QTest::newRow("no protocol") << serverJson(1, "US9", "us", false, false, false)
                                 << "This server offers no connection protocol.";
    QTest::newRow("OpenVPN without a profile")
        << serverJson(1, "US9", "us", false, false, true) << "This server offers no OpenVPN profile.";
}

void TestServerLists::connectIsRefusedWhereTheServerOffersNothingToConnect()
{
    QFETCH(QJsonObject, server);
    QFETCH(QString, reason);
    QVERIFY(loginWithServers(QJsonArray{server}));
    auto* connect = harness->find<QPushButton>(QStringLiteral("connect"));
    QCOMPARE(connect->isEnabled(), reason.isEmpty());
    QCOMPARE(connect->toolTip(), reason);
}

QTEST_MAIN(TestServerLists)
#include "tst_serverlists.moc"
