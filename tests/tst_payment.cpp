// Buying: the web site takes the order, and the client notices when the plan is active.
#include "openvpnsupport.h"
#include "testsupport.h"
#include "windowobservers.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {
const QString paymentText = QStringLiteral("Please complete the payment process in your browser to "
                                           "automatically apply the new plan to your account.");
} // namespace

class TestPayment : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void buyLeadsToTheTrialOrTheOrderPage_data();
    void buyLeadsToTheTrialOrTheOrderPage();
    void buyLeadsToTheOrderPageOnceALoginSucceededHere();
    void expiredAccountShowsPackageAndPaymentLists();
    void paymentOpensTheOrderPageAndWaits();
    void laterAccountReplyCompletesThePayment();
    void cancelledPaymentEndsWithoutBalloon();
    void orderPageTakesTheChosenPlanAndMethod_data();
    void orderPageTakesTheChosenPlanAndMethod();
    void withoutBrowserTheWindowStaysAndTellsTheAddress();

private:
    QUrl page(const char* path) const { return QUrl(h->sim.baseUrl() + QLatin1String(path)); }
    bool minimised() const { return h->window->windowState() & Qt::WindowMinimized; }
    int accountRequests() const { return h->sim.requests(QStringLiteral("/AppUserInfoV2")).size(); }
    // Moves time on 15 s, until the payment watch asks for the account details, and waits for the reply.
    bool tickUntilAccountRequest();
    bool startPaymentAsBob();

    std::unique_ptr<WindowHarness> h;
    std::unique_ptr<OpenedPages> pages;
};

void TestPayment::initTestCase()
{
    isolateSettings();
}

void TestPayment::init()
{
    clearSettings();
    h = std::make_unique<WindowHarness>();
    pages = std::make_unique<OpenedPages>();
}

void TestPayment::cleanup()
{
    pages.reset();
    h.reset();
}

bool TestPayment::tickUntilAccountRequest()
{
    const int before = accountRequests();
    // Five ticks make the 15 s after which the watch asks; the request itself may be slow (a
    // loaded machine, Wine), so it gets a real wait of its own.
    h->tick(5);
    return QTest::qWaitFor([&] { return accountRequests() > before; }, 10000) && h->settle();
}

bool TestPayment::startPaymentAsBob()
{
    h->create();
    if (!h->login(QStringLiteral("bob"), QStringLiteral("lapsed")))
        return false;
    if (h->text(QStringLiteral("user_enabled")) != QLatin1String("0"))
        return false;
    h->find<QPushButton>(QStringLiteral("payment_do"))->click();
    return h->text(QStringLiteral("paymentInProgress")) == QLatin1String("1");
}

void TestPayment::buyLeadsToTheTrialOrTheOrderPage_data()
{
    QTest::addColumn<QString>("password"); // empty: no login at all
    QTest::addColumn<QString>("buyText");
    QTest::addColumn<QString>("path");

    QTest::newRow("never logged in") << QString() << QStringLiteral("create trial account")
                                     << QStringLiteral("/free-vpn-trial/");
    QTest::newRow("refused login") << QStringLiteral("wrong") << QStringLiteral("create trial account")
                                   << QStringLiteral("/free-vpn-trial/");
    QTest::newRow("successful login")
        << QStringLiteral("secret") << QStringLiteral("buy package") << QStringLiteral("/order/");
}

void TestPayment::buyLeadsToTheTrialOrTheOrderPage()
{
    QFETCH(QString, password);
    QFETCH(QString, buyText);
    QFETCH(QString, path);

    h->create();
    if (!password.isEmpty()) {
        h->login(QStringLiteral("alice"), password);
        QVERIFY(h->settle());
        // Back on the login page, where the button is.
        if (password == QLatin1String("secret"))
            h->find<QPushButton>(QStringLiteral("logout"))->click();
    }
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
    QCOMPARE(h->text(QStringLiteral("buy")), buyText);
    QVERIFY(!minimised());

    h->find<QPushButton>(QStringLiteral("buy"))->click();
    QCOMPARE(pages->urls, QList<QUrl>{QUrl(h->sim.baseUrl() + path)});
    QVERIFY(minimised());
}

