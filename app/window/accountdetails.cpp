// Account details: e-mail, plan, expiry and quota, whether the account may connect, the
// Quick Connect list, and the notice the service wants read.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/noticegate.h"
#include "app/windowstate.h"
#include "service/accountwatch.h"
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
    view->storeUserDataDocument(document);
    if (details.accepted) {
        view->setAccountInfo(details.position(3), details.position(5), details.position(7));
        model->setAccountFlag(details.position(4));
        view->setPaymentChoices(paymentItems(details.position(11)), paymentItems(details.position(12)));
        model->setQuickServers(details.position(13));
        quickConnectRun->setAccountEnabled(model->accountEnabled());
        const bool connected = connection->state() == ConnectionController::State::Connected;
        // During a connection the stored positions stay current, but the pages, tabs and
        // status line belong to the connection.
        if (!connected) {
            view->setStatus(model->accountEnabled() ? details.position(10) + tr(" quota available")
                                                    : tr("account is disabled"));
            view->setAccountTabs(model->accountEnabled());
            if (!model->accountEnabled())
                view->showTab(2);
        }
        // An expired account ends the connection; a completed payment is announced.
        account->accountRead(model->accountFlag() != QLatin1String("0"), connected);
    }
    view->showUserArea();
    view->setBranding(true);
    if (details.accepted) {
        notices->offer(details.position(14).trimmed());
        connectAtStartIfChosen();
    }
}
