// The main window's life: what a start shows and asks, the flag pair between copies, the
// remembered login, and an orderly end in every state.
#include "connection/dialup_simulated.h"
#include "connection/pppworker.h"
#include "core/settingskeys.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsDropShadowEffect>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

const QRect windowArea(0, 0, 340, 350);

QVariant setting(const char* key)
{
    return QSettings().value(QLatin1String(key));
}

void setSetting(const char* key, const QVariant& value)
{
    QSettings settings;
    settings.setValue(QLatin1String(key), value);
    settings.sync();
}

bool settingIsText(const char* key, const char* text)
{
    const QVariant value = setting(key);
    return value.userType() == QMetaType::QString && value.toString() == QLatin1String(text);
}

// Catches the real message boxes that come up while no seam can be in place yet (during the
// window's construction): records them and closes them, so their event loop ends.
class RealBoxCatcher : public QObject
{
public:
    RealBoxCatcher()
    {
        connect(&poll, &QTimer::timeout, this, [this] {
            const auto windows = QApplication::topLevelWidgets();
            for (QWidget* widget : windows) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (!box || !box->isVisible())
                    continue;
                caught.append({box->icon(), box->windowTitle(), box->text()});
                box->done(0);
            }
        });
        poll.start(10);
    }

    QList<RecordedBox> caught;

private:
    QTimer poll;
};

// The names of the visible widgets of the window, with their rectangles in window coordinates.
QList<QPair<QString, QRect>> visibleNamedWidgets(QWidget* window)
{
    QList<QPair<QString, QRect>> result;
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (widget->isWindow() || !widget->isVisible() || widget->objectName().isEmpty() ||
            widget->objectName().startsWith(QLatin1String("qt_")))
            continue;
        result.append({widget->objectName(), QRect(widget->mapTo(window, QPoint(0, 0)), widget->size())});
    }
    return result;
}

bool processAlive(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void firstStartMarksRunningAndShowsLoginPage();
    void firstStartAsksForVersionButDoesNotLogIn();
    void unreadableSettingsAreToldAndSetAside();
    void fullDiskIsToldAndNoChoiceIsLost();
    void secondCopyAsksRunningCopyToShow();
    void firstTickAnswersShowRequest();
    void laterShowRequestRestoresMinimisedWindow();
    void rememberedLoginFillsFieldsAndLogsIn();
    void rememberedLoginWithEmptyCredentialsWarnsDuringConstruction();
    void noRememberedLoginLeavesFieldsEmpty();
    void buyButtonTextFollowsUsedTrial_data();
    void buyButtonTextFollowsUsedTrial();
    void runningFlagOfUnexpectedTypeReadsAsNotRunning_data();
    void runningFlagOfUnexpectedTypeReadsAsNotRunning();
    void showRequestOfUnexpectedTypeIsNotAnswered();
    void rememberFlagOfUnexpectedTypeDoesNotLogIn();
    void exitClearsRunningOnlyAfterAnsweredRequest_data();
    void exitClearsRunningOnlyAfterAnsweredRequest();
    void destructorFinishesWithoutConnection();
    void destructorKillsOpenVpnProgram();
    void destructorEndsBlockedDial();
    void workFilesRemovedAtStart();
    void windowIsFramelessAndAmongTheOthers();
    void panelCastsDropShadow();
    void eachKindOfReplyHasItsOwnManager();
    void statusTimerRunsEveryThreeSeconds();
    void workerThreadIdleAfterStart();
    void stateStoreNeverShown();
    void visiblePagesStayInsideWindow();
    void trayMenuOffersConnectDisconnectShowAndQuit();

private:
    std::unique_ptr<WindowHarness> h;
};

void TestWindow::initTestCase()
{
    isolateSettings();
}

void TestWindow::init()
{
    h.reset();
    clearSettings();
    h = std::make_unique<WindowHarness>();
}

