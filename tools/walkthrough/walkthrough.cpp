// Runs the client offscreen through a scripted session against the service simulator and the
// simulated phone book, and writes a picture of every page and box a user meets on the way.
//
//   corvane-walkthrough <output dir> [demo data file]
//
// The client speaks the system's language, as at a real start: LANG=de_DE.UTF-8 gives the
// German pictures.
//
// Exits non-zero when a step does not reach the state it expects.
#include "app/lumtarmain.h"
#include "app/translations.h"
#include "connection/dialup.h"
#include "connection/dialup_simulated.h"
#include "connection/pppworker.h"
#include "tools/servicesim/servicesim.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <set>

#ifndef CORVANE_DEMO_DATA
#define CORVANE_DEMO_DATA ""
#endif

namespace {

// A text of the window as the user reads it, in the language the client runs in.
QString shownText(const char* source)
{
    return QCoreApplication::translate("LumtarMain", source);
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Takes the pages the client opens in the browser, so nothing leaves the machine.
class PageCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

class Walkthrough
{
public:
    Walkthrough(const QString& outputDir, const QString& dataFile) : outDir(outputDir), dataFile(dataFile) {}

    int run();

private:
    bool setUp();
    bool step(const char* what, bool reached);
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 8000);
    void pause(int ms);
    bool savePicture(const QString& name, const QImage& image);
    bool grabWindow(const QString& name);
    QImage renderBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                     QMessageBox::StandardButtons buttons);

    template <typename T> T* find(const char* name) const
    {
        return window->findChild<T*>(QLatin1String(name));
    }
    QString text(const char* name) const;
    bool shown(const char* name) const;
    void click(const char* name);
    void tick(int count = 1);
    bool selectItem(const char* combo, const QString& item);

    bool loginPage();
    bool newAccountForm();
    bool logIn(const QString& user, const QString& password);
    bool tabs();
    bool connectAndDisconnect();
    bool pppErrorBox();
    bool disabledAccount();

    QString outDir;
    QString dataFile;
    QTemporaryDir settingsDir;
    QTemporaryDir workDir;
    ServiceSimulator sim;
    SimulatedDialUp dialUp;
    PageCatcher pages;
    std::unique_ptr<LumtarMain> window;

    // The picture name for the next box, set by the step that expects one.
    QString nextBoxName;
    QStringList boxTitles;
    QStringList questionTitles;
    QStringList balloons;
    QStringList written;
    std::set<QString> rendered;
};

QString Walkthrough::text(const char* name) const
{
    if (auto* edit = find<QLineEdit>(name))
        return edit->text();
    if (auto* label = find<QLabel>(name))
        return label->text();
    if (auto* button = find<QAbstractButton>(name))
        return button->text();
    return QString();
}

bool Walkthrough::shown(const char* name) const
{
    auto* widget = find<QWidget>(name);
    return widget && !widget->isHidden();
}

void Walkthrough::click(const char* name)
{
    if (auto* button = find<QAbstractButton>(name))
        button->click();
    else
        err() << "no button " << name << Qt::endl;
}

// The status timer is held still; time moves by ticks, as three real seconds would.
void Walkthrough::tick(int count)
{
    for (int i = 0; i < count; ++i)
        QMetaObject::invokeMethod(window.get(), "UpdateTimer", Qt::DirectConnection);
}

bool Walkthrough::selectItem(const char* combo, const QString& item)
{
    auto* box = find<QComboBox>(combo);
    const int index = box ? box->findText(item) : -1;
    if (index < 0)
        return false;
    box->setCurrentIndex(index);
    return true;
}

bool Walkthrough::step(const char* what, bool reached)
{
    err() << (reached ? "ok      " : "FAILED  ") << what << Qt::endl;
    return reached;
}

bool Walkthrough::waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

