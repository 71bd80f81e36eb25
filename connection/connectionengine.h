// The connection engine: everything one connection owns (the dial-up worker and its thread,
// the OpenVPN program, its management channel and downloads) and the one teardown that every
// ending uses. The window drives it and shows what it reports.
#ifndef CORVANE_CONNECTIONENGINE_H
#define CORVANE_CONNECTIONENGINE_H

#include "connection/managementprotocol.h"
#include "connection/workfiles.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class ManagementChannel;
class PPPWorker;
class QFile;
class SystemOpenVpn;
class QNetworkAccessManager;
class QNetworkReply;
class QProcess;
class QThread;
class QTimer;

class ConnectionEngine : public QObject
{
    Q_OBJECT

public:
    // Where an OpenVPN attempt stands.
    enum class State
    {
        Idle,        // no attempt, no program
        Downloading, // fetching the certificate and the configuration
        Starting,    // the program runs, its channel is not up yet
        Connecting,  // the program talks to the server
        TunnelUp,    // the program reports the tunnel up; the address check confirms it
    };
    Q_ENUM(State)

    // Why an attempt or a tunnel ended, or what a step was.
    enum class Reason
    {
        None,
        CertificateDownload, // the certificate could not be fetched
        ConfigDownload,      // the configuration could not be fetched
        ConfigRefused,       // the configuration asks for something we do not allow
        FilesNotWritten,     // a work file or folder could not be written
        UnsafeInstallation,  // others may change the program or its folder
        ProgramNotStarted,   // the program is missing or would not start
        CredentialsUnusable, // a line end in the user name or password
        AuthFailed,          // the server refused the user name or password
        Fatal,               // the program gave up
        ConnectError,        // the tunnel came up with errors
        ProgramEnded,        // the program ended on its own
        Reconnecting,        // the program lost the server while the tunnel was up
    };
    Q_ENUM(Reason)

    // The steps of an attempt, for the status line.
    enum class Step
    {
        CertificateRequested,
        ConfigRequested,
        ProgramStarting
    };
    Q_ENUM(Step)

    struct OpenVpnRequest
    {
        QString certificateUrl;
        QString configUrl;
        QString userName;
        QString password;
    };

    // `installation` is the installation's folder (installationFolder()), which may bring its
    // own program and work folder.
    explicit ConnectionEngine(const QString& installation, QObject* parent = nullptr);
    ~ConnectionEngine() override;

    State state() const { return currentState; }
    PPPWorker* worker() const { return pppWorker; }
    QThread* workerThread() const { return pppThread; }
    // The program of the latest attempt; never null.
    QProcess* process() const { return openVpnProcess; }
    QNetworkAccessManager* certificateManager() const { return openVpnStage1Manager; }
    QNetworkAccessManager* configManager() const { return openVpnStage2Manager; }
    // Where the work files of the next attempt go.
    const OpenVpnPlaces& places() const { return openVpnFiles; }

    // Hangs up the dial and marks the worker stopped.
    void hangUp();
    // Starts one dial with the worker's inputs already written. False when the previous dial
    // still has not returned: this one would then never run.
    bool startDial();

    // Starts an OpenVPN attempt: the certificate download goes out now.
    void startOpenVpn(const OpenVpnRequest& request);
    // The download replies; the window's stage slots hand them in.
    void certificateArrived(QNetworkReply* reply);
    void configArrived(QNetworkReply* reply);

    // The one teardown: quits the worker thread, hangs up, stops the program (politely, then
    // by force after three seconds, without blocking), drops pending downloads and removes
    // the work files.
    void endAttempt();
    // Removes the work files of the latest and of older versions' attempts.
    void removeWorkFiles();

    // The HTTP status of the last failed download, 0 when there was none.
    int lastHttpStatus() const { return failedHttpStatus; }

signals:
    void stateChanged(ConnectionEngine::State state);
    void stepReached(ConnectionEngine::Step step);
    // The attempt ended before the tunnel was up; `detail` says why in words.
    void attemptFailed(ConnectionEngine::Reason reason, const QString& detail);
    // The program reports the tunnel up.
    void tunnelUp();
    // A tunnel that was up has gone.
    void tunnelDropped(ConnectionEngine::Reason reason, const QString& detail);
    // One line for the connection log: program log lines, state changes, dial results.
    void logLine(const QString& text);
    // The worker's status or result changed.
    void dialChanged();

private:
    bool downloadIsCurrent(QNetworkReply* reply) const;
    QNetworkReply* fetch(QNetworkAccessManager* manager, const QString& address);
    void launchProgram();
    void launchThroughSystem(SystemOpenVpn* service);
    void channelConnected();
    void readChannel();
    void handleLine(const QByteArray& line);
    void send(const QByteArray& command);
    void programFinished();
    void programError();
    void fail(Reason reason, const QString& detail);
    void setState(State state);
    void stopProgram();
    void openLog(const QString& path);
    void writeLog(const QString& text);
    QString lastRelevantLog() const;

    QString base;
    OpenVpnPlaces openVpnFiles;
    PPPWorker* pppWorker;
    QThread* pppThread;
    QProcess* openVpnProcess;
    QNetworkAccessManager* openVpnStage1Manager;
    QNetworkAccessManager* openVpnStage2Manager;
    std::unique_ptr<ManagementChannel> channel;
    // The system's VPN service running this attempt instead of the program, or null.
    SystemOpenVpn* systemVpn = nullptr;
    std::unique_ptr<QFile> logFile;
    ManagementLineReader lineReader;
    OpenVpnRequest current;
    // Options after the configuration that keep what it asks for within bounds.
    QStringList boundingOptions;
    State currentState = State::Idle;
    quint64 attempt = 0;
    int failedHttpStatus = 0;
    QString lastLog;
    QString lastProblem;
};

#endif
