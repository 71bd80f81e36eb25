#include "app/elidedlabel.h"
#include "app/formview.h"
#include "ui_lumtarmain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>

#include <memory>

// The form's images live in the client's static library.
static void initResources()
{
    Q_INIT_RESOURCE(corvane);
}

namespace {

const QRect windowArea(0, 0, 340, 350);

// What a tooltip shows of its text: Qt takes anything that looks like markup for rich text.
QString shownToolTip(const QString& tip)
{
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

const QString nestedTables = QStringLiteral("<table><tr><td>").repeated(5000);
const QString fontAndPicture = QStringLiteral("<font color=\"red\" size=\"7\">NL1</font>"
                                              "<img src=\"/usr/share/pixmaps/debian-logo.png\">");

// Stands in for the real window: it declares exactly the slots the window connects by
// name, so a renamed widget or a changed widget class shows up as a slot never called.
class SlotRecorder : public QMainWindow
{
    Q_OBJECT

public:
    QStringList calls;

private slots:
    void on_login_clicked() { calls << QStringLiteral("on_login_clicked"); }
    void on_username_returnPressed() { calls << QStringLiteral("on_username_returnPressed"); }
    void on_password_returnPressed() { calls << QStringLiteral("on_password_returnPressed"); }
    void on_autologin_clicked() { calls << QStringLiteral("on_autologin_clicked"); }
    void on_buy_clicked() { calls << QStringLiteral("on_buy_clicked"); }
    void on_logout_clicked() { calls << QStringLiteral("on_logout_clicked"); }
    void on_servers_currentIndexChanged(QString)
    {
        calls << QStringLiteral("on_servers_currentIndexChanged");
    }
    void on_protocols_currentIndexChanged(QString)
    {
        calls << QStringLiteral("on_protocols_currentIndexChanged");
    }
    void on_type_currentIndexChanged(QString) { calls << QStringLiteral("on_type_currentIndexChanged"); }
    void on_connect_clicked() { calls << QStringLiteral("on_connect_clicked"); }
    void on_disconnect_clicked() { calls << QStringLiteral("on_disconnect_clicked"); }
    void on_cancel_clicked() { calls << QStringLiteral("on_cancel_clicked"); }
    void on_quickConnect_clicked() { calls << QStringLiteral("on_quickConnect_clicked"); }
    void on_application_minimize_clicked() { calls << QStringLiteral("on_application_minimize_clicked"); }
    void on_application_close_clicked() { calls << QStringLiteral("on_application_close_clicked"); }
    void on_CreateAccountBtn_clicked() { calls << QStringLiteral("on_CreateAccountBtn_clicked"); }
    void on_create_account_cancel_clicked() { calls << QStringLiteral("on_create_account_cancel_clicked"); }
    void on_payment_do_clicked() { calls << QStringLiteral("on_payment_do_clicked"); }
    void on_cancel_payment_clicked() { calls << QStringLiteral("on_cancel_payment_clicked"); }
    void on_serverSearch_textChanged(QString) { calls << QStringLiteral("on_serverSearch_textChanged"); }
    void on_serverFavourite_clicked() { calls << QStringLiteral("on_serverFavourite_clicked"); }
    void on_showLog_clicked() { calls << QStringLiteral("on_showLog_clicked"); }
    void on_showAbout_clicked() { calls << QStringLiteral("on_showAbout_clicked"); }
    void on_about_back_clicked() { calls << QStringLiteral("on_about_back_clicked"); }
    void on_checkUpdates_clicked() { calls << QStringLiteral("on_checkUpdates_clicked"); }
    void on_aboutQt_clicked() { calls << QStringLiteral("on_aboutQt_clicked"); }
    void on_startAtLogin_clicked() { calls << QStringLiteral("on_startAtLogin_clicked"); }
    void on_connectAtStart_clicked() { calls << QStringLiteral("on_connectAtStart_clicked"); }
    void on_killSwitch_activated(int) { calls << QStringLiteral("on_killSwitch_activated"); }
    void on_preferredProtocol_activated(int) { calls << QStringLiteral("on_preferredProtocol_activated"); }
    void on_language_activated(int) { calls << QStringLiteral("on_language_activated"); }
};

QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// The widget's rectangle in window coordinates.
QRect rectInWindow(const QWidget* widget, const QWidget* window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// The widget and its named descendants, leaving out Qt's own internal children
// and popups, which have their own windows.
QList<QWidget*> namedSubtree(QWidget* root)
{
    QList<QWidget*> result{root};
    const auto descendants = root->findChildren<QWidget*>();
    for (QWidget* child : descendants) {
        if (child->isWindow() || child->objectName().isEmpty() ||
            child->objectName().startsWith(QLatin1String("qt_")))
            continue;
        bool insidePopup = false;
        for (QWidget* p = child->parentWidget(); p && p != root; p = p->parentWidget())
            insidePopup = insidePopup || p->isWindow();
        if (!insidePopup)
            result << child;
    }
    return result;
}

} // namespace

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void namedWidgetExistsOnceWithItsClass_data();
    void namedWidgetExistsOnceWithItsClass();
    void windowIsFixedAt340By350();
    void slotConnectedByNameReceivesSignal_data();
    void slotConnectedByNameReceivesSignal();
    void connectionStartsDisconnected();
    void stateFieldStartsEmpty_data();
    void stateFieldStartsEmpty();
    void paymentCombosHoldInitialItemsInOrder_data();
    void paymentCombosHoldInitialItemsInOrder();
    void serverCombosHoldOnlyTheirPlaceholder_data();
    void serverCombosHoldOnlyTheirPlaceholder();
    void mainTabsComeInOrderWithBasicCurrent();
    void debugTabsShowXmlResponse();
    void credentialFieldsLimitInput();
    void stateStoreLiesOutsideWindow_data();
    void stateStoreLiesOutsideWindow();
    void visiblePartLiesInsideWindow_data();
    void visiblePartLiesInsideWindow();
    void pagesStackAbovePanelInOrder();
    void longTextIsCutWithWholeTextInToolTip_data();
    void longTextIsCutWithWholeTextInToolTip();
    void checkedAutoLoginShowsTick();
    void markupInALabelStaysTextInItsTooltip_data();
    void markupInALabelStaysTextInItsTooltip();
    void markupInTheConnectionLogStaysText();
    void tabReachesThePageBeforeTheTitleButtons();
    void keyboardFocusIsDrawn_data();
    void keyboardFocusIsDrawn();
    void enterTicksTheAutoLoginBox();

private:
    std::unique_ptr<SlotRecorder> window;
    std::unique_ptr<Ui::LumtarMain> ui;
};

void TestForm::init()
{
    initResources();
    window = std::make_unique<SlotRecorder>();
    ui = std::make_unique<Ui::LumtarMain>();
    ui->setupUi(window.get());
}

void TestForm::cleanup()
{
    ui.reset();
    window.reset();
}

void TestForm::namedWidgetExistsOnceWithItsClass_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");

