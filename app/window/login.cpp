// Login and logout: the session is the user name and password in the login fields. The service
// client sends and reads; the remembered login keeps the box's choice and the password.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/noticegate.h"
#include "app/trayview.h"
#include "app/whenquiet.h"
#include "app/windowstate.h"
#include "catalogue/cataloguereader.h"
#include "core/freedmemory.h"
#include "core/settingskeys.h"
#include "service/accountwatch.h"
#include "service/documents.h"
#include "service/network.h"
#include "service/rememberedlogin.h"
#include "service/secretstore.h"
#include "service/serviceclient.h"

#include <QCoreApplication>
#include <QSettings>

#include <functional>

using namespace service;

namespace {

const char cannotCommunicate[] = QT_TRANSLATE_NOOP(
    "LumtarMain", "Cannot communicate with Corvane servers. Try temporarily disabling your firewall to "
                  "see if that helps. If you have any proxy set up, disable it.");

// Short enough for the status line.
QString notRememberedText(SecretResult::Status status)
{
    switch (status) {
    case SecretResult::Status::NotFound:
        return QCoreApplication::translate("LumtarMain", "Password not found in the secret store.");
    case SecretResult::Status::Denied:
        return QCoreApplication::translate("LumtarMain", "Keyring prompt declined: password not remembered.");
    default:
        return QCoreApplication::translate("LumtarMain", "No secret store: password not remembered.");
    }
}

// Which of the service's problems it was, and what the user can do about it.
QString serviceProblemText(RequestProblem problem)
{
    switch (problem) {
    case RequestProblem::ServiceDown:
        return QCoreApplication::translate(
                   "LumtarMain", "The Corvane service is not available at the moment: %1 refused the "
                                 "connection. Please try again in a few minutes.")
            .arg(serviceHost());
    case RequestProblem::Deadline:
        return QCoreApplication::translate("LumtarMain",
                                           "The Corvane service did not answer in time. Please check your "
                                           "internet connection and try again.");
    case RequestProblem::ServerError:
        return QCoreApplication::translate("LumtarMain",
                                           "The Corvane service has a problem of its own. Please try again "
                                           "later: your computer and its firewall are not the cause.");
    default:
        break;
    }
    return QCoreApplication::translate("LumtarMain", cannotCommunicate);
}

} // namespace

void LumtarMain::setUpService()
{
    notices = new NoticeGate(
        [this](const QString& text) { messageBox(QMessageBox::Information, tr("Notice"), text); }, this);
    secretStore = makeSecretStore();
    serviceClient = new ServiceClient(appVersion, this);
    serviceClient->setObjectName(QStringLiteral("serviceClient"));
    connect(serviceClient, &ServiceClient::loginDocument, this, &LumtarMain::setLoginDocument);
    // Whatever the answer, a note about the password comes after it, never on top of its box.
    const auto answered = [this](const std::function<void()>& show) {
        loginStatusShown = true;
        view->setLoginBusy(false);
        show();
        const QString note = remembered->takeNote();
        if (!note.isEmpty())
            messageBox(QMessageBox::Information, tr("Password not remembered"), note);
    };
    connect(serviceClient, &ServiceClient::loginFailed, this,
            [this, answered](RequestProblem problem, const QString& text) {
                answered([this, problem, text] {
                    autoLoginRunning = false;
                    view->setLoginProgress(99);
                    if (isTrustProblem(problem)) {
                        view->setStatus(text);
                        messageBox(QMessageBox::Critical, tr("Service not trusted"),
                                   text + tr("\n\nYour user name and password were not sent. Someone on this "
                                             "network may be trying to intercept the connection: try another "
                                             "network."));
                        return;
                    }
                    view->setStatus(tr("Not connected!"));
                    messageBox(QMessageBox::Critical, QString(), serviceProblemText(problem));
                });
            });
    connect(serviceClient, &ServiceClient::loginCancelled, this, [this] {
        autoLoginRunning = false;
        view->setLoginBusy(false);
        view->setLoginProgress(0);
        view->setStatus(tr("Login cancelled."));
    });
    connect(serviceClient, &ServiceClient::loginUnreadable, this, [this, answered] {
        answered([this] {
            autoLoginRunning = false;
            view->setLoginProgress(99);
            view->setStatus(tr("Not connected!"));
            messageBox(QMessageBox::Critical, QString(),
                       tr(cannotCommunicate) + tr("\n\nThe service's answer could not be read."));
        });
    });
    connect(serviceClient, &ServiceClient::loginAnswered, this, [this, answered](LoginVerdict verdict) {
        answered([this, verdict] { loginAnswered(verdict); });
    });
    connect(serviceClient, &ServiceClient::accountDetails, this, &LumtarMain::showAccountDetails);
    connect(serviceClient, &ServiceClient::newAccountAnswered, this, &LumtarMain::newAccountAnswered);
    connect(serviceClient, &ServiceClient::newAccountFailed, this,
            [this](RequestProblem problem, const QString& text) {
                view->setBusy(false);
                view->setCreateAccountEnabled(true);
                if (isTrustProblem(problem)) {
                    messageBox(QMessageBox::Critical, tr("Error"),
                               text + tr("\n\nYour details were not sent."));
                    return;
                }
                messageBox(QMessageBox::Critical, tr("Error"),
                           tr("Unable to process your request at this time. Please check your internet "
                              "connection and if all is ok, please try to create new account again later."));
            });

    setUpAccount();

    // Tests put their own store in place once the window is built.
    remembered = new RememberedLogin([this] { return secretStore; }, this);
    remembered->setObjectName(QStringLiteral("rememberedLogin"));
    connect(remembered, &RememberedLogin::passwordRead, this, [this](const QString& password) {
        view->setPassword(password);
        Login();
    });
    connect(remembered, &RememberedLogin::passwordMissing, this, [this](SecretResult::Status status) {
        loginStatusShown = true;
        view->setStatus(notRememberedText(status));
        view->focusPassword();
    });
    // Told after the login's own answer, never on top of its box.
    connect(remembered, &RememberedLogin::noteWaiting, this, [this] {
        if (!serviceClient->loginInFlight())
            messageBox(QMessageBox::Information, tr("Password not remembered"), remembered->takeNote());
    });
    // Typing goes on by hand: the automatic login no longer waits for the store.
    connect(view, &FormView::credentialsEdited, remembered, &RememberedLogin::takeOver);

    // A service reached over plain HTTP on another machine is never sent a password: the login
    // page says why and takes none.
    const RequestProblem problem = serviceAddressProblem();
    if (problem != RequestProblem::None) {
        // Short enough for the status line.
        serviceRefusal = problem == RequestProblem::PlainHttp
                             ? tr("Login disabled: %1 uses plain HTTP").arg(serviceHost())
                             : tr("Login disabled: %1 is not a web address").arg(serviceHost());
        view->setLoginEnabled(false);
        view->setStatus(serviceRefusal);
    }
}

