// New trial accounts and payment: the web site takes the order, the account watch notices when
// the account has become active.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "service/accountwatch.h"
#include "service/requests.h"
#include "service/serviceclient.h"

using namespace service;

void LumtarMain::on_buy_clicked()
{
    openUrl(trialUsed ? orderPageUrl() : trialPageUrl());
    setWindowState(Qt::WindowMinimized);
}

void LumtarMain::on_payment_do_clicked()
{
    openUrl(orderPageUrl());
    account->startPayment();
}

void LumtarMain::on_cancel_payment_clicked()
{
    account->cancelPayment();
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
        messageBox(QMessageBox::Critical, tr("Missing info"),
                   tr("Missing information. Please enter firstname, lastname and your email address."));
        return;
    }
    serviceClient->createAccount(entry.firstName, entry.lastName, entry.email);
    view->setBusy(true);
    view->setCreateAccountEnabled(false);
}

void LumtarMain::newAccountResponse(QNetworkReply* reply)
{
    serviceClient->newAccountArrived(reply);
}

void LumtarMain::newAccountAnswered(const NewAccountReply& answer)
{
    view->setBusy(false);
    view->setCreateAccountEnabled(true);
    if (!answer.created) {
        messageBox(QMessageBox::Critical, tr("New Account Error"), answer.message);
        return;
    }
    messageBox(QMessageBox::Information, tr("New Account Created"),
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