    const struct
    {
        const char* name;
        const char* className;
    } widgets[] = {
        // State store
        {"connectionStatus", "QLineEdit"},
        {"quick_stage", "QLineEdit"},
        {"quick_servers", "QLineEdit"},
        {"paymentInProgress", "QLineEdit"},
        {"server_name", "QLineEdit"},
        {"server_ip", "QLineEdit"},
        {"server_protocol", "QLineEdit"},
        {"server_pskey", "QLineEdit"},
        {"server_assignedIP", "QLineEdit"},
        {"server_certificate", "QLineEdit"},
        {"server_config", "QLineEdit"},
        {"user_enabled", "QLineEdit"},
        {"ipCurrent", "QLineEdit"},
        {"seconds", "QLineEdit"},
        {"workingFolder", "QLineEdit"},
        {"textBrowser", "QTextBrowser"},
        {"userdatatext", "QTextBrowser"},
        {"statuslabel", "QLabel"},
        {"progressBar", "QProgressBar"},
        {"user_area", "QWidget"},
        // Frame and title strip
        {"centralWidget", "QWidget"},
        {"authstatus", "ElidedLabel"},
        {"loading", "QLabel"},
        {"LogoSmall", "QLabel"},
        {"application_version", "QLabel"},
        {"application_version_2", "QLabel"},
        {"application_minimize", "QPushButton"},
        {"application_close", "QPushButton"},
        // Pages
        {"WingetLogin", "QWidget"},
        {"WingetConnected", "QTabWidget"},
        {"tabBasic", "QWidget"},
        {"tabAdvanced", "QWidget"},
        {"tabAccount", "QWidget"},
        {"tabAccountZoneInfo", "QWidget"},
        {"tabAccountZonePayment", "QWidget"},
        {"WidgetNewAccount", "QWidget"},
        {"WidgetConnectingVPN", "QWidget"},
        {"WidgetConnectedVPN", "QWidget"},
        {"WidgetPaymentInProgress", "QWidget"},
        // Inputs and buttons
        {"username", "QLineEdit"},
        {"password", "QLineEdit"},
        {"autologin", "QCheckBox"},
        {"login", "QPushButton"},
        {"buy", "QPushButton"},
        {"logout", "QPushButton"},
        {"servers", "QComboBox"},
        {"protocols", "QComboBox"},
        {"type", "QComboBox"},
        {"connect", "QPushButton"},
        {"disconnect", "QPushButton"},
        {"cancel", "QPushButton"},
        {"quickConnect", "QPushButton"},
        {"CreateAccountBtn", "QPushButton"},
        {"create_account_cancel", "QPushButton"},
        {"payment_do", "QPushButton"},
        {"payment_processor", "QComboBox"},
        {"payment_plan", "QComboBox"},
        {"cancel_payment", "QPushButton"},
        {"NewEmail", "QLineEdit"},
        {"NewFirstname", "QLineEdit"},
        {"NewLastname", "QLineEdit"},
        // Texts the client rewrites
        {"server_icon", "QLabel"},
        {"user_email", "ElidedLabel"},
        {"user_plan", "ElidedLabel"},
        {"user_expire", "ElidedLabel"},
        {"connecting_title", "QLabel"},
        {"connecting_message", "QLabel"},
        {"connected_title", "ElidedLabel"},
        {"connected_message", "ElidedLabel"},
        // The connected page's details
        {"connected_server", "ElidedLabel"},
        {"connected_protocol", "ElidedLabel"},
        {"connected_time", "ElidedLabel"},
        {"connected_address", "ElidedLabel"},
        {"connected_traffic", "ElidedLabel"},
        // The search above the server list
        {"serverSearch", "QLineEdit"},
        {"serverFavourite", "QToolButton"},
        // Settings and about
        {"tabSettings", "QWidget"},
        {"startAtLogin", "QCheckBox"},
        {"connectAtStart", "QCheckBox"},
        {"killSwitch", "QComboBox"},
        {"preferredProtocol", "QComboBox"},
        {"language", "QComboBox"},
        {"showLog", "QPushButton"},
        {"showAbout", "QPushButton"},
        {"WidgetAbout", "QWidget"},
        {"about_version", "QLabel"},
        {"about_licence", "QLabel"},
        {"checkUpdates", "QPushButton"},
        {"aboutQt", "QPushButton"},
        {"about_back", "QPushButton"},
    };
    for (const auto& w : widgets)
        QTest::newRow(w.name) << QString::fromLatin1(w.name) << QString::fromLatin1(w.className);
}

