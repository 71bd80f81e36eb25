// Self-update as a component: asks the service for the current version, downloads the installer
// into its file and checks its publisher, taking its replies itself. It shows nothing; the window
// tells the user what it reports (from the event loop) and asks before a download.
#ifndef CORVANE_UPDATER_H
#define CORVANE_UPDATER_H

#include "service/network.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class InstallerDownload;
class InstallerPlatform;
class QNetworkAccessManager;
class QNetworkReply;

class Updater : public QObject
{
    Q_OBJECT

public:
    // Why an update went no further.
    enum class Failure
    {
        CannotSave,        // the installer's file could not be written
        TooLarge,          // the download went past the cap
        DownloadFailed,    // a network error or an answer other than 2xx
        NotTrusted,        // the installer's address or its server could not be trusted
        TookTooLong,       // the download went past its deadline
        NoPublisherPinned, // this build names no publisher to trust
        NotSigned,         // the installer is not signed by the publisher
        NotNewer,          // the installer is not newer than this client
    };
    Q_ENUM(Failure)

    // `folder` receives the installer as "update.exe"; `platform` names, at the moment it is
    // needed, what this system allows with it.
    Updater(const QString& clientVersion, const QString& folder,
            std::function<std::shared_ptr<InstallerPlatform>()> platform, QObject* parent = nullptr);

    QNetworkAccessManager* versionManager() const { return versions; }
    QNetworkAccessManager* installerManager() const { return installers; }
    const QString& latestVersion() const { return latest; }
    // Why the last download failed in words, naming the host, for NotTrusted and TookTooLong.
    const QString& failureDetail() const { return detail; }
    // How long the installer download may take, in milliseconds.
    static int downloadDeadlineMs();

    void check();
    // Gives up a check in flight and asks again: for one sent before its way out was open.
    void checkAgain();
    // Reads the version document; reports upToDate() or updateOffered(), or nothing for a
    // document that offers nothing usable or a failed request.
    void versionArrived(QNetworkReply* reply);
    // Starts the installer download; false (and failed()) when its file cannot be written.
    bool startDownload();
    // The installer reply has finished: reports installerTrusted() or failed().
    void downloadFinished(QNetworkReply* reply);

signals:
    void upToDate();
    // The version could not be learnt: no answer, or none that names a version.
    void checkFailed();
    void updateOffered(const QString& version, bool installsItself);
    void downloadProgress(qint64 received, qint64 total);
    void failed(Updater::Failure failure);
    // The installer is whole and signed by the publisher; it waits at `path`.
    void installerTrusted(const QString& path);

private:
    QString version;
    QString installerPath;
    std::function<std::shared_ptr<InstallerPlatform>()> installerPlatform;
    QString latest;
    QString installerUrl;
    QString detail;
    RequestPolicy requests;
    QNetworkAccessManager* versions;
    QNetworkAccessManager* installers;
    QNetworkReply* installerReply = nullptr;
    InstallerDownload* download = nullptr;
};

#endif
