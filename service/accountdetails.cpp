// Account details: e-mail, plan, expiry and quota, whether the account may connect, the
// Quick Connect list, and the notice the service wants read.
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "service/documents.h"
#include "service/noticegate.h"
#include "service/requests.h"
#include "service/serviceclient.h"
#include "ui_lumtarmain.h"

using namespace service;

void LumtarMain::GetUserData()
{
    if (ui->username->text().isEmpty() || ui->password->text().isEmpty())
        return;
    serviceClient->fetchAccount(ui->username->text(), ui->password->text());
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
        ui->user_email->setText(details.position(3));
        model->setAccountFlag(details.position(4));
        ui->user_plan->setText(details.position(5));
        ui->user_expire->setText(details.position(7));
        const QString quota = details.position(10);
        fillPaymentList(ui->payment_processor, details.position(11));
        fillPaymentList(ui->payment_plan, details.position(12));
        model->setQuickServers(details.position(13));
        notice = details.position(14).trimmed();
        // During a connection the stored positions stay current, but the pages, tabs and
        // status line belong to the connection.
        if (model->connection() != WindowState::Connection::Connected)
            showAccountState(quota);
    }
    ui->user_area->show();
    ui->LogoSmall->show();
    ui->application_version->show();
    if (details.accepted)
        notices->offer(notice);
}

void LumtarMain::showAccountState(const QString& quota)
{
    if (model->accountEnabled()) {
        ui->authstatus->setText(quota + tr(" quota available"));
        ui->tabAccountZoneInfo->show();
        ui->tabAccountZonePayment->hide();
        ui->WingetConnected->setTabEnabled(0, true);
        ui->WingetConnected->setTabEnabled(1, true);
        if (model->paymentInProgress()) {
            model->setPaymentInProgress(false);
            model->showPage(WindowState::Page::Tabs);
            trayBalloon(tr("Account Active"), tr("Your account is now active. Thank you!"));
            application_maximize();
            ui->WingetConnected->setCurrentIndex(0);
            ui->loading->hide();
        }
    } else {
        ui->authstatus->setText(tr("account is disabled"));
        ui->WingetConnected->setTabEnabled(0, false);
        ui->WingetConnected->setTabEnabled(1, false);
        ui->tabAccountZonePayment->show();
        ui->tabAccountZoneInfo->hide();
        ui->WingetConnected->setCurrentIndex(2);
    }
}

void LumtarMain::fillPaymentList(QComboBox* list, const QString& items)
{
    list->clear();
    for (const auto& item : paymentItems(items))
        list->addItem(item.first, item.second);
}