void TestForm::namedWidgetExistsOnceWithItsClass()
{
    QFETCH(QString, name);
    QFETCH(QString, className);

    const auto found = window->findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QCOMPARE(QString::fromLatin1(found.first()->metaObject()->className()), className);
}

void TestForm::windowIsFixedAt340By350()
{
    QCOMPARE(window->size(), QSize(340, 350));
    QCOMPARE(window->minimumSize(), QSize(340, 350));
    QCOMPARE(window->maximumSize(), QSize(340, 350));
    QCOMPARE(window->centralWidget(), ui->centralWidget);
    QCOMPARE(window->windowTitle(), QStringLiteral("Corvane"));
}

void TestForm::slotConnectedByNameReceivesSignal_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("slot");

    const char* clicked[] = {"login",
                             "autologin",
                             "buy",
                             "logout",
                             "connect",
                             "disconnect",
                             "cancel",
                             "quickConnect",
                             "application_minimize",
                             "application_close",
                             "CreateAccountBtn",
                             "create_account_cancel",
                             "payment_do",
                             "cancel_payment",
                             "serverFavourite",
                             "showLog",
                             "showAbout",
                             "about_back",
                             "checkUpdates",
                             "aboutQt",
                             "startAtLogin",
                             "connectAtStart"};
    for (const char* name : clicked)
        QTest::newRow(name) << QString::fromLatin1(name)
                            << QStringLiteral("on_%1_clicked").arg(QString::fromLatin1(name));
    for (const char* name : {"username", "password"})
        QTest::newRow(name) << QString::fromLatin1(name)
                            << QStringLiteral("on_%1_returnPressed").arg(QString::fromLatin1(name));
    for (const char* name : {"servers", "protocols", "type"})
        QTest::newRow(name) << QString::fromLatin1(name)
                            << QStringLiteral("on_%1_currentIndexChanged").arg(QString::fromLatin1(name));
    // The settings' lists take the user's choice only, never the program's own filling.
    for (const char* name : {"killSwitch", "preferredProtocol", "language"})
        QTest::newRow(name) << QString::fromLatin1(name)
                            << QStringLiteral("on_%1_activated").arg(QString::fromLatin1(name));
    QTest::newRow("serverSearch") << QStringLiteral("serverSearch")
                                  << QStringLiteral("on_serverSearch_textChanged");
}

