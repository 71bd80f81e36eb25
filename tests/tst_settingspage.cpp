// The settings tab, the about page and the log window as the user meets them in the real window.
#include "app/desktopintegration.h"
#include "app/translations.h"
#include "app/trayview.h"
#include "corvaneversion.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QtTest>

class TestSettingsPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateSettings(); }
    void init();
    void cleanup();

    void chosenItemIsStoredUnderItsKey_data();
    void chosenItemIsStoredUnderItsKey();
    void startAtLoginWritesTheAutostartEntry();
    void autostartEntryQuotesTheProgram_data();
    void autostartEntryQuotesTheProgram();
    void preferredProtocolIsChosenWhereTheServerOffersIt();
    void chosenLanguageTranslatesTheWindowAtOnce();
    void connectAtStartConnectsToTheLastServerAfterTheAutomaticLogin();
    void aboutPageChecksForUpdatesWhenAsked();
    void openLogWindowShowsNewLinesAsTheyCome();

private:
    // Picks row `row` of the list as the user does, in its open popup.
    void pick(const char* list, int row);

    std::unique_ptr<WindowHarness> h;
};

void TestSettingsPage::init()
{
    clearSettings();
    h = std::make_unique<WindowHarness>();
    h->create();
}

void TestSettingsPage::cleanup()
{
    h.reset();
    setStartAtLogin(false);
    replaceTranslations(*qApp, QLocale::c());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

void TestSettingsPage::pick(const char* name, int row)
{
    auto* list = h->find<QComboBox>(QLatin1String(name));
    QVERIFY(list);
    list->showPopup();
    list->view()->setCurrentIndex(list->model()->index(row, 0));
    QTest::keyClick(list->view(), Qt::Key_Return);
}

void TestSettingsPage::chosenItemIsStoredUnderItsKey_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("kill switch always") << "killSwitch" << 1 << "killSwitch" << QVariant("always");
    QTest::newRow("kill switch off") << "killSwitch" << 2 << "killSwitch" << QVariant("off");
    QTest::newRow("kill switch on reconnect") << "killSwitch" << 0 << "killSwitch" << QVariant("reconnect");
    QTest::newRow("protocol L2TP") << "preferredProtocol" << 2 << "preferredProtocol" << QVariant("L2TP");
    QTest::newRow("protocol automatic") << "preferredProtocol" << 0 << "preferredProtocol" << QVariant();
}

void TestSettingsPage::chosenItemIsStoredUnderItsKey()
{
    QFETCH(QString, list);
    QFETCH(int, row);
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QVERIFY(h->login());
    h->find<QTabWidget>(QStringLiteral("WingetConnected"))->setCurrentIndex(3);
    pick(list.toLatin1().constData(), row);
    QCOMPARE(QSettings().value(key), stored);
    QCOMPARE(h->find<QComboBox>(list)->currentIndex(), row);
}

void TestSettingsPage::startAtLoginWritesTheAutostartEntry()
{
    QVERIFY(h->login());
    auto* box = h->find<QCheckBox>(QStringLiteral("startAtLogin"));
    QVERIFY(!box->isChecked());
    box->click();
    QVERIFY(startsAtLogin());
    const QString entry = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                          QStringLiteral("/autostart/com.corvane.Client.desktop");
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith("[Desktop Entry]\nType=Application\n"));
    QVERIFY(text.contains("Exec=\"" + QFile::encodeName(QCoreApplication::applicationFilePath()) +
                          "\" \"--minimized\"\n"));
    box->click();
    QVERIFY(!QFile::exists(entry));
}

void TestSettingsPage::autostartEntryQuotesTheProgram_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << "/opt/corvane/corvane"
                           << "\"/opt/corvane/corvane\" \"--minimized\"";
    QTest::newRow("blank") << "/opt/my vpn/corvane"
                           << "\"/opt/my vpn/corvane\" \"--minimized\"";
    QTest::newRow("percent is no field code") << "/opt/100%/corvane"
                                              << "\"/opt/100%%/corvane\" \"--minimized\"";
    QTest::newRow("quote and dollar") << "/opt/a\"$b/corvane"
                                      << "\"/opt/a\\\\\"\\\\$b/corvane\" \"--minimized\"";
}

void TestSettingsPage::autostartEntryQuotesTheProgram()
{
    QFETCH(QString, program);
    QFETCH(QString, exec);
    QCOMPARE(desktopExecLine(program, {QStringLiteral("--minimized")}), exec);
}

