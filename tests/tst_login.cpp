// Login, logout and the login request, with the real window against the service simulator.
#include "service/network.h"
#include "servicewindow.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

using namespace servicewindow;

namespace {

const QString cannotCommunicate = QStringLiteral("Cannot communicate with Corvane servers. Try temporarily "
                                                 "disabling your firewall to see if that helps. If you "
                                                 "have any proxy set up, disable it.");

QString setting(const QString& key)
{
    return QSettings().value(key).toString();
}

QByteArray settingBytes(const QString& key)
{
    return QSettings().value(key).toByteArray();
}

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateSettings(); }
    void init() { clearSettings(); }
    void cleanup()
    {
        setServiceTransferTimeoutForTesting(0);
        setDocumentSizeLimitForTesting(0);
    }

    void acceptedLoginShowsTabsAndAccountQuota();
    void refusedLoginKeepsPageAndFields();
    void onlyExactFalseRefuses_data();
    void onlyExactFalseRefuses();
    void lateVersionAnswerKeepsTheLoginOutcome();
    void unreachableServiceIsReportedOnce_data();
    void unreachableServiceIsReportedOnce();
    void answerWithoutVerdictIsReportedLikeNetworkError_data();
    void answerWithoutVerdictIsReportedLikeNetworkError();
    void secondLoginWhileOneIsUnderwayDoesNothing();
    void loginUnderWayCanBeCancelled();
    void firstVerdictDecidesTheLogin_data();
    void firstVerdictDecidesTheLogin();
    void bodyEndsAtNulByte_data();
    void bodyEndsAtNulByte();
    void htmlNamedDocumentIsKeptAsPlainText_data();
    void htmlNamedDocumentIsKeptAsPlainText();
    void trimmedCredentialsAreSentButUntrimmedRemembered();
    void uncheckedAutologinErasesRememberedCredentials_data();
    void uncheckedAutologinErasesRememberedCredentials();
    void emptyCredentialsAreRefusedWithoutRequest_data();
    void emptyCredentialsAreRefusedWithoutRequest();
    void logoutThenLoginSendsTheNewUser_data();
    void logoutThenLoginSendsTheNewUser();
    void longAnswerIsKeptOnceTheWindowIsQuiet();
};

void TestLogin::acceptedLoginShowsTabsAndAccountQuota()
{
    WindowHarness h;
    startWindow(h);
    QVERIFY(h.shown(QStringLiteral("WingetLogin")));
    QVERIFY(!h.shown(QStringLiteral("WingetConnected")));
    QVERIFY(setting(QStringLiteral("UsedTrial")).isEmpty());

    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));
    QCOMPARE(h.find<QProgressBar>(QStringLiteral("progressBar"))->value(), 100);
    QVERIFY(h.shown(QStringLiteral("WingetConnected")));
    QVERIFY(!h.shown(QStringLiteral("WingetLogin")));
    QVERIFY(!h.shown(QStringLiteral("WidgetNewAccount")));
    QCOMPARE(h.find<QTabWidget>(QStringLiteral("WingetConnected"))->currentIndex(), 0);
    QVERIFY(h.shown(QStringLiteral("connect")));
    QVERIFY(!h.shown(QStringLiteral("disconnect")));
    QVERIFY(!h.shown(QStringLiteral("cancel")));
    QCOMPARE(setting(QStringLiteral("UsedTrial")), QStringLiteral("1"));
    QCOMPARE(h.text(QStringLiteral("buy")), QStringLiteral("buy package"));

    // The request carries the key, never the password.
    const RecordedRequest request = lastRequest(h, QStringLiteral("/AppServersV2"));
    QCOMPARE(request.queryKeys(), (QStringList{"username", "key", "appver"}));
    QCOMPARE(request.queryValue(QStringLiteral("username")), QStringLiteral("alice"));
    QCOMPARE(request.queryValue(QStringLiteral("key")), QStringLiteral("5ebe2294ecd0e0f08eab7690d2a6ee69"));
    QCOMPARE(request.queryValue(QStringLiteral("appver")), QStringLiteral("4.0.2"));
    QVERIFY(!request.target.contains("secret"));

    // The account reply follows and ends the status line on the quota.
    QTRY_COMPARE_WITH_TIMEOUT(h.text(QStringLiteral("authstatus")),
                              QStringLiteral("Unlimited quota available"), 5000);
    QCOMPARE(h.sim.requests(QStringLiteral("/AppUserInfoV2")).size(), 1);
    QVERIFY(h.boxes.isEmpty());
}