void TestForm::slotConnectedByNameReceivesSignal()
{
    QFETCH(QString, object);
    QFETCH(QString, slot);

#if QT_VERSION_MAJOR >= 6
    if (slot.endsWith(QLatin1String("currentIndexChanged")))
        QSKIP("Qt 6 has no QComboBox::currentIndexChanged(QString): the window connects this slot "
              "itself (tst_serverlists)");
#endif
    QWidget* target = window->findChild<QWidget*>(object);
    QVERIFY(target);
    if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        button->click();
    } else if (auto* edit = qobject_cast<QLineEdit*>(target);
               edit && slot.endsWith(QLatin1String("textChanged"))) {
        QTest::keyClick(edit, Qt::Key_A);
    } else if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        QTest::keyClick(edit, Qt::Key_Return);
    } else if (auto* combo = qobject_cast<QComboBox*>(target);
               combo && slot.endsWith(QLatin1String("activated"))) {
        combo->addItem(QStringLiteral("first"));
        combo->addItem(QStringLiteral("next"));
        window->calls.clear();
        // The user picks an item in the open list.
        combo->showPopup();
        QTest::keyClick(combo->view(), Qt::Key_Down);
        QTest::keyClick(combo->view(), Qt::Key_Return);
    } else if (auto* combo = qobject_cast<QComboBox*>(target)) {
        combo->addItem(QStringLiteral("next"));
        combo->setCurrentIndex(combo->count() - 1);
    } else {
        QFAIL("widget cannot raise the signal its slot waits for");
    }
    QCOMPARE(window->calls, QStringList{slot});
}

void TestForm::connectionStartsDisconnected()
{
    QCOMPARE(ui->connectionStatus->text(), QStringLiteral("disconnected"));
}

