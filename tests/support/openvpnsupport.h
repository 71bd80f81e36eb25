#ifndef CORVANE_OPENVPNSUPPORT_H
#define CORVANE_OPENVPNSUPPORT_H

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>

class LumtarMain;
class QLabel;
class QNetworkReply;

// The texts a label showed, in order, including those that an action overwrites before it
// returns (a failure text followed by "Ready!"): the label is looked at whenever the
// application handles any event, and every step of the window hides, enables or repaints
// something or lets pending events run.
class LabelHistory : public QObject
{
    Q_OBJECT

public:
    explicit LabelHistory(QLabel* label);
    ~LabelHistory() override;

    // Up to and including the text shown now.
    QStringList texts() const;
    bool contains(const QString& text) const { return texts().contains(text); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sample() const;

    QPointer<QLabel> label;
    mutable QStringList seen;
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

// The service's data for the lab: one account and one OpenVPN server, whose profile's files
// the simulator serves at the two paths.
struct LabAccount
{
    QString user;
    QString password;
    QString serverIp;
    QString tunnelIp;
};
QJsonObject labServiceData(const LabAccount& account, const QString& configPath,
                           const QString& certificatePath);

// Has the simulator serve the lab: alice with `password` (the lab's own when empty), the lab's
// server, and its CA and client configuration at /files/lab/.
class ServiceSimulator;
void serveLab(ServiceSimulator& sim, const QHash<QString, QString>& lab, const QString& password = QString());

// Has the lab's server namespace meet what reaches the VPN server's port with `verdict` ("drop",
// "reject") in a table of this name; an empty verdict removes the table. True when nft did it.
bool filterServerPort(const QHash<QString, QString>& lab, const QByteArray& table, const QByteArray& verdict);

// Listeners in a namespace of the lab (the server's, which also holds the outside host) that
// tell where traffic arrived.
class ArrivalListener
{
public:
    ArrivalListener() = default;
    ~ArrivalListener();
    // `places`: "<proto>,<address>,<port>" each; true once all listen.
    bool start(const QString& labNamespace, const QStringList& places);
    // Whether something tagged `tag` arrived at `place` ("<proto> <address> <port>"); the tag
    // is a payload's first word or a DNS query's name.
    bool arrived(const QString& place, const QString& tag);

private:
    QProcess process;
    QStringList heard;
};

#endif
