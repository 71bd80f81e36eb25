// A trial account made from the client's own form: the reply puts the new user name into
// the login form, and every failure leaves the form usable.
#include "openvpnsupport.h"
#include "testsupport.h"
#include "windowobservers.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
const QString createdText =
    QStringLiteral("Account has been created. Username and password have been sent to your email address.");
const QString missingText =
    QStringLiteral("Missing information. Please enter firstname, lastname and your email address.");
const QString errorText = QStringLiteral(
    "Unable to process your request at this time. Please check your internet connection and if all "
    "is ok, please try to create new account again later.");
} // namespace

class TestNewAccount : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newAccountButtonOpensTheFormAndCancelReturns();
    void missingFieldSendsNothing_data();
    void missingFieldSendsNothing();
    void mistypedEmailSendsNothing_data();
    void mistypedEmailSendsNothing();
    void createdAccountFillsTheLoginForm();
    void replyOfTheService_data();
    void replyOfTheService();
    void networkErrorShowsErrorBox_data();
    void networkErrorShowsErrorBox();
    void createButtonIsDisabledWhileTheRequestRuns();

private:
    void openForm();
    void fill(const QString& first, const QString& last, const QString& email);
    QPushButton* createButton() const { return h->find<QPushButton>(QStringLiteral("CreateAccountBtn")); }
    int requestCount() const { return h->sim.requests(QStringLiteral("/AppNewAccount")).size(); }

    std::unique_ptr<WindowHarness> h;
};

void TestNewAccount::initTestCase()
{
    isolateSettings();
}

void TestNewAccount::init()
{
    clearSettings();
    h = std::make_unique<WindowHarness>();
    h->create();
    QVERIFY(h->settle());
}

void TestNewAccount::cleanup()
{
    h.reset();
}

void TestNewAccount::openForm()
{
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
    QVERIFY(!h->shown(QStringLiteral("WidgetNewAccount")));
    h->find<QPushButton>(QStringLiteral("newAccount"))->click();
    QVERIFY(h->shown(QStringLiteral("WidgetNewAccount")));
    QVERIFY(!h->shown(QStringLiteral("WingetLogin")));
}

void TestNewAccount::fill(const QString& first, const QString& last, const QString& email)
{
    h->find<QLineEdit>(QStringLiteral("NewFirstname"))->setText(first);
    h->find<QLineEdit>(QStringLiteral("NewLastname"))->setText(last);
    h->find<QLineEdit>(QStringLiteral("NewEmail"))->setText(email);
}

void TestNewAccount::newAccountButtonOpensTheFormAndCancelReturns()
{
    auto* autologin = h->find<QCheckBox>(QStringLiteral("autologin"));
    autologin->setChecked(true);
    openForm();
    h->find<QPushButton>(QStringLiteral("create_account_cancel"))->click();
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
    QVERIFY(!h->shown(QStringLiteral("WidgetNewAccount")));
    QVERIFY(!h->shown(QStringLiteral("WingetConnected")));
    QVERIFY(!autologin->isChecked());
    QCOMPARE(requestCount(), 0);
}

void TestNewAccount::missingFieldSendsNothing_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("email");

    QTest::newRow("first name") << QString() << QStringLiteral("Lovelace")
                                << QStringLiteral("ada@example.org");
    QTest::newRow("last name") << QStringLiteral("Ada") << QString() << QStringLiteral("ada@example.org");
    QTest::newRow("e-mail") << QStringLiteral("Ada") << QStringLiteral("Lovelace") << QString();
    QTest::newRow("all") << QString() << QString() << QString();
}

void TestNewAccount::missingFieldSendsNothing()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, email);

    openForm();
    fill(first, last, email);
    createButton()->click();
    QCOMPARE(h->boxes.size(), 1);
    QCOMPARE(h->boxes.first().title, QStringLiteral("Missing info"));
    QCOMPARE(h->boxes.first().text, missingText);
    QCOMPARE(h->boxes.first().icon, QMessageBox::Critical);
    QVERIFY(h->settle());
    QCOMPARE(requestCount(), 0);
    // The form stays as typed, ready for the missing field.
    QVERIFY(h->shown(QStringLiteral("WidgetNewAccount")));
    QVERIFY(createButton()->isEnabled());
    QCOMPARE(h->text(QStringLiteral("NewFirstname")), first);
    QCOMPARE(h->text(QStringLiteral("NewEmail")), email);
}