void TestForm::stateFieldStartsEmpty_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"server_name", "server_ip", "server_protocol", "server_pskey", "server_assignedIP",
          "server_certificate", "server_config", "user_enabled", "ipCurrent", "quick_stage", "quick_servers",
          "paymentInProgress", "workingFolder", "username", "password"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestForm::stateFieldStartsEmpty()
{
    // A sample text left here would pass for a real value, e.g. a bogus Quick Connect list.
    QFETCH(QString, name);
    auto* field = window->findChild<QLineEdit*>(name);
    QVERIFY(field);
    QCOMPARE(field->text(), QString());
}

void TestForm::paymentCombosHoldInitialItemsInOrder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("payment_processor")
        << QStringLiteral("payment_processor")
        << QStringList{QStringLiteral("Credit Card"), QStringLiteral("Paypal"),
                       QStringLiteral("Perfect Money"), QStringLiteral("New Item")};
    QTest::newRow("payment_plan") << QStringLiteral("payment_plan")
                                  << QStringList{QStringLiteral("$ 4.95 USD for One Month"),
                                                 QStringLiteral("$ 13.37 for 4 Months"),
                                                 QStringLiteral("$ 50.75 USD for One Year Service")};
}

void TestForm::paymentCombosHoldInitialItemsInOrder()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);

    auto* combo = window->findChild<QComboBox*>(name);
    QVERIFY(combo);
    QCOMPARE(itemsOf(combo), items);
    QCOMPARE(combo->currentIndex(), 0);
}

void TestForm::serverCombosHoldOnlyTheirPlaceholder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("placeholder");

    QTest::newRow("servers") << QStringLiteral("servers") << QStringLiteral("select server...");
    QTest::newRow("protocols") << QStringLiteral("protocols") << QStringLiteral("select protocol...");
    QTest::newRow("type") << QStringLiteral("type") << QStringLiteral("select type...");
}

void TestForm::serverCombosHoldOnlyTheirPlaceholder()
{
    QFETCH(QString, name);
    QFETCH(QString, placeholder);

    auto* combo = window->findChild<QComboBox*>(name);
    QVERIFY(combo);
    QCOMPARE(itemsOf(combo), QStringList{placeholder});
    QCOMPARE(combo->currentText(), placeholder);
}

void TestForm::mainTabsComeInOrderWithBasicCurrent()
{
    QTabWidget* tabs = ui->WingetConnected;
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->widget(0), ui->tabBasic);
    QCOMPARE(tabs->widget(1), ui->tabAdvanced);
    QCOMPARE(tabs->widget(2), ui->tabAccount);
    QCOMPARE(tabs->widget(3), ui->tabSettings);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Basic"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Advanced"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("My Account"));
    QCOMPARE(tabs->tabText(3), QStringLiteral("Settings"));
    // Every tab is shown whole: none is hidden behind scroll buttons.
    window->show();
    int width = 0;
    for (int i = 0; i < tabs->count(); ++i)
        width += tabs->tabBar()->tabRect(i).width();
    // Wine draws Windows' faces with stand-ins of other widths; the form is sized for the real ones.
    const bool wine = !QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software\\Wine"), QSettings::NativeFormat)
                           .childGroups()
                           .isEmpty();
    if (!wine)
        QVERIFY2(width <= tabs->width(), qPrintable(QString::number(width)));
    QCOMPARE(tabs->currentIndex(), 0);
}

void TestForm::debugTabsShowXmlResponse()
{
    QTabWidget* tabs = ui->XMLUserData;
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(tabs->tabText(1), QStringLiteral("XML Response"));
    QVERIFY(tabs->currentWidget()->isAncestorOf(ui->textBrowser));
    QVERIFY(tabs->widget(3)->isAncestorOf(ui->userdatatext));
}

void TestForm::credentialFieldsLimitInput()
{
    QCOMPARE(ui->password->echoMode(), QLineEdit::Password);
    QCOMPARE(ui->username->echoMode(), QLineEdit::Normal);
    for (QLineEdit* field : {ui->username, ui->password, ui->NewEmail, ui->NewFirstname, ui->NewLastname})
        QCOMPARE(field->maxLength(), 50);
    QCOMPARE(ui->username->placeholderText(), QStringLiteral("username"));
    QCOMPARE(ui->password->placeholderText(), QStringLiteral("password"));
}

