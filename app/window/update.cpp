// Self-update: the window's slots hand the work to the updater and tell the user what it reports.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "core/installationfolder.h"
#include "service/endpoints.h"
#include "service/serviceclient.h"
#include "update/installer.h"
#include "update/updater.h"

#include <QApplication>
#include <QDir>
#include <QUrl>

namespace {
QString failureText(Updater::Failure failure, const QString& detail)
{
    switch (failure) {
    case Updater::Failure::NotTrusted:
    case Updater::Failure::TookTooLong:
        return LumtarMain::tr("cannot download update pack: ") + detail;
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
    // Tests put their own platform in place once the window is built.
    updater = new Updater(
        appVersion, installationFolder(), [this] { return installerPlatform; }, this);
    updater->setObjectName(QStringLiteral("updater"));
    connect(updater, SIGNAL(downloadProgress(qint64, qint64)), this, SLOT(downloadProgress(qint64, qint64)));
    connect(updater, &Updater::upToDate, this, [this] {
        // A late answer says nothing new; what the login or the secret store said stays readable.
        // The user who asked for the check is answered whatever the line said.
        if (updateAsked || (!serviceClient->loginInFlight() && !loginStatusShown))
            view->setStatus(tr("application up to date"));
        updateAsked = false;
    });
    connect(updater, &Updater::checkFailed, this, [this] {
        if (updateAsked)
            view->setStatus(tr("The update check failed: the Corvane service did not tell its version."));
        updateAsked = false;
    });
    connect(updater, &Updater::updateOffered, this, [this](const QString& version, bool installsItself) {
        updateAsked = false;
        offerUpdate(version, installsItself);
    });
    connect(updater, &Updater::failed, this, [this](Updater::Failure failure) {
        view->setBusy(false);
        view->setStatus(failureText(failure, updater->failureDetail()));
    });
    connect(updater, &Updater::installerTrusted, this, [this](const QString& path) {
        view->setBusy(false);
        // The installer is made with NSIS, whose silent switch this is.
        startDetached(path, {QStringLiteral("/S")});
        // Not quit(): in Qt 6 it closes the window first, which asks the user whether to exit.
        QApplication::exit(0);
    });
}

void LumtarMain::UpdateCheck()
{
    updater->check();
}

void LumtarMain::UpdateResponse(QNetworkReply* reply)
{
    updater->versionArrived(reply);
}

void LumtarMain::downloadFinished(QNetworkReply* data)
{
    updater->downloadFinished(data);
}

void LumtarMain::downloadProgress(qint64 received, qint64 total)
{
    // The download is given up at its deadline, however much has come.
    const QString limit = tr(" (stops after %1 min)").arg(Updater::downloadDeadlineMs() / 60000);
    // The size is unknown (-1) or zero until the server says otherwise: no percentage then.
    if (total <= 0) {
        view->setStatus(QString::number(received) + tr(" bytes downloaded") + limit);
        return;
    }
    view->setStatus(QString::number(received * 100 / total) + tr("% downloaded") + limit);
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
    if (installsItself) {
        view->setBusy(true);
        view->setStatus(tr("starting update..."));
        updater->startDownload();
        return;
    }
    const QString page = service::webSiteBaseUrl();
    if (openUrl(QUrl(page, QUrl::TolerantMode)))
        view->setStatus(tr("version ") + version + tr(" is available on our web site"));
    else
        view->setStatus(tr("no web browser could be started: version ") + version + tr(" is available at ") +
                        page);
}
