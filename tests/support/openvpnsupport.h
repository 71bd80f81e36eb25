#ifndef CORVANE_OPENVPNSUPPORT_H
#define CORVANE_OPENVPNSUPPORT_H

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class LumtarMain;
class QNetworkReply;

// Stops the window's own 3-second status timer, so that only the test moves time (by calling
// UpdateTimer). Returns false when the window has no such timer running.
bool stopStatusTimer(LumtarMain* window);

// Every text a label shows, in order, including those that an action overwrites before it
// returns (a failure text followed by "Ready!"). Only one history may exist at a time.
class LabelHistory
{
public:
    explicit LabelHistory(const QString& labelName);
    ~LabelHistory();
    LabelHistory(const LabelHistory&) = delete;
    LabelHistory& operator=(const LabelHistory&) = delete;

    QStringList texts() const { return seen; }
    bool contains(const QString& text) const { return seen.contains(text); }
    void clear() { seen.clear(); }

private:
    static void record(class QAccessibleEvent* event);
    QString name;
    QStringList seen;
};

// Watches every network access manager of the window and counts the replies that have been
// handed out, by URL path. The window's own reply slots run before the watch sees a reply.
class ReplyWatch : public QObject
{
    Q_OBJECT

public:
    explicit ReplyWatch(LumtarMain* window);
    int finished(const QString& path) const { return counts.value(path); }

private slots:
    void replyFinished(QNetworkReply* reply);

private:
    QHash<QString, int> counts;
};

// What a stand-in OpenVPN program saw when it was started: its own path, its working
// directory and its arguments.
struct RecordedStart
{
    bool valid = false;
    QString program;
    QString workingDirectory;
    qint64 pid = 0;
    QStringList arguments;
};

// Writes "<workDir>/openvpn/openvpn" as a small script that records how it was started to
// recordFile and then waits to be killed.
bool writeStandInOpenVpn(const QString& workDir, const QString& recordFile);
RecordedStart readStandInRecord(const QString& recordFile);

// The values of the OpenVPN lab (lab.env): LAB_USER_ALICE, LAB_TUNNEL_IP_ALICE, ...
QHash<QString, QString> readLabEnvironment(const QString& envFile, QString* error);

#endif
