#ifndef CORVANE_LUMTARMAIN_H
#define CORVANE_LUMTARMAIN_H

#include "connection/connectioncontroller.h"
#include "quickconnect/quickconnectrun.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

// The window is a shell that wires: each flow is a component of its subsystem, and the slots
// under the design's names hand the work to them.
class AccountWatch;
class CatalogueReader;
class ClockTimer;
class FormView;
class InstallerPlatform;
class NoticeGate;
class PPPWorker;
class QAction;
class QMenu;
class QNetworkReply;
class QProcess;
class QThread;
class QUrl;
class RememberedLogin;
class SecretStore;
class ServerSearch;
class ServiceClient;
class TrayView;
class Updater;
class WindowState;
struct Catalogue;

namespace Ui {
class LumtarMain;
}

namespace service {
enum class LoginVerdict;
struct AccountDetails;
struct NewAccountReply;
} // namespace service

// Why an attempt or a connection ended, in words; with the program's, the dial's or the
// service's own words after it where they said something.
QString reasonText(ConnectionController::Reason reason);
QString outcomeText(const ConnectionController::Outcome& outcome);

class LumtarMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit LumtarMain(QWidget* parent = nullptr);
    ~LumtarMain() override;

    // Seams. The real behaviour is the default; tests replace them to answer and record
    // what a user would see, without nested event loops. The program never replaces them.

    // A modal message box: no parent, title bar without buttons, always on top.
    std::function<void(QMessageBox::Icon icon, const QString& title, const QString& text)> messageBox;
    // A Yes/No question box parented to the window.
    std::function<QMessageBox::StandardButton(const QString& title, const QString& text)> questionBox;
    // A tray balloon with the information icon, shown for 10 s.
    std::function<void(const QString& title, const QString& text)> trayBalloon;
    // Starts a program detached from the client; false when it could not be started.
    std::function<bool(const QString& program, const QStringList& arguments)> startDetached;
    // Opens a web page in the user's browser; false when no browser could be started.
    std::function<bool(const QUrl& url)> openUrl;
    // What this system allows with a downloaded installer.
    std::shared_ptr<InstallerPlatform> installerPlatform;
    // Where the remembered password is kept. Asked only once the window has been built.
    std::shared_ptr<SecretStore> secretStore;

    // The flows, for tests and tools: their states are what the window shows.
    ConnectionController* connectionController() const { return connection; }
    QuickConnectRun* quickConnect() const { return quickConnectRun; }
    RememberedLogin* rememberedLogin() const { return remembered; }
    AccountWatch* accountWatch() const { return account; }
    // The window's state; its setters write the hidden fields.
    WindowState* stateModel() const { return model; }
    // The worker, its thread and the OpenVPN child of the connection engine.
    PPPWorker* worker() const { return pppWorker; }
    QThread* workerThread() const { return pppThread; }
    QProcess* openVpnChild() const;
    // The tray icon with its menu: its state, tooltip and actions.
    TrayView* trayView() const { return tray; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void DoHttpGet();
    void PopulateServers();
    void PopulateProtocols();
    void PopulateType();
    void ExtractType();
    void HasFinished(QNetworkReply* reply);
    void HasFinishedUserData(QNetworkReply* reply);
    void GetUserData();
    void Logout();
    void Login();
    void on_login_clicked();
    void on_servers_currentIndexChanged(QString);
    void on_protocols_currentIndexChanged(QString);
    void on_username_returnPressed();
    void on_password_returnPressed();
    void on_buy_clicked();
    void on_logout_clicked();
    void PPPDisconnect();
    void PPPStarted();
    void on_connect_clicked();
    QString getPPPErrorText(int error_code);
    void on_disconnect_clicked();
    void on_application_minimize_clicked();
    void on_application_close_clicked();
    void application_maximize();
    void trayIconClicked(QSystemTrayIcon::ActivationReason reason);
    void on_type_currentIndexChanged(QString);
    void OpenVPNConnectStage0();
    void OpenVPNConnectStage1(QNetworkReply* reply);
    void OpenVPNConnectStage2(QNetworkReply* reply);
    void SetCurrentIP(QNetworkReply* reply);
    void GetCurrentIP();
    void UpdateTimer();
    void removeOpenVPNfiles();
    void on_cancel_clicked();
    void UpdateCheck();
    void UpdateResponse(QNetworkReply* reply);
    void downloadFinished(QNetworkReply* data);
    void downloadProgress(qint64 received, qint64 total);
    void on_autologin_clicked();
    void on_create_account_cancel_clicked();
    void on_CreateAccountBtn_clicked();
    void newAccountResponse(QNetworkReply* reply);
    void on_payment_do_clicked();
    void QuickConnectNextStage();
    void on_quickConnect_clicked();
    void quickConnectDial();
    void on_cancel_payment_clicked();
    void on_newAccount_clicked();
    void on_serverSearch_textChanged(QString);
    void on_serverFavourite_clicked();
    void on_showLog_clicked();
    void on_showAbout_clicked();
    void on_about_back_clicked();
    void on_checkUpdates_clicked();
    void on_aboutQt_clicked();
    void on_startAtLogin_clicked();
    void on_connectAtStart_clicked();
    void on_killSwitch_activated(int index);
    void on_preferredProtocol_activated(int index);
    void on_language_activated(int index);

private:
    // app: the prompts, the form, the tray.
    void setUpPrompts();
    void setUpForm();
    void setUpTray();
    void retranslateKeepingLists();

    // Each subsystem's file of app/window/ builds its component and wires its reports.
    void setUpService();
    void setUpAccount();
    void setUpServerLists();
    void setUpConnection();
    QString blockNote() const;
    void showHeldBlock();
    void setUpQuickConnect();
    void setUpUpdater();
    void setUpSettings();

    // What the flows report, shown.
    void loginAnswered(service::LoginVerdict verdict);
    void showAccountDetails(const QString& document, const service::AccountDetails& details);
    void newAccountAnswered(const service::NewAccountReply& answer);
    void setLoginDocument(const QString& text);
    void showConnection(ConnectionController::State state, ConnectionController::Reason reason);
    void logConnection(ConnectionController::State state, ConnectionController::Reason reason);
    void showConnectionPage();
    void showConnectionFailure();
    void quickConnectEnded(QuickConnectRun::End end);
    void appendConnectionLog(const QString& text);
    void offerUpdate(const QString& version, bool installsItself);
    // Shows the servers the search finds and selects `wantedRow` where it is shown, else the first.
    void showServerSearch(int wantedRow);
    // The connected page's clock and the tray's tooltip, every second while connected.
    void showConnectedTime();
    // The settings page shows what is stored; after the user changes one, the client applies it.
    void showSettings();
    void settingsChanged();
    // After an automatic login, the connection to the last server the user chose.
    void connectAtStartIfChosen();

    Ui::LumtarMain* ui;
    QString appVersion;
    WindowState* model;
    FormView* view;
    ClockTimer* statusTimer;
    int dragOffsetX;
    int dragOffsetY;
    QSystemTrayIcon* trayIcon;
    QMenu* trayMenu;
    QAction* showAction;
    QAction* quitAction;
    TrayView* tray;
    ClockTimer* connectedClock;

    ServiceClient* serviceClient;
    RememberedLogin* remembered;
    AccountWatch* account;
    // Shows the service's notice once per login, never over another box.
    NoticeGate* notices;
    // Shared only so that its deleter is made where the type is known.
    std::shared_ptr<CatalogueReader> catalogueReader;
    // The search over the lists' servers, made again for each catalogue.
    std::shared_ptr<ServerSearch> serverSearch;
    // The login was started by the client at start, not by the user.
    bool autoLoginRunning = false;
    // The order page of the payment under way opened in a browser.
    bool paymentInBrowser = true;
    // The user asked for the version check: its answer is shown whatever else the line says.
    bool updateAsked = false;
    // Counts the login documents given to textBrowser, so a late store of an older one is dropped.
    quint64 loginDocuments = 0;
    // The buy button offers the order page, not the trial page.
    bool trialUsed = false;
    // The status line has told the user something about the login; the version check's routine
    // note must not cover it.
    bool loginStatusShown = false;
    // Why the configured service is never sent a password; empty when it may be.
    QString serviceRefusal;

    ConnectionController* connection;
    // The connection engine's worker and its thread.
    PPPWorker* pppWorker;
    QThread* pppThread;
    QuickConnectRun* quickConnectRun;
    // The next message box offers to show the connection log.
    bool offerConnectionLog = false;

    Updater* updater;
};

#endif
