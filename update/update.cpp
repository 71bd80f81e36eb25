// Self-update: asks the service for the current version at every start and offers it.
#include "app/logging.h"
#include "app/lumtarmain.h"
#include "service/documents.h"
#include "service/endpoints.h"
#include "service/network.h"
#include "service/requests.h"
#include "ui_lumtarmain.h"
#include "update/installer.h"
#include "update/installerdownload.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>

using namespace service;

namespace {
const QString installerFile = QStringLiteral("update.exe");
} // namespace

void LumtarMain::UpdateCheck()
{
    getCapped(updateManager, noCacheRequest(versionCheckUrl(appVersion)));
}

void LumtarMain::UpdateResponse(QNetworkReply* reply)
{
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body)
        return;
    const VersionInfo version = readVersionDocument(*body);
    latestVersion = version.latestVersion;
    qCDebug(lcUpdate) << "latest version" << latestVersion << "this version" << appVersion;
    updateUrl = version.installerUrl;
    if (latestVersion == appVersion) {
        // A late answer says nothing new; what the login or the secret store said stays readable.
        if (!loginInFlight && !loginStatusShown)
            ui->authstatus->setText(tr("application up to date"));
        return;
    }
    // A document without a version or without an installer offers nothing.
    if (!offersUpdate(version, appVersion))
        return;
    ui->authstatus->setText(tr("new update available"));
    // Where the client does not install updates itself, the offer is the download page.
    const bool installsItself = installerPlatform->canRunInstaller();
    const QString offer = installsItself ? tr(" is available for download. Do you want to start update?")
                                         : tr(" is available for download. Do you want to open "
                                              "the download page?");
    const QMessageBox::StandardButton answer =
        questionBox(tr("New update available"), tr("Version ") + latestVersion + offer);
    if (answer != QMessageBox::Yes)
        return;
    if (installsItself)
        startInstallerDownload();
    else
        openDownloadPage();
}

void LumtarMain::openDownloadPage()
{
    const QString page = webSiteBaseUrl();
    if (openUrl(QUrl(page, QUrl::TolerantMode))) {
        ui->authstatus->setText(tr("version ") + latestVersion + tr(" is available on our web site"));
        return;
    }
    ui->authstatus->setText(tr("no web browser could be started: version ") + latestVersion +
                            tr(" is available at ") + page);
}

void LumtarMain::startInstallerDownload()
{
    ui->loading->show();
    ui->authstatus->setText(tr("starting update..."));
    processPendingEvents();
    auto* download =
        new InstallerDownload(QDir::current().absoluteFilePath(installerFile), installerSizeLimit(), this);
    if (!download->open()) {
        delete download;
        ui->loading->hide();
        ui->authstatus->setText(tr("cannot save files"));
        return;
    }
    QNetworkRequest request = noCacheRequest(QUrl(updateUrl, QUrl::TolerantMode));
    // A redirect is answered as a failed download, never followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    installerDownload = download;
    updateReply = downloadManager->get(request);
    download->follow(updateReply);
    connect(updateReply, SIGNAL(downloadProgress(qint64, qint64)), this,
            SLOT(downloadProgress(qint64, qint64)));
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

void LumtarMain::downloadFinished(QNetworkReply* data)
{
    data->deleteLater();
    if (data != updateReply)
        return;
    updateReply = nullptr;
    // An aborted reply may still report progress, which must not cover the outcome.
    disconnect(data, nullptr, this, nullptr);
    // This may run inside the download's own abort, so it is deleted later.
    InstallerDownload* download = installerDownload;
    installerDownload = nullptr;
    download->deleteLater();
    const InstallerDownload::Result result = download->finish();
    ui->loading->hide();
    switch (result) {
    case InstallerDownload::Result::Saved:
        startInstaller(download->path());
        return;
    case InstallerDownload::Result::CannotSave:
        ui->authstatus->setText(tr("cannot save files"));
        return;
    case InstallerDownload::Result::TooLarge:
        ui->authstatus->setText(tr("cannot download update pack: the file is too large"));
        return;
    case InstallerDownload::Result::InProgress:
    case InstallerDownload::Result::Failed:
        break;
    }
    ui->authstatus->setText(tr("cannot download update pack"));
}

void LumtarMain::startInstaller(const QString& path)
{
    const InstallerVerdict verdict = installerPlatform->canRunInstaller()
                                         ? installerPlatform->checkSignature(path)
                                         : InstallerVerdict::InvalidSignature;
    if (verdict != InstallerVerdict::Trusted) {
        QFile::remove(path);
        ui->authstatus->setText(verdict == InstallerVerdict::NoPublisherPinned
                                    ? tr("update not started: this build names no publisher to trust")
                                    : tr("update not started: the installer is not signed by Corvane"));
        return;
    }
    startDetached(path, {QStringLiteral("/SILENT")});
    QApplication::quit();
}
