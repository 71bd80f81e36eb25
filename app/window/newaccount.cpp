// New trial accounts and payment: the web site takes the order, the account watch notices when
// the account has become active.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "service/accountwatch.h"
#include "service/requests.h"
#include "service/serviceclient.h"

using namespace service;

namespace {
QString noBrowserText(const QUrl& page)
{
    return LumtarMain::tr("No web browser could be opened. Please open this address in a web browser:\n%1")
        .arg(page.toString());
}
} // namespace

void LumtarMain::on_buy_clicked()
{
    const QUrl page = trialUsed ? orderPageUrl() : trialPageUrl();
    if (!openUrl(page)) {
        messageBox(QMessageBox::Warning, tr("No web browser"), noBrowserText(page));
        return;
    }
    setWindowState(Qt::WindowMinimized);
}

// The order page opens on the plan and the payment method the user chose.
void LumtarMain::on_payment_do_clicked()
{
    const FormView::PaymentChoice choice = view->paymentChoice();
    const QUrl page = orderPageUrl(choice.plan, choice.processor);
    paymentInBrowser = openUrl(page);
    if (!paymentInBrowser)
        messageBox(QMessageBox::Warning, tr("No web browser"), noBrowserText(page));
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
    // The user name and password are sent there: a mistyped address would lose the account.
    if (!isEmailAddress(entry.email)) {
        messageBox(QMessageBox::Critical, tr("Invalid e-mail address"),
                   tr("\"%1\" is not an e-mail address. Please enter the address the account details are "
                      "to be sent to.")
                       .arg(entry.email));
        view->focusNewAccountEmail();
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
    // Whether the password is kept stays the user's choice.
    view->focusPassword();
}

void LumtarMain::on_create_account_cancel_clicked()
{
    model->showPage(WindowState::Page::Login);
    view->setBranding(false);
    view->setRememberLogin(false);
    view->focusUserName();
}
