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

#include <limits>

Updater::Updater(const QString& clientVersion, const QString& folder, QObject* parent)
    : QObject(parent), version(clientVersion),
      installerPath(QDir(folder).absoluteFilePath(QStringLiteral("update.exe"))),
      versions(new QNetworkAccessManager(this)), installers(new QNetworkAccessManager(this))
{
}

void Updater::check()
{
    requests.get(versions, noCacheRequest(service::versionCheckUrl(version)), RequestPurpose::Service);
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
    switch (service::compareVersions(latest, version)) {
    case service::VersionOrder::NotAVersion:
        qCWarning(lcUpdate) << "the version document names no version:" << latest.left(64);
        return;
    case service::VersionOrder::NotNewer:
        // Never back: an older version is no update, and the same one written otherwise neither.
        emit upToDate();
        return;
    case service::VersionOrder::Newer:
        break;
    }
    // A document without an installer offers nothing.
    if (service::offersUpdate(info, version))
        emit updateOffered(latest, platform.canRunInstaller());
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

void Updater::downloadFinished(QNetworkReply* reply, const InstallerPlatform& platform)
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
    case InstallerDownload::Result::Failed: {
        const RequestProblem problem = requestProblem(reply);
        detail = requestProblemText(reply);
        emit failed(isTrustProblem(problem)               ? Failure::NotTrusted
                    : problem == RequestProblem::Deadline ? Failure::TookTooLong
                                                          : Failure::DownloadFailed);
        return;
    }
    }
    const InstallerVerdict verdict = platform.canRunInstaller() ? platform.checkSignature(file->path())
                                                                : InstallerVerdict::InvalidSignature;
    if (verdict == InstallerVerdict::Trusted) {
        emit installerTrusted(file->path());
        return;
    }
    QFile::remove(file->path());
    emit failed(verdict == InstallerVerdict::NoPublisherPinned ? Failure::NoPublisherPinned
                                                               : Failure::NotSigned);
}