void TestLogin::refusedLoginKeepsPageAndFields()
{
    WindowHarness h;
    startWindow(h);
    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("wrong")));

    QCOMPARE(h.boxes.size(), 1);
    QCOMPARE(h.boxes.at(0).icon, QMessageBox::Information);
    QCOMPARE(h.boxes.at(0).title, QStringLiteral("Bad username/password"));
    QCOMPARE(h.boxes.at(0).text, QStringLiteral("Wrong username or password. Please try again."));
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("Not connected!"));
    QVERIFY(h.shown(QStringLiteral("WingetLogin")));
    QVERIFY(!h.shown(QStringLiteral("WingetConnected")));
    QCOMPARE(h.text(QStringLiteral("username")), QStringLiteral("alice"));
    QCOMPARE(h.text(QStringLiteral("password")), QStringLiteral("wrong"));
    QVERIFY(setting(QStringLiteral("UsedTrial")).isEmpty());
    h.settle(500);
    QVERIFY(h.sim.requests(QStringLiteral("/AppUserInfoV2")).isEmpty());
}

void TestLogin::onlyExactFalseRefuses_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("false") << QByteArray("<servers><response>false</response></servers>") << false;
    QTest::newRow("false at the root")
        << QByteArray("<?xml version=\"1.0\"?><response>false</response>") << false;
    QTest::newRow("empty element") << QByteArray("<servers><response/></servers>") << true;
    QTest::newRow("empty pair") << QByteArray("<servers><response></response></servers>") << true;
    QTest::newRow("leading blank") << QByteArray("<servers><response> false</response></servers>") << true;
    QTest::newRow("trailing blank") << QByteArray("<servers><response>false </response></servers>") << true;
    QTest::newRow("other case") << QByteArray("<servers><response>False</response></servers>") << true;
    QTest::newRow("element first") << QByteArray("<servers><response><b>false</b></response></servers>")
                                   << true;
    QTest::newRow("true") << QByteArray("<servers><response>true</response></servers>") << true;
}

void TestLogin::onlyExactFalseRefuses()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, accepted);

    WindowHarness h;
    startWindow(h);
    h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::customBody(body, "text/xml"));
    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));

    QCOMPARE(h.shown(QStringLiteral("WingetConnected")), accepted);
    QCOMPARE(h.shown(QStringLiteral("WingetLogin")), !accepted);
    QCOMPARE(h.boxTitles(), accepted ? QStringList() : QStringList{QStringLiteral("Bad username/password")});
    QCOMPARE(h.text(QStringLiteral("authstatus")),
             accepted ? QStringLiteral("Authenticated!") : QStringLiteral("Not connected!"));
    QCOMPARE(setting(QStringLiteral("UsedTrial")), accepted ? QStringLiteral("1") : QString());
}

void TestLogin::lateVersionAnswerKeepsTheLoginOutcome()
{
    WindowHarness h;
    startWindow(h);
    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("not her password")));
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("Not connected!"));

    // The version check's answer comes after the refusal: "up to date" must not cover it.
    int answers = 0;
    for (auto* manager : h.window->findChildren<QNetworkAccessManager*>())
        connect(manager, &QNetworkAccessManager::finished, this, [&answers] { ++answers; });
    h.invoke("UpdateCheck");
    QTRY_COMPARE(answers, 1);
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("Not connected!"));
}

