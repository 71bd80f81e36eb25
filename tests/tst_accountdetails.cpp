// Account details: what one reply of the service shows and keeps, with the real window
// against the service simulator.
#include "connection/dialup_simulated.h"
#include "service/network.h"
#include "servicewindow.h"
#include "testsupport.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

using namespace servicewindow;

namespace {

const QString detailsPath = QStringLiteral("/AppUserInfoV2");

// A window logged in as alice, the account reply of the login handled.
bool logInAlice(WindowHarness& h)
{
    startWindow(h);
    if (!h.login())
        return false;
    QElapsedTimer timer;
    timer.start();
    while (h.text(QStringLiteral("authstatus")) != QLatin1String("Unlimited quota available")) {
        if (timer.elapsed() > 5000)
            return false;
        QTest::qWait(10);
    }
    return true;
}

// Answers the next account request with this body and waits until it is stored.
bool answerDetails(WindowHarness& h, const QByteArray& body)
{
    h.sim.setFault(detailsPath, Fault::customBody(body, "text/xml"));
    return fetchAccountDetails(h);
}

QStringList with(QStringList positions, int number, const QString& text)
{
    positions[number - 1] = text;
    return positions;
}

QStringList itemTexts(QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

QList<int> itemNumbers(QComboBox* list)
{
    QList<int> numbers;
    for (int i = 0; i < list->count(); ++i)
        numbers << list->itemData(i).toInt();
    return numbers;
}

} // namespace

class TestAccountDetails : public QObject
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

    void serviceAccountsShowTheirState_data();
    void serviceAccountsShowTheirState();
    void accountStateFollowsEnabledFlag_data();
    void accountStateFollowsEnabledFlag();
    void completedPaymentIsAnnouncedOnce_data();
    void completedPaymentIsAnnouncedOnce();
    void paymentListsSkipEmptyParts_data();
    void paymentListsSkipEmptyParts();
    void noticeShownOnlyWhenLongerThanFive_data();
    void noticeShownOnlyWhenLongerThanFive();
    void serviceMarkupShownLiterally();
    void noticeShownOncePerLoginAndWhenChanged_data();
    void noticeShownOncePerLoginAndWhenChanged();
    void noticeWaitsUntilOpenBoxCloses_data();
    void noticeWaitsUntilOpenBoxCloses();
    void verdictOtherThanTrueChangesNoField_data();
    void verdictOtherThanTrueChangesNoField();
    void shortDocumentEmptiesMissingPositions_data();
    void shortDocumentEmptiesMissingPositions();
    void emptyElementsDoNotShiftPositions_data();
    void emptyElementsDoNotShiftPositions();
    void replyWhileConnectedKeepsFieldsButNotPages_data();
    void replyWhileConnectedKeepsFieldsButNotPages();
    void htmlNamedDocumentIsKeptAsPlainText_data();
    void htmlNamedDocumentIsKeptAsPlainText();
    void failedReplyIsIgnored_data();
    void failedReplyIsIgnored();
    void noRequestWithoutCredentials_data();
    void noRequestWithoutCredentials();
};

void TestAccountDetails::serviceAccountsShowTheirState_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("active");

    QTest::newRow("enabled") << QStringLiteral("alice") << QStringLiteral("secret") << true;
    QTest::newRow("not enabled") << QStringLiteral("bob") << QStringLiteral("lapsed") << false;
}