void TestWindow::firstStartMarksRunningAndShowsLoginPage()
{
    h->create();

    QVERIFY(settingIsText("ltrunning", "1"));
    QVERIFY(!QSettings().contains(QStringLiteral("ltmaximize")));
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
    QVERIFY(h->shown(QStringLiteral("LogoBig")));
    QCOMPARE(h->text(QStringLiteral("application_version_2")), QStringLiteral("version 4.0.2"));
    QCOMPARE(h->text(QStringLiteral("application_version")), QStringLiteral("v4.0.2"));
    for (const char* page :
         {"WingetConnected", "WidgetNewAccount", "WidgetConnectingVPN", "WidgetConnectedVPN",
          "WidgetPaymentInProgress", "LogoSmall", "application_version", "loading"})
        QVERIFY2(!h->shown(QLatin1String(page)), page);
    QCOMPARE(h->text(QStringLiteral("buy")), QStringLiteral("create trial account"));
    QVERIFY(!h->find<QCheckBox>(QStringLiteral("autologin"))->isChecked());
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("0"));
    QCOMPARE(h->text(QStringLiteral("paymentInProgress")), QStringLiteral("0"));
    QCOMPARE(h->text(QStringLiteral("workingFolder")), QDir::currentPath());
    QVERIFY(h->boxes.isEmpty());
}

void TestWindow::unreadableSettingsAreToldAndSetAside()
{
    const QString path = QSettings().fileName();
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nltu=alice\nltrunning=1\n[Gen");
    }
    h->create();
    QTRY_COMPARE(h->boxTitles(), QStringList{QStringLiteral("Settings not read")});
    QVERIFY2(h->boxes.at(0).text.contains(path + QStringLiteral(".unreadable")),
             qPrintable(h->boxes.at(0).text));
    // Set aside, not written over: the new file takes what the window stores from now on.
    QVERIFY(QFile::exists(path + QStringLiteral(".unreadable")));
    QSettings().sync();
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("[General]\nltrunning=1\n"));
    QFile::remove(path + QStringLiteral(".unreadable"));
}