void TestLogin::unreachableServiceIsReportedOnce_data()
{
    QTest::addColumn<QString>("failure");
    // Each problem its own text; the firewall is named only where it may be the cause.
    QTest::addColumn<QString>("text");
    const QString serverError =
        QStringLiteral("The Corvane service has a problem of its own. Please try again "
                       "later: your computer and its firewall are not the cause.");
    QTest::newRow("HTTP 500") << QStringLiteral("status") << serverError;
    QTest::newRow("HTTP 502") << QStringLiteral("badgateway") << serverError;
    QTest::newRow("HTTP 404") << QStringLiteral("notfound") << cannotCommunicate;
    QTest::newRow("service stopped") << QStringLiteral("stopped")
                                     << QStringLiteral(
                                            "The Corvane service is not available at the moment: "
                                            "127.0.0.1 refused the connection. Please try again in a "
                                            "few minutes.");
    QTest::newRow("no answer") << QStringLiteral("silent")
                               << QStringLiteral(
                                      "The Corvane service did not answer in time. Please check your "
                                      "internet connection and try again.");
    QTest::newRow("oversized body") << QStringLiteral("oversized") << cannotCommunicate;
    QTest::newRow("stalls after half the reply")
        << QStringLiteral("stalled")
        << QStringLiteral("The Corvane service did not answer in time. Please check your "
                          "internet connection and try again.");
    QTest::newRow("closes after half the reply") << QStringLiteral("cut") << cannotCommunicate;
    const QString unreadable =
        cannotCommunicate + QStringLiteral("\n\nThe service's answer could not be read.");
    QTest::newRow("10 MB of garbage") << QStringLiteral("garbage") << unreadable;
    QTest::newRow("redirects to itself") << QStringLiteral("loop") << cannotCommunicate;
}

void TestLogin::unreachableServiceIsReportedOnce()
{
    QFETCH(QString, failure);
    QFETCH(QString, text);

    WindowHarness h;
    startWindow(h);
    if (failure == QLatin1String("status")) {
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::httpStatus(500));
    } else if (failure == QLatin1String("badgateway")) {
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::httpStatus(502));
    } else if (failure == QLatin1String("notfound")) {
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::httpStatus(404));
    } else if (failure == QLatin1String("stopped")) {
        h.sim.stop();
    } else if (failure == QLatin1String("silent")) {
        setServiceTransferTimeoutForTesting(400);
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::neverAnswer());
    } else if (failure == QLatin1String("stalled")) {
        setServiceTransferTimeoutForTesting(400);
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::stallMidway());
    } else if (failure == QLatin1String("cut")) {
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::closeMidway());
    } else if (failure == QLatin1String("garbage")) {
        QByteArray garbage(10 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(garbage.data()), garbage.size() / 4);
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::customBody(garbage, "text/xml"));
    } else if (failure == QLatin1String("loop")) {
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::redirect(h.sim.baseUrl() + "/AppServersV2"));
    } else {
        setDocumentSizeLimitForTesting(64 * 1024);
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::oversized(1024 * 1024));
    }

    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));
    QCOMPARE(h.find<QProgressBar>(QStringLiteral("progressBar"))->value(), 99);
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("Not connected!"));
    QCOMPARE(h.boxes.size(), 1);
    QCOMPARE(h.boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(h.boxes.at(0).title, QString());
    QCOMPARE(h.boxes.at(0).text, text);
    QVERIFY(h.shown(QStringLiteral("WingetLogin")));
    QVERIFY(!h.shown(QStringLiteral("WingetConnected")));

    // The browser holds the network error, not a body.
    const QString stored = h.find<QTextBrowser>(QStringLiteral("textBrowser"))->toPlainText();
    QVERIFY(!stored.isEmpty());
    QVERIFY2(!stored.contains(QLatin1String("<")), qPrintable(stored));
    QVERIFY(!stored.contains(QLatin1String("padding")));
}

void TestLogin::answerWithoutVerdictIsReportedLikeNetworkError_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("mismatched tag before the verdict")
        << QByteArray("<servers><a></b><response>true</response></servers>") << QByteArray("text/xml")
        << false;
    QTest::newRow("not XML at all") << QByteArray("<<<response>true</response>") << QByteArray("text/xml")
                                    << false;
    QTest::newRow("refusal after an error")
        << QByteArray("<servers></x><response>false</response>") << QByteArray("text/xml") << false;
    QTest::newRow("plain text") << QByteArray("Service temporarily unavailable") << QByteArray("text/plain")
                                << false;
    QTest::newRow("portal page")
        << QByteArray("<html><body><form action=\"/portal\">Sign in to the hotel wifi</form></body></html>")
        << QByteArray("text/html") << false;
    QTest::newRow("error after the verdict")
        << QByteArray("<servers><response>ok</response><a></b></servers>") << QByteArray("text/xml") << true;
}

