// The tray icon as a user meets it: a real icon in a real tray host, clicked with real X
// events. The icon and its menu are windows of their own, which a modal main window would
// block.
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTest>

namespace {

// Clicks with the X server's own pointer, as a person's mouse would.
bool xClick(const QStringList& where, int button)
{
    return QProcess::execute(QStringLiteral("xdotool"),
                             where + QStringList{QStringLiteral("click"), QString::number(button)}) == 0;
}

bool clickWindow(QWidget* widget, int button)
{
    const QPoint middle = widget->rect().center();
    return xClick({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(widget->winId()),
                   QString::number(middle.x()), QString::number(middle.y())},
                  button);
}

bool clickAt(const QPoint& global, int button)
{
    return xClick({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())},
                  button);
}

} // namespace

class TestTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void clickOnIconRestoresWindow();
    void menuEntriesAnswerClicks_data();
    void menuEntriesAnswerClicks();

private:
    QWidget* icon() const;
    QAction* entry(const QString& text) const;

    std::unique_ptr<WindowHarness> h;
    LumtarMain* window = nullptr;
};

void TestTray::initTestCase()
{
    isolateSettings();
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 5000);
}

void TestTray::init()
{
    clearSettings();
    h = std::make_unique<WindowHarness>();
    window = h->create();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_VERIFY_WITH_TIMEOUT(icon() && icon()->isVisible(), 5000);
    window->setWindowState(Qt::WindowMinimized);
}

void TestTray::cleanup()
{
    window = nullptr;
    h.reset();
}

// The icon's own window, which the tray host embeds.
QWidget* TestTray::icon() const
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* candidate : windows) {
        if (candidate->inherits("QSystemTrayIconSys"))
            return candidate;
    }
    return nullptr;
}

QAction* TestTray::entry(const QString& text) const
{
    const auto actions = window->findChild<QSystemTrayIcon*>()->contextMenu()->actions();
    for (QAction* action : actions) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void TestTray::clickOnIconRestoresWindow()
{
    QVERIFY(window->isMinimized());

    QVERIFY(clickWindow(icon(), 1));

    QTRY_VERIFY_WITH_TIMEOUT(!window->isMinimized(), 3000);
    QVERIFY(h->questions.isEmpty());
}

void TestTray::menuEntriesAnswerClicks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("restores");
    QTest::addColumn<int>("questions");
    QTest::newRow("show") << QStringLiteral("&Show Application") << true << 0;
    QTest::newRow("quit") << QStringLiteral("&Quit") << false << 1;
}

void TestTray::menuEntriesAnswerClicks()
{
    QFETCH(QString, text);
    QFETCH(bool, restores);
    QFETCH(int, questions);
    QMenu* menu = window->findChild<QSystemTrayIcon*>()->contextMenu();
    QAction* action = entry(text);
    QVERIFY(action);

    QVERIFY(clickWindow(icon(), 3));
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 3000);
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QVERIFY(clickAt(menu->mapToGlobal(menu->actionGeometry(action).center()), 1));

    QTRY_VERIFY_WITH_TIMEOUT(!menu->isVisible(), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(h->questions.size(), questions, 3000);
    QCOMPARE(window->isMinimized(), !restores);
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