void TestNewAccount::mistypedEmailSendsNothing_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<bool>("sent");
    QTest::newRow("plain address") << QStringLiteral("ada@example.org") << true;
    QTest::newRow("sub-domain and plus") << QStringLiteral("ada+vpn@mail.example.co.uk") << true;
    QTest::newRow("no at sign") << QStringLiteral("ada.example.org") << false;
    QTest::newRow("two at signs") << QStringLiteral("ada@@example.org") << false;
    QTest::newRow("no name") << QStringLiteral("@example.org") << false;
    QTest::newRow("no dot in the domain") << QStringLiteral("ada@localhost") << false;
    QTest::newRow("empty label") << QStringLiteral("ada@example..org") << false;
    QTest::newRow("blank inside") << QStringLiteral("ada lovelace@example.org") << false;
    QTest::newRow("label starting with a hyphen") << QStringLiteral("ada@-example.org") << false;
}

void TestNewAccount::mistypedEmailSendsNothing()
{
    QFETCH(QString, email);
    QFETCH(bool, sent);
    openForm();
    fill(QStringLiteral("Ada"), QStringLiteral("Lovelace"), email);
    createButton()->click();
    if (sent) {
        QTRY_COMPARE(requestCount(), 1);
        return;
    }
    QCOMPARE(h->boxTitles(), QStringList{QStringLiteral("Invalid e-mail address")});
    QVERIFY(h->settle());
    QCOMPARE(requestCount(), 0);
    QVERIFY(h->shown(QStringLiteral("WidgetNewAccount")));
    QCOMPARE(h->text(QStringLiteral("NewEmail")), email);
}

void TestNewAccount::createdAccountFillsTheLoginForm()
{
    openForm();
    fill(QStringLiteral("Mary Ann"), QStringLiteral("Lovelace"), QStringLiteral("ada@example.org"));
    createButton()->click();
    QTRY_COMPARE(h->boxes.size(), 1);
    QCOMPARE(h->boxes.first().title, QStringLiteral("New Account Created"));
    QCOMPARE(h->boxes.first().text, createdText);
    QCOMPARE(h->boxes.first().icon, QMessageBox::Information);

    // The request carried the form as typed.
    QCOMPARE(requestCount(), 1);
    const RecordedRequest request = h->sim.requests(QStringLiteral("/AppNewAccount")).first();
    QCOMPARE(request.queryValue(QStringLiteral("firstname")), QStringLiteral("Mary Ann"));
    QCOMPARE(request.queryValue(QStringLiteral("lastname")), QStringLiteral("Lovelace"));
    QCOMPARE(request.queryValue(QStringLiteral("email")), QStringLiteral("ada@example.org"));

    // The name the service chose is the one the login form now holds.
    const QString userName = h->text(QStringLiteral("username"));
    QVERIFY(!userName.isEmpty());
    QCOMPARE(h->sim.account(userName).value(QStringLiteral("email")).toString(),
             QStringLiteral("ada@example.org"));
    // Whether the password is kept stays the user's choice: the box is not ticked for them.
    QVERIFY(!h->find<QCheckBox>(QStringLiteral("autologin"))->isChecked());
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
    QVERIFY(!h->shown(QStringLiteral("WidgetNewAccount")));
    QVERIFY(!h->shown(QStringLiteral("loading")));
    QVERIFY(createButton()->isEnabled());
}