void TestLogin::answerWithoutVerdictIsReportedLikeNetworkError()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, type);
    QFETCH(bool, accepted);

    WindowHarness h;
    startWindow(h);
    h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::customBody(body, type));
    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));

    QCOMPARE(h.shown(QStringLiteral("WingetConnected")), accepted);
    QCOMPARE(h.shown(QStringLiteral("WingetLogin")), !accepted);
    QCOMPARE(h.find<QTextBrowser>(QStringLiteral("textBrowser"))->toPlainText(), QString::fromUtf8(body));
    if (accepted) {
        QVERIFY(h.boxes.isEmpty());
        return;
    }
    QCOMPARE(h.find<QProgressBar>(QStringLiteral("progressBar"))->value(), 99);
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("Not connected!"));
    QCOMPARE(h.boxes.size(), 1);
    QCOMPARE(h.boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(h.boxes.at(0).text,
             cannotCommunicate + QStringLiteral("\n\nThe service's answer could not be read."));
}

void TestLogin::secondLoginWhileOneIsUnderwayDoesNothing()
{
    WindowHarness h;
    startWindow(h);
    setServiceTransferTimeoutForTesting(1500);
    h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::neverAnswer());
    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));
    QCOMPARE(h.boxes.size(), 1);
    QCOMPARE(h.sim.requests(QStringLiteral("/AppServersV2")).size(), 1);

    // Return during the next request is ignored; the one after its end goes out.
    h.invoke("on_login_clicked");
    h.invoke("on_username_returnPressed");
    h.invoke("on_password_returnPressed");
    QTRY_COMPARE_WITH_TIMEOUT(h.boxes.size(), 2, 5000);
    h.settle(500);
    QCOMPARE(h.boxes.size(), 2);
    QCOMPARE(h.sim.requests(QStringLiteral("/AppServersV2")).size(), 2);
    h.invoke("on_login_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(h.sim.requests(QStringLiteral("/AppServersV2")).size(), 3, 5000);
}

void TestLogin::loginUnderWayCanBeCancelled()
{
    WindowHarness h;
    startWindow(h);
    h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::neverAnswer());
    h.find<QLineEdit>(QStringLiteral("username"))->setText(QStringLiteral("alice"));
    h.find<QLineEdit>(QStringLiteral("password"))->setText(QStringLiteral("secret"));
    auto* button = h.find<QPushButton>(QStringLiteral("login"));
    button->click();
    QTRY_COMPARE(h.sim.requests(QStringLiteral("/AppServersV2")).size(), 1);
    QCOMPARE(button->text(), QStringLiteral("cancel"));

    button->click();
    QTRY_COMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("Login cancelled."));
    QCOMPARE(button->text(), QStringLiteral("login"));
    h.settle(300);
    QVERIFY(h.boxes.isEmpty());
    QVERIFY(h.shown(QStringLiteral("WingetLogin")));

    // The next login goes out and is read.
    h.sim.clearFault(QStringLiteral("/AppServersV2"));
    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));
    QVERIFY(h.shown(QStringLiteral("WingetConnected")));
}

void TestLogin::firstVerdictDecidesTheLogin_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("two refusals") << QByteArray("<r><response>false</response><response>false</response></r>")
                                  << false;
    QTest::newRow("accepted then refused")
        << QByteArray("<r><response>yes</response><response>false</response></r>") << true;
    QTest::newRow("refused then accepted")
        << QByteArray("<r><response>false</response><response>true</response></r>") << false;
    QByteArray many = "<r>";
    for (int i = 0; i < 3000; ++i)
        many += "<response>true</response>";
    QTest::newRow("3,000 acceptances") << many + "</r>" << true;
}

void TestLogin::firstVerdictDecidesTheLogin()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, accepted);

    WindowHarness h;
    startWindow(h);
    h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::customBody(body, "text/xml"));
    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));
    h.settle(1000);

    QCOMPARE(h.boxTitles(), accepted ? QStringList() : QStringList{QStringLiteral("Bad username/password")});
    // One answer is one login: the account details are asked for once at the most.
    QCOMPARE(h.sim.requests(QStringLiteral("/AppUserInfoV2")).size(), accepted ? 1 : 0);
    QCOMPARE(h.shown(QStringLiteral("WingetConnected")), accepted);
}