void TestWindow::fullDiskIsToldAndNoChoiceIsLost()
{
    QVERIFY2(::geteuid() == 0, "A full disk is a small tmpfs, which only root may mount. It does not skip.");
    const QString path = QSettings().fileName();
    const QString folder = QFileInfo(path).absolutePath();
    QVERIFY(QDir().mkpath(folder));
    QCOMPARE(QProcess::execute(QStringLiteral("mount"),
                               {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                QStringLiteral("size=16k"), QStringLiteral("corvane-full"), folder}),
             0);
    const auto unmount = qScopeGuard([&] {
        h.reset();
        QProcess::execute(QStringLiteral("umount"), {folder});
    });
    h->create();
    QVERIFY(h->settle());
    QFile filler(folder + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    filler.write(QByteArray(64 * 1024, 'x'));
    filler.close();

    h->find<QCheckBox>(QStringLiteral("connectAtStart"))->click();
    QCOMPARE(h->boxTitles(), QStringList{QStringLiteral("Settings not saved")});
    QVERIFY2(h->boxes.at(0).text.contains(path + QStringLiteral(" (the disk is full)")),
             qPrintable(h->boxes.at(0).text));

    QVERIFY(filler.remove());
    QVERIFY(QMetaObject::invokeMethod(h->window.get(), "on_killSwitch_activated", Q_ARG(int, 2)));
    QCOMPARE(h->boxes.size(), 1);
    QSettings written(path, QSettings::IniFormat);
    QCOMPARE(written.value(SettingsKeys::connectAtStart).toString(), QStringLiteral("1"));
    QCOMPARE(written.value(SettingsKeys::killSwitch).toString(), QStringLiteral("off"));
}

void TestWindow::firstStartAsksForVersionButDoesNotLogIn()
{
    h->create();
    QTRY_COMPARE_WITH_TIMEOUT(h->sim.requests(QStringLiteral("/AppVer2/4.0.2")).size(), 1, 5000);
    QVERIFY(h->settle());

    QVERIFY(h->sim.requests(QStringLiteral("/AppServersV2")).isEmpty());
    QVERIFY(h->sim.requests(QStringLiteral("/AppUserInfoV2")).isEmpty());
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
    QVERIFY(h->boxes.isEmpty());
    QVERIFY(h->questions.isEmpty());
}

void TestWindow::secondCopyAsksRunningCopyToShow()
{
    setSetting("ltrunning", QStringLiteral("1"));
    h->create();

    QVERIFY(settingIsText("ltmaximize", "1"));
    QVERIFY(settingIsText("ltrunning", "1"));
    // The copy comes up as usual all the same.
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
}

void TestWindow::firstTickAnswersShowRequest()
{
    setSetting("ltrunning", QStringLiteral("1"));
    LumtarMain* window = h->create();
    window->show();
    window->setWindowState(Qt::WindowMinimized);
    QVERIFY(window->isMinimized());

    h->tick();

    QVERIFY(settingIsText("ltmaximize", "0"));
    QVERIFY(settingIsText("ltrunning", "1"));
    QVERIFY(!window->isMinimized());
    QVERIFY(window->isVisible());
}

void TestWindow::laterShowRequestRestoresMinimisedWindow()
{
    LumtarMain* window = h->create();
    window->show();
    h->tick();
    window->setWindowState(Qt::WindowMinimized);
    h->tick();
    QVERIFY2(window->isMinimized(), "no request, nothing to answer");

    // Another copy starts and asks.
    setSetting("ltmaximize", QStringLiteral("1"));
    h->tick();

    QVERIFY(!window->isMinimized());
    QVERIFY(settingIsText("ltmaximize", "0"));
    QVERIFY(settingIsText("ltrunning", "1"));
}

void TestWindow::rememberedLoginFillsFieldsAndLogsIn()
{
    const QString name = QStringLiteral("J\u00fcrgen \u5c0f");
    const QString password = QStringLiteral("p\u00e4ss w\u00f6rd");
    QJsonObject account = h->sim.account(QStringLiteral("alice"));
    account[QStringLiteral("username")] = name;
    account[QStringLiteral("password")] = password;
    h->sim.addAccount(account);
    setSetting("ltr", QStringLiteral("1"));
    setSetting("ltu", name.toUtf8());
    setSetting("ltp", password.toUtf8());

    h->create();

    QCOMPARE(h->text(QStringLiteral("username")), name);
    QCOMPARE(h->text(QStringLiteral("password")), password);
    QVERIFY(h->find<QCheckBox>(QStringLiteral("autologin"))->isChecked());
    // The login page stays until the reply arrives.
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));

    QTRY_VERIFY_WITH_TIMEOUT(!h->sim.requests(QStringLiteral("/AppServersV2")).isEmpty(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(h->shown(QStringLiteral("WingetConnected")), 5000);
    // Both went out during construction; they travel on connections of their own, so the
    // order of arrival says nothing about the order of sending.
    QCOMPARE(h->sim.requests(QStringLiteral("/AppVer2/4.0.2")).size(), 1);
    const QList<RecordedRequest> logins = h->sim.requests(QStringLiteral("/AppServersV2"));
    QCOMPARE(logins.size(), 1);
    QCOMPARE(logins.first().queryValue(QStringLiteral("username")), name);
    QCOMPARE(logins.first().queryValue(QStringLiteral("key")), ServiceSimulator::passwordKey(password));
    QVERIFY(h->boxes.isEmpty());
    // The user name stays remembered as the bytes typed; the password an earlier version kept
    // in the settings has moved into the secret store.
    QCOMPARE(setting("ltu").toByteArray(), name.toUtf8());
    QTRY_COMPARE_WITH_TIMEOUT(h->secrets->secrets.value(name), password, 5000);
    QVERIFY(!QSettings().contains(QStringLiteral("ltp")));
}

void TestWindow::rememberedLoginWithEmptyCredentialsWarnsDuringConstruction()
{
    setSetting("ltr", QStringLiteral("1"));
    setSetting("ltu", QByteArray());
    setSetting("ltp", QByteArray());

    RealBoxCatcher catcher;
    h->create();

    QCOMPARE(catcher.caught.size(), 1);
    QCOMPARE(catcher.caught.first().title, QStringLiteral("Empty Authentication"));
    QCOMPARE(catcher.caught.first().icon, QMessageBox::Information);
    // The box came up before the window could be shown: the seams were not yet in place.
    QVERIFY(h->boxes.isEmpty());
    QVERIFY(h->settle());
    QVERIFY(h->sim.requests(QStringLiteral("/AppServersV2")).isEmpty());
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
}

void TestWindow::noRememberedLoginLeavesFieldsEmpty()
{
    // Credentials left behind without the flag are not used.
    setSetting("ltr", QStringLiteral("0"));
    setSetting("ltu", QByteArray("alice"));
    setSetting("ltp", QByteArray("secret"));
    h->create();
    QVERIFY(h->settle());

    QVERIFY(h->text(QStringLiteral("username")).isEmpty());
    QVERIFY(h->text(QStringLiteral("password")).isEmpty());
    QVERIFY(!h->find<QCheckBox>(QStringLiteral("autologin"))->isChecked());
    QVERIFY(h->sim.requests(QStringLiteral("/AppServersV2")).isEmpty());
}

void TestWindow::buyButtonTextFollowsUsedTrial_data()
{
    QTest::addColumn<QVariant>("usedTrial");
    QTest::addColumn<QString>("buyText");
    QTest::newRow("never logged in") << QVariant() << QStringLiteral("create trial account");
    QTest::newRow("logged in before") << QVariant(QStringLiteral("1")) << QStringLiteral("buy package");
    QTest::newRow("zero") << QVariant(QStringLiteral("0")) << QStringLiteral("create trial account");
    QTest::newRow("other text") << QVariant(QStringLiteral("yes")) << QStringLiteral("create trial account");
}

void TestWindow::buyButtonTextFollowsUsedTrial()
{
    QFETCH(QVariant, usedTrial);
    QFETCH(QString, buyText);
    if (usedTrial.isValid())
        setSetting("UsedTrial", usedTrial);
    h->create();
    QCOMPARE(h->text(QStringLiteral("buy")), buyText);
}

void TestWindow::runningFlagOfUnexpectedTypeReadsAsNotRunning_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("number") << QVariant(1);
    QTest::newRow("list") << QVariant(QStringList{QStringLiteral("1"), QStringLiteral("1")});
    QTest::newRow("bytes") << QVariant(QByteArray("1"));
}

