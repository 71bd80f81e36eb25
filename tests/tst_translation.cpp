// The client in German: the system's language at start, and a change of language while
// logged in, which must keep the lists and the state the client holds.
#include "app/translations.h"
#include "testsupport.h"
#include "windowobservers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTranslator>
#include <QtTest>

class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void germanStartShowsGermanTexts_data();
    void germanStartShowsGermanTexts();
    void languageChangeBackAndForthKeepsLists();
    void buyOffersTheOrderPageInAnyLanguage();

private:
    void useLanguage(const QLocale& locale);
    QStringList tabTexts() const;
    QStringList items(const QString& combo) const;

    std::unique_ptr<WindowHarness> h;
};

void TestTranslation::initTestCase()
{
    isolateSettings();
}

void TestTranslation::init()
{
    clearSettings();
    useLanguage(QLocale(QLocale::German, QLocale::Germany));
    h = std::make_unique<WindowHarness>();
}

void TestTranslation::cleanup()
{
    h.reset();
    useLanguage(QLocale::c());
}

// As at start or when the desktop's language changes: every translator goes, the locale's come.
void TestTranslation::useLanguage(const QLocale& locale)
{
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    // English is the source language: it has no translation of its own.
    const bool found = installTranslations(*qApp, locale);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(found, locale.language() == QLocale::German);
}

QStringList TestTranslation::tabTexts() const
{
    auto* tabs = h->find<QTabWidget>(QStringLiteral("WingetConnected"));
    QStringList texts;
    for (int i = 0; i < tabs->count(); ++i)
        texts << tabs->tabText(i);
    return texts;
}

QStringList TestTranslation::items(const QString& combo) const
{
    auto* box = h->find<QComboBox>(combo);
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

void TestTranslation::germanStartShowsGermanTexts_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("german");
    QTest::newRow("login button") << "login"
                                  << "anmelden";
    QTest::newRow("trial button") << "buy"
                                  << "Testkonto anlegen";
    QTest::newRow("auto-login") << "autologin"
                                << "Auto-Anmeldung";
    QTest::newRow("version line") << "application_version_2"
                                  << "Version 4.0.2";
    QTest::newRow("quick connect") << "quickConnect"
                                   << "Schnell\nVERBINDEN";
    QTest::newRow("connect") << "connect"
                             << "verbinden";
    QTest::newRow("logout") << "logout"
                            << "abmelden";
    // Made by the code rather than the form.
    QTest::newRow("show log") << "showConnectionLog"
                              << "Protokoll anzeigen";
}

void TestTranslation::germanStartShowsGermanTexts()
{
    QFETCH(QString, widget);
    QFETCH(QString, german);
    h->create();
    QCOMPARE(h->text(widget), german);
    QCOMPARE(h->find<QLineEdit>(QStringLiteral("username"))->placeholderText(),
             QStringLiteral("Benutzername"));
    QCOMPARE(tabTexts(), (QStringList{"Einfach", "Erweitert", "Mein Konto", "Einstellungen"}));
    // The state the client keeps in the form is never translated.
    QCOMPARE(h->text(QStringLiteral("connectionStatus")), QStringLiteral("disconnected"));
}

void TestTranslation::languageChangeBackAndForthKeepsLists()
{
    h->create();
    QVERIFY(h->login());
    auto* servers = h->find<QComboBox>(QStringLiteral("servers"));
    servers->setCurrentIndex(2);
    const QStringList serverItems = items(QStringLiteral("servers"));
    const QStringList protocolItems = items(QStringLiteral("protocols"));
    const QStringList planItems = items(QStringLiteral("payment_plan"));
    const QString serverName = h->text(QStringLiteral("server_name"));
    const QString email = h->text(QStringLiteral("user_email"));
    const QString plan = h->text(QStringLiteral("user_plan"));
    QVERIFY(serverItems.size() > 2);

    useLanguage(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(tabTexts(), (QStringList{"Basic", "Advanced", "My Account", "Settings"}));
    QCOMPARE(h->text(QStringLiteral("logout")), QStringLiteral("logout"));
    useLanguage(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(tabTexts(), (QStringList{"Einfach", "Erweitert", "Mein Konto", "Einstellungen"}));

    QCOMPARE(items(QStringLiteral("servers")), serverItems);
    QCOMPARE(servers->currentIndex(), 2);
    QCOMPARE(items(QStringLiteral("protocols")), protocolItems);
    QCOMPARE(items(QStringLiteral("payment_plan")), planItems);
    QCOMPARE(h->text(QStringLiteral("server_name")), serverName);
    QCOMPARE(h->text(QStringLiteral("user_email")), email);
    QCOMPARE(h->text(QStringLiteral("user_plan")), plan);
    QCOMPARE(h->text(QStringLiteral("connectionStatus")), QStringLiteral("disconnected"));
    QVERIFY(h->shown(QStringLiteral("WingetConnected")));
}

void TestTranslation::buyOffersTheOrderPageInAnyLanguage()
{
    OpenedPages pages;
    h->create();
    QVERIFY(h->login());
    h->find<QPushButton>(QStringLiteral("logout"))->click();
    useLanguage(QLocale(QLocale::English, QLocale::UnitedStates));
    h->find<QPushButton>(QStringLiteral("buy"))->click();
    QCOMPARE(pages.urls, QList<QUrl>{QUrl(h->sim.baseUrl() + QStringLiteral("/order/"))});
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
