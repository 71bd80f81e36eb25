// Self-update: asks the service for the current version at every start and offers it.
#include "app/lumtarmain.h"

#include "service/documents.h"
#include "service/endpoints.h"
#include "service/network.h"
#include "service/requests.h"
#include "ui_lumtarmain.h"
#include "update/installer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>

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
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return;
    const std::optional<QByteArray> body = readCappedBody(reply);
    if (!body)
        return;
    const VersionInfo version = readVersionDocument(*body);
    latestVersion = version.latestVersion;
    updateUrl = version.installerUrl;
    if (latestVersion == appVersion) {
        ui->authstatus->setText(tr("application up to date"));
        return;
    }
    // A document without a version or without an installer offers nothing.
    if (!offersUpdate(version, appVersion))
        return;
    ui->authstatus->setText(tr("new update available"));
    const QMessageBox::StandardButton answer = questionBox(
        tr("New update available"),
        tr("Version ") + latestVersion + tr(" is available for download. Do you want to start update?"));
    if (answer != QMessageBox::Yes)
        return;
    if (!installerPlatform->canRunInstaller()) {
        // The vendor's installer is a Windows program; here the web site has the new version.
        ui->authstatus->setText(tr("version ") + latestVersion + tr(" is available on our web site"));
        QDesktopServices::openUrl(QUrl(webSiteBaseUrl(), QUrl::TolerantMode));
        return;
    }
    ui->loading->show();
    ui->authstatus->setText(tr("starting update..."));
    processPendingEvents();
    updateReply = downloadManager->get(noCacheRequest(QUrl(updateUrl, QUrl::TolerantMode)));
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
    if (data == updateReply)
        updateReply = nullptr;
    if (data->error() != QNetworkReply::NoError) {
        ui->authstatus->setText(tr("cannot download update pack"));
        ui->loading->hide();
        return;
    }
    // Written whole or not at all: a partial installer is never started.
    QSaveFile file(installerFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(data->readAll()) < 0 || !file.commit()) {
        ui->loading->hide();
        ui->authstatus->setText(tr("cannot save files"));
        return;
    }
    const QString path = QDir::current().absoluteFilePath(installerFile);
    if (!installerPlatform->canRunInstaller() || !installerPlatform->signatureTrusted(path)) {
        QFile::remove(path);
        ui->loading->hide();
        ui->authstatus->setText(tr("update not started: the installer is not signed by Corvane"));
        return;
    }
    startDetached(path, {QStringLiteral("/SILENT")});
    QApplication::quit();
    ui->loading->hide();
}