void TestAccountDetails::serviceAccountsShowTheirState()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, active);

    WindowHarness h;
    startWindow(h);
    QVERIFY(!h.shown(QStringLiteral("LogoSmall")));
    QVERIFY(h.login(user, password));
    QTRY_COMPARE_WITH_TIMEOUT(
        h.text(QStringLiteral("authstatus")),
        active ? QStringLiteral("Unlimited quota available") : QStringLiteral("account is disabled"), 5000);

    auto* tabs = h.find<QTabWidget>(QStringLiteral("WingetConnected"));
    QCOMPARE(tabs->isTabEnabled(0), active);
    QCOMPARE(tabs->isTabEnabled(1), active);
    QCOMPARE(tabs->currentIndex(), active ? 0 : 2);
    QCOMPARE(h.shown(QStringLiteral("tabAccountZoneInfo")), active);
    QCOMPARE(h.shown(QStringLiteral("tabAccountZonePayment")), !active);
    QCOMPARE(h.text(QStringLiteral("user_enabled")), active ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(h.text(QStringLiteral("user_email")), QStringLiteral("alice@example.org"));
    QCOMPARE(h.text(QStringLiteral("user_plan")), QStringLiteral("Premium Plan"));
    QCOMPARE(h.text(QStringLiteral("user_expire")), QStringLiteral("Expire 31 Dec 2027"));
    QCOMPARE(h.text(QStringLiteral("quick_servers")),
             QStringLiteral("US1^198.18.10.1^PPTP|DE1^198.18.10.2^L2TP^de-key"));
    QCOMPARE(itemTexts(h.find<QComboBox>(QStringLiteral("payment_processor"))),
             (QStringList{"Credit Card", "Paypal"}));
    QCOMPARE(itemTexts(h.find<QComboBox>(QStringLiteral("payment_plan"))),
             (QStringList{"One Month", "One Year"}));
    QVERIFY(h.shown(QStringLiteral("user_area")));
    QVERIFY(h.shown(QStringLiteral("LogoSmall")));
    QVERIFY(h.shown(QStringLiteral("application_version")));
    QVERIFY(h.boxes.isEmpty());
}

void TestAccountDetails::accountStateFollowsEnabledFlag_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("active");

    QTest::newRow("1") << QStringLiteral("1") << true;
    QTest::newRow("any other text") << QStringLiteral("yes") << true;
    QTest::newRow("0") << QStringLiteral("0") << false;
    QTest::newRow("empty") << QString(QLatin1String("")) << false;
}

void TestAccountDetails::accountStateFollowsEnabledFlag()
{
    QFETCH(QString, flag);
    QFETCH(bool, active);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    auto* tabs = h.find<QTabWidget>(QStringLiteral("WingetConnected"));

    // Start from the opposite state, so each change below is made by the reply under test.
    QVERIFY(answerDetails(h, detailsDocument(with(freshPositions(), 4, active ? "0" : "1"))));
    QCOMPARE(tabs->isTabEnabled(0), !active);
    tabs->setCurrentIndex(1);

    QVERIFY(answerDetails(h, detailsDocument(with(freshPositions(), 4, flag))));
    QCOMPARE(h.text(QStringLiteral("user_enabled")), flag);
    QCOMPARE(h.text(QStringLiteral("authstatus")),
             active ? QStringLiteral("12 GB quota available") : QStringLiteral("account is disabled"));
    QCOMPARE(tabs->isTabEnabled(0), active);
    QCOMPARE(tabs->isTabEnabled(1), active);
    QCOMPARE(tabs->currentIndex(), active ? 1 : 2);
    QCOMPARE(h.shown(QStringLiteral("tabAccountZoneInfo")), active);
    QCOMPARE(h.shown(QStringLiteral("tabAccountZonePayment")), !active);
    QCOMPARE(h.text(QStringLiteral("user_email")), QStringLiteral("carol@example.net"));
}

void TestAccountDetails::completedPaymentIsAnnouncedOnce_data()
{
    QTest::addColumn<QString>("flag");
    QTest::newRow("account now enabled") << QStringLiteral("1");
    QTest::newRow("account still lapsed") << QStringLiteral("0");
}

