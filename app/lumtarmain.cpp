#include "app/lumtarmain.h"

#include "app/settingskeys.h"
#include "app/textstore.h"
#include "catalogue/catalogue.h"
#include "connection/pppworker.h"
#include "ui_lumtarmain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGraphicsDropShadowEffect>
#include <QMenu>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QSettings>
#include <QThread>
#include <QTextBrowser>
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
    : QMainWindow(parent), ui(new Ui::LumtarMain), appVersion(QStringLiteral("4.0.2")), elapsedSeconds(0),
      dragOffsetX(0), dragOffsetY(0)
{
    initResources();
    messageBox = [](QMessageBox::Icon icon, const QString& title, const QString& text) {
        QMessageBox box;
        box.setIcon(icon);
        box.setWindowTitle(title);
        box.setText(text);
        box.setModal(true);
        box.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                           Qt::CustomizeWindowHint);
        box.exec();
    };
    questionBox = [this](const QString& title, const QString& text) {
        return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::NoButton);
    };
    trayBalloon = [this](const QString& title, const QString& text) {
        trayIcon->showMessage(title, text, QSystemTrayIcon::Information, 10000);
    };
    startDetached = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };

    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("corvane.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));

    QSettings settings;
    if (settingIs(settings, SettingsKeys::running, "1"))
        settings.setValue(SettingsKeys::maximize, QStringLiteral("1"));
    else
        settings.setValue(SettingsKeys::running, QStringLiteral("1"));

    elapsedSeconds = 0;
    // Where the form's typeface is missing, a face of similar width keeps the texts inside their boxes.
    QFont::insertSubstitution(QStringLiteral("Segoe UI"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Segoe UI Black"), QStringLiteral("Liberation Sans"));
    ui->setupUi(this);
    // The state store is never seen; hidden widgets are not laid out, which keeps storing
    // large documents cheap.
    for (QWidget* store :
         {static_cast<QWidget*>(ui->XMLUserData), static_cast<QWidget*>(ui->groupBox_2),
          static_cast<QWidget*>(ui->groupBox_3), static_cast<QWidget*>(ui->workingFolder),
          static_cast<QWidget*>(ui->payment_processor), static_cast<QWidget*>(ui->payment_plan)})
        store->hide();
    // The document stores are only ever read back as text; laying them out would make storing
    // a catalogue of thousands of servers take seconds.
    for (QTextBrowser* store : {ui->textBrowser, ui->logBrowser, ui->userdatatext})
        makeTextStore(store);

    ui->buy->setText(settingIs(settings, SettingsKeys::usedTrial, "1") ? tr("buy package")
                                                                       : tr("create trial account"));

    openVpnProcess = new QProcess(this);

    auto* busy = new QMovie(QStringLiteral(":/resources/loading3.gif"), QByteArray(), ui->loading);
    ui->loading->setMovie(busy);
    busy->start();
    ui->loading->hide();

    ui->workingFolder->setText(QDir::currentPath());

    showAction = new QAction(tr("&Show Application"), this);
    connect(showAction, SIGNAL(triggered()), this, SLOT(application_maximize()));
    quitAction = new QAction(tr("&Quit"), this);
    connect(quitAction, SIGNAL(triggered()), this, SLOT(on_application_close_clicked()));
    trayMenu = new QMenu(this);
    trayMenu->addAction(showAction);
    trayMenu->addAction(quitAction);
    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setContextMenu(trayMenu);
    trayIcon->setIcon(QIcon(QStringLiteral(":/lumtar.png")));
    trayIcon->setVisible(true);
    connect(trayIcon, SIGNAL(activated(QSystemTrayIcon::ActivationReason)), this,
            SLOT(trayIconClicked(QSystemTrayIcon::ActivationReason)));

    loginManager = new QNetworkAccessManager(this);
    connect(loginManager, SIGNAL(finished(QNetworkReply*)), this, SLOT(HasFinished(QNetworkReply*)));
    userDataManager = new QNetworkAccessManager(this);
    connect(userDataManager, SIGNAL(finished(QNetworkReply*)), this,
            SLOT(HasFinishedUserData(QNetworkReply*)));
    newAccountManager = new QNetworkAccessManager(this);
    connect(newAccountManager, SIGNAL(finished(QNetworkReply*)), this,
            SLOT(newAccountResponse(QNetworkReply*)));
    openVpnStage1Manager = new QNetworkAccessManager(this);
    connect(openVpnStage1Manager, SIGNAL(finished(QNetworkReply*)), this,
            SLOT(OpenVPNConnectStage1(QNetworkReply*)));
    openVpnStage2Manager = new QNetworkAccessManager(this);
    connect(openVpnStage2Manager, SIGNAL(finished(QNetworkReply*)), this,
            SLOT(OpenVPNConnectStage2(QNetworkReply*)));
    currentIpManager = new QNetworkAccessManager(this);
    connect(currentIpManager, SIGNAL(finished(QNetworkReply*)), this, SLOT(SetCurrentIP(QNetworkReply*)));
    updateManager = new QNetworkAccessManager(this);
    connect(updateManager, SIGNAL(finished(QNetworkReply*)), this, SLOT(UpdateResponse(QNetworkReply*)));
    downloadManager = new QNetworkAccessManager(this);
    connect(downloadManager, SIGNAL(finished(QNetworkReply*)), this, SLOT(downloadFinished(QNetworkReply*)));

    statusTimer = new QTimer(this);
    connect(statusTimer, SIGNAL(timeout()), this, SLOT(UpdateTimer()));
    statusTimer->start(3000);

    pppThread = new QThread;
    pppWorker = new PPPWorker;
    pppWorker->setStatus(QString());
    pppWorker->moveToThread(pppThread);
    connect(pppWorker, SIGNAL(PPPStart()), pppThread, SLOT(start()));
    connect(pppThread, SIGNAL(started()), pppWorker, SLOT(VPNStart()));

    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_TranslucentBackground);

    auto* shadow = new QGraphicsDropShadowEffect;
    shadow->setBlurRadius(10.0);
    shadow->setXOffset(0);
    shadow->setYOffset(0);
    ui->centralWidget->setGraphicsEffect(shadow);

    ui->application_version->setText(QStringLiteral("v") + appVersion);
    ui->application_version_2->setText(tr("version ") + appVersion);

    ui->WidgetNewAccount->hide();
    ui->WidgetConnectedVPN->hide();
    ui->WingetConnected->hide();
    ui->WidgetConnectingVPN->hide();
    ui->WidgetPaymentInProgress->hide();
    ui->WingetLogin->show();
    ui->LogoSmall->hide();
    ui->application_version->hide();

    PPPDisconnect();
    // A crash or a kill must not leave the password of the last OpenVPN attempt behind.
    removeOpenVPNfiles();

    UpdateCheck();

    if (settingIs(settings, SettingsKeys::remember, "1")) {
        ui->autologin->setChecked(true);
        ui->username->setText(QString::fromUtf8(settings.value(SettingsKeys::user).toByteArray()));
        ui->password->setText(QString::fromUtf8(settings.value(SettingsKeys::password).toByteArray()));
        Login();
    } else {
        ui->autologin->setChecked(false);
    }

    ui->tabAccountZoneInfo->hide();
    ui->tabAccountZonePayment->hide();
    ui->quick_stage->setText(QStringLiteral("0"));
    ui->paymentInProgress->setText(QStringLiteral("0"));
    ui->username->setFocus(Qt::OtherFocusReason);
}

LumtarMain::~LumtarMain()
{
    PPPDisconnect();
    if (pppThread->isRunning())
        pppThread->quit();
    openVpnProcess->kill();
    // Reaped here, so the process object below does not outlive a running program.
    openVpnProcess->waitForFinished(3000);
    pppThread->wait();
    delete pppThread;
    delete pppWorker;
    removeOpenVPNfiles();
    // Children die after the form; none of their late signals may reach a slot without it.
    for (QObject* child : children())
        child->disconnect(this);
    delete ui;
    ui = nullptr;

    QSettings settings;
    if (settingIs(settings, SettingsKeys::maximize, "0"))
        settings.setValue(SettingsKeys::running, QStringLiteral("0"));
}

void LumtarMain::showCritical(const QString& title, const QString& text)
{
    messageBox(QMessageBox::Critical, title, text);
}

void LumtarMain::showInformation(const QString& title, const QString& text)
{
    messageBox(QMessageBox::Information, title, text);
}

void LumtarMain::processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