void TestWindow::runningFlagOfUnexpectedTypeReadsAsNotRunning()
{
    QFETCH(QVariant, value);
    setSetting("ltrunning", value);
    QVERIFY2(setting("ltrunning").userType() != QMetaType::QString, "the store kept the type");

    h->create();

    // Not "1": this start is the first copy, so it marks itself running and asks nobody.
    QVERIFY(settingIsText("ltrunning", "1"));
    QVERIFY(!QSettings().contains(QStringLiteral("ltmaximize")));
}

void TestWindow::showRequestOfUnexpectedTypeIsNotAnswered()
{
    LumtarMain* window = h->create();
    window->show();
    window->setWindowState(Qt::WindowMinimized);
    setSetting("ltmaximize", QVariant(1));
    QVERIFY(setting("ltmaximize").userType() != QMetaType::QString);

    h->tick();

    QVERIFY(window->isMinimized());
    QCOMPARE(setting("ltmaximize"), QVariant(1));
}

void TestWindow::rememberFlagOfUnexpectedTypeDoesNotLogIn()
{
    setSetting("ltr", QVariant(1));
    setSetting("ltu", QByteArray("alice"));
    setSetting("ltp", QByteArray("secret"));
    QVERIFY(setting("ltr").userType() != QMetaType::QString);

    h->create();
    QVERIFY(h->settle());

    QVERIFY(h->text(QStringLiteral("username")).isEmpty());
    QVERIFY(!h->find<QCheckBox>(QStringLiteral("autologin"))->isChecked());
    QVERIFY(h->sim.requests(QStringLiteral("/AppServersV2")).isEmpty());
}

void TestWindow::exitClearsRunningOnlyAfterAnsweredRequest_data()
{
    QTest::addColumn<QVariant>("maximize");
    QTest::addColumn<QString>("runningAfterExit");
    // Until a show request was made once, the pair is not yet a flag: ltrunning stays.
    QTest::newRow("never asked") << QVariant() << QStringLiteral("1");
    QTest::newRow("request answered") << QVariant(QStringLiteral("0")) << QStringLiteral("0");
    QTest::newRow("request pending") << QVariant(QStringLiteral("1")) << QStringLiteral("1");
    QTest::newRow("number zero") << QVariant(0) << QStringLiteral("1");
}

