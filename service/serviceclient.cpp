#include "service/serviceclient.h"

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
}

void ServiceClient::logIn(const QString& user, const QString& password)
{
    loggingIn = true;
    requests.get(logins, noCacheRequest(loginUrl(user, passwordKey(password), version)),
                 RequestPurpose::Credentials);
}

void ServiceClient::loginArrived(QNetworkReply* reply)
{
    loggingIn = false;
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body) {
        emit loginDocument(reply->errorString());
        emit loginFailed(requestProblem(reply), requestProblemText(reply));
        return;
    }
    const QString document = decodeBody(*body);
    // First, so that the window starts reading the server list while the verdicts are read.
    emit loginDocument(document);
    const QVector<LoginVerdict> verdicts = loginVerdicts(document);
    qCDebug(lcService) << "login answer:" << body->size() << "bytes," << verdicts.size() << "verdicts";
    // A captive portal's page, a proxy's error, plain text: nothing the service said.
    if (verdicts.isEmpty())
        emit loginUnreadable();
    else
        emit loginAnswered(verdicts);
}

void ServiceClient::fetchAccount(const QString& user, const QString& password)
{
    requests.get(accounts, plainRequest(accountDetailsUrl(user, passwordKey(password))),
                 RequestPurpose::Credentials);
}

void ServiceClient::accountArrived(QNetworkReply* reply)
{
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body)
        return;
    const QString document = decodeBody(*body);
    emit accountDetails(document, readAccountDetails(document));
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
        emit newAccountFailed(requestProblem(reply), requestProblemText(reply));
        return;
    }
    emit newAccountAnswered(readNewAccountReply(decodeBody(*body)));
}
