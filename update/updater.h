// Self-update as a component: asks the service for the current version, downloads the installer
// into its file and checks its publisher. It shows nothing; the window tells the user what it
// reports and asks before a download.
#ifndef CORVANE_UPDATER_H
#define CORVANE_UPDATER_H

#include <QObject>
#include <QString>

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
        NoPublisherPinned, // this build names no publisher to trust
        NotSigned,         // the installer is not signed by the publisher
        NotNewer,          // the installer is not newer than this client
    };
    Q_ENUM(Failure)

    // `folder` receives the installer as "update.exe".
    Updater(const QString& clientVersion, const QString& folder, QObject* parent = nullptr);

    // Each manager's finished signal goes to exactly one of the window's reply slots.
    QNetworkAccessManager* versionManager() const { return versions; }
    QNetworkAccessManager* installerManager() const { return installers; }
    const QString& latestVersion() const { return latest; }

    void check();
    // Reads the version document; reports upToDate() or updateOffered(), or nothing for a
    // document that offers nothing usable or a failed request.
    void versionArrived(QNetworkReply* reply, const InstallerPlatform& platform);
    // Starts the installer download; false (and failed()) when its file cannot be written.
    bool startDownload();
    // The installer reply has finished: reports installerTrusted() or failed().
    void downloadFinished(QNetworkReply* reply, InstallerPlatform& platform);

signals:
    void upToDate();
    void updateOffered(const QString& version, bool installsItself);
    void downloadProgress(qint64 received, qint64 total);
    void failed(Updater::Failure failure);
    // The installer is whole and signed by the publisher; it waits at `path`.
    void installerTrusted(const QString& path);

private:
    QString version;
    QString installerPath;
    QString latest;
    QString installerUrl;
    QNetworkAccessManager* versions;
    QNetworkAccessManager* installers;
    QNetworkReply* installerReply = nullptr;
    InstallerDownload* download = nullptr;
};

#endif
