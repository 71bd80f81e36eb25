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
            // A refresh after a failed attempt must not hide that the internet is still blocked.
            showHeldBlock();
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

// The account's refreshes, the payment under way and the end of a subscription.
void LumtarMain::setUpAccount()
{
    account = new AccountWatch(this);
    account->setObjectName(QStringLiteral("accountWatch"));
    connect(account, &AccountWatch::refreshDue, this, &LumtarMain::GetUserData);
    connect(account, &AccountWatch::stateChanged, this, [this](AccountWatch::State state) {
        const bool paying = state == AccountWatch::State::AwaitingPayment;
        model->setPaymentInProgress(paying);
        model->showPage(paying ? WindowState::Page::PaymentInProgress : WindowState::Page::Tabs);
        view->setBusy(paying);
        // Without a browser the user is still to open the page: the window stays, the box says where.
        if (!paying || !paymentInBrowser)
            return;
        setWindowState(Qt::WindowMinimized);
        trayBalloon(tr("Payment in progress"), tr("Please complete the payment process in your browser to "
                                                  "automatically apply the new plan to your account."));
    });
    connect(account, &AccountWatch::paymentCompleted, this, [this] {
        trayBalloon(tr("Account Active"), tr("Your account is now active. Thank you!"));
        application_maximize();
        view->showTab(0);
    });
    connect(account, &AccountWatch::expired, this, [this] {
        application_maximize();
        quickConnectRun->cancel();
        connection->disconnect(ConnectionController::Reason::AccountExpired);
        trayBalloon(tr("Corvane - Account Expired"),
                    tr("Your account has expired! In order to continue using "
                       "our services, you need to update your subscription."));
    });
}