void TestAccountDetails::completedPaymentIsAnnouncedOnce()
{
    QFETCH(QString, flag);
    const bool completed = flag == QLatin1String("1");

    WindowHarness h;
    QVERIFY(logInAlice(h));
    // The payment page as the order button leaves it, the window away in the tray.
    h.window->openUrl = [](const QUrl&) { return true; };
    h.invoke("on_payment_do_clicked");
    h.balloons.clear();
    h.find<QWidget>(QStringLiteral("WidgetNewAccount"))->show();
    h.find<QWidget>(QStringLiteral("loading"))->show();
    h.find<QTabWidget>(QStringLiteral("WingetConnected"))->setCurrentIndex(2);
    h.window->hide();

    const QByteArray body = detailsDocument(with(freshPositions(), 4, flag));
    QVERIFY(answerDetails(h, body));
    if (completed) {
        QCOMPARE(h.text(QStringLiteral("paymentInProgress")), QStringLiteral("0"));
        QCOMPARE(h.balloons.size(), 1);
        QCOMPARE(h.balloons.at(0).first, QStringLiteral("Account Active"));
        QCOMPARE(h.balloons.at(0).second, QStringLiteral("Your account is now active. Thank you!"));
        QVERIFY(!h.shown(QStringLiteral("WidgetPaymentInProgress")));
        QVERIFY(h.shown(QStringLiteral("WingetConnected")));
        QVERIFY(!h.shown(QStringLiteral("WidgetConnectedVPN")));
        QVERIFY(!h.shown(QStringLiteral("WidgetConnectingVPN")));
        QVERIFY(!h.shown(QStringLiteral("WidgetNewAccount")));
        QVERIFY(!h.shown(QStringLiteral("loading")));
        QCOMPARE(h.find<QTabWidget>(QStringLiteral("WingetConnected"))->currentIndex(), 0);
        QVERIFY(h.window->isVisible());
        QVERIFY(!h.window->isMinimized());
    } else {
        QCOMPARE(h.text(QStringLiteral("paymentInProgress")), QStringLiteral("1"));
        QVERIFY(h.balloons.isEmpty());
        QVERIFY(h.shown(QStringLiteral("WidgetPaymentInProgress")));
        QVERIFY(!h.window->isVisible());
    }

    // The next refresh finds nothing pending any more (or still nothing paid).
    QVERIFY(answerDetails(h, body));
    QCOMPARE(h.balloons.size(), completed ? 1 : 0);
    QCOMPARE(h.text(QStringLiteral("paymentInProgress")),
             completed ? QStringLiteral("0") : QStringLiteral("1"));
}

void TestAccountDetails::paymentListsSkipEmptyParts_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("numbers");

    QTest::newRow("empty part between") << QStringLiteral("1:Credit Card||2:Paypal")
                                        << QStringList{"Credit Card", "Paypal"} << QList<int>{1, 2};
    QTest::newRow("empty ends") << QStringLiteral("|3:Wire|") << QStringList{"Wire"} << QList<int>{3};
    QTest::newRow("missing name, bad number")
        << QStringLiteral("x:Broken|4") << QStringList{"Broken", ""} << QList<int>{0, 4};
    QTest::newRow("extra colon") << QStringLiteral("5:a:b") << QStringList{"a"} << QList<int>{5};
    QTest::newRow("blank") << QString(QLatin1String("")) << QStringList{} << QList<int>{};
}

void TestAccountDetails::paymentListsSkipEmptyParts()
{
    QFETCH(QString, list);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, numbers);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    QVERIFY(answerDetails(h, detailsDocument(with(with(freshPositions(), 11, list), 12, list))));

    for (const char* name : {"payment_processor", "payment_plan"}) {
        auto* combo = h.find<QComboBox>(QLatin1String(name));
        QCOMPARE(itemTexts(combo), texts);
        QCOMPARE(itemNumbers(combo), numbers);
    }
}

void TestAccountDetails::noticeShownOnlyWhenLongerThanFive_data()
{
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("shown");

    QTest::newRow("five") << QStringLiteral("12345") << QString();
    QTest::newRow("six") << QStringLiteral("123456") << QStringLiteral("123456");
    QTest::newRow("five inside blanks") << QStringLiteral("  12345 \n") << QString();
    QTest::newRow("six inside blanks") << QStringLiteral(" 123456\t") << QStringLiteral("123456");
    QTest::newRow("sentence") << QStringLiteral("Maintenance tonight.")
                              << QStringLiteral("Maintenance tonight.");
}