void TestPayment::buyLeadsToTheOrderPageOnceALoginSucceededHere()
{
    h->create();
    QVERIFY(h->login());
    // The next start of the client on this computer.
    h->window.reset();
    h->create();
    QCOMPARE(h->text(QStringLiteral("buy")), QStringLiteral("buy package"));
    h->find<QPushButton>(QStringLiteral("buy"))->click();
    QCOMPARE(pages->urls, QList<QUrl>{page("/order/")});
}

void TestPayment::expiredAccountShowsPackageAndPaymentLists()
{
    h->create();
    h->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h->window.get()));
    QVERIFY(h->login(QStringLiteral("bob"), QStringLiteral("lapsed")));
    QVERIFY(h->shown(QStringLiteral("tabAccountZonePayment")));

    auto rectOf = [this](const char* name) {
        auto* widget = h->find<QWidget>(QLatin1String(name));
        return QRect(widget->mapTo(h->window.get(), QPoint(0, 0)), widget->size());
    };
    const QRect zone = rectOf("tabAccountZonePayment") & rectOf("WingetConnected");
    const QList<const char*> others{"label_12", "payment_do", "logout"};
    for (const char* name : {"payment_plan", "payment_processor"}) {
        auto* list = h->find<QComboBox>(QLatin1String(name));
        QVERIFY2(list->isVisible() && list->isEnabled(), name);
        QVERIFY2(zone.contains(rectOf(name)), name);
        for (const char* other : others)
            QVERIFY2(!rectOf(name).intersects(rectOf(other)), other);
        QCOMPARE(list->count(), 2);
        // The user can open the list with the mouse and pick an item.
        QTest::mouseClick(list, Qt::LeftButton);
        QTRY_VERIFY(list->view()->isVisible());
        QTest::keyClick(list->view(), Qt::Key_Down);
        QTest::keyClick(list->view(), Qt::Key_Return);
        QTRY_VERIFY(!list->view()->isVisible());
        QCOMPARE(list->currentIndex(), 1);
    }
    QVERIFY(!rectOf("payment_plan").intersects(rectOf("payment_processor")));
}

void TestPayment::paymentOpensTheOrderPageAndWaits()
{
    QVERIFY(startPaymentAsBob());
    QCOMPARE(pages->urls, QList<QUrl>{page("/order/?plan=1&processor=1")});
    QVERIFY(h->shown(QStringLiteral("WidgetPaymentInProgress")));
    QVERIFY(!h->shown(QStringLiteral("WingetConnected")));
    QVERIFY(!h->shown(QStringLiteral("WingetLogin")));
    QVERIFY(h->shown(QStringLiteral("loading")));
    QVERIFY(minimised());
    QCOMPARE(h->balloons.size(), 1);
    QCOMPARE(h->balloons.first().first, QStringLiteral("Payment in progress"));
    QCOMPARE(h->balloons.first().second, paymentText);

    // While the account is still not active, the watch finds nothing and keeps waiting.
    QVERIFY(tickUntilAccountRequest());
    QCOMPARE(h->text(QStringLiteral("paymentInProgress")), QStringLiteral("1"));
    QVERIFY(h->shown(QStringLiteral("WidgetPaymentInProgress")));
    QCOMPARE(h->balloons.size(), 1);
    QVERIFY(h->boxes.isEmpty());
}

void TestPayment::laterAccountReplyCompletesThePayment()
{
    QVERIFY(startPaymentAsBob());
    QVERIFY(tickUntilAccountRequest());
    QCOMPARE(h->balloons.size(), 1);

    h->sim.setAccountValue(QStringLiteral("bob"), QStringLiteral("enabled"), QStringLiteral("1"));
    QVERIFY(tickUntilAccountRequest());
    QCOMPARE(h->balloonTitles(),
             (QStringList{QStringLiteral("Payment in progress"), QStringLiteral("Account Active")}));
    QCOMPARE(h->text(QStringLiteral("paymentInProgress")), QStringLiteral("0"));
    QVERIFY(!h->shown(QStringLiteral("WidgetPaymentInProgress")));
    QVERIFY(h->shown(QStringLiteral("WingetConnected")));
    auto* tabs = h->find<QTabWidget>(QStringLiteral("WingetConnected"));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(tabs->isTabEnabled(0));
    QVERIFY(!minimised());
    QVERIFY(!h->shown(QStringLiteral("loading")));

    // The payment is over: no further watch requests, and a later account reply adds no balloon.
    const int requests = accountRequests();
    h->tick(10);
    QVERIFY(h->settle());
    QCOMPARE(accountRequests(), requests);
    h->invoke("GetUserData");
    QTRY_COMPARE(accountRequests(), requests + 1);
    QVERIFY(h->settle());
    QCOMPARE(h->balloonTitles().count(QStringLiteral("Account Active")), 1);
}