void Walkthrough::pause(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool Walkthrough::savePicture(const QString& name, const QImage& image)
{
    const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (image.isNull() || !image.save(path)) {
        err() << "cannot write " << path << Qt::endl;
        return false;
    }
    written << path;
    return true;
}

bool Walkthrough::grabWindow(const QString& name)
{
    // Let queued paints and style polish run first.
    pause(50);
    return savePicture(name, window->grab().toImage());
}

// The real box the client would show, rendered into an image with a plain title strip above
// it in place of the window system's frame, which an offscreen grab does not include.
QImage Walkthrough::renderBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                              QMessageBox::StandardButtons buttons)
{
    QMessageBox box;
    box.setIcon(icon);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText); // as the window's own boxes
    box.setText(text);
    box.setStandardButtons(buttons);
    box.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    box.show();
    pause(50);
    const QImage content = box.grab().toImage();
    box.close();

    const int strip = 26;
    QImage framed(content.width() + 2, content.height() + strip + 1, QImage::Format_ARGB32);
    framed.fill(QColor(0x77, 0x77, 0x77));
    QPainter painter(&framed);
    painter.fillRect(QRect(1, 1, content.width(), strip - 1), QColor(0xf3, 0xf3, 0xf3));
    QFont font = box.font();
    font.setPointSize(9);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(10, 1, content.width() - 20, strip - 1), Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(title, Qt::ElideRight, content.width() - 20));
    painter.drawImage(1, strip, content);
    return framed;
}

bool Walkthrough::setUp()
{
    // Settings of this run live in a folder of its own, never in the user's.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());

    if (!QDir().mkpath(outDir))
        return step("output folder can be made", false);
    if (!step("demo data loads", sim.loadDataFile(dataFile)))
        return false;
    if (!step("service simulator starts", sim.start()))
        return false;
    qputenv("CORVANE_SERVICE_URL", sim.baseUrl().toUtf8());
    qputenv("CORVANE_WEBSITE_URL", sim.baseUrl().toUtf8());
    qputenv("CORVANE_IPECHO_URL", (sim.baseUrl() + QStringLiteral("/ip/")).toUtf8());
    QDir::setCurrent(workDir.path());
    QDir().mkpath(QStringLiteral("include"));

    QDesktopServices::setUrlHandler(QStringLiteral("http"), &pages, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &pages, "open");

    dialUp.setDialOutcome({ras::success, 1500});
    setDialUpOverride(&dialUp);
    window = std::make_unique<LumtarMain>();
    setDialUpOverride(nullptr);

    window->messageBox = [this](QMessageBox::Icon icon, const QString& title, const QString& text) {
        boxTitles << title;
        // The same box again (the notice comes with every account refresh) adds no picture.
        if (!rendered.insert(title + QLatin1Char('\n') + text).second)
            return;
        const QString name =
            nextBoxName.isEmpty() ? QStringLiteral("box-") + QString::number(boxTitles.size()) : nextBoxName;
        nextBoxName.clear();
        savePicture(name, renderBox(icon, title, text, QMessageBox::Ok));
    };
    window->questionBox = [this](const QString& title, const QString& text) {
        questionTitles << title;
        const QString name = nextBoxName.isEmpty()
                                 ? QStringLiteral("question-") + QString::number(questionTitles.size())
                                 : nextBoxName;
        nextBoxName.clear();
        savePicture(name, renderBox(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No));
        return QMessageBox::No;
    };
    window->trayBalloon = [this](const QString& title, const QString&) { balloons << title; };
    window->startDetached = [](const QString&, const QStringList&) { return false; };

    for (QTimer* timer : window->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (timer->interval() == 3000)
            timer->stop();
    }
    window->show();
    return true;
}

bool Walkthrough::loginPage()
{
    // The version check is the first thing a start asks; the demo service offers a newer one.
    nextBoxName = QStringLiteral("01-update-offer");
    if (!step("update offer asked at start",
              waitFor([this] { return questionTitles.contains(shownText("New update available")); })))
        return false;
    if (!step("login page shown",
              shown("WingetLogin") && !shown("WingetConnected") &&
                  text("application_version_2") == shownText("version ") + QLatin1String("4.0.2")))
        return false;
    return grabWindow(QStringLiteral("02-login"));
}

bool Walkthrough::newAccountForm()
{
    click("newAccount");
    if (!step("new-account form shown", shown("WidgetNewAccount") && !shown("WingetLogin")))
        return false;
    find<QLineEdit>("NewFirstname")->setText(QStringLiteral("Ada"));
    find<QLineEdit>("NewLastname")->setText(QStringLiteral("Lovelace"));
    find<QLineEdit>("NewEmail")->setText(QStringLiteral("ada@example.com"));
    if (!grabWindow(QStringLiteral("03-new-account")))
        return false;
    click("create_account_cancel");
    return step("back on the login page", shown("WingetLogin") && !shown("WidgetNewAccount"));
}