void TestAccountDetails::noticeShownOnlyWhenLongerThanFive()
{
    QFETCH(QString, notice);
    QFETCH(QString, shown);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    QVERIFY(answerDetails(h, detailsDocument(with(freshPositions(), 14, notice))));

    if (shown.isEmpty()) {
        QVERIFY(h.boxes.isEmpty());
    } else {
        QCOMPARE(h.boxes.size(), 1);
        QCOMPARE(h.boxes.at(0).icon, QMessageBox::Information);
        QCOMPARE(h.boxes.at(0).title, QStringLiteral("Notice"));
        QCOMPARE(h.boxes.at(0).text, shown);
    }
}

void TestAccountDetails::serviceMarkupShownLiterally()
{
    const QString link = QStringLiteral("<a href=\"file:///etc/passwd\">x</a>");
    const QString email = QStringLiteral("<b>a@b.c</b>");
    WindowHarness h;
    QVERIFY(logInAlice(h));
    QVERIFY(answerDetails(h, detailsDocument(with(with(freshPositions(), 3, email), 14, link))));

    QCOMPARE(h.boxes.size(), 1);
    const ShownBox shown =
        closeShownBox([&] { h.realMessageBox(h.boxes.at(0).icon, h.boxes.at(0).title, h.boxes.at(0).text); });
    QCOMPARE(shown.format, Qt::PlainText);
    QCOMPARE(shown.text, link);
    auto* label = h.find<QLabel>(QStringLiteral("user_email"));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QCOMPARE(label->text(), email);
}

void TestAccountDetails::noticeShownOncePerLoginAndWhenChanged_data()
{
    QTest::addColumn<QStringList>("notices"); // of successive replies; "login" logs in again
    QTest::addColumn<QStringList>("shown");

    const QString a = QStringLiteral("Maintenance tonight.");
    const QString b = QStringLiteral("New servers in Canada.");
    const QString login = QStringLiteral("login");
    QTest::newRow("same notice on every refresh") << QStringList{a, a, a} << QStringList{a};
    QTest::newRow("changed notice") << QStringList{a, b, b} << QStringList{a, b};
    QTest::newRow("earlier notice back") << QStringList{a, b, a} << QStringList{a, b, a};
    QTest::newRow("next login") << QStringList{a, login, a} << QStringList{a, a};
}

void TestAccountDetails::noticeShownOncePerLoginAndWhenChanged()
{
    QFETCH(QStringList, notices);
    QFETCH(QStringList, shown);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    QStringList texts;
    for (const QString& notice : notices) {
        if (notice == QLatin1String("login")) {
            // The account reply of this login carries the notice of the latest refresh.
            h.invoke("on_logout_clicked");
            QVERIFY(h.login());
        } else {
            QVERIFY(answerDetails(h, detailsDocument(with(freshPositions(), 14, notice))));
        }
        for (const RecordedBox& box : qAsConst(h.boxes))
            texts << box.text;
        h.boxes.clear();
    }

    QCOMPARE(texts, shown);
}

void TestAccountDetails::noticeWaitsUntilOpenBoxCloses_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::newRow("end of Quick Connect") << int(QMessageBox::Critical) << QStringLiteral("Connection Error");
    QTest::newRow("question") << int(QMessageBox::Question) << QStringLiteral("New update available");
}

void TestAccountDetails::noticeWaitsUntilOpenBoxCloses()
{
    QFETCH(int, icon);
    QFETCH(QString, title);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    // A real modal box, open while the account refresh arrives (as in its own event loop).
    QMessageBox open(QMessageBox::Icon(icon), title, QStringLiteral("..."));
    open.setWindowModality(Qt::ApplicationModal);
    open.show();
    QVERIFY(QTest::qWaitForWindowExposed(&open));

    QVERIFY(answerDetails(
        h, detailsDocument(with(freshPositions(), 14, QStringLiteral("Maintenance tonight.")))));
    QTest::qWait(50);
    QVERIFY(h.boxes.isEmpty());

    open.hide();
    QTRY_COMPARE(h.boxes.size(), 1);
    QCOMPARE(h.boxes.at(0).title, QStringLiteral("Notice"));
    QCOMPARE(h.boxes.at(0).text, QStringLiteral("Maintenance tonight."));
}

