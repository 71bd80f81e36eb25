#include "service/serviceclient.h"

#include "core/later.h"
#include "core/logging.h"
#include "service/network.h"
#include "service/requests.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

using namespace service;

ServiceClient::ServiceClient(const QString& clientVersion, QObject* parent, const RequestPolicy& policy)
    : QObject(parent), version(clientVersion), requests(policy), logins(new QNetworkAccessManager(this)),
      accounts(new QNetworkAccessManager(this)), newAccounts(new QNetworkAccessManager(this))
{
    connect(logins, &QNetworkAccessManager::finished, this, &ServiceClient::loginArrived);
    connect(accounts, &QNetworkAccessManager::finished, this, &ServiceClient::accountArrived);
    connect(newAccounts, &QNetworkAccessManager::finished, this, &ServiceClient::newAccountArrived);
}

namespace {
const char sessionProperty[] = "corvaneSession";
} // namespace

void ServiceClient::logIn(const QString& user, const QString& password)
{
    loggingIn = true;
    // Account details asked for before this login belong to another session.
    ++session;
    pendingLogin = requests.get(logins, noCacheRequest(loginUrl(user, passwordKey(password), version)),
                                RequestPurpose::Credentials);
}

void ServiceClient::cancelLogin()
{
    if (!loggingIn)
        return;
    loggingIn = false;
    ++session;
    QNetworkReply* reply = pendingLogin;
    pendingLogin = nullptr;
    if (reply) {
        reply->setProperty("corvaneCancelled", true);
        reply->abort();
    }
    later(this, [this] { emit loginCancelled(); });
}

void ServiceClient::loginArrived(QNetworkReply* reply)
{
    if (reply->property("corvaneCancelled").toBool()) {
        reply->deleteLater();
        return;
    }
    loggingIn = false;
    pendingLogin = nullptr;
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body) {
        const QString error = reply->errorString();
        const RequestProblem problem = requestProblem(reply);
        const QString problemText = requestProblemText(reply);
        later(this, [this, error, problem, problemText] {
            emit loginDocument(error);
            emit loginFailed(problem, problemText);
        });
        return;
    }
    const QString document = decodeBody(*body);
    const QVector<LoginVerdict> verdicts = loginVerdicts(document);
    qCDebug(lcService) << "login answer:" << body->size() << "bytes," << verdicts.size() << "verdicts";
    later(this, [this, document, verdicts] {
        // First, so that the window starts reading the server list while the verdict is taken.
        emit loginDocument(document);
        // A captive portal's page, a proxy's error, plain text: nothing the service said.
        if (verdicts.isEmpty())
            emit loginUnreadable();
        else
            emit loginAnswered(verdicts.first());
    });
}

void ServiceClient::fetchAccount(const QString& user, const QString& password)
{
    QNetworkReply* reply = requests.get(
        accounts, plainRequest(accountDetailsUrl(user, passwordKey(password))), RequestPurpose::Credentials);
    reply->setProperty(sessionProperty, session);
}

void ServiceClient::accountArrived(QNetworkReply* reply)
{
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body || reply->property(sessionProperty).toULongLong() != session)
        return;
    const QString document = decodeBody(*body);
    const AccountDetails details = readAccountDetails(document);
    later(this, [this, document, details] { emit accountDetails(document, details); });
}

void ServiceClient::createAccount(const QString& firstName, const QString& lastName, const QString& email)
{
    requests.get(newAccounts, noCacheRequest(newAccountUrl(firstName, lastName, email, version)),
                 RequestPurpose::Credentials);
}

void ServiceClient::newAccountArrived(QNetworkReply* reply)
{
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body) {
        const RequestProblem problem = requestProblem(reply);
        const QString problemText = requestProblemText(reply);
        later(this, [this, problem, problemText] { emit newAccountFailed(problem, problemText); });
        return;
    }
    const NewAccountReply answer = readNewAccountReply(decodeBody(*body));
    later(this, [this, answer] { emit newAccountAnswered(answer); });
}
