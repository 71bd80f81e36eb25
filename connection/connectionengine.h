// The connection engine: everything one attempt runs (the dial-up worker and its thread, the
// OpenVPN program, its management channel and downloads, the system's VPN service) and the one
// teardown that every ending uses. The connection controller drives it and decides what each
// outcome means.
#ifndef CORVANE_CONNECTIONENGINE_H
#define CORVANE_CONNECTIONENGINE_H

#include "connection/managementprotocol.h"
#include "connection/trafficrules.h"
#include "connection/workfiles.h"
#include "service/network.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class ClockTimer;
class ManagementChannel;
class PPPWorker;
class QFile;
class SystemOpenVpn;
class TunnelDns;
class QNetworkAccessManager;
class QNetworkReply;
class QProcess;
class QThread;
class QTimer;

class ConnectionEngine : public QObject
{
    Q_OBJECT

public:
    // Why an attempt or a tunnel ended.
    enum class Reason
    {
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
        ProgramSilent,       // the program stopped answering on its channel: it hangs
    };
    Q_ENUM(Reason)

    // The steps of an OpenVPN attempt, for the status line.
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

    // What one PPTP or L2TP dial needs.
    struct DialRequest
    {
        QString protocol;
        QString preSharedKey;
        QString serverAddress;
        QString userName;
        QString password;
        QString serverName;
    };

    // `installation` is the installation's folder (installationFolder()), which may bring its
    // own program and work folder.
    explicit ConnectionEngine(const QString& installation, QObject* parent = nullptr);
    ~ConnectionEngine() override;

    PPPWorker* worker() const { return pppWorker; }
    QThread* workerThread() const { return pppThread; }
    // The program of the latest attempt; never null.
    QProcess* process() const { return openVpnProcess; }
    QNetworkAccessManager* certificateManager() const { return openVpnStage1Manager; }
    QNetworkAccessManager* configManager() const { return openVpnStage2Manager; }
    // Where the work files of the next attempt go.
    const OpenVpnPlaces& places() const { return openVpnFiles; }
    // A dial is still blocked in its thread, or its thread has not ended yet.
    bool dialStillEnding() const;

    // Hangs up the dial and marks the worker stopped.
    void hangUp();
    // Starts one dial. False when the previous dial still has not returned: this one would then
    // never run.
    bool startDial(const DialRequest& request);

    // Starts an OpenVPN attempt: the certificate download goes out now.
    void startOpenVpn(const OpenVpnRequest& request);
    // The download replies, taken from the engine's own managers.
    void certificateArrived(QNetworkReply* reply);
    void configArrived(QNetworkReply* reply);

    // The one teardown: quits the worker thread, hangs up, stops the program (politely, then
    // by force after three seconds, without blocking), drops pending downloads and removes
    // the work files. Outcomes of the attempt not yet reported are dropped.
    void endAttempt();
    // Removes the work files of the latest and of older versions' attempts.
    void removeWorkFiles();

    // The HTTP status of the last failed download, 0 when there was none.
    int lastHttpStatus() const { return failedHttpStatus; }
    // Why the tunnel's name servers could not be applied to the tunnel that is up; empty when
    // they were, or when the system's VPN service applies them.
    const QString& tunnelDnsProblem() const { return dnsProblem; }

signals:
    // Every outcome below comes through the event loop, never from inside the socket, process or
    // reply that caused it, so whoever takes it may show a box or end the attempt at once.
    void stepReached(ConnectionEngine::Step step);
    // The OpenVPN program (or the system's service) runs and talks to the server.
    void programRunning();
    // The attempt ended before the tunnel was up; `detail` says why in words.
    void attemptFailed(ConnectionEngine::Reason reason, const QString& detail);
    // The program or the system's service reports the tunnel up.
    void tunnelUp();
    // A tunnel that was up has gone.
    void tunnelDropped(ConnectionEngine::Reason reason, const QString& detail);
    // The dial reports its line up.
    void dialConnected();
    // The dial failed with this result code (a RAS code or one of the client's own).
    void dialFailed(int resultCode);
    // The dial's thread has ended; a dial may start again.
    void dialThreadEnded();
    // One line for the connection log: program log lines, state changes, dial results.
    void logLine(const QString& text);
    // Not outcomes, and sent at once: whoever keeps traffic in the tunnel must know before the
    // program dials, and before the tunnel is reported up.
    // The servers the checked configuration lets the program dial.
    void serversChosen(const QVector<ServerEndpoint>& servers);
    // The program opened the tunnel's device.
    void tunnelDeviceOpened(const QString& device);
    // The bytes through the tunnel since it came up, every second: counted by the program, by the
    // system's VPN service or by the dial-up layer.
    void trafficCounted(quint64 received, quint64 sent);

private:
    // Where an OpenVPN attempt stands inside the engine.
    enum class Stage
    {
        None,        // no OpenVPN attempt
        Downloading, // fetching the certificate and the configuration
        Starting,    // the program runs, its channel is not up yet
        Running,     // the program talks to the server
        TunnelUp,    // the program reports the tunnel up
    };

    void takeDialStatus();
    bool downloadIsCurrent(QNetworkReply* reply) const;
    QNetworkReply* fetch(QNetworkAccessManager* manager, const QString& address);
    void launchProgram();
    void launchThroughSystem(SystemOpenVpn* service);
    void channelConnected();
    void readChannel();
    void handleLine(const QByteArray& line);
    void send(const QByteArray& command);
    void programFinished();
    void fail(Reason reason, const QString& detail);
    void setStage(Stage stage);
    void programFellSilent();
    // Emits through the event loop, unless another attempt has begun by then.
    void report(std::function<void()> emitOutcome);
    void renewSilenceTimer();
    void stopProgram();
    void openLog(const QString& path);
    void writeLog(const QString& text);
    QString lastRelevantLog() const;
    void applyTunnelDns();

    QString base;
    RequestPolicy requests;
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
    Stage stage = Stage::None;
    // Restarted by every line from the program while the tunnel is up; it counts bytes every
    // second, so a long silence means the program hangs and the tunnel carries nothing.
    ClockTimer* silenceTimer = nullptr;
    // Asks the dial-up layer or the system's service for the tunnel's byte counts each second;
    // the program of the client's own counts by itself.
    ClockTimer* trafficTimer;
    void countTraffic();
    quint64 attempt = 0;
    int failedHttpStatus = 0;
    QString lastLog;
    QString lastProblem;
    std::unique_ptr<TunnelDns> tunnelDns;
    QStringList pushedDns;
    QString tunnelDevice;
    QString dnsProblem;
    // Refusals of the server's address since the program last received anything.
    int refusalsInARow = 0;
    quint64 receivedSoFar = 0;
};

#endif