void TestAccountDetails::verdictOtherThanTrueChangesNoField_data()
{
    QTest::addColumn<QByteArray>("body");

    const QStringList positions = with(freshPositions(), 14, QStringLiteral("A notice that must not appear"));
    for (const char* verdict : {"false", "True", " true", "true ", ""})
        QTest::newRow(qPrintable(QStringLiteral("\"%1\"").arg(QLatin1String(verdict))))
            << detailsDocument(positions, QLatin1String(verdict));
    QTest::newRow("element first") << detailsDocument(positions, QString())
                                          .replace("<response></response>",
                                                   "<response><b>true</b></response>");
    QTest::newRow("no response")
        << detailsDocument(positions, QString()).replace("<response></response>", "");
}

void TestAccountDetails::verdictOtherThanTrueChangesNoField()
{
    QFETCH(QByteArray, body);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    for (const char* name : {"user_area", "LogoSmall", "application_version"})
        h.find<QWidget>(QLatin1String(name))->hide();

    QVERIFY(answerDetails(h, body));
    QCOMPARE(h.find<QTextBrowser>(QStringLiteral("userdatatext"))->toPlainText(), QString::fromUtf8(body));
    QCOMPARE(h.text(QStringLiteral("user_email")), QStringLiteral("alice@example.org"));
    QCOMPARE(h.text(QStringLiteral("user_plan")), QStringLiteral("Premium Plan"));
    QCOMPARE(h.text(QStringLiteral("user_expire")), QStringLiteral("Expire 31 Dec 2027"));
    QCOMPARE(h.text(QStringLiteral("user_enabled")), QStringLiteral("1"));
    QCOMPARE(h.text(QStringLiteral("quick_servers")),
             QStringLiteral("US1^198.18.10.1^PPTP|DE1^198.18.10.2^L2TP^de-key"));
    QCOMPARE(itemTexts(h.find<QComboBox>(QStringLiteral("payment_processor"))),
             (QStringList{"Credit Card", "Paypal"}));
    QCOMPARE(itemTexts(h.find<QComboBox>(QStringLiteral("payment_plan"))),
             (QStringList{"One Month", "One Year"}));
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("Unlimited quota available"));
    QVERIFY(h.boxes.isEmpty());
    QVERIFY(h.shown(QStringLiteral("user_area")));
    QVERIFY(h.shown(QStringLiteral("LogoSmall")));
    QVERIFY(h.shown(QStringLiteral("application_version")));
}

void TestAccountDetails::shortDocumentEmptiesMissingPositions_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("expected"); // e-mail, enabled, plan, expiry, quick servers
    QTest::addColumn<int>("processors");

    const QStringList all = freshPositions();
    const QString quick = all.at(12);
    QTest::newRow("three positions") << detailsDocument(all.mid(0, 3))
                                     << QStringList{"carol@example.net", "", "", "", ""} << 0;
    QTest::newRow("five positions") << detailsDocument(all.mid(0, 5))
                                    << QStringList{"carol@example.net", "1", "Basic Plan", "", ""} << 0;
    QTest::newRow("eleven positions")
        << detailsDocument(all.mid(0, 11))
        << QStringList{"carol@example.net", "1", "Basic Plan", "Expire 1 Jan 2030", ""} << 1;
    QTest::newRow("thirteen positions")
        << detailsDocument(all.mid(0, 13))
        << QStringList{"carol@example.net", "1", "Basic Plan", "Expire 1 Jan 2030", quick} << 1;
    QByteArray cut = detailsDocument(all);
    cut.truncate(cut.indexOf("<f7>") + 7);
    QTest::newRow("cut inside position 7")
        << cut << QStringList{"carol@example.net", "1", "Basic Plan", "", ""} << 0;
    QTest::newRow("nothing after the verdict") << detailsDocument({}) << QStringList{"", "", "", "", ""} << 0;
}

void TestAccountDetails::shortDocumentEmptiesMissingPositions()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, expected);
    QFETCH(int, processors);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    QVERIFY(answerDetails(h, body));

    QCOMPARE((QStringList{h.text(QStringLiteral("user_email")), h.text(QStringLiteral("user_enabled")),
                          h.text(QStringLiteral("user_plan")), h.text(QStringLiteral("user_expire")),
                          h.text(QStringLiteral("quick_servers"))}),
             expected);
    QCOMPARE(h.find<QComboBox>(QStringLiteral("payment_processor"))->count(), processors);
    QVERIFY(h.boxes.isEmpty());
}

