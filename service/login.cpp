// Login and logout: the session is the user name and password in the login fields.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/settingskeys.h"
#include "app/windowstate.h"
#include "service/documents.h"
#include "service/network.h"
#include "service/noticegate.h"
#include "service/secretstore.h"
#include "service/serviceclient.h"
#include "service/whenquiet.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QScopeGuard>
#include <QSettings>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>

#include <utility>

using namespace service;

namespace {

const char cannotCommunicate[] = QT_TRANSLATE_NOOP(
    "LumtarMain", "Cannot communicate with Corvane servers. Try temporarily disabling your firewall to "
                  "see if that helps. If you have any proxy set up, disable it.");

// A late secret store (its daemon starting after the client at login) gets this long.
constexpr int secretRetryMs = 5000;

// For the box after a write the store refused.
QString notRememberedReason(SecretResult::Status status)
{
    switch (status) {
    case SecretResult::Status::NotFound:
        return QCoreApplication::translate("LumtarMain", "it is not in the system's secret store");
    case SecretResult::Status::Denied:
        return QCoreApplication::translate("LumtarMain", "access to the system's secret store was declined");
    default:
        return QCoreApplication::translate("LumtarMain", "no secret store is available on this system");
    }
}

// Short enough for the status line.
QString notRememberedText(SecretResult::Status status)
{
    switch (status) {
    case SecretResult::Status::NotFound:
        return QCoreApplication::translate("LumtarMain", "Password not found in the secret store.");
    case SecretResult::Status::Denied:
        return QCoreApplication::translate("LumtarMain", "Secret store locked: password not remembered.");
    default:
        return QCoreApplication::translate("LumtarMain", "No secret store: password not remembered.");
    }
}

QString rememberedUser(const QSettings& settings)
{
    return QString::fromUtf8(settings.value(SettingsKeys::user).toByteArray());
}

} // namespace

void LumtarMain::setUpService()
{
    notices = new NoticeGate([this](const QString& text) { showInformation(tr("Notice"), text); }, this);
    secretStore = makeSecretStore();
    serviceClient = new ServiceClient(appVersion, this);
    serviceClient->setObjectName(QStringLiteral("serviceClient"));
    connect(serviceClient->loginManager(), SIGNAL(finished(QNetworkReply*)), this,
            SLOT(HasFinished(QNetworkReply*)));
    connect(serviceClient->accountManager(), SIGNAL(finished(QNetworkReply*)), this,
            SLOT(HasFinishedUserData(QNetworkReply*)));
    connect(serviceClient->newAccountManager(), SIGNAL(finished(QNetworkReply*)), this,
            SLOT(newAccountResponse(QNetworkReply*)));
    connect(serviceClient, &ServiceClient::loginDocument, this, &LumtarMain::setLoginDocument);
    connect(serviceClient, &ServiceClient::loginFailed, this, &LumtarMain::loginFailed);
    connect(serviceClient, &ServiceClient::loginUnreadable, this, &LumtarMain::loginUnreadable);
    connect(serviceClient, &ServiceClient::loginAnswered, this, &LumtarMain::loginAnswered);
    connect(serviceClient, &ServiceClient::accountDetails, this, &LumtarMain::showAccountDetails);
    connect(serviceClient, &ServiceClient::newAccountAnswered, this, &LumtarMain::newAccountAnswered);
    connect(serviceClient, &ServiceClient::newAccountFailed, this, &LumtarMain::newAccountFailed);
    refuseUntrustedService();
}

// A service reached over plain HTTP on another machine is never sent a password: the login
// page says why and takes none.
void LumtarMain::refuseUntrustedService()
{
    const RequestProblem problem = serviceAddressProblem();
    if (problem == RequestProblem::None)
        return;
    // Short enough for the status line.
    serviceRefusal = problem == RequestProblem::PlainHttp
                         ? tr("Login disabled: %1 uses plain HTTP").arg(serviceHost())
                         : tr("Login disabled: %1 is not a web address").arg(serviceHost());
    view->setLoginEnabled(false);
    view->setStatus(serviceRefusal);
}

