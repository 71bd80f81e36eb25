#ifndef CORVANE_LUMTARMAIN_H
#define CORVANE_LUMTARMAIN_H

#include <QMainWindow>
#include <QMessageBox>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

// The window only names what it owns; each subsystem's folder builds and wires its part.
class AddressCheck;
class Catalogue;
class CatalogueReader;
class ConnectionEngine;
class InstallerPlatform;
class FormView;
class QuickConnectRun;
class NoticeGate;
class PPPWorker;
class QAction;
class QComboBox;
class QMenu;
class QNetworkReply;
class QProcess;
class QThread;
class QTimer;
class QUrl;
class SecretStore;
class ServiceClient;
class Updater;
class WindowState;

namespace Ui {
class LumtarMain;
}

enum class RequestProblem;

namespace service {
enum class LoginVerdict;
struct AccountDetails;
struct NewAccountReply;
} // namespace service

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
    // The pause between two Quick Connect attempts.
    int quickConnectPauseMs = 5000;
    // The window takes a dial's outcome as soon as the worker reports it; tests that move
    // time tick by tick turn this off and leave it to the status timer.
    bool followWorkerAtOnce = true;
    // When 0 or more, every redial after a drop waits this long instead of the growing pause.
    int redialPausesOverrideMs = -1;
    // What this system allows with a downloaded installer.
    std::shared_ptr<InstallerPlatform> installerPlatform;
    // Where the remembered password is kept. Asked only once the window has been built.
    std::shared_ptr<SecretStore> secretStore;

    // For tests and tools: the state of the worker and the OpenVPN child.
    PPPWorker* worker() const { return pppWorker; }
    QThread* workerThread() const { return pppThread; }
    QProcess* openVpnChild() const;
    ConnectionEngine* connectionEngine() const { return connection; }
    // The window's state; its setters write the hidden fields.
    WindowState* stateModel() const { return model; }

    // What an OpenVPN attempt's end means to the user.
    struct AttemptFailure;

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

private:
    void setUpPrompts();
    void setUpForm();
    void setUpTray();
    // Each subsystem's folder builds its component and connects its reports.
    void setUpService();
    void setUpConnection();
    void tearDownConnection();
    void setUpQuickConnect();
    void setUpMonitor();
    void setUpUpdater();

    // app
    void showCritical(const QString& title, const QString& text);
    void showInformation(const QString& title, const QString& text);
    void processPendingEvents();
    void retranslateKeepingLists();

    // service
    void loginFailed(RequestProblem problem, const QString& text);
    void loginUnreadable();
    void loginAnswered(const QVector<service::LoginVerdict>& verdicts);
    void showAccountDetails(const QString& document, const service::AccountDetails& details);
    void newAccountAnswered(const service::NewAccountReply& answer);
    void newAccountFailed(RequestProblem problem, const QString& text);
    void setLoginDocument(const QString& text);
    void setUserDataDocument(const QString& text);
    void enterSession();
    void showAccountState(const QString& quota);
    void startAutoLogin(const QString& legacyPassword);
    void readRememberedPassword();
    void rememberPassword(const QString& user, const QString& password);
    void forgetPassword(const QString& user);
    void showPasswordNote();
    void refuseUntrustedService();

    // catalogue
    void setUpServerLists();
    void readCatalogue(const QString& document);
    const Catalogue& catalogue();

    // connection
    void startAttempt();
    void startDialThread();
    void openVpnAttemptFailed(const AttemptFailure& failure);
    void openVpnTunnelUp();
    void openVpnTunnelDropped(const AttemptFailure& failure);
    void checkTunnelAddress();
    void appendConnectionLog(const QString& text);
    void showConnectionLog();

    // quickconnect
    void quickConnectDialAfterPause();
    void stopQuickConnectPause();
    // "Stage 2/4" while a Quick Connect run tries its second of four entries, else empty.
    QString quickStageLabel() const;
    void tearDownAttempt();

    // monitor
    bool takeWorkerOutcome();
    void followWorker();
    void rasConnectedTransition();
    void addressSeen(const QString& address);
    void watchTunnel();
    void stopWatchingTunnel();
    void cancelRedial();
    void ipMatchTransition();
    void enterConnectedState(const QString& statusLine);
    void showConnectedPage();
    void reportDialError();
    void progressStep();
    void connectedUpkeep();
    void handleDrop();

    // update
    void updateIsCurrent();
    void offerUpdate(const QString& version, bool installsItself);
    void openDownloadPage();
    void startInstallerDownload();
    void updateFailed(const QString& statusText);
    void startInstaller(const QString& path);

    Ui::LumtarMain* ui;
    QString appVersion;
    AddressCheck* addressCheck;
    ServiceClient* serviceClient;
    WindowState* model;
    FormView* view;
    QTimer* statusTimer;
    int dragOffsetX;
    int dragOffsetY;
    QSystemTrayIcon* trayIcon;
    QMenu* trayMenu;
    QAction* showAction;
    QAction* quitAction;
    // The connection engine owns the worker, its thread and the OpenVPN program; these two
    // name the engine's worker and thread.
    ConnectionEngine* connection;
    PPPWorker* pppWorker;
    QThread* pppThread;

    Updater* updater;

    // The login document as last stored into textBrowser, and what was read from it once.
    // The readers work on these instead of reading the widget back.
    QString loginDocument;
    QString userDataDocument;
    // Shared only so that its deleter is made where the type is known.
    std::shared_ptr<CatalogueReader> catalogueReader;

    // The remembered password is being read for the automatic login; a login by hand ends that.
    bool autoLoginPending = false;
    // One retry for a secret store that comes up after the client.
    QTimer* secretRetryTimer = nullptr;
    // The buy button offers the order page, not the trial page.
    bool trialUsed = false;
    // The status line has told the user something about the login; the version check's routine
    // note must not cover it.
    bool loginStatusShown = false;
    // Why the configured service is never sent a password; empty when it may be.
    QString serviceRefusal;
    // Why the password just typed could not be remembered; told once the login has answered.
    QString passwordNote;
    // The user has been told this run that the secret store is not there.
    bool storeTroubleTold = false;
    // The password in its field was just read from the secret store.
    bool passwordFromStore = false;

    // The next message box offers to show the connection log.
    bool offerConnectionLog = false;

    // Shows the service's notice once per login, never over another box.
    NoticeGate* notices;

    QuickConnectRun* quickConnectRun;
};

#endif