void TestAccountDetails::emptyElementsDoNotShiftPositions_data()
{
    QTest::addColumn<QByteArray>("body");

    QStringList sparse = freshPositions();
    for (int unread : {1, 2, 6, 8, 9})
        sparse[unread - 1] = QString(QLatin1String(""));
    QStringList selfClosing = freshPositions();
    for (int unread : {1, 2, 6, 8, 9})
        selfClosing[unread - 1] = QString();

    QTest::newRow("empty elements") << detailsDocument(sparse);
    QTest::newRow("self-closing elements") << detailsDocument(selfClosing);
    QTest::newRow("line breaks between elements") << detailsDocument(freshPositions(), "true", "\n  ");
    QTest::newRow("both") << detailsDocument(selfClosing, "true", "\r\n\t");
}

void TestAccountDetails::emptyElementsDoNotShiftPositions()
{
    QFETCH(QByteArray, body);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    QVERIFY(answerDetails(h, body));

    QCOMPARE(h.text(QStringLiteral("user_email")), QStringLiteral("carol@example.net"));
    QCOMPARE(h.text(QStringLiteral("user_enabled")), QStringLiteral("1"));
    QCOMPARE(h.text(QStringLiteral("user_plan")), QStringLiteral("Basic Plan"));
    QCOMPARE(h.text(QStringLiteral("user_expire")), QStringLiteral("Expire 1 Jan 2030"));
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("12 GB quota available"));
    QCOMPARE(itemTexts(h.find<QComboBox>(QStringLiteral("payment_processor"))), QStringList{"Bank Transfer"});
    QCOMPARE(itemTexts(h.find<QComboBox>(QStringLiteral("payment_plan"))), QStringList{"Lifetime"});
    QCOMPARE(h.text(QStringLiteral("quick_servers")), QStringLiteral("NL1^198.18.10.3^OpenVPN"));
    QVERIFY(h.boxes.isEmpty());
}

void TestAccountDetails::replyWhileConnectedKeepsFieldsButNotPages_data()
{
    QTest::addColumn<QString>("flag");
    QTest::newRow("still enabled") << QStringLiteral("1");
    QTest::newRow("no longer enabled") << QStringLiteral("0");
}

void TestAccountDetails::replyWhileConnectedKeepsFieldsButNotPages()
{
    QFETCH(QString, flag);

    SimulatedDialUp dialUp;
    setDialUpOverride(&dialUp);
    const auto restore = qScopeGuard([] { setDialUpOverride(nullptr); });
    WindowHarness h;
    h.sim.setFault(QStringLiteral("/ip/"), Fault::httpStatus(503));
    QVERIFY(logInAlice(h));
    auto* tabs = h.find<QTabWidget>(QStringLiteral("WingetConnected"));
    tabs->setCurrentIndex(1);
    h.invoke("on_connect_clicked");
    QTRY_COMPARE(h.window->connectionController()->state(), ConnectionController::State::Connected);
    // A payment flag that must not be taken for a completed payment.
    h.state()->setPaymentInProgress(true);

    QVERIFY(answerDetails(h, detailsDocument(with(freshPositions(), 4, flag))));
    QCOMPARE(h.text(QStringLiteral("user_enabled")), flag);
    QCOMPARE(h.text(QStringLiteral("quick_servers")), QStringLiteral("NL1^198.18.10.3^OpenVPN"));
    QCOMPARE(h.text(QStringLiteral("user_email")), QStringLiteral("carol@example.net"));
    QCOMPARE(h.text(QStringLiteral("user_plan")), QStringLiteral("Basic Plan"));
    QVERIFY(!h.balloonTitles().contains(QStringLiteral("Account Active")));
    if (flag == QLatin1String("0")) {
        // An expired account ends the connection and says why.
        QTRY_VERIFY(h.window->connectionController()->state() != ConnectionController::State::Connected);
        QVERIFY(h.balloonTitles().contains(QStringLiteral("Corvane - Account Expired")));
        return;
    }
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("connected"));
    QCOMPARE(h.text(QStringLiteral("connectionStatus")), QStringLiteral("connected"));
    QVERIFY(h.shown(QStringLiteral("WidgetConnectedVPN")));
    QVERIFY(!h.shown(QStringLiteral("WingetConnected")));
    QCOMPARE(tabs->currentIndex(), 1);
    QVERIFY(tabs->isTabEnabled(0));
    QVERIFY(tabs->isTabEnabled(1));
    QVERIFY(h.shown(QStringLiteral("tabAccountZoneInfo")));
    QVERIFY(!h.shown(QStringLiteral("tabAccountZonePayment")));
}