void LumtarMain::on_login_clicked()
{
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
    autoLoginPending = false;
    const bool fromStore = std::exchange(passwordFromStore, false);
    QSettings settings;
    const QString previousUser = rememberedUser(settings);
    if (view->rememberLogin()) {
        const QString user = view->userName();
        settings.setValue(SettingsKeys::user, user.toUtf8());
        settings.setValue(SettingsKeys::remember, QStringLiteral("1"));
        if (!previousUser.isEmpty() && previousUser != user)
            forgetPassword(previousUser);
        // A password that just came from the store is there already.
        if (!fromStore)
            rememberPassword(user, view->password());
    } else {
        settings.setValue(SettingsKeys::user, QString());
        settings.setValue(SettingsKeys::remember, QStringLiteral("0"));
        settings.remove(SettingsKeys::legacyPassword);
        forgetPassword(previousUser);
    }
    view->setUserName(view->userName().trimmed());
    view->setPassword(view->password().trimmed());
    if (!view->userName().isEmpty() && !view->password().isEmpty()) {
        view->setLoginStep(tr("Starting auth process..."));
        view->setLoginProgress(15);
        DoHttpGet();
    } else {
        showInformation(tr("Empty Authentication"), tr("Username and/or password missing."));
    }
}

// The password goes to the system's secret store, never into the settings file. A password
// that an earlier version kept in the settings file leaves it only once the store holds it.
void LumtarMain::rememberPassword(const QString& user, const QString& password)
{
    if (user.isEmpty() || password.isEmpty()) {
        QSettings().remove(SettingsKeys::legacyPassword);
        if (!user.isEmpty())
            forgetPassword(user);
        return;
    }
    secretStore->write(user, password, this, [this, password](const SecretResult& result) {
        QSettings settings;
        const QString legacy = QString::fromUtf8(settings.value(SettingsKeys::legacyPassword).toByteArray());
        if (result.ok() || legacy != password)
            settings.remove(SettingsKeys::legacyPassword);
        // Said once a run: a user without a store has been told at start already.
        if (result.ok() || std::exchange(storeTroubleTold, true))
            return;
        passwordNote = tr("The password could not be kept in the system's secret store: ") +
                       notRememberedReason(result.status) +
                       tr(". Corvane will ask for it at the next start.");
        // Told after the login's own answer, never on top of its box.
        if (!serviceClient->loginInFlight())
            showPasswordNote();
    });
}

void LumtarMain::showPasswordNote()
{
    if (passwordNote.isEmpty())
        return;
    const QString note = std::exchange(passwordNote, QString());
    showInformation(tr("Password not remembered"), note);
}

void LumtarMain::forgetPassword(const QString& user)
{
    // A store that cannot be reached holds nothing that could be reached either.
    if (!user.isEmpty())
        secretStore->remove(user, this, [](const SecretResult&) {});
}

// Constructor step: the user name is in its field. The password comes from the secret store,
// or once more from the settings file of an earlier version, which the login then moves.
void LumtarMain::startAutoLogin(const QString& legacyPassword)
{
    if (!serviceRefusal.isEmpty())
        return;
    if (view->userName().isEmpty()) {
        view->setPassword(legacyPassword);
        Login();
        return;
    }
    autoLoginPending = true;
    const bool hasLegacyPassword = !legacyPassword.isEmpty();
    view->setPassword(legacyPassword);
    // Once the window is built (the version check already sent), so that nothing of the
    // store's answer, and no box, lands in the middle of the constructor.
    QTimer::singleShot(0, this, [this, hasLegacyPassword] {
        if (!autoLoginPending)
            return;
        if (hasLegacyPassword)
            Login();
        else
            readRememberedPassword();
    });
}