void TestLogin::bodyEndsAtNulByte_data()
{
    QTest::addColumn<bool>("simulatorFault");
    QTest::newRow("refusal hidden after the NUL") << false;
    QTest::newRow("NUL after the real document") << true;
}

void TestLogin::bodyEndsAtNulByte()
{
    QFETCH(bool, simulatorFault);

    WindowHarness h;
    startWindow(h);
    const QByteArray before("<r><response>ok</response></r>");
    if (simulatorFault) {
        h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::nulByte());
    } else {
        h.sim.setFault(
            QStringLiteral("/AppServersV2"),
            Fault::customBody(before + QByteArray("\0<response>false</response>", 27), "text/xml"));
    }
    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));

    const QString stored = h.find<QTextBrowser>(QStringLiteral("textBrowser"))->toPlainText();
    if (simulatorFault) {
        QVERIFY(stored.contains(QLatin1String("<response>")));
        QVERIFY(!stored.contains(QLatin1String("after")));
        QVERIFY(!stored.contains(QChar(0)));
    } else {
        QCOMPARE(stored, QString::fromUtf8(before));
    }
    QVERIFY(h.boxes.isEmpty());
    QVERIFY(h.shown(QStringLiteral("WingetConnected")));
}

void TestLogin::htmlNamedDocumentIsKeptAsPlainText_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("html") << QByteArray("<html><body><response>ok</response><b>bold</b></body></html>")
                          << true;
    QTest::newRow("p") << QByteArray("<p><response>false</response></p>") << false;
    QTest::newRow("entity") << QByteArray("<table><response>a&amp;b</response></table>") << true;
}

void TestLogin::htmlNamedDocumentIsKeptAsPlainText()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, accepted);

    WindowHarness h;
    startWindow(h);
    h.sim.setFault(QStringLiteral("/AppServersV2"), Fault::customBody(body, "text/html"));
    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));

    QCOMPARE(h.find<QTextBrowser>(QStringLiteral("textBrowser"))->toPlainText(), QString::fromUtf8(body));
    QCOMPARE(h.shown(QStringLiteral("WingetConnected")), accepted);
    QCOMPARE(h.boxes.size(), accepted ? 0 : 1);
}

void TestLogin::trimmedCredentialsAreSentButUntrimmedRemembered()
{
    WindowHarness h;
    h.sim.addAccount(QJsonObject{{"username", QStringLiteral("zoë")},
                                 {"password", QStringLiteral("pässwörd")},
                                 {"enabled", "1"},
                                 {"quota", "5 GB"}});
    startWindow(h);
    h.find<QCheckBox>(QStringLiteral("autologin"))->setChecked(true);
    const QString typedUser = QStringLiteral("  zoë \t");
    const QString typedPassword = QStringLiteral(" pässwörd  ");
    QVERIFY(submitLogin(h, typedUser, typedPassword));

    QCOMPARE(settingBytes(QStringLiteral("ltu")), typedUser.toUtf8());
    QCOMPARE(setting(QStringLiteral("ltr")), QStringLiteral("1"));
    // The password goes to the secret store under the name as typed, never into the settings.
    QTRY_COMPARE_WITH_TIMEOUT(h.secrets->secrets.value(typedUser), typedPassword, 5000);
    QCOMPARE(h.secrets->secrets.size(), 1);
    QVERIFY(!QSettings().contains(QStringLiteral("ltp")));
    QCOMPARE(h.text(QStringLiteral("username")), QStringLiteral("zoë"));
    QCOMPARE(h.text(QStringLiteral("password")), QStringLiteral("pässwörd"));

    const RecordedRequest request = lastRequest(h, QStringLiteral("/AppServersV2"));
    QCOMPARE(request.queryValue(QStringLiteral("username")), QStringLiteral("zoë"));
    QCOMPARE(request.queryValue(QStringLiteral("key")),
             ServiceSimulator::passwordKey(QStringLiteral("pässwörd")));
    QVERIFY(h.shown(QStringLiteral("WingetConnected")));
    QTRY_COMPARE_WITH_TIMEOUT(h.text(QStringLiteral("authstatus")), QStringLiteral("5 GB quota available"),
                              5000);
}