void TestNewAccount::replyOfTheService_data()
{
    QTest::addColumn<QByteArray>("reply"); // empty: the simulator answers as the service would
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("userName"); // what the login form holds afterwards

    const QString created = QStringLiteral("New Account Created");
    const QString refused = QStringLiteral("New Account Error");
    const QString fresh = QStringLiteral("new@example.org");
    QTest::newRow("blanks around the name")
        << QByteArray("true|  trial42 \r\n") << fresh << created << createdText << QStringLiteral("trial42");
    QTest::newRow("address already registered")
        << QByteArray() << QStringLiteral("alice@example.org") << refused
        << QStringLiteral("This email address is already registered.") << QString();
    QTest::newRow("error text") << QByteArray("false|Trial accounts are paused.") << fresh << refused
                                << QStringLiteral("Trial accounts are paused.") << QString();
    QTest::newRow("no separator") << QByteArray("false") << fresh << refused << QString() << QString();
    QTest::newRow("unexpected text") << QByteArray("<html>Service Unavailable</html>") << fresh << refused
                                     << QString() << QString();
    QTest::newRow("empty reply") << QByteArray("") << fresh << refused << QString() << QString();
    QTest::newRow("true in capitals is not success")
        << QByteArray("TRUE|trial7") << fresh << refused << QStringLiteral("trial7") << QString();
}

void TestNewAccount::replyOfTheService()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, email);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, userName);

    if (!reply.isNull())
        h->sim.setFault(QStringLiteral("/AppNewAccount"), Fault::customBody(reply));
    openForm();
    fill(QStringLiteral("Ada"), QStringLiteral("Lovelace"), email);
    createButton()->click();
    QTRY_COMPARE(h->boxes.size(), 1);
    QCOMPARE(h->boxes.first().title, title);
    QCOMPARE(h->boxes.first().text, text);
    QCOMPARE(h->boxes.first().icon, title == QLatin1String("New Account Created") ? QMessageBox::Information
                                                                                  : QMessageBox::Critical);
    QCOMPARE(h->text(QStringLiteral("username")), userName);
    const bool created = title == QLatin1String("New Account Created");
    QCOMPARE(h->shown(QStringLiteral("WingetLogin")), created);
    QCOMPARE(h->shown(QStringLiteral("WidgetNewAccount")), !created);
    QVERIFY(!h->find<QCheckBox>(QStringLiteral("autologin"))->isChecked());
    if (!created)
        QCOMPARE(h->text(QStringLiteral("NewEmail")), email);
    QVERIFY(createButton()->isEnabled());
    QVERIFY(!h->shown(QStringLiteral("loading")));
}

void TestNewAccount::networkErrorShowsErrorBox_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("server error") << 500;
    QTest::newRow("not found") << 404;
    QTest::newRow("unavailable") << 503;
}

void TestNewAccount::networkErrorShowsErrorBox()
{
    QFETCH(int, status);
    h->sim.setFault(QStringLiteral("/AppNewAccount"), Fault::httpStatus(status));
    openForm();
    fill(QStringLiteral("Ada"), QStringLiteral("Lovelace"), QStringLiteral("new@example.org"));
    createButton()->click();
    QTRY_COMPARE(h->boxes.size(), 1);
    QCOMPARE(h->boxes.first().title, QStringLiteral("Error"));
    QCOMPARE(h->boxes.first().text, errorText);
    QCOMPARE(h->boxes.first().icon, QMessageBox::Critical);
    QVERIFY(h->shown(QStringLiteral("WidgetNewAccount")));
    QCOMPARE(h->text(QStringLiteral("username")), QString());
    QVERIFY(createButton()->isEnabled());
    QVERIFY(!h->shown(QStringLiteral("loading")));
}

void TestNewAccount::createButtonIsDisabledWhileTheRequestRuns()
{
    h->sim.setFault(QStringLiteral("/AppNewAccount"), Fault::delay(600));
    openForm();
    fill(QStringLiteral("Ada"), QStringLiteral("Lovelace"), QStringLiteral("new@example.org"));
    createButton()->click();
    QVERIFY(!createButton()->isEnabled());
    QVERIFY(h->shown(QStringLiteral("loading")));
    // A second press while the first request runs sends nothing.
    createButton()->click();
    QTRY_COMPARE(requestCount(), 1);
    QVERIFY(h->boxes.isEmpty());
    QVERIFY(!createButton()->isEnabled());

    QTRY_COMPARE(h->boxes.size(), 1);
    QCOMPARE(h->boxes.first().title, QStringLiteral("New Account Created"));
    QVERIFY(createButton()->isEnabled());
    QVERIFY(!h->shown(QStringLiteral("loading")));
    QVERIFY(h->settle());
    QCOMPARE(requestCount(), 1);
}

QTEST_MAIN(TestNewAccount)
#include "tst_newaccount.moc"