bool Walkthrough::logIn(const QString& user, const QString& password)
{
    find<QLineEdit>("username")->setText(user);
    find<QLineEdit>("password")->setText(password);
    const int accountRequests = sim.requests(QStringLiteral("/AppUserInfoV2")).size();
    click("login");
    if (!step("login accepted", waitFor([this] { return shown("WingetConnected"); })))
        return false;
    return step("account details arrived", waitFor([this, accountRequests] {
                    return sim.requests(QStringLiteral("/AppUserInfoV2")).size() > accountRequests &&
                           !text("user_enabled").isEmpty();
                }));
}

bool Walkthrough::tabs()
{
    nextBoxName = QStringLiteral("04-notice");
    if (!logIn(QStringLiteral("demo"), QStringLiteral("demo")))
        return false;
    // The demo account carries a notice, shown once the details arrive.
    if (!step("notice box shown", waitFor([this] { return boxTitles.contains(shownText("Notice")); })))
        return false;
    auto* tabs = find<QTabWidget>("WingetConnected");
    if (!step("basic tab current", tabs->currentIndex() == 0 && text("user_enabled") == QLatin1String("1")))
        return false;
    if (!grabWindow(QStringLiteral("05-tab-basic")))
        return false;

    tabs->setCurrentIndex(1);
    if (!step("a server chosen on the advanced tab",
              selectItem("servers", QStringLiteral("Germany Frankfurt")) &&
                  selectItem("protocols", QStringLiteral("PPTP")) &&
                  text("server_name") == QLatin1String("Germany Frankfurt") &&
                  text("server_protocol") == QLatin1String("PPTP")))
        return false;
    if (!grabWindow(QStringLiteral("06-tab-advanced")))
        return false;
    // The search above the list, typed as the user does.
    find<QLineEdit>("serverSearch")->setText(QStringLiteral("germ"));
    if (!step("the search shows the matching servers",
              text("server_name").startsWith(QLatin1String("Germany"))))
        return false;
    if (!grabWindow(QStringLiteral("06a-search")))
        return false;
    find<QLineEdit>("serverSearch")->clear();
    if (!step("a server chosen again", selectItem("servers", QStringLiteral("Germany Frankfurt")) &&
                                           selectItem("protocols", QStringLiteral("PPTP"))))
        return false;

    tabs->setCurrentIndex(2);
    if (!step("account tab shows the account", shown("tabAccountZoneInfo") &&
                                                   !shown("tabAccountZonePayment") &&
                                                   text("user_email") == QLatin1String("demo@example.com")))
        return false;
    if (!grabWindow(QStringLiteral("07-tab-account")))
        return false;
    tabs->setCurrentIndex(3);
    if (!step("settings tab shown", shown("tabSettings")) || !grabWindow(QStringLiteral("07a-tab-settings")))
        return false;
    click("showAbout");
    if (!step("about page shown", shown("WidgetAbout") && !shown("WingetConnected")) ||
        !grabWindow(QStringLiteral("07b-about")))
        return false;
    click("about_back");
    tabs->setCurrentIndex(1);
    return true;
}

bool Walkthrough::connectAndDisconnect()
{
    dialUp.setDialOutcome({ras::success, 1500});
    // As through a real tunnel, the echo page sees the server's own address.
    sim.setEchoAddress(QStringLiteral("198.18.3.1"));
    click("connect");
    if (!step("connecting page shown", shown("WidgetConnectingVPN") && !shown("WingetConnected")))
        return false;
    if (!waitFor([this] { return window->worker()->statusText() == QLatin1String("in progress"); }))
        return step("dial under way", false);
    tick(2);
    if (!step("connecting progress shown",
              text("connectionStatus") == QLatin1String("in progress") &&
                  text("authstatus").contains(shownText("connection in progress - "))))
        return false;
    if (!grabWindow(QStringLiteral("08-connecting")))
        return false;

    if (!step("dial completed", waitFor([this] {
                  return window->connectionController()->state() == ConnectionController::State::Connected;
              })))
        return false;
    window->showNormal();
    if (!step("connected page shown", shown("WidgetConnectedVPN") &&
                                          text("connectionStatus") == QLatin1String("connected") &&
                                          balloons.contains(shownText("Corvane is now connected!"))))
        return false;
    if (!grabWindow(QStringLiteral("09-connected")))
        return false;

    const int notices = boxTitles.count(shownText("Notice"));
    // Marked, so the refresh's arrival shows as the stored reply changing.
    auto* stored = window->findChild<QTextBrowser*>(QStringLiteral("userdatatext"));
    stored->setPlainText(QStringLiteral("-"));
    click("disconnect");
    if (!step("disconnected back to the tabs",
              waitFor([this] {
                  return window->connectionController()->state() == ConnectionController::State::Idle;
              }) &&
                  shown("WingetConnected") && text("connectionStatus") == QLatin1String("disconnected")))
        return false;
    // The disconnect refreshes the account details; their notice was already read at login.
    if (!step("account details refreshed",
              waitFor([stored] { return stored->toPlainText() != QLatin1String("-"); })))
        return false;
    return step("notice not shown again", boxTitles.count(shownText("Notice")) == notices);
}