void TestLogin::uncheckedAutologinErasesRememberedCredentials_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("accepted login") << QStringLiteral("alice") << QStringLiteral("secret") << true;
    QTest::newRow("refused login") << QStringLiteral("alice") << QStringLiteral("nope") << false;
    QTest::newRow("empty password") << QStringLiteral("alice") << QString() << false;
}

void TestLogin::uncheckedAutologinErasesRememberedCredentials()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, accepted);

    WindowHarness h;
    startWindow(h);
    {
        // Remembered by an earlier run; written after start so the window does not log in by itself.
        QSettings settings;
        settings.setValue(QStringLiteral("ltu"), QByteArray("olduser"));
        settings.setValue(QStringLiteral("ltp"), QByteArray("oldpass"));
        settings.setValue(QStringLiteral("ltr"), QStringLiteral("1"));
    }
    h.secrets->secrets.insert(QStringLiteral("olduser"), QStringLiteral("oldpass"));
    h.find<QCheckBox>(QStringLiteral("autologin"))->setChecked(false);
    if (password.isEmpty()) {
        h.find<QLineEdit>(QStringLiteral("username"))->setText(user);
        h.find<QLineEdit>(QStringLiteral("password"))->clear();
        h.invoke("on_password_returnPressed");
        QCOMPARE(h.boxTitles(), QStringList{QStringLiteral("Empty Authentication")});
    } else {
        QVERIFY(submitLogin(h, user, password));
    }

    QVERIFY(settingBytes(QStringLiteral("ltu")).isEmpty());
    QVERIFY(!QSettings().contains(QStringLiteral("ltp")));
    QCOMPARE(setting(QStringLiteral("ltr")), QStringLiteral("0"));
    QTRY_VERIFY_WITH_TIMEOUT(h.secrets->secrets.isEmpty(), 5000);
    QCOMPARE(h.shown(QStringLiteral("WingetConnected")), accepted);
}

void TestLogin::emptyCredentialsAreRefusedWithoutRequest_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");

    QTest::newRow("both empty") << QString() << QString();
    QTest::newRow("empty user") << QString() << QStringLiteral("secret");
    QTest::newRow("empty password") << QStringLiteral("alice") << QString();
    QTest::newRow("blank user") << QStringLiteral("   ") << QStringLiteral("secret");
    QTest::newRow("blank password") << QStringLiteral("alice") << QStringLiteral(" \t ");
}

void TestLogin::emptyCredentialsAreRefusedWithoutRequest()
{
    QFETCH(QString, user);
    QFETCH(QString, password);

    WindowHarness h;
    startWindow(h);
    h.find<QLineEdit>(QStringLiteral("username"))->setText(user);
    h.find<QLineEdit>(QStringLiteral("password"))->setText(password);
    const QString statusBefore = h.text(QStringLiteral("authstatus"));
    h.invoke("on_login_clicked");

    QCOMPARE(h.boxes.size(), 1);
    QCOMPARE(h.boxes.at(0).icon, QMessageBox::Information);
    QCOMPARE(h.boxes.at(0).title, QStringLiteral("Empty Authentication"));
    QCOMPARE(h.boxes.at(0).text, QStringLiteral("Username and/or password missing."));
    QCOMPARE(h.text(QStringLiteral("authstatus")), statusBefore);
    QVERIFY(h.shown(QStringLiteral("WingetLogin")));
    h.settle(1000);
    QVERIFY(h.sim.requests(QStringLiteral("/AppServersV2")).isEmpty());
    QVERIFY(h.sim.requests(QStringLiteral("/AppUserInfoV2")).isEmpty());
}

void TestLogin::logoutThenLoginSendsTheNewUser_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");

    QTest::newRow("plain") << QStringLiteral("bob") << QStringLiteral("lapsed");
    QTest::newRow("awkward characters")
        << QStringLiteral("a&b#c+d=e%f g ÄÖüñ") << QStringLiteral("p&ss#+= %2Bß");
    QTest::newRow("looks encoded") << QStringLiteral("x%26y%23z") << QStringLiteral("%41");
}