void TestForm::stateStoreLiesOutsideWindow_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"XMLUserData", "groupBox_2", "user_area", "groupBox_3", "workingFolder"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestForm::stateStoreLiesOutsideWindow()
{
    QFETCH(QString, name);

    // Shown, so that the tab widget has laid out its pages.
    window->show();
    auto* root = window->findChild<QWidget*>(name);
    QVERIFY(root);
    QCOMPARE(root->parentWidget(), ui->centralWidget);
    const auto subtree = namedSubtree(root);
    for (QWidget* widget : subtree) {
        const QRect rect = rectInWindow(widget, window.get());
        if (rect.intersects(windowArea))
            QFAIL(qPrintable(QStringLiteral("%1 reaches into the window at %2,%3 %4x%5")
                                 .arg(widget->objectName())
                                 .arg(rect.x())
                                 .arg(rect.y())
                                 .arg(rect.width())
                                 .arg(rect.height())));
    }
}

void TestForm::visiblePartLiesInsideWindow_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"bkwidget", "widget", "WingetLogin", "LogoSmall", "application_version", "application_minimize",
          "application_close", "authstatus", "loading", "WingetConnected", "WidgetNewAccount",
          "WidgetConnectedVPN", "WidgetConnectingVPN", "WidgetPaymentInProgress", "WidgetAbout"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestForm::visiblePartLiesInsideWindow()
{
    QFETCH(QString, name);

    window->show();
    auto* root = window->findChild<QWidget*>(name);
    QVERIFY(root);
    // A tab page gets its real size only once it is the current one.
    auto* tabs = qobject_cast<QTabWidget*>(root);
    const int pages = tabs ? tabs->count() : 1;
    for (int page = 0; page < pages; ++page) {
        if (tabs)
            tabs->setCurrentIndex(page);
        const auto subtree = namedSubtree(tabs ? tabs->widget(page) : root);
        for (QWidget* widget : subtree) {
            const QRect rect = rectInWindow(widget, window.get());
            if (!windowArea.contains(rect))
                QFAIL(qPrintable(QStringLiteral("%1 leaves the window at %2,%3 %4x%5")
                                     .arg(widget->objectName())
                                     .arg(rect.x())
                                     .arg(rect.y())
                                     .arg(rect.width())
                                     .arg(rect.height())));
        }
    }
    QVERIFY(windowArea.contains(rectInWindow(root, window.get())));
}

void TestForm::pagesStackAbovePanelInOrder()
{
    // The pages share one place above the panel; whichever one is shown must cover the
    // others and must not disappear under the panel.
    const QObjectList stack = ui->centralWidget->children();
    auto level = [&stack](QObject* widget) { return stack.indexOf(widget); };

    QVERIFY(level(ui->bkwidget) < level(ui->widget));
    QVERIFY(level(ui->widget) < level(ui->LogoSmall));
    QVERIFY(level(ui->application_close) < level(ui->WingetConnected));
    QVERIFY(level(ui->WingetConnected) < level(ui->authstatus));
    QVERIFY(level(ui->authstatus) < level(ui->WidgetNewAccount));
    QVERIFY(level(ui->WidgetNewAccount) < level(ui->WidgetConnectedVPN));
    QVERIFY(level(ui->WidgetConnectedVPN) < level(ui->WidgetConnectingVPN));
    QVERIFY(level(ui->WidgetConnectingVPN) < level(ui->WidgetPaymentInProgress));
    QVERIFY(level(ui->WidgetPaymentInProgress) < level(ui->WidgetAbout));
    QVERIFY(level(ui->WidgetAbout) < level(ui->loading));

    const QObjectList account = ui->tabAccount->children();
    QVERIFY(account.indexOf(ui->tabAccountZonePayment) < account.indexOf(ui->logout));
    QVERIFY(account.indexOf(ui->tabAccountZoneInfo) < account.indexOf(ui->tabAccountZonePayment));

    const QObjectList advanced = ui->tabAdvanced->children();
    QVERIFY(advanced.indexOf(ui->server_icon) < advanced.indexOf(ui->connect));
    QVERIFY(advanced.indexOf(ui->servers) < advanced.indexOf(ui->server_icon));
}

