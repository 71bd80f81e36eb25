// New trial accounts and payment: the web site takes the order, the client watches for the
// account to become active.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "service/requests.h"
#include "service/serviceclient.h"

#include <QDesktopServices>

using namespace service;

void LumtarMain::on_buy_clicked()
{
    if (trialUsed)
        QDesktopServices::openUrl(orderPageUrl());
    else
        QDesktopServices::openUrl(trialPageUrl());
    setWindowState(Qt::WindowMinimized);
}

void LumtarMain::on_payment_do_clicked()
{
    QDesktopServices::openUrl(orderPageUrl());
    model->showPage(WindowState::Page::PaymentInProgress);
    model->setPaymentInProgress(true);
    setWindowState(Qt::WindowMinimized);
    trayBalloon(
        tr("Payment in progress"),
        QStringLiteral("Please complete the payment process in your browser to automatically apply the new "
                       "plan to your account."));
    view->setBusy(true);
}

void LumtarMain::on_cancel_payment_clicked()
{
    model->setPaymentInProgress(false);
    model->showPage(WindowState::Page::Tabs);
    view->setBusy(false);
}

void LumtarMain::on_newAccount_clicked()
{
    model->showPage(WindowState::Page::NewAccount);
    view->setBranding(true);
    view->focusNewAccount();
}

void LumtarMain::on_CreateAccountBtn_clicked()
{
    const FormView::NewAccountEntry entry = view->newAccountEntry();
    if (entry.firstName.isEmpty() || entry.lastName.isEmpty() || entry.email.isEmpty()) {
        showCritical(tr("Missing info"),
                     tr("Missing information. Please enter firstname, lastname and your email address."));
        return;
    }
    serviceClient->createAccount(entry.firstName, entry.lastName, entry.email);
    view->setBusy(true);
    view->setCreateAccountEnabled(false);
}

void LumtarMain::newAccountResponse(QNetworkReply* reply)
{
    view->setBusy(false);
    serviceClient->newAccountArrived(reply);
    view->setCreateAccountEnabled(true);
}

void LumtarMain::newAccountFailed(RequestProblem problem, const QString& text)
{
    if (isTrustProblem(problem)) {
        showCritical(tr("Error"), text + tr("\n\nYour details were not sent."));
        return;
    }
    showCritical(tr("Error"),
                 tr("Unable to process your request at this time. Please check your internet "
                    "connection and if all is ok, please try to create new account again later."));
}

void LumtarMain::newAccountAnswered(const NewAccountReply& answer)
{
    if (!answer.created) {
        showCritical(tr("New Account Error"), answer.message);
        return;
    }
    showInformation(tr("New Account Created"),
                    tr("Account has been created. Username and password have been sent to "
                       "your email address."));
    on_create_account_cancel_clicked();
    view->setUserName(answer.userName);
    view->setRememberLogin(true);
    view->focusPassword();
}

void LumtarMain::on_create_account_cancel_clicked()
{
    model->showPage(WindowState::Page::Login);
    view->setBranding(false);
    view->setRememberLogin(false);
    view->focusUserName();
}