void TestPayment::cancelledPaymentEndsWithoutBalloon()
{
    QVERIFY(startPaymentAsBob());
    h->find<QPushButton>(QStringLiteral("cancel_payment"))->click();
    QCOMPARE(h->text(QStringLiteral("paymentInProgress")), QStringLiteral("0"));
    QVERIFY(!h->shown(QStringLiteral("WidgetPaymentInProgress")));
    QVERIFY(h->shown(QStringLiteral("WingetConnected")));
    QVERIFY(!h->shown(QStringLiteral("loading")));

    h->sim.setAccountValue(QStringLiteral("bob"), QStringLiteral("enabled"), QStringLiteral("1"));
    // The watch has stopped...
    const int requests = accountRequests();
    h->tick(10);
    QVERIFY(h->settle());
    QCOMPARE(accountRequests(), requests);
    // ...and an account reply that finds the account active is not taken for the payment.
    h->invoke("GetUserData");
    QTRY_COMPARE(accountRequests(), requests + 1);
    QVERIFY(h->settle());
    QCOMPARE(h->text(QStringLiteral("user_enabled")), QStringLiteral("1"));
    QCOMPARE(h->balloonTitles(), QStringList{QStringLiteral("Payment in progress")});
}

void TestPayment::orderPageTakesTheChosenPlanAndMethod_data()
{
    QTest::addColumn<int>("planRow");
    QTest::addColumn<int>("processorRow");
    QTest::addColumn<QString>("path");
    QTest::newRow("as listed") << 0 << 0 << QStringLiteral("/order/?plan=1&processor=1");
    QTest::newRow("year by the second method") << 1 << 1 << QStringLiteral("/order/?plan=2&processor=2");
    QTest::newRow("month by the second method") << 0 << 1 << QStringLiteral("/order/?plan=1&processor=2");
}

// The choice reaches the order page, and stays chosen after a cancel and the account's next answer.
void TestPayment::orderPageTakesTheChosenPlanAndMethod()
{
    QFETCH(int, planRow);
    QFETCH(int, processorRow);
    QFETCH(QString, path);
    h->create();
    QVERIFY(h->login(QStringLiteral("bob"), QStringLiteral("lapsed")));
    h->find<QComboBox>(QStringLiteral("payment_plan"))->setCurrentIndex(planRow);
    h->find<QComboBox>(QStringLiteral("payment_processor"))->setCurrentIndex(processorRow);
    h->find<QPushButton>(QStringLiteral("payment_do"))->click();
    QCOMPARE(pages->urls, QList<QUrl>{QUrl(h->sim.baseUrl() + path)});

    h->find<QPushButton>(QStringLiteral("cancel_payment"))->click();
    h->invoke("GetUserData");
    QVERIFY(h->settle());
    QCOMPARE(h->find<QComboBox>(QStringLiteral("payment_plan"))->currentIndex(), planRow);
    QCOMPARE(h->find<QComboBox>(QStringLiteral("payment_processor"))->currentIndex(), processorRow);
}

void TestPayment::withoutBrowserTheWindowStaysAndTellsTheAddress()
{
    h->create();
    h->window->openUrl = [](const QUrl&) { return false; };
    QVERIFY(h->login(QStringLiteral("bob"), QStringLiteral("lapsed")));
    h->find<QPushButton>(QStringLiteral("payment_do"))->click();
    QVERIFY(!minimised());
    QVERIFY(h->balloons.isEmpty());
    QCOMPARE(h->boxTitles(), QStringList{QStringLiteral("No web browser")});
    QVERIFY(h->boxes.first().text.contains(h->sim.baseUrl() + QStringLiteral("/order/?plan=1&processor=1")));
}

QTEST_MAIN(TestPayment)
#include "tst_payment.moc"
