#ifndef CORVANE_LUMTARMAIN_H
#define CORVANE_LUMTARMAIN_H

#include "catalogue/catalogue.h"
#include "update/installer.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

class PPPWorker;
class QAction;
class QComboBox;
class QMenu;
class QNetworkAccessManager;
class QNetworkReply;
class QProcess;
class QThread;
class QTimer;

namespace Ui {
class LumtarMain;
}

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
    // The pause between two Quick Connect attempts.
    int quickConnectPauseMs = 5000;
    // What this system allows with a downloaded installer.
    std::unique_ptr<InstallerPlatform> installerPlatform = makeInstallerPlatform();

    // For tests and tools: the state of the worker and the OpenVPN child.
    PPPWorker* worker() const { return pppWorker; }
    QThread* workerThread() const { return pppThread; }
    QProcess* openVpnChild() const { return openVpnProcess; }

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
    // app
    void showCritical(const QString& title, const QString& text);
    void showInformation(const QString& title, const QString& text);
    void processPendingEvents();
    void retranslateKeepingLists();

    // service
    void setLoginDocument(const QString& text);
    void setUserDataDocument(const QString& text);
    void enterSession();
    void showAccountState(const QString& quota);
    void fillPaymentList(QComboBox* list, const QString& items);

    // catalogue
    const Catalogue& catalogue();

    // connection
    void startAttempt();
    void startDialThread();
    void stopDialThread();
    QNetworkReply* fetchOpenVpnFile(QNetworkAccessManager* manager, const QString& address);
    bool openVpnReplyIsCurrent(QNetworkReply* reply) const;
    void openVpnAttemptFailed(const QString& statusText, bool keepText = false);

    // quickconnect
    void quickConnectDialAfterPause();
    void tearDownAttempt();

    // monitor
    void rasConnectedTransition();
    void ipMatchTransition();
    void enterConnectedState(const QString& statusLine);
    void showConnectedPage();
    void reportDialError();
    void progressStep();
    void connectedUpkeep();
    void handleDrop();

    Ui::LumtarMain* ui;
    QString appVersion;
    QNetworkAccessManager* updateManager;
    QNetworkAccessManager* downloadManager;
    QNetworkAccessManager* loginManager;
    QNetworkAccessManager* userDataManager;
    QNetworkAccessManager* openVpnStage1Manager;
    QNetworkAccessManager* openVpnStage2Manager;
    QNetworkAccessManager* currentIpManager;
    QNetworkAccessManager* newAccountManager;
    QTimer* statusTimer;
    int elapsedSeconds;
    int dragOffsetX;
    int dragOffsetY;
    QSystemTrayIcon* trayIcon;
    QMenu* trayMenu;
    QAction* showAction;
    QAction* quitAction;
    QProcess* openVpnProcess;
    PPPWorker* pppWorker;
    QThread* pppThread;

    // update
    QString latestVersion;
    QString updateUrl;
    QNetworkReply* updateReply = nullptr;

    // The login document as last stored into textBrowser, and what was read from it once.
    // The readers work on these instead of reading the widget back.
    QString loginDocument;
    QString userDataDocument;
    CatalogueReader catalogueReader;

    // Each OpenVPN attempt has a number; a download reply of an earlier attempt is dropped.
    quint64 openVpnAttempt = 0;

    // Continues a Quick Connect attempt after the pause between attempts.
    QTimer* quickConnectPauseTimer = nullptr;
};

#endif
