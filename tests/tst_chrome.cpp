// The window's own chrome: closing with confirmation, dragging the frameless window, the
// title-strip buttons, the tray icon, and a language change.
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(QSystemTrayIcon::ActivationReason)

namespace {

const QPair<QString, QString> closeConfirmation{QStringLiteral("Close Confirmation?"),
                                                QStringLiteral("Are you sure you want to exit?")};
const QPair<QString, QString> applicationClose{QStringLiteral("Application close"),
                                               QStringLiteral("Are you sure you want to exit?")};

// Runs the action inside the application's own event loop, as in the program, and tells
// whether the action ended that loop (a quit) rather than the short fallback.
bool endsApplication(const std::function<void()>& action)
{
    QTimer act;
    act.setSingleShot(true);
    QObject::connect(&act, &QTimer::timeout, action);
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    act.start(0);
    fallback.start(300);
    return QApplication::exec() == 0;
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& local, const QPoint& global)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(global), button, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

class TestChrome : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void closeButtonAsksBeforeQuitting_data();
    void closeButtonAsksBeforeQuitting();
    void trayQuitAsksLikeCloseButton_data();
    void trayQuitAsksLikeCloseButton();
    void otherCloseRequestAsksApplicationClose_data();
    void otherCloseRequestAsksApplicationClose();
    void pressOnBackgroundThenMoveDragsWindow();
    void pressOnLabelDragsByThatPoint();
    void pressOnControlDoesNotStartDrag_data();
    void pressOnControlDoesNotStartDrag();
    void minimiseButtonMinimises();
    void trayActivation_data();
    void trayActivation();
    void windowLeavesOtherWindowsClickable();
    void trayShowEntryRestoresWindow();
    void languageChangeRetranslatesButKeepsServiceLists();

private:
    std::unique_ptr<WindowHarness> h;
    LumtarMain* window = nullptr;
};

void TestChrome::initTestCase()
{
    isolateSettings();
}

void TestChrome::init()
{
    clearSettings();
    h = std::make_unique<WindowHarness>();
    window = h->create();
    window->move(100, 100);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestChrome::cleanup()
{
    window = nullptr;
    h.reset();
}

void TestChrome::closeButtonAsksBeforeQuitting_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("quits");
    QTest::newRow("yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("no") << int(QMessageBox::No) << false;
}

void TestChrome::closeButtonAsksBeforeQuitting()
{
    QFETCH(int, answer);
    QFETCH(bool, quits);
    h->answer = QMessageBox::StandardButton(answer);

    const bool ended =
        endsApplication([this] { h->find<QPushButton>(QStringLiteral("application_close"))->click(); });

    QCOMPARE(h->questions, (QList<QPair<QString, QString>>{closeConfirmation}));
    QCOMPARE(ended, quits);
    QVERIFY(window->isVisible());
}

void TestChrome::trayQuitAsksLikeCloseButton_data()
{
    closeButtonAsksBeforeQuitting_data();
}

void TestChrome::trayQuitAsksLikeCloseButton()
{
    QFETCH(int, answer);
    QFETCH(bool, quits);
    h->answer = QMessageBox::StandardButton(answer);
    QAction* quit = nullptr;
    const auto actions = window->findChild<QSystemTrayIcon*>()->contextMenu()->actions();
    for (QAction* action : actions) {
        if (action->text() == QLatin1String("&Quit"))
            quit = action;
    }
    QVERIFY(quit);

    const bool ended = endsApplication([quit] { quit->trigger(); });

    QCOMPARE(h->questions, (QList<QPair<QString, QString>>{closeConfirmation}));
    QCOMPARE(ended, quits);
}

void TestChrome::otherCloseRequestAsksApplicationClose_data()
{
    closeButtonAsksBeforeQuitting_data();
}

void TestChrome::otherCloseRequestAsksApplicationClose()
{
    QFETCH(int, answer);
    QFETCH(bool, quits);
    h->answer = QMessageBox::StandardButton(answer);

    bool closed = false;
    // The last window closing ends the application, as Alt+F4 does in the program.
    const bool ended = endsApplication([this, &closed] { closed = window->close(); });

    QCOMPARE(h->questions, (QList<QPair<QString, QString>>{applicationClose}));
    QCOMPARE(closed, quits);
    QCOMPARE(window->isVisible(), !quits);
    QCOMPARE(ended, quits);
}

void TestChrome::pressOnBackgroundThenMoveDragsWindow()
{
    const QPoint start = window->pos();
    sendMouse(window, QEvent::MouseButtonPress, QPoint(40, 50), start + QPoint(40, 50));
    sendMouse(window, QEvent::MouseMove, QPoint(40, 50), QPoint(500, 400));

    QTRY_COMPARE(window->pos(), QPoint(460, 350));

    // The point under the cursor stays under it on every further move.
    sendMouse(window, QEvent::MouseMove, QPoint(40, 50), QPoint(90, 70));
    QTRY_COMPARE(window->pos(), QPoint(50, 20));
}

void TestChrome::pressOnLabelDragsByThatPoint()
{
    auto* logo = h->find<QWidget>(QStringLiteral("LogoBig"));
    QVERIFY(logo->isVisible());
    const QPoint inWindow = logo->mapTo(window, QPoint(5, 5));
    sendMouse(logo, QEvent::MouseButtonPress, QPoint(5, 5), window->pos() + inWindow);
    sendMouse(logo, QEvent::MouseMove, QPoint(5, 5), QPoint(500, 400));

    QTRY_COMPARE(window->pos(), QPoint(500, 400) - inWindow);
}

void TestChrome::pressOnControlDoesNotStartDrag_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("button") << QStringLiteral("login");
    QTest::newRow("field") << QStringLiteral("password");
}

