#include "update/updater.h"

#include "core/later.h"
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

Updater::Updater(const QString& clientVersion, const QString& folder,
                 std::function<std::shared_ptr<InstallerPlatform>()> platform, QObject* parent)
    : QObject(parent), version(clientVersion),
      installerPath(QDir(folder).absoluteFilePath(QStringLiteral("update.exe"))),
      installerPlatform(std::move(platform)), versions(new QNetworkAccessManager(this)),
      installers(new QNetworkAccessManager(this))
{
    connect(versions, &QNetworkAccessManager::finished, this, &Updater::versionArrived);
    connect(installers, &QNetworkAccessManager::finished, this, &Updater::downloadFinished);
}

void Updater::check()
{
    getCapped(versions, noCacheRequest(service::versionCheckUrl(version)));
}

void Updater::versionArrived(QNetworkReply* reply)
{
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body)
        return;
    const service::VersionInfo info = service::readVersionDocument(*body);
    latest = info.latestVersion;
    installerUrl = info.installerUrl;
    qCDebug(lcUpdate) << "latest version" << latest << "this version" << version;
    if (latest == version) {
        later(this, [this] { emit upToDate(); });
        return;
    }
    // A document without a version or without an installer offers nothing.
    if (service::offersUpdate(info, version)) {
        const bool installsItself = installerPlatform()->canRunInstaller();
        later(this, [this, installsItself] { emit updateOffered(latest, installsItself); });
    }
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

void Updater::downloadFinished(QNetworkReply* reply)
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
    const auto fail = [this](Failure failure) { later(this, [this, failure] { emit failed(failure); }); };
    switch (file->finish()) {
    case InstallerDownload::Result::Saved:
        break;
    case InstallerDownload::Result::CannotSave:
        fail(Failure::CannotSave);
        return;
    case InstallerDownload::Result::TooLarge:
        fail(Failure::TooLarge);
        return;
    case InstallerDownload::Result::InProgress:
    case InstallerDownload::Result::Failed:
        fail(Failure::DownloadFailed);
        return;
    }
    const QString path = file->path();
    const InstallerVerdict verdict = installerPlatform()->canRunInstaller()
                                         ? installerPlatform()->checkSignature(path)
                                         : InstallerVerdict::InvalidSignature;
    if (verdict == InstallerVerdict::Trusted) {
        later(this, [this, path] { emit installerTrusted(path); });
        return;
    }
    QFile::remove(path);
    fail(verdict == InstallerVerdict::NoPublisherPinned ? Failure::NoPublisherPinned : Failure::NotSigned);
}
