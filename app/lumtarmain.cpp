#include "app/lumtarmain.h"

#include "app/connectionlog.h"
#include "app/desktopintegration.h"
#include "app/formview.h"
#include "app/textstore.h"
#include "app/windowstate.h"
#include "core/clock.h"
#include "core/later.h"
#include "core/logging.h"
#include "core/settingsfile.h"
#include "core/settingskeys.h"
#include "corvaneversion.h"
#include "service/rememberedlogin.h"
#include "ui_lumtarmain.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>

// The images live in a static library, whose resource registration the linker would drop.
// Qt's macro must stand outside any namespace.
static void initResources()
{
    Q_INIT_RESOURCE(corvane);
}

namespace {

// A stored flag counts only when it is the text itself; any other type reads as unset.
bool settingIs(const QSettings& settings, const QString& key, const char* flag)
{
    const QVariant value = settings.value(key);
    return value.userType() == QMetaType::QString && value.toString() == QLatin1String(flag);
}

} // namespace

LumtarMain::LumtarMain(QWidget* parent)
    : QMainWindow(parent), ui(new Ui::LumtarMain), appVersion(QStringLiteral(CORVANE_VERSION)),
      dragOffsetX(0), dragOffsetY(0)
{
    initResources();
    setUpPrompts();

    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("corvane.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));

    const SettingsFileCheck settingsCheck = checkSettingsFile(QSettings().fileName());
    QSettings settings;
    protectSettingsFile(settings.fileName());
    if (settingIs(settings, SettingsKeys::running, "1"))
        settings.setValue(SettingsKeys::maximize, QStringLiteral("1"));
    else
        settings.setValue(SettingsKeys::running, QStringLiteral("1"));

    // The version check goes out before anything else is built: its connection is made on the
    // network's own thread while the form is set up, so the service hears from the client as
    // soon as a bare program would. Its answer is taken once the event loop runs.
    setUpUpdater();
    UpdateCheck();

    // Where the form's typeface is missing, a face of similar width keeps the texts inside their boxes.
    QFont::insertSubstitution(QStringLiteral("Segoe UI"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Segoe UI Black"), QStringLiteral("Liberation Sans"));
    ui->setupUi(this);
    model = new WindowState(ui, this);
    view = new FormView(ui, this);
    setUpForm();

    trialUsed = settingIs(settings, SettingsKeys::usedTrial, "1");
    view->setBuyText(trialUsed ? tr("buy package") : tr("create trial account"));

    setUpConnection();
    setUpQuickConnect();
    setUpServerLists();
    setUpTray();
    setUpService();
    setUpSettings();

    // The one status tick: the flows' phase rules and the running copy's show requests.
    statusTimer = Clock::current().newTimer(this);
    statusTimer->setObjectName(QStringLiteral("statusTimer"));
    connect(statusTimer, &ClockTimer::timeout, this, &LumtarMain::UpdateTimer);
    statusTimer->start(3000);

    // An ordinary window among the others: only the boxes stay on top. Its corners are seen
    // through where a compositor draws them; without one they would be black.
    setWindowFlags(Qt::FramelessWindowHint | Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_TranslucentBackground, windowsCanBeTranslucent());

    model->showPage(WindowState::Page::Login);
    ui->LogoSmall->hide();
    ui->application_version->hide();

    PPPDisconnect();
    // A crash or a kill must not leave the password of the last OpenVPN attempt behind.
    removeOpenVPNfiles();

    if (settingsCheck.outcome != SettingsFileCheck::Outcome::Fine) {
        const QString text =
            settingsCheck.outcome == SettingsFileCheck::Outcome::SetAside
                ? tr("Your settings could not be read, so Corvane starts with its defaults. The old "
                     "settings file is kept as %1.")
                      .arg(QDir::toNativeSeparators(settingsCheck.keptAs))
                : tr("Your settings file %1 cannot be read or written, so the changes you make will not "
                     "be kept. Please check that it belongs to you.")
                      .arg(QDir::toNativeSeparators(settings.fileName()));
        qCWarning(lcApp).noquote() << text;
        later(this, [this, text] { messageBox(QMessageBox::Warning, tr("Settings not read"), text); });
    }

    const bool rememberLogin = RememberedLogin::remembered();
    view->setRememberLogin(rememberLogin);
    if (rememberLogin) {
        view->setUserName(RememberedLogin::rememberedUser());
        view->setPassword(RememberedLogin::legacyPassword());
        if (serviceRefusal.isEmpty()) {
            autoLoginRunning = true;
            remembered->startAutoLogin(view->userName(), RememberedLogin::legacyPassword());
        }
    }

    ui->tabAccountZoneInfo->hide();
    ui->tabAccountZonePayment->hide();
    ui->username->setFocus(Qt::OtherFocusReason);
}

// The real prompts; tests replace them.
void LumtarMain::setUpPrompts()
{
    // Box texts often carry what the service, a server or openvpn said: shown as plain text, so
    // markup in them is neither rendered nor a link the desktop would open.
    messageBox = [this](QMessageBox::Icon icon, const QString& title, const QString& text) {
        QMessageBox box;
        box.setIcon(icon);
        box.setWindowTitle(title);
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        box.setModal(true);
        box.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                           Qt::CustomizeWindowHint);
        QPushButton* showLog = nullptr;
        if (offerConnectionLog) {
            box.addButton(QMessageBox::Ok);
            showLog = box.addButton(tr("Show log"), QMessageBox::ActionRole);
        }
        box.exec();
        if (showLog && box.clickedButton() == showLog)
            showConnectionLog(this, view->logText());
    };
    questionBox = [this](const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, this);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::Yes); // as QMessageBox::question chooses without a default
        if (box.exec() == -1)
            return QMessageBox::Cancel;
        return box.standardButton(box.clickedButton());
    };
    trayBalloon = [this](const QString& title, const QString& text) {
        trayIcon->showMessage(title, text, QSystemTrayIcon::Information, 10000);
    };
    startDetached = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

// What the form file cannot say: how the stores, labels and animation behave, the shadow and
// the version, and the connecting page's log button.
void LumtarMain::setUpForm()
{
    // The state store is never seen; hidden widgets are not laid out, which keeps storing
    // large documents cheap.
    for (QWidget* store : {static_cast<QWidget*>(ui->XMLUserData), static_cast<QWidget*>(ui->groupBox_2),
                           static_cast<QWidget*>(ui->groupBox_3), static_cast<QWidget*>(ui->workingFolder)})
        store->hide();
    // The document stores are only ever read back as text; laying them out would make storing
    // a catalogue of thousands of servers take seconds.
    for (QTextBrowser* store : {ui->textBrowser, ui->logBrowser, ui->userdatatext})
        makeTextStore(store);
    // These labels show texts from the service, its servers, the version document or openvpn.
    for (QLabel* label :
         std::initializer_list<QLabel*>{ui->authstatus, ui->user_email, ui->user_plan, ui->user_expire,
                                        ui->connected_title, ui->connected_message, ui->connecting_title,
                                        ui->connecting_message, ui->connected_server, ui->connected_address})
        label->setTextFormat(Qt::PlainText);

    auto* busy = new QMovie(QStringLiteral(":/resources/loading3.gif"), QByteArray(), ui->loading);
    ui->loading->setMovie(busy);
    busy->start();
    ui->loading->hide();

    ui->workingFolder->setText(QDir::currentPath());

    auto* shadow = new QGraphicsDropShadowEffect;
    shadow->setBlurRadius(10.0);
    shadow->setXOffset(0);
    shadow->setYOffset(0);
    ui->centralWidget->setGraphicsEffect(shadow);

    ui->application_version->setText(QStringLiteral("v") + appVersion);
    ui->application_version_2->setText(tr("version ") + appVersion);

    // The connecting page offers the connection log under its cancel button.
    auto* showLog = new QPushButton(tr("Show log"), ui->WidgetConnectingVPN);
    showLog->setObjectName(QStringLiteral("showConnectionLog"));
    showLog->setFlat(true);
    showLog->setCursor(Qt::PointingHandCursor);
    showLog->setStyleSheet(QStringLiteral("QPushButton { border: none; color: #6b7a8f; font-size: 8pt; }"));
    showLog->setGeometry(20, 222, 281, 18);
    connect(showLog, &QPushButton::clicked, this, [this] { showConnectionLog(this, view->logText()); });

    view->markKeyboardFocus();
}

LumtarMain::~LumtarMain()
{
    // Hangs up, stops the worker thread, ends the program politely (waiting here) and removes
    // the work files.
    delete connection;
    connection = nullptr;
    // Children die after the form; none of their late signals may reach a slot without it.
    for (QObject* child : children())
        child->disconnect(this);
    delete ui;
    ui = nullptr;

    QSettings settings;
    if (settingIs(settings, SettingsKeys::maximize, "0"))
        settings.setValue(SettingsKeys::running, QStringLiteral("0"));
}