void TestForm::longTextIsCutWithWholeTextInToolTip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cut");

    const QString longName = QStringLiteral("Netherlands Amsterdam Premium Streaming Optimised Server 7");
    QTest::newRow("short status") << QStringLiteral("authstatus") << QStringLiteral("Ready!") << false;
    QTest::newRow("long status") << QStringLiteral("authstatus")
                                 << QStringLiteral("Stage 3/12: connection in progress - 90% to ") + longName
                                 << true;
    QTest::newRow("e-mail") << QStringLiteral("user_email")
                            << QStringLiteral("a.very.long.mailbox.name@subscribers.example-provider.org")
                            << true;
    QTest::newRow("plan") << QStringLiteral("user_plan")
                          << QStringLiteral("Premium Plan with dedicated address and streaming") << true;
    QTest::newRow("expiry") << QStringLiteral("user_expire")
                            << QStringLiteral("Expire 31 December 2027 at midnight Central European Time")
                            << true;
    QTest::newRow("connected title") << QStringLiteral("connected_title")
                                     << QStringLiteral("Connected to ") + longName +
                                            QStringLiteral(" Server!")
                                     << true;
    QTest::newRow("connected message") << QStringLiteral("connected_message")
                                       << QStringLiteral("You are now connected to ") + longName +
                                              QStringLiteral(" Server.\n Your connection is now secured.")
                                       << true;
    QTest::newRow("short connected message")
        << QStringLiteral("connected_message")
        << QStringLiteral("You are now connected to US1 Server.\n Your connection is now secured.") << false;
}

void TestForm::longTextIsCutWithWholeTextInToolTip()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, cut);
    window->show();
    ui->WingetConnected->show();
    ui->WidgetConnectedVPN->show();
    ui->WingetConnected->setCurrentWidget(ui->tabAccount);
    ui->tabAccountZoneInfo->show();
    auto* label = window->findChild<ElidedLabel*>(name);
    QVERIFY(label);

    label->setText(text);
    label->grab();

    QCOMPARE(label->text(), text);
    // Whether a text of about the label's width fits depends on the font's measures (the
    // offscreen platform under Wine hints glyphs differently); the long texts never fit.
    const QFontMetrics metrics(label->font());
    bool fits = true;
    for (const QString& line : text.split(QLatin1Char('\n')))
        fits = fits && metrics.horizontalAdvance(line) <= label->contentsRect().width();
    if (cut)
        QVERIFY(!fits);
    QCOMPARE(shownToolTip(label->toolTip()), fits ? QString() : text);
    const QStringList lines = label->shownText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), text.count(QLatin1Char('\n')) + 1);
    QVERIFY(lines.size() * metrics.height() <= label->contentsRect().height());
    for (const QString& line : lines) {
        QVERIFY2(metrics.horizontalAdvance(line) <= label->contentsRect().width(), qPrintable(line));
        QVERIFY(text.contains(line) || line.endsWith(QStringLiteral("…")));
    }
    QCOMPARE(label->shownText() != text, !fits);
}

// The checked box must differ from the unchecked one by more than its colour: a white tick
// on the blue face.
void TestForm::checkedAutoLoginShowsTick()
{
    window->show();
    ui->autologin->setChecked(true);
    const QImage checked = ui->autologin->grab().toImage();
    int white = 0;
    int blue = 0;
    for (int y = 0; y < checked.height(); ++y) {
        for (int x = 0; x < 14; ++x) {
            const QColor c = checked.pixelColor(x, y);
            if (c.alpha() < 200)
                continue;
            if (c.red() > 200 && c.green() > 200 && c.blue() > 200)
                ++white;
            else if (c.blue() > 120 && c.red() < 60)
                ++blue;
        }
    }
    QVERIFY2(white >= 6, qPrintable(QString::number(white)));
    QVERIFY2(blue >= 30, qPrintable(QString::number(blue)));
}

