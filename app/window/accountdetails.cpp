// Account details: e-mail, plan, expiry and quota, whether the account may connect, the
// Quick Connect list, and the notice the service wants read.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/noticegate.h"
#include "app/windowstate.h"
#include "service/documents.h"
#include "service/requests.h"
#include "service/serviceclient.h"

using namespace service;

void LumtarMain::GetUserData()
{
    if (view->userName().isEmpty() || view->password().isEmpty())
        return;
    serviceClient->fetchAccount(view->userName(), view->password());
}

void LumtarMain::HasFinishedUserData(QNetworkReply* reply)
{
    serviceClient->accountArrived(reply);
}

void LumtarMain::showAccountDetails(const QString& document, const AccountDetails& details)
{
    setUserDataDocument(document);
    QString notice;
    if (details.accepted) {
        view->setAccountInfo(details.position(3), details.position(5), details.position(7));
        model->setAccountFlag(details.position(4));
        const QString quota = details.position(10);
        view->setPaymentChoices(paymentItems(details.position(11)), paymentItems(details.position(12)));
        model->setQuickServers(details.position(13));
        notice = details.position(14).trimmed();
        // During a connection the stored positions stay current, but the pages, tabs and
        // status line belong to the connection.
        if (model->connection() != WindowState::Connection::Connected)
            showAccountState(quota);
    }
    view->showUserArea();
    view->setBranding(true);
    if (details.accepted)
        notices->offer(notice);
}

void LumtarMain::showAccountState(const QString& quota)
{
    if (model->accountEnabled()) {
        view->setStatus(quota + tr(" quota available"));
        view->setAccountTabs(true);
        if (model->paymentInProgress()) {
            model->setPaymentInProgress(false);
            model->showPage(WindowState::Page::Tabs);
            trayBalloon(tr("Account Active"), tr("Your account is now active. Thank you!"));
            application_maximize();
            view->showTab(0);
            view->setBusy(false);
        }
    } else {
        view->setStatus(tr("account is disabled"));
        view->setAccountTabs(false);
        view->showTab(2);
    }
}