void TestWindow::exitClearsRunningOnlyAfterAnsweredRequest()
{
    QFETCH(QVariant, maximize);
    QFETCH(QString, runningAfterExit);
    h->create();
    if (maximize.isValid())
        setSetting("ltmaximize", maximize);
    QVERIFY(settingIsText("ltrunning", "1"));

    h->window.reset();

    QCOMPARE(setting("ltrunning"), QVariant(runningAfterExit));
}

void TestWindow::destructorFinishesWithoutConnection()
{
    LumtarMain* window = h->create();
    QVERIFY(!window->workerThread()->isRunning());
    QCOMPARE(window->openVpnChild()->state(), QProcess::NotRunning);

    QElapsedTimer elapsed;
    elapsed.start();
    h->window.reset();
    QVERIFY(elapsed.elapsed() < 5000);
}

void TestWindow::destructorKillsOpenVpnProgram()
{
    LumtarMain* window = h->create();
    QProcess* child = window->openVpnChild();
    child->start(QStringLiteral("sleep"), {QStringLiteral("300")});
    QVERIFY(child->waitForStarted(5000));
    const qint64 pid = child->processId();
    QVERIFY(processAlive(pid));

    QElapsedTimer elapsed;
    elapsed.start();
    h->window.reset();

    QVERIFY(elapsed.elapsed() < 10000);
    QVERIFY(!processAlive(pid));
}

void TestWindow::destructorEndsBlockedDial()
{
    SimulatedDialUp dialUp;
    // A dial that would take a minute: only the hang-up can end it.
    dialUp.setDialOutcome({ras::success, 60000});
    setDialUpOverride(&dialUp);
    LumtarMain* window = h->create();
    setDialUpOverride(nullptr);
    // The window holds on to the phone book: it must go first, whatever happens here.
    const auto windowFirst = qScopeGuard([this, &dialUp] {
        dialUp.releaseDialReturn();
        h->window.reset();
    });
    QVERIFY2(h->login(), qPrintable(h->boxTitles().join(QLatin1Char(','))));
    QCOMPARE(h->text(QStringLiteral("server_protocol")), QStringLiteral("PPTP"));
    h->invoke("on_connect_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(dialUp.dialling() != 0, 5000);
    QVERIFY(window->workerThread()->isRunning());
    const RasHandle dialled = dialUp.dialling();

    QElapsedTimer elapsed;
    elapsed.start();
    h->window.reset();

    QVERIFY2(elapsed.elapsed() < 20000, "the destructor waited for the dial to run out");
    QCOMPARE(dialUp.dialling(), RasHandle(0));
    const std::vector<RasHandle> hangUps = dialUp.hangUps();
    QVERIFY(std::find(hangUps.begin(), hangUps.end(), dialled) != hangUps.end());
    QVERIFY(!dialUp.isOpen(dialled));
}

void TestWindow::workFilesRemovedAtStart()
{
    // Left behind by a client that was killed during an OpenVPN attempt.
    const QStringList files{QStringLiteral("include/certificate.crt"), QStringLiteral("include/config.ovpn"),
                            QStringLiteral("include/auth.conf")};
    for (const QString& name : files) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("left over\n");
    }

    h->create();

    for (const QString& name : files)
        QVERIFY2(!QFile::exists(name), qPrintable(name));
}

// Only the boxes stay on top: the window goes behind the one the user clicks.
void TestWindow::windowIsFramelessAndAmongTheOthers()
{
    LumtarMain* window = h->create();
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(window->size(), QSize(340, 350));
}

void TestWindow::panelCastsDropShadow()
{
    h->create();
    auto* central = h->find<QWidget>(QStringLiteral("centralWidget"));
    QVERIFY(central);
    auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(central->graphicsEffect());
    QVERIFY(shadow);
    QCOMPARE(shadow->blurRadius(), 10.0);
    QCOMPARE(shadow->offset(), QPointF(0, 0));
    QVERIFY(shadow->isEnabled());
}

void TestWindow::eachKindOfReplyHasItsOwnManager()
{
    LumtarMain* window = h->create();
    const auto managers = window->findChildren<QNetworkAccessManager*>();
    QCOMPARE(managers.size(), 8);
    // Each manager answers one slot: the login manager's replies reach only the login slot,
    // so a version check must not have been taken for a login reply.
    QVERIFY(h->settle());
    QVERIFY(h->boxes.isEmpty());
    QVERIFY(h->shown(QStringLiteral("WingetLogin")));
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("application up to date"));
}