// While a login is under way the button cancels it.
void LumtarMain::on_login_clicked()
{
    if (serviceClient->loginInFlight()) {
        serviceClient->cancelLogin();
        return;
    }
    Login();
}

void LumtarMain::on_username_returnPressed()
{
    Login();
}

void LumtarMain::on_password_returnPressed()
{
    Login();
}

void LumtarMain::on_autologin_clicked()
{
    // The box's state takes effect at the next login.
}

void LumtarMain::on_logout_clicked()
{
    Logout();
}

void LumtarMain::Login()
{
    if (serviceClient->loginInFlight())
        return;
    if (!serviceRefusal.isEmpty()) {
        view->setStatus(serviceRefusal);
        return;
    }
    remembered->loginSubmitted(view->userName(), view->password(), view->rememberLogin());
    view->setUserName(view->userName().trimmed());
    view->setPassword(view->password().trimmed());
    if (view->userName().isEmpty() || view->password().isEmpty()) {
        messageBox(QMessageBox::Information, tr("Empty Authentication"),
                   tr("Username and/or password missing."));
        return;
    }
    view->setLoginStep(tr("Starting auth process..."));
    view->setLoginProgress(15);
    DoHttpGet();
}

void LumtarMain::DoHttpGet()
{
    view->setStatus(tr("Wait... login in progress!"));
    view->setLoginBusy(true);
    serviceClient->logIn(view->userName(), view->password());
}

void LumtarMain::HasFinished(QNetworkReply* reply)
{
    serviceClient->loginArrived(reply);
}

void LumtarMain::loginAnswered(LoginVerdict verdict)
{
    view->setLoginProgress(100);
    view->setLoginStep(tr("Login complete!"));
    view->setLoginStep(tr("Getting response!"));
    if (verdict == LoginVerdict::Refused) {
        autoLoginRunning = false;
        view->setStatus(tr("Not connected!"));
        messageBox(QMessageBox::Information, tr("Bad username/password"),
                   tr("Wrong username or password. Please try again."));
    } else {
        view->setStatus(tr("Authenticated!"));
        model->showPage(WindowState::Page::Tabs);
        view->showTab(0);
        view->setCancelShown(false);
        view->setConnectShown(true);
        view->setDisconnectShown(false);
        QSettings().setValue(SettingsKeys::usedTrial, QStringLiteral("1"));
        trialUsed = true;
        view->setBuyText(tr("buy package"));
        notices->reset();
        PopulateServers();
        GetUserData();
    }
    view->setLoginStep(tr("start XML parse..."));
}

void LumtarMain::Logout()
{
    remembered->logout();
    view->setRememberLogin(false);
    view->showRememberLogin();
    model->setAccountFlag(QString());
    view->clearCredentials();
    setLoginDocument(QString());
    view->storeUserDataDocument(QStringLiteral("0"));
    // The login page: nothing can be connected before the next login.
    view->setStatus(tr("Logged out. Log in to connect."));
    view->setBranding(false);
    tray->setConnectTarget(QString());
    model->showPage(WindowState::Page::Login);
    model->setElapsedSeconds(0);
}

// The readers work on the text as it came. The widget's copy is only read back, so a long one is
// stored once the window has drawn the answer (storing megabytes costs more than reading them);
// a newer text stores itself instead. The text is then kept once, in the widget, and what reading
// and storing it took is handed back.
void LumtarMain::setLoginDocument(const QString& text)
{
    // The server list is read on another thread while the verdict is read.
    catalogueReader->start(text);
    const quint64 document = ++loginDocuments;
    if (text.size() < (1 << 18)) {
        view->storeLoginDocument(text);
        return;
    }
    whenQuiet(this, [this, text, document] {
        if (document != loginDocuments)
            return;
        view->storeLoginDocument(text);
        whenQuiet(this, [] { returnFreedMemory(); });
    });
}
