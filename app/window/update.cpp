// Self-update: the window's slots hand the work to the updater and tell the user what it reports.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "core/installationfolder.h"
#include "service/endpoints.h"
#include "service/serviceclient.h"
#include "update/installer.h"
#include "update/updater.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QUrl>

namespace {
QString failureText(Updater::Failure failure)
{
    switch (failure) {
    case Updater::Failure::CannotSave:
        return LumtarMain::tr("cannot save files");
    case Updater::Failure::TooLarge:
        return LumtarMain::tr("cannot download update pack: the file is too large");
    case Updater::Failure::DownloadFailed:
        return LumtarMain::tr("cannot download update pack");
    case Updater::Failure::NoPublisherPinned:
        return LumtarMain::tr("update not started: this build names no publisher to trust");
    case Updater::Failure::NotNewer:
        return LumtarMain::tr("update not started: the installer is not newer than this version");
    case Updater::Failure::NotSigned:
        break;
    }
    return LumtarMain::tr("update not started: the installer is not signed by Corvane");
}
} // namespace

void LumtarMain::setUpUpdater()
{
    installerPlatform = makeInstallerPlatform();
    updater = new Updater(appVersion, installationFolder(), this);
    updater->setObjectName(QStringLiteral("updater"));
    connect(updater->versionManager(), SIGNAL(finished(QNetworkReply*)), this,
            SLOT(UpdateResponse(QNetworkReply*)));
    connect(updater->installerManager(), SIGNAL(finished(QNetworkReply*)), this,
            SLOT(downloadFinished(QNetworkReply*)));
    connect(updater, SIGNAL(downloadProgress(qint64, qint64)), this, SLOT(downloadProgress(qint64, qint64)));
    connect(updater, &Updater::upToDate, this, &LumtarMain::updateIsCurrent);
    connect(updater, &Updater::updateOffered, this, &LumtarMain::offerUpdate);
    connect(updater, &Updater::failed, this,
            [this](Updater::Failure failure) { updateFailed(failureText(failure)); });
    connect(updater, &Updater::installerTrusted, this, &LumtarMain::startInstaller);
}

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

void LumtarMain::updateFailed(const QString& statusText)
{
    view->setBusy(false);
    view->setStatus(statusText);
}

void LumtarMain::startInstaller(const QString& path)
{
    view->setBusy(false);
    // The installer is made with NSIS, whose silent switch this is.
    startDetached(path, {QStringLiteral("/S")});
    QApplication::quit();
}