void TestChrome::pressOnControlDoesNotStartDrag()
{
    QFETCH(QString, control);
    sendMouse(window, QEvent::MouseButtonPress, QPoint(40, 50), window->pos() + QPoint(40, 50));

    auto* widget = h->find<QWidget>(control);
    QVERIFY(widget->isVisible());
    sendMouse(widget, QEvent::MouseButtonPress, QPoint(5, 5),
              window->pos() + widget->mapTo(window, QPoint(5, 5)));
    sendMouse(window, QEvent::MouseMove, QPoint(40, 50), QPoint(500, 400));

    // Still the offset of the press on the background.
    QTRY_COMPARE(window->pos(), QPoint(460, 350));
    QVERIFY(h->boxes.isEmpty());
}

void TestChrome::minimiseButtonMinimises()
{
    window->setWindowState(Qt::WindowMaximized);
    h->find<QPushButton>(QStringLiteral("application_minimize"))->click();
    QCOMPARE(window->windowState(), Qt::WindowStates(Qt::WindowMinimized));
    QVERIFY(h->questions.isEmpty());
}

void TestChrome::trayActivation_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<bool>("restores");
    QTest::newRow("click") << QSystemTrayIcon::Trigger << true;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << false;
    QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << false;
    QTest::newRow("context menu") << QSystemTrayIcon::Context << false;
}

void TestChrome::trayActivation()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(bool, restores);
    window->setWindowState(Qt::WindowMinimized);
    auto* tray = window->findChild<QSystemTrayIcon*>();
    QVERIFY(tray);

    emit tray->activated(reason);

    QCOMPARE(window->isMinimized(), !restores);
    QVERIFY(window->isVisible());
    QVERIFY(h->questions.isEmpty());
}

// The tray icon has a window of its own (on X11 a small top-level that takes the clicks); a
// modal main window would block it and every other top-level of the program.
void TestChrome::windowLeavesOtherWindowsClickable()
{
    QCOMPARE(window->windowModality(), Qt::NonModal);
    QPushButton other(QStringLiteral("tray"));
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    int clicks = 0;
    QObject::connect(&other, &QPushButton::clicked, [&clicks] { ++clicks; });

    QTest::mouseClick(&other, Qt::LeftButton);

    QCOMPARE(clicks, 1);
}

void TestChrome::trayShowEntryRestoresWindow()
{
    window->setWindowState(Qt::WindowMinimized);
    const auto actions = window->findChild<QSystemTrayIcon*>()->contextMenu()->actions();
    QCOMPARE(actions.size(), 5);
    QAction* show = actions.at(3);
    QCOMPARE(show->text(), QStringLiteral("&Show Application"));

    show->trigger();

    QVERIFY(!window->isMinimized());
    QVERIFY(window->isVisible());
}

void TestChrome::languageChangeRetranslatesButKeepsServiceLists()
{
    QVERIFY2(h->login(), qPrintable(h->boxTitles().join(QLatin1Char(','))));
    auto* servers = h->find<QComboBox>(QStringLiteral("servers"));
    QVERIFY(servers->count() > 1);
    servers->setCurrentIndex(1);
    const QStringList serverItems = itemsOf(servers);
    const QString serverName = h->text(QStringLiteral("server_name"));
    const QStringList protocolItems = itemsOf(h->find<QComboBox>(QStringLiteral("protocols")));
    const QStringList typeItems = itemsOf(h->find<QComboBox>(QStringLiteral("type")));
    const QStringList processors = itemsOf(h->find<QComboBox>(QStringLiteral("payment_processor")));
    const QStringList plans = itemsOf(h->find<QComboBox>(QStringLiteral("payment_plan")));
    QCOMPARE(processors, (QStringList{QStringLiteral("Credit Card"), QStringLiteral("Paypal")}));
    // Texts of the form that a retranslation puts back.
    h->find<QPushButton>(QStringLiteral("logout"))->setText(QStringLiteral("stale"));
    auto* tabs = h->find<QTabWidget>(QStringLiteral("WingetConnected"));
    tabs->setTabText(2, QStringLiteral("stale"));

    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(window, &change);

    QCOMPARE(h->text(QStringLiteral("logout")), QStringLiteral("logout"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("My Account"));
    QCOMPARE(itemsOf(servers), serverItems);
    QCOMPARE(servers->currentIndex(), 1);
    QCOMPARE(itemsOf(h->find<QComboBox>(QStringLiteral("protocols"))), protocolItems);
    QCOMPARE(itemsOf(h->find<QComboBox>(QStringLiteral("type"))), typeItems);
    QCOMPARE(itemsOf(h->find<QComboBox>(QStringLiteral("payment_processor"))), processors);
    QCOMPARE(itemsOf(h->find<QComboBox>(QStringLiteral("payment_plan"))), plans);
    QCOMPARE(h->text(QStringLiteral("server_name")), serverName);
}

QTEST_MAIN(TestChrome)
#include "tst_chrome.moc"