void LumtarMain::readRememberedPassword()
{
    const QString user = view->userName();
    secretStore->read(user, this, [this, user](const SecretResult& result) {
        // The user went on by hand in the meantime.
        if (!autoLoginPending || view->userName() != user || !view->password().isEmpty())
            return;
        if (result.ok() && !result.secret.isEmpty()) {
            view->setPassword(result.secret);
            passwordFromStore = true;
            Login();
            return;
        }
        const bool firstTry = secretRetryTimer == nullptr;
        if (firstTry) {
            // Said once; the retry below stays silent.
            storeTroubleTold = result.status != SecretResult::Status::NotFound && !result.ok();
            loginStatusShown = true;
            view->setStatus(notRememberedText(result.ok() ? SecretResult::Status::NotFound : result.status));
            view->focusPassword();
        }
        if (firstTry && result.status == SecretResult::Status::Unavailable) {
            secretRetryTimer = new QTimer(this);
            secretRetryTimer->setObjectName(QStringLiteral("secretRetryTimer"));
            secretRetryTimer->setSingleShot(true);
            connect(secretRetryTimer, &QTimer::timeout, this, [this] {
                if (autoLoginPending)
                    readRememberedPassword();
            });
            secretRetryTimer->start(secretRetryMs);
            return;
        }
        autoLoginPending = false;
    });
}

void LumtarMain::DoHttpGet()
{
    view->setStatus(tr("Wait... login in progress!"));
    serviceClient->logIn(view->userName(), view->password());
}

void LumtarMain::HasFinished(QNetworkReply* reply)
{
    loginStatusShown = true;
    const auto noteAfterAnswer = qScopeGuard([this] { showPasswordNote(); });
    serviceClient->loginArrived(reply);
}

void LumtarMain::loginFailed(RequestProblem problem, const QString& text)
{
    view->setLoginProgress(99);
    if (isTrustProblem(problem)) {
        view->setStatus(text);
        showCritical(tr("Service not trusted"),
                     text +
                         tr("\n\nYour user name and password were not sent. Someone on this network may be "
                            "trying to intercept the connection: try another network."));
        return;
    }
    view->setStatus(tr("Not connected!"));
    showCritical(QString(), tr(cannotCommunicate));
}

void LumtarMain::loginUnreadable()
{
    view->setLoginProgress(99);
    view->setStatus(tr("Not connected!"));
    showCritical(QString(), tr(cannotCommunicate) + tr("\n\nThe service's answer could not be read."));
}

void LumtarMain::loginAnswered(const QVector<LoginVerdict>& verdicts)
{
    view->setLoginProgress(100);
    view->setLoginStep(tr("Login complete!"));
    view->setLoginStep(tr("start XML parse..."));
    for (const LoginVerdict verdict : verdicts) {
        view->setLoginStep(tr("Getting response!"));
        if (verdict == LoginVerdict::Refused) {
            view->setStatus(tr("Not connected!"));
            showInformation(tr("Bad username/password"), tr("Wrong username or password. Please try again."));
        } else {
            enterSession();
        }
        view->setLoginStep(tr("start XML parse..."));
    }
}

void LumtarMain::enterSession()
{
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

void LumtarMain::Logout()
{
    QSettings settings;
    view->setRememberLogin(false);
    view->showRememberLogin();
    forgetPassword(rememberedUser(settings));
    autoLoginPending = false;
    settings.setValue(SettingsKeys::user, QString());
    settings.remove(SettingsKeys::legacyPassword);
    settings.setValue(SettingsKeys::remember, QStringLiteral("0"));
    model->setAccountFlag(QString());
    view->clearCredentials();
    setLoginDocument(QString());
    setUserDataDocument(QStringLiteral("0"));
    view->setStatus(tr("ready to connect"));
    view->setBranding(false);
    model->showPage(WindowState::Page::Login);
    model->setElapsedSeconds(0);
    processPendingEvents();
}

// The readers work on the text as it came, kept beside the widget. The widget's copy is only
// read back, so a long one is stored once the window has drawn the answer (storing megabytes
// costs more than reading them); a newer text stores itself instead.
void LumtarMain::setLoginDocument(const QString& text)
{
    // The server list is read on another thread while the verdict is read.
    readCatalogue(text);
    loginDocument = text;
    if (text.size() < (1 << 18)) {
        view->storeLoginDocument(text);
        return;
    }
    whenQuiet(this, [this, text] {
        if (loginDocument.isSharedWith(text))
            view->storeLoginDocument(text);
    });
}

void LumtarMain::setUserDataDocument(const QString& text)
{
    view->storeUserDataDocument(text);
    userDataDocument = text;
}
