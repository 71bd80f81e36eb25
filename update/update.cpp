// Self-update: the window's slots hand the work to the updater and tell the user what it reports.
#include "app/lumtarmain.h"
#include "service/endpoints.h"
#include "service/serviceclient.h"
#include "ui_lumtarmain.h"
#include "update/installer.h"
#include "update/updater.h"

#include <QApplication>

void LumtarMain::UpdateCheck()
{
    updater->check();
}

void LumtarMain::UpdateResponse(QNetworkReply* reply)
{
    updater->versionArrived(reply, *installerPlatform);
}

void LumtarMain::downloadFinished(QNetworkReply* data)
{
    updater->downloadFinished(data, *installerPlatform);
}

void LumtarMain::downloadProgress(qint64 received, qint64 total)
{
    // The size is unknown (-1) or zero until the server says otherwise: no percentage then.
    if (total <= 0) {
        ui->authstatus->setText(QString::number(received) + tr(" bytes downloaded"));
        return;
    }
    ui->authstatus->setText(QString::number(received * 100 / total) + tr("% downloaded"));
}

void LumtarMain::updateIsCurrent()
{
    // A late answer says nothing new; what the login or the secret store said stays readable.
    if (!serviceClient->loginInFlight() && !loginStatusShown)
        ui->authstatus->setText(tr("application up to date"));
}

void LumtarMain::offerUpdate(const QString& version, bool installsItself)
{
    ui->authstatus->setText(tr("new update available"));
    // Where the client does not install updates itself, the offer is the download page.
    const QString offer = installsItself ? tr(" is available for download. Do you want to start update?")
                                         : tr(" is available for download. Do you want to open "
                                              "the download page?");
    if (questionBox(tr("New update available"), tr("Version ") + version + offer) != QMessageBox::Yes)
        return;
    if (installsItself)
        startInstallerDownload();
    else
        openDownloadPage();
}

void LumtarMain::openDownloadPage()
{
    const QString page = service::webSiteBaseUrl();
    const QString latest = updater->latestVersion();
    if (openUrl(QUrl(page, QUrl::TolerantMode))) {
        ui->authstatus->setText(tr("version ") + latest + tr(" is available on our web site"));
        return;
    }
    ui->authstatus->setText(tr("no web browser could be started: version ") + latest +
                            tr(" is available at ") + page);
}

void LumtarMain::startInstallerDownload()
{
    ui->loading->show();
    ui->authstatus->setText(tr("starting update..."));
    processPendingEvents();
    updater->startDownload();
}

void LumtarMain::updateFailed(Updater::Failure failure)
{
    ui->loading->hide();
    switch (failure) {
    case Updater::Failure::CannotSave:
        ui->authstatus->setText(tr("cannot save files"));
        return;
    case Updater::Failure::TooLarge:
        ui->authstatus->setText(tr("cannot download update pack: the file is too large"));
        return;
    case Updater::Failure::DownloadFailed:
        ui->authstatus->setText(tr("cannot download update pack"));
        return;
    case Updater::Failure::NoPublisherPinned:
        ui->authstatus->setText(tr("update not started: this build names no publisher to trust"));
        return;
    case Updater::Failure::NotSigned:
        ui->authstatus->setText(tr("update not started: the installer is not signed by Corvane"));
        return;
    }
}

void LumtarMain::startInstaller(const QString& path)
{
    ui->loading->hide();
    startDetached(path, {QStringLiteral("/SILENT")});
    QApplication::quit();
}
