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

#include <limits>

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
    requests.get(versions, noCacheRequest(service::versionCheckUrl(version)), RequestPurpose::Service);
}

void Updater::checkAgain()
{
    for (QNetworkReply* reply : versions->findChildren<QNetworkReply*>()) {
        if (reply->isRunning())
            reply->abort();
    }
    check();
}

void Updater::versionArrived(QNetworkReply* reply)
{
    const std::optional<QByteArray> body = takeReply(reply);
    if (!body) {
        later(this, [this] { emit checkFailed(); });
        return;
    }
    const service::VersionInfo info = service::readVersionDocument(*body);
    latest = info.latestVersion;
    installerUrl = info.installerUrl;
    qCDebug(lcUpdate) << "latest version" << latest << "this version" << version;
    switch (service::compareVersions(latest, version)) {
    case service::VersionOrder::NotAVersion:
        qCWarning(lcUpdate) << "the version document names no version:" << latest.left(64);
        later(this, [this] { emit checkFailed(); });
        return;
    case service::VersionOrder::NotNewer:
        // Never back: an older version is no update, and the same one written otherwise neither.
        later(this, [this] { emit upToDate(); });
        return;
    case service::VersionOrder::Newer:
        break;
    }
    // A document without an installer offers nothing.
    if (service::offersUpdate(info, version)) {
        const bool installsItself = installerPlatform()->canRunInstaller();
        later(this, [this, installsItself] { emit updateOffered(latest, installsItself); });
    }
}

int Updater::downloadDeadlineMs()
{
    return requestDeadlineMs(RequestPurpose::Installer);
}

bool Updater::startDownload()
{
    auto* file = new InstallerDownload(installerPath, installerSizeLimit(), this);
    if (!file->open()) {
        delete file;
        emit failed(Failure::CannotSave);
        return false;
    }
    download = file;
    detail.clear();
    // A redirect is answered as a failed download, never followed. The file watches the size.
    installerReply = requests.get(installers, noCacheRequest(QUrl(installerUrl, QUrl::TolerantMode)),
                                  RequestPurpose::Installer, std::numeric_limits<qint64>::max());
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
    case InstallerDownload::Result::Failed: {
        // The download ended an answer that is no installer (a redirect): no fault of the network.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if ((status >= 100 && status <= 199) || (status >= 300 && status <= 399)) {
            detail.clear();
            fail(Failure::DownloadFailed);
            return;
        }
        const RequestProblem problem = requestProblem(reply);
        detail = requestProblemText(reply);
        fail(isTrustProblem(problem)               ? Failure::NotTrusted
             : problem == RequestProblem::Deadline ? Failure::TookTooLong
                                                   : Failure::DownloadFailed);
        return;
    }
    }
    const QString path = file->path();
    const InstallerVerdict verdict = installerPlatform()->canRunInstaller()
                                         ? installerPlatform()->checkInstaller(path, version)
                                         : InstallerVerdict::InvalidSignature;
    if (verdict == InstallerVerdict::Trusted) {
        later(this, [this, path] { emit installerTrusted(path); });
        return;
    }
    QFile::remove(path);
    switch (verdict) {
    case InstallerVerdict::NoPublisherPinned:
        fail(Failure::NoPublisherPinned);
        return;
    case InstallerVerdict::NotNewer:
        fail(Failure::NotNewer);
        return;
    default:
        fail(Failure::NotSigned);
    }
}
