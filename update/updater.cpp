#include "update/updater.h"

#include "core/logging.h"
#include "service/documents.h"
#include "service/network.h"
#include "service/requests.h"
#include "update/installer.h"
#include "update/installerdownload.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>

Updater::Updater(const QString& clientVersion, const QString& folder, QObject* parent)
    : QObject(parent), version(clientVersion),
      installerPath(QDir(folder).absoluteFilePath(QStringLiteral("update.exe"))),
      versions(new QNetworkAccessManager(this)), installers(new QNetworkAccessManager(this))
{
}

void Updater::check()
{
    getCapped(versions, noCacheRequest(service::versionCheckUrl(version)));
}

void Updater::versionArrived(QNetworkReply* reply, const InstallerPlatform& platform)
{
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body)
        return;
    const service::VersionInfo info = service::readVersionDocument(*body);
    latest = info.latestVersion;
    installerUrl = info.installerUrl;
    qCDebug(lcUpdate) << "latest version" << latest << "this version" << version;
    if (latest == version) {
        emit upToDate();
        return;
    }
    // A document without a version or without an installer offers nothing.
    if (service::offersUpdate(info, version))
        emit updateOffered(latest, platform.canRunInstaller());
}

bool Updater::startDownload()
{
    auto* file = new InstallerDownload(installerPath, installerSizeLimit(), this);
    if (!file->open()) {
        delete file;
        emit failed(Failure::CannotSave);
        return false;
    }
    QNetworkRequest request = noCacheRequest(QUrl(installerUrl, QUrl::TolerantMode));
    // A redirect is answered as a failed download, never followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    download = file;
    installerReply = installers->get(request);
    file->follow(installerReply);
    connect(installerReply, &QNetworkReply::downloadProgress, this, &Updater::downloadProgress);
    return true;
}

void Updater::downloadFinished(QNetworkReply* reply, InstallerPlatform& platform)
{
    reply->deleteLater();
    if (reply != installerReply)
        return;
    installerReply = nullptr;
    // An aborted reply may still report progress, which must not cover the outcome.
    disconnect(reply, nullptr, this, nullptr);
    // This may run inside the download's own abort, so it is deleted later.
    InstallerDownload* file = std::exchange(download, nullptr);
    file->deleteLater();
    switch (file->finish()) {
    case InstallerDownload::Result::Saved:
        break;
    case InstallerDownload::Result::CannotSave:
        emit failed(Failure::CannotSave);
        return;
    case InstallerDownload::Result::TooLarge:
        emit failed(Failure::TooLarge);
        return;
    case InstallerDownload::Result::InProgress:
    case InstallerDownload::Result::Failed:
        emit failed(Failure::DownloadFailed);
        return;
    }
    const InstallerVerdict verdict = platform.canRunInstaller()
                                         ? platform.checkInstaller(file->path(), version)
                                         : InstallerVerdict::InvalidSignature;
    if (verdict == InstallerVerdict::Trusted) {
        emit installerTrusted(file->path());
        return;
    }
    QFile::remove(file->path());
    switch (verdict) {
    case InstallerVerdict::NoPublisherPinned:
        emit failed(Failure::NoPublisherPinned);
        return;
    case InstallerVerdict::NotNewer:
        emit failed(Failure::NotNewer);
        return;
    default:
        emit failed(Failure::NotSigned);
    }
}
