#ifndef CORVANE_INSTALLERDOWNLOAD_H
#define CORVANE_INSTALLERDOWNLOAD_H

#include <QObject>
#include <QSaveFile>

class QNetworkReply;

// No installer the vendor ships comes near this; a larger answer is not an installer.
constexpr qint64 installerSizeCap = qint64(512) * 1024 * 1024;

// The cap in force: the value above, unless a test has lowered it (0 or less restores it).
qint64 installerSizeLimit();
void setInstallerSizeLimitForTesting(qint64 bytes);

// Writes an installer download into its file as the bytes arrive, so that a large answer never
// sits in memory and one past the cap is stopped. The file takes the new contents only when
// the whole download succeeded; until then an existing file stays as it was.
class InstallerDownload : public QObject
{
    Q_OBJECT

public:
    enum class Result
    {
        InProgress,
        Saved,      // the whole body is in the file
        Failed,     // a network error, or an answer other than 2xx (a redirect included)
        TooLarge,   // the body (or its announced size) went past the cap
        CannotSave, // the file could not be opened or written
    };

    explicit InstallerDownload(const QString& path, qint64 cap = installerSizeLimit(),
                               QObject* parent = nullptr);

    // Opens the file for the new contents; false when it cannot be written.
    bool open();
    // Follows the reply: writes what arrives and aborts it at the first fault.
    void follow(QNetworkReply* reply);
    // Called once the reply has finished: takes the rest of the body and, on success only,
    // replaces the file.
    Result finish();

    Result result() const { return state; }
    QString path() const { return file.fileName(); }

private:
    void headersArrived();
    void take();
    void fail(Result why);

    QSaveFile file;
    qint64 cap;
    qint64 written = 0;
    QNetworkReply* reply = nullptr;
    Result state = Result::InProgress;
};

#endif