void TestAccountDetails::htmlNamedDocumentIsKeptAsPlainText_data()
{
    QTest::addColumn<QByteArray>("body");
    const QByteArray document = detailsDocument(freshPositions());
    QTest::newRow("html") << QByteArray(document).replace("userinfo", "html");
    QTest::newRow("p") << QByteArray(document).replace("userinfo", "p");
}

void TestAccountDetails::htmlNamedDocumentIsKeptAsPlainText()
{
    QFETCH(QByteArray, body);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    QVERIFY(answerDetails(h, body));

    QCOMPARE(h.find<QTextBrowser>(QStringLiteral("userdatatext"))->toPlainText(), QString::fromUtf8(body));
    QCOMPARE(h.text(QStringLiteral("user_email")), QStringLiteral("carol@example.net"));
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("12 GB quota available"));
}

void TestAccountDetails::failedReplyIsIgnored_data()
{
    QTest::addColumn<bool>("oversized");
    QTest::newRow("HTTP 500") << false;
    QTest::newRow("oversized body") << true;
}

void TestAccountDetails::failedReplyIsIgnored()
{
    QFETCH(bool, oversized);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    if (oversized) {
        setDocumentSizeLimitForTesting(64 * 1024);
        h.sim.setFault(detailsPath, Fault::oversized(1024 * 1024));
    } else {
        h.sim.setFault(detailsPath, Fault::httpStatus(500));
    }
    const int before = h.sim.requests(detailsPath).size();
    QVERIFY(!fetchAccountDetails(h, 1500));
    QCOMPARE(h.sim.requests(detailsPath).size(), before + 1);

    QCOMPARE(h.find<QTextBrowser>(QStringLiteral("userdatatext"))->toPlainText(),
             QStringLiteral("waiting for the account reply"));
    QCOMPARE(h.text(QStringLiteral("user_email")), QStringLiteral("alice@example.org"));
    QCOMPARE(h.text(QStringLiteral("user_enabled")), QStringLiteral("1"));
    QCOMPARE(h.text(QStringLiteral("authstatus")), QStringLiteral("Unlimited quota available"));
    QVERIFY(h.boxes.isEmpty());
}

void TestAccountDetails::noRequestWithoutCredentials_data()
{
    QTest::addColumn<QString>("emptied");
    QTest::newRow("user name") << QStringLiteral("username");
    QTest::newRow("password") << QStringLiteral("password");
}

void TestAccountDetails::noRequestWithoutCredentials()
{
    QFETCH(QString, emptied);

    WindowHarness h;
    QVERIFY(logInAlice(h));
    const int before = h.sim.requests(detailsPath).size();
    h.find<QLineEdit>(emptied)->clear();
    h.invoke("GetUserData");
    h.settle(1000);
    QCOMPARE(h.sim.requests(detailsPath).size(), before);

    // With both fields filled again the same call does ask.
    h.find<QLineEdit>(emptied)->setText(emptied == QLatin1String("username") ? QStringLiteral("alice")
                                                                             : QStringLiteral("secret"));
    h.invoke("GetUserData");
    QTRY_COMPARE_WITH_TIMEOUT(h.sim.requests(detailsPath).size(), before + 1, 5000);
}

QTEST_MAIN(TestAccountDetails)
#include "tst_accountdetails.moc"