void TestWindow::statusTimerRunsEveryThreeSeconds()
{
    LumtarMain* window = h->create();
    auto* statusTimer = window->findChild<ClockTimer*>(QStringLiteral("statusTimer"));
    QVERIFY(statusTimer && statusTimer->isActive() && !statusTimer->isSingleShot());
    QCOMPARE(statusTimer->remainingMs(), 3000);

    // Its timeout is the status tick, which counts the seconds.
    QCOMPARE(h->text(QStringLiteral("seconds")), QString());
    h->clock->advance(2999);
    QCOMPARE(h->text(QStringLiteral("seconds")), QString());
    h->clock->advance(1);
    QCOMPARE(h->text(QStringLiteral("seconds")), QStringLiteral("3"));
}

void TestWindow::workerThreadIdleAfterStart()
{
    LumtarMain* window = h->create();
    QVERIFY(window->worker());
    QVERIFY(window->workerThread());
    QVERIFY(!window->workerThread()->isRunning());
    QCOMPARE(window->worker()->thread(), window->workerThread());
    QVERIFY(!window->worker()->parent());
    // The constructor hangs up whatever the worker might hold.
    QCOMPARE(window->worker()->statusText(), QStringLiteral("stop"));
}

void TestWindow::stateStoreNeverShown()
{
    LumtarMain* window = h->create();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QStringList store{QStringLiteral("XMLUserData"),       QStringLiteral("groupBox_2"),
                            QStringLiteral("groupBox_3"),        QStringLiteral("workingFolder"),
                            QStringLiteral("payment_processor"), QStringLiteral("payment_plan")};
    for (const QString& name : store)
        QVERIFY2(!h->find<QWidget>(name)->isVisible(), qPrintable(name));

    QVERIFY2(h->login(), qPrintable(h->boxTitles().join(QLatin1Char(','))));
    for (const QString& name : store)
        QVERIFY2(!h->find<QWidget>(name)->isVisible(), qPrintable(name + QStringLiteral(" after login")));
    // The store still answers reads.
    QCOMPARE(h->text(QStringLiteral("user_enabled")), QStringLiteral("1"));
    QVERIFY(h->find<QComboBox>(QStringLiteral("payment_plan"))->count() > 0);
}

void TestWindow::visiblePagesStayInsideWindow()
{
    LumtarMain* window = h->create();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    const auto check = [&](const char* state) {
        for (const auto& widget : visibleNamedWidgets(window)) {
            // Partly inside would show a piece of it; wholly outside is never drawn.
            const bool inside = windowArea.contains(widget.second);
            const bool outside = !windowArea.intersects(widget.second);
            if (!inside && !outside)
                return QStringLiteral("%1: %2 crosses the edge").arg(QLatin1String(state), widget.first);
        }
        return QString();
    };
    QCOMPARE(check("login page"), QString());
    QVERIFY(
        windowArea.contains(QRect(h->find<QWidget>(QStringLiteral("WingetLogin"))->mapTo(window, QPoint()),
                                  h->find<QWidget>(QStringLiteral("WingetLogin"))->size())));
    QVERIFY2(h->login(), qPrintable(h->boxTitles().join(QLatin1Char(','))));
    QVERIFY(h->shown(QStringLiteral("WingetConnected")));
    QCOMPARE(check("main tabs"), QString());
}

void TestWindow::trayMenuOffersConnectDisconnectShowAndQuit()
{
    LumtarMain* window = h->create();
    auto* tray = window->findChild<QSystemTrayIcon*>();
    QVERIFY(tray);
    QVERIFY(tray->isVisible());
    QVERIFY(!tray->icon().isNull());
    QMenu* menu = tray->contextMenu();
    QVERIFY(menu);
    QStringList texts;
    const auto actions = menu->actions();
    for (QAction* action : actions)
        texts << action->text();
    QCOMPARE(texts, (QStringList{QStringLiteral("&Connect"), QStringLiteral("&Disconnect"), QString(),
                                 QStringLiteral("&Show Application"), QStringLiteral("&Quit")}));
    // Nothing to connect to before a login, nothing to end before a connection.
    QVERIFY(!actions.at(0)->isEnabled());
    QVERIFY(!actions.at(1)->isEnabled());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
