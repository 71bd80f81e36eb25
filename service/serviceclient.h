// The service client as a component: the login, account-details and new-account requests, each
// with its own network manager whose replies it takes itself, and their answers read into values.
// It shows nothing; the window shows what it reports, from the event loop.
#ifndef CORVANE_SERVICECLIENT_H
#define CORVANE_SERVICECLIENT_H

#include "service/documents.h"
#include "service/network.h"

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class QNetworkAccessManager;

class ServiceClient : public QObject
{
    Q_OBJECT

public:
    ServiceClient(const QString& clientVersion, QObject* parent = nullptr,
                  const RequestPolicy& policy = RequestPolicy());

    QNetworkAccessManager* loginManager() const { return logins; }
    QNetworkAccessManager* accountManager() const { return accounts; }
    QNetworkAccessManager* newAccountManager() const { return newAccounts; }

    // One login request at a time.
    bool loginInFlight() const { return loggingIn; }
    void logIn(const QString& user, const QString& password);
    // Drops the login under way: its answer, whenever it comes, is not read. Reports loginCancelled().
    void cancelLogin();
    // Each manager's replies come here. Reports loginDocument() with what came (or the network's
    // error text), then exactly one of loginFailed(), loginUnreadable() or loginAnswered().
    void loginArrived(QNetworkReply* reply);

    void fetchAccount(const QString& user, const QString& password);
    // Reports accountDetails() for a readable answer of the latest login's session; failed
    // requests stay silent.
    void accountArrived(QNetworkReply* reply);

    void createAccount(const QString& firstName, const QString& lastName, const QString& email);
    // Reports newAccountAnswered() or newAccountFailed(), with the reason as for a login.
    void newAccountArrived(QNetworkReply* reply);

signals:
    void loginDocument(const QString& text);
    // `problem` says why; with a trust problem nothing that needs trust was sent. `text` says
    // it in words, naming the host.
    void loginFailed(RequestProblem problem, const QString& text);
    void loginUnreadable();
    void loginCancelled();
    // The answer's first verdict: one answer is one login, however many verdicts it holds.
    void loginAnswered(service::LoginVerdict verdict);
    void accountDetails(const QString& document, const service::AccountDetails& details);
    void newAccountAnswered(const service::NewAccountReply& reply);
    void newAccountFailed(RequestProblem problem, const QString& text);

private:
    QString version;
    RequestPolicy requests;
    QNetworkAccessManager* logins;
    QNetworkAccessManager* accounts;
    QNetworkAccessManager* newAccounts;
    bool loggingIn = false;
    QPointer<QNetworkReply> pendingLogin;
    quint64 session = 0;
};

#endif