void TestLogin::logoutThenLoginSendsTheNewUser()
{
    QFETCH(QString, user);
    QFETCH(QString, password);

    WindowHarness h;
    h.sim.addAccount(
        QJsonObject{{"username", user}, {"password", password}, {"enabled", "1"}, {"quota", "7 GB"}});
    startWindow(h);
    QVERIFY(h.login());
    QVERIFY(!h.find<QTextBrowser>(QStringLiteral("textBrowser"))->toPlainText().isEmpty());

    h.find<QCheckBox>(QStringLiteral("autologin"))->setChecked(true);
    QSettings().setValue(QStringLiteral("ltu"), user.toUtf8());
    h.secrets->secrets.insert(user, password);
    h.invoke("on_logout_clicked");
    QVERIFY(h.shown(QStringLiteral("WingetLogin")));
    QVERIFY(!h.shown(QStringLiteral("WingetConnected")));
    QVERIFY(!h.find<QCheckBox>(QStringLiteral("autologin"))->isChecked());
    QCOMPARE(h.find<QTextBrowser>(QStringLiteral("textBrowser"))->toPlainText(), QString());
    QCOMPARE(h.find<QTextBrowser>(QStringLiteral("userdatatext"))->toPlainText(), QStringLiteral("0"));
    QCOMPARE(h.text(QStringLiteral("username")), QString());
    QCOMPARE(h.text(QStringLiteral("password")), QString());
    QCOMPARE(h.text(QStringLiteral("user_enabled")), QString());
    // The login page does not say "ready to connect": nothing can be connected before a login.
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("Logged out. Log in to connect."));
    QCOMPARE(setting(QStringLiteral("ltr")), QStringLiteral("0"));
    QTRY_VERIFY_WITH_TIMEOUT(h.secrets->secrets.isEmpty(), 5000);

    h.sim.clearRequests();
    QVERIFY(submitLogin(h, user, password));
    QVERIFY(h.boxes.isEmpty());
    QVERIFY(h.shown(QStringLiteral("WingetConnected")));
    QVERIFY(!h.find<QTextBrowser>(QStringLiteral("textBrowser"))->toPlainText().isEmpty());

    const QString key = ServiceSimulator::passwordKey(password);
    const RecordedRequest loginRequest = lastRequest(h, QStringLiteral("/AppServersV2"));
    QCOMPARE(loginRequest.queryKeys(), (QStringList{"username", "key", "appver"}));
    QCOMPARE(loginRequest.queryValue(QStringLiteral("username")), user);
    QCOMPARE(loginRequest.queryValue(QStringLiteral("key")), key);
    QCOMPARE(loginRequest.queryValue(QStringLiteral("appver")), QStringLiteral("4.0.2"));
    QVERIFY(!loginRequest.target.contains('#'));

    QTRY_COMPARE_WITH_TIMEOUT(h.sim.requests(QStringLiteral("/AppUserInfoV2")).size(), 1, 5000);
    const RecordedRequest detailsRequest = lastRequest(h, QStringLiteral("/AppUserInfoV2"));
    QCOMPARE(detailsRequest.queryKeys(), (QStringList{"username", "key"}));
    QCOMPARE(detailsRequest.queryValue(QStringLiteral("username")), user);
    QCOMPARE(detailsRequest.queryValue(QStringLiteral("key")), key);
    QTRY_COMPARE_WITH_TIMEOUT(h.text(QStringLiteral("authstatus")), QStringLiteral("7 GB quota available"),
                              5000);
}

QTEST_MAIN(TestLogin)
// A long answer's hidden copy is stored after the window has drawn the lists, and is then the
// answer exactly.
void TestLogin::longAnswerIsKeptOnceTheWindowIsQuiet()
{
    WindowHarness h;
    startWindow(h);
    const QJsonArray servers = servicesim::sampleServers(600, h.sim.baseUrl());
    h.sim.setServers(servers);
    const QString answer = QString::fromUtf8(servicesim::loginDocument(servers, true));
    QVERIFY(answer.size() >= 1 << 18);

    QVERIFY(submitLogin(h, QStringLiteral("alice"), QStringLiteral("secret")));
    QCOMPARE(h.find<QComboBox>(QStringLiteral("servers"))->count(), 600);
    QTRY_COMPARE_WITH_TIMEOUT(h.find<QTextBrowser>(QStringLiteral("textBrowser"))->toPlainText(), answer,
                              5000);
}

#include "tst_login.moc"