void TestSettingsPage::preferredProtocolIsChosenWhereTheServerOffersIt()
{
    QSettings().setValue(QStringLiteral("preferredProtocol"), QStringLiteral("L2TP"));
    QVERIFY(h->login());
    // US1 offers PPTP first and L2TP second; NL1 only OpenVPN.
    QCOMPARE(h->find<QComboBox>(QStringLiteral("protocols"))->currentText(), QStringLiteral("L2TP"));
    QCOMPARE(h->text(QStringLiteral("server_protocol")), QStringLiteral("L2TP"));
    h->find<QComboBox>(QStringLiteral("servers"))->setCurrentIndex(2);
    QCOMPARE(h->find<QComboBox>(QStringLiteral("protocols"))->currentText(), QStringLiteral("OpenVPN"));
}

void TestSettingsPage::chosenLanguageTranslatesTheWindowAtOnce()
{
    QVERIFY(h->login());
    auto* tabs = h->find<QTabWidget>(QStringLiteral("WingetConnected"));
    pick("language", 2);
    QCOMPARE(QSettings().value(QStringLiteral("language")).toString(), QStringLiteral("de"));
    QTRY_COMPARE(tabs->tabText(3), QStringLiteral("Einstellungen"));
    QCOMPARE(h->text(QStringLiteral("logout")), QStringLiteral("abmelden"));
    QCOMPARE(h->window->trayView()->toolTip(), QStringLiteral("Corvane: nicht verbunden"));
    // The lists of the service stay as they were.
    QCOMPARE(h->find<QComboBox>(QStringLiteral("servers"))->currentText(), QStringLiteral("US1"));
    pick("language", 1);
    QTRY_COMPARE(tabs->tabText(3), QStringLiteral("Settings"));
    pick("language", 0);
    QVERIFY(!QSettings().contains(QStringLiteral("language")));
}

void TestSettingsPage::connectAtStartConnectsToTheLastServerAfterTheAutomaticLogin()
{
    QSettings().setValue(QStringLiteral("lastServer"), QStringLiteral("DE1"));
    h->find<QCheckBox>(QStringLiteral("autologin"))->setChecked(true);
    QVERIFY(h->login());
    h->find<QTabWidget>(QStringLiteral("WingetConnected"))->setCurrentIndex(3);
    h->find<QCheckBox>(QStringLiteral("connectAtStart"))->click();
    QCOMPARE(QSettings().value(QStringLiteral("connectAtStart")).toString(), QStringLiteral("1"));
    // A login by hand does not connect by itself.
    QVERIFY(h->settle());
    QCOMPARE(h->window->connectionController()->state(), ConnectionController::State::Idle);
    h->window.reset();

    h->create();
    QTRY_VERIFY_WITH_TIMEOUT(h->shown(QStringLiteral("WingetConnected")), 5000);
    QTRY_COMPARE(h->window->connectionController()->server().name, QStringLiteral("DE1"));
    QCOMPARE(h->window->connectionController()->origin(), ConnectionController::Origin::User);
}

void TestSettingsPage::aboutPageChecksForUpdatesWhenAsked()
{
    QVERIFY(h->login());
    h->find<QPushButton>(QStringLiteral("showAbout"))->click();
    QVERIFY(h->shown(QStringLiteral("WidgetAbout")));
    QVERIFY(!h->shown(QStringLiteral("WingetConnected")));
    QCOMPARE(h->text(QStringLiteral("about_version")), QStringLiteral("Version " CORVANE_VERSION));
    const QString versionPath = QStringLiteral("/AppVer2/" CORVANE_VERSION);
    const int before = h->sim.requests(versionPath).size();
    h->find<QPushButton>(QStringLiteral("checkUpdates"))->click();
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("checking for updates..."));
    QVERIFY(h->settle());
    QTRY_COMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("application up to date"));
    QVERIFY(h->sim.requests(versionPath).size() > before);

    h->sim.setFault(QStringLiteral("/AppVer2/"), Fault::httpStatus(503));
    h->find<QPushButton>(QStringLiteral("checkUpdates"))->click();
    QTRY_COMPARE(h->text(QStringLiteral("authstatus")),
                 QStringLiteral("The update check failed: the Corvane service did not tell its version."));
    h->find<QPushButton>(QStringLiteral("about_back"))->click();
    QVERIFY(h->shown(QStringLiteral("WingetConnected")));
}

void TestSettingsPage::openLogWindowShowsNewLinesAsTheyCome()
{
    QVERIFY(h->login());
    h->find<QPushButton>(QStringLiteral("showLog"))->click();
    auto* log = h->window->findChild<QPlainTextEdit*>(QStringLiteral("connectionLogText"));
    QVERIFY(log && log->isVisible());
    const QString before = log->toPlainText();
    h->find<QPushButton>(QStringLiteral("connect"))->click();
    QTRY_VERIFY(log->toPlainText().size() > before.size());
    QVERIFY2(log->toPlainText().contains(QStringLiteral("Connecting to US1")),
             qPrintable(log->toPlainText()));
}

QTEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"
