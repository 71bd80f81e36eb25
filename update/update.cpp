// Self-update: the window's slots hand the work to the updater and tell the user what it reports.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "service/endpoints.h"
#include "service/serviceclient.h"
#include "update/installer.h"
#include "update/updater.h"

#include <QApplication>
#include <QUrl>

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
        view->setStatus(QString::number(received) + tr(" bytes downloaded"));
        return;
    }
    view->setStatus(QString::number(received * 100 / total) + tr("% downloaded"));
}

void LumtarMain::updateIsCurrent()
{
    // A late answer says nothing new; what the login or the secret store said stays readable.
    if (!serviceClient->loginInFlight() && !loginStatusShown)
        view->setStatus(tr("application up to date"));
}

void LumtarMain::offerUpdate(const QString& version, bool installsItself)
{
    view->setStatus(tr("new update available"));
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
        view->setStatus(tr("version ") + latest + tr(" is available on our web site"));
        return;
    }
    view->setStatus(tr("no web browser could be started: version ") + latest + tr(" is available at ") +
                    page);
}

void LumtarMain::startInstallerDownload()
{
    view->setBusy(true);
    view->setStatus(tr("starting update..."));
    processPendingEvents();
    updater->startDownload();
}

void LumtarMain::updateFailed(Updater::Failure failure)
{
    view->setBusy(false);
    switch (failure) {
    case Updater::Failure::CannotSave:
        view->setStatus(tr("cannot save files"));
        return;
    case Updater::Failure::TooLarge:
        view->setStatus(tr("cannot download update pack: the file is too large"));
        return;
    case Updater::Failure::DownloadFailed:
        view->setStatus(tr("cannot download update pack"));
        return;
    case Updater::Failure::NoPublisherPinned:
        view->setStatus(tr("update not started: this build names no publisher to trust"));
        return;
    case Updater::Failure::NotSigned:
        view->setStatus(tr("update not started: the installer is not signed by Corvane"));
        return;
    }
}

void LumtarMain::startInstaller(const QString& path)
{
    view->setBusy(false);
    startDetached(path, {QStringLiteral("/SILENT")});
    QApplication::quit();
}
