#ifndef CORVANE_SINGLEINSTANCE_H
#define CORVANE_SINGLEINSTANCE_H

#include <QList>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

// One copy of the client per user. The first copy holds a lock file, which the system frees
// when the process ends however it ends, and listens on a local socket; a later copy asks it
// over that socket to bring its window forward and then leaves.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // Lock file and socket live in `folder` (by default the user's private runtime folder, which
    // no other user can make or enter).
    explicit SingleInstance(const QString& folder = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the running copy and listens for show requests, or when no
    // lock can be taken there at all; false when another live copy holds the lock.
    bool claim();
    // Asks the running copy to show itself; false when it could not be reached in time.
    bool askRunningCopyToShow(int timeoutMs = 3000);

    QString lockPath() const;
    QString socketPath() const;

signals:
    // Another copy asked this one to show its window.
    void showRequested();

private slots:
    void takeConnection();

private:
    // Before `dir`: finding the folder writes why it found none, so this must exist by then.
    QString folderProblem;
    QString dir;
    QList<QLocalSocket*> openConnections; // oldest first
    std::unique_ptr<QLockFile> lock;
    QLocalServer* server = nullptr;
};

#endif