void TestForm::markupInALabelStaysTextInItsTooltip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("nested tables") << QStringLiteral("connected_title")
                                   << QStringLiteral("Connected to ") + nestedTables +
                                          QStringLiteral(" Server!");
    QTest::newRow("font and picture") << QStringLiteral("connected_title")
                                      << QStringLiteral("Connected to ") + fontAndPicture +
                                             QStringLiteral(" Premium Streaming Optimised Server!");
    QTest::newRow("message") << QStringLiteral("connected_message")
                             << QStringLiteral("You are now connected to ") + fontAndPicture +
                                    QStringLiteral(" Server.\n Your connection is now secured.");
}

void TestForm::markupInALabelStaysTextInItsTooltip()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    window->show();
    ui->WidgetConnectedVPN->show();
    auto* label = window->findChild<ElidedLabel*>(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    label->repaint();

    // The mouse rests on the label.
    const QPoint middle = label->rect().center();
    QTest::mouseMove(label, middle);
    QHelpEvent help(QEvent::ToolTip, middle, label->mapToGlobal(middle));
    QCoreApplication::sendEvent(label, &help);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(shownToolTip(QToolTip::text()),
             text.size() > 1000 ? text.left(1000) + QStringLiteral("…") : text);
    QToolTip::hideText();
}

void TestForm::markupInTheConnectionLogStaysText()
{
    FormView view(ui.get());
    const QString line = QStringLiteral("12:00:00 Dial: connected to ") + fontAndPicture;
    view.appendLog(QStringLiteral("12:00:00 first line"), 100);
    view.appendLog(line, 100);
    QCOMPARE(view.logText(), QStringLiteral("12:00:00 first line\n") + line);
}

// Tab three times from the user name and Space: the login, never the title strip's buttons.
void TestForm::tabReachesThePageBeforeTheTitleButtons()
{
    window->show();
    ui->WingetConnected->hide();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    ui->username->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ui->login);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(window->calls, QStringList{QStringLiteral("on_login_clicked")});
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ui->newAccount);
}

void TestForm::keyboardFocusIsDrawn_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"username", "login", "buy", "autologin", "application_minimize",
                             "application_close", "servers", "connect", "quickConnect", "serverSearch"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestForm::keyboardFocusIsDrawn()
{
    QFETCH(QString, name);
    FormView view(ui.get());
    view.markKeyboardFocus();
    window->show();
    ui->WingetConnected->show();
    ui->WingetConnected->setCurrentWidget(name == QLatin1String("quickConnect") ? ui->tabBasic
                                                                                : ui->tabAdvanced);
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto* control = window->findChild<QWidget*>(name);
    QVERIFY(control);
    ui->centralWidget->setFocus();
    const QImage without = control->grab().toImage();
    control->setFocus(Qt::TabFocusReason);
    QVERIFY(control->hasFocus());
    const QImage with = control->grab().toImage();
    QVERIFY2(with != without, "the focused control looks the same as without focus");
}

void TestForm::enterTicksTheAutoLoginBox()
{
    FormView view(ui.get());
    view.markKeyboardFocus();
    QVERIFY(!ui->autologin->isChecked());
    QTest::keyClick(ui->autologin, Qt::Key_Return);
    QVERIFY(ui->autologin->isChecked());
    QTest::keyClick(ui->autologin, Qt::Key_Enter);
    QVERIFY(!ui->autologin->isChecked());
    QCOMPARE(window->calls,
             (QStringList{QStringLiteral("on_autologin_clicked"), QStringLiteral("on_autologin_clicked")}));
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