bool Walkthrough::pppErrorBox()
{
    // The server cannot be reached: the dial ends with error 800.
    dialUp.setDialOutcome({SimulatedDialUp::errorVpnUnreachable, 300});
    find<QTabWidget>("WingetConnected")->setCurrentIndex(1);
    // The connect button comes back once a few seconds have passed.
    tick(2);
    if (!step("connect enabled again", find<QPushButton>("connect")->isEnabled()))
        return false;
    click("connect");
    if (!step("second attempt started", shown("WidgetConnectingVPN")))
        return false;
    nextBoxName = QStringLiteral("10-error-box-ppp");
    if (!step("dial failed", waitFor([this] {
                  return window->connectionController()->state() == ConnectionController::State::Failed;
              })))
        return false;
    return step("PPP error box shown and the tabs back",
                !boxTitles.filter(shownText("Corvane | PPP Error Code ") + QLatin1String("800")).isEmpty() &&
                    shown("WingetConnected"));
}

bool Walkthrough::disabledAccount()
{
    find<QTabWidget>("WingetConnected")->setCurrentIndex(2);
    click("logout");
    if (!step("logged out", shown("WingetLogin")))
        return false;
    if (!logIn(QStringLiteral("lapsed"), QStringLiteral("lapsed")))
        return false;
    auto* tabs = find<QTabWidget>("WingetConnected");
    if (!step("lapsed account sees the payment zone",
              text("user_enabled") == QLatin1String("0") && tabs->currentIndex() == 2 &&
                  !tabs->isTabEnabled(0) && !tabs->isTabEnabled(1) && shown("tabAccountZonePayment") &&
                  !shown("tabAccountZoneInfo")))
        return false;
    if (!grabWindow(QStringLiteral("11-disabled-account")))
        return false;

    click("payment_do");
    window->showNormal();
    if (!step("payment in progress page shown", shown("WidgetPaymentInProgress") &&
                                                    text("paymentInProgress") == QLatin1String("1") &&
                                                    !pages.urls.isEmpty()))
        return false;
    if (!grabWindow(QStringLiteral("12-payment-in-progress")))
        return false;
    click("cancel_payment");
    return step("payment cancelled", !shown("WidgetPaymentInProgress") && shown("WingetConnected"));
}

int Walkthrough::run()
{
    const bool ok = setUp() && loginPage() && newAccountForm() && tabs() && connectAndDisconnect() &&
                    pppErrorBox() && disabledAccount();
    dialUp.releaseDialReturn();
    window.reset();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    sim.stop();

    QTextStream out(stdout);
    for (const QString& path : qAsConst(written))
        out << path << Qt::endl;
    if (!ok) {
        err() << "walkthrough stopped at the step marked FAILED" << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The pictures show a desktop of 96 dots per inch, whatever the platform assumes (Qt 5's
    // offscreen platform and Xvfb 100, Qt 6 96), so those of both Qt versions compare.
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication application(argc, argv);
    // Qt 5's offscreen platform falls back to a 12-point face; Qt 6's, and an X desktop without a
    // theme in both versions, to "Sans Serif" at 9: the boxes are drawn as such a desktop shows them.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
    installTranslations(application, QLocale::system());
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        err() << "usage: corvane-walkthrough <output dir> [demo data file]" << Qt::endl;
        return 2;
    }
    const QString outDir = QDir(arguments.at(1)).absolutePath();
    const QString dataFile =
        arguments.size() > 2 ? QDir(arguments.at(2)).absolutePath() : QStringLiteral(CORVANE_DEMO_DATA);
    Walkthrough walkthrough(outDir, dataFile);
    return walkthrough.run();
}

#include "walkthrough.moc"
