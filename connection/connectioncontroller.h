// The life of one connection: the checks before it, the attempt through the engine (a dial, the
// client's own openvpn or NetworkManager), the phase rules of the status tick, the address check
// that confirms and watches a tunnel that is up, the drop, and the redial after a pause. Only the
// tunnel itself makes it say "connected": the dial's own success, the program's CONNECTED,SUCCESS
// or NetworkManager's activated connection. It shows nothing; it reports its state with a reason,
// and the window turns that into the texts the user reads.
#ifndef CORVANE_CONNECTIONCONTROLLER_H
#define CORVANE_CONNECTIONCONTROLLER_H

#include "connection/connectionengine.h"

#include <QObject>
#include <QString>

class AddressCheck;
class KillSwitch;
class Clock;
class ClockTimer;

class ConnectionController : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,          // nothing runs: at the start and after a disconnect
        Preparing,     // an OpenVPN attempt fetches and checks its files
        Connecting,    // the dial, the program or NetworkManager brings the tunnel up
        Connected,     // the tunnel reports itself up; the address check watches it
        Reconnecting,  // the tunnel dropped; the redial waits out its pause
        Disconnecting, // the user ended it; a dial blocked in its thread is still returning
        Failed,        // the last attempt or connection ended for good; outcome() says why
    };
    Q_ENUM(State)

    enum class Reason
    {
        None,
        UserRequest,        // the user's disconnect or cancel
        AccountDisabled,    // the account may not use VPN connections
        NoProfile,          // OpenVPN without a certificate or configuration to fetch
        NoProtocol,         // no protocol this client can start
        PreviousDialEnding, // the last dial has not returned yet
        DialFailed,         // the dial failed; the outcome's dialCode says how
        TimedOut,           // no tunnel within the attempt's allowance
        CertificateDownload,
        ConfigDownload,
        ConfigRefused,
        FilesNotWritten,
        UnsafeInstallation,
        ProgramNotStarted,
        CredentialsUnusable,
        AuthFailed,     // the VPN server refused the user name or password
        ProgramFailed,  // the program gave up, ended or came up with errors
        TunnelLost,     // the tunnel went down while connected
        AddressChanged, // the address check saw another public address than the server's
        KeptDropping,   // it dropped again and again: no further redial
        AccountExpired, // the account stopped being enabled while connected
        ComputerSlept,  // the computer slept while connected: the server has let the tunnel go
    };
    Q_ENUM(Reason)

    // Who asked for the attempt. A Quick Connect run takes its entries' failures itself.
    enum class Origin
    {
        User,
        Redial,
        QuickConnect,
    };
    Q_ENUM(Origin)

    // The server of an attempt: the chosen one, a Quick Connect entry or the one that dropped.
    struct Server
    {
        QString name;
        QString ip;
        QString assignedIp;
        QString protocol;
        QString preSharedKey;
        QString certificate;
        QString config;
    };

    // Why the last attempt or connection ended.
    struct Outcome
    {
        Reason reason = Reason::None;
        // In words, as the program, the service or the system said it.
        QString detail;
        // The dial's result code, for DialFailed.
        int dialCode = 0;
    };

    // `baseFolder` is where an installation keeps its folders.
    explicit ConnectionController(const QString& baseFolder, QObject* parent = nullptr);
    ~ConnectionController() override;

    State state() const { return current; }
    Origin origin() const { return attemptOrigin; }
    const Server& server() const { return target; }
    const Outcome& outcome() const { return lastOutcome; }
    // Seconds since the state was entered, three for every tick.
    int phaseSeconds() const { return seconds; }
    // Seconds the tunnel has been up by the clock, to the second; 0 when not connected.
    int connectedSeconds() const;
    // While reconnecting: the seconds until the redial.
    int redialSecondsLeft() const;
    // The public address the check last saw while connected; empty before it answered.
    const QString& publicAddress() const { return seenAddress; }
    bool addressConfirmed() const { return confirmed; }
    ConnectionEngine* engine() const { return attemptEngine; }
    AddressCheck* addressCheck() const { return check; }
    // What keeps the traffic in the tunnel: the kill switch and the leak protection.
    KillSwitch* killSwitch() const { return guard; }

    // Checks and starts an attempt, ending whatever ran before. Returns the reason it refused,
    // with nothing changed, or Reason::None once the attempt runs.
    Reason connectTo(const Server& server, const QString& userName, const QString& password,
                     bool accountEnabled, Origin origin = Origin::User);
    // Ends any attempt, connection or redial pause: the user's disconnect and cancel, an
    // expired account. Back to Idle (through Disconnecting while a dial still returns).
    void disconnect(Reason reason = Reason::UserRequest);
    // The user chose another server or started something else: a pending redial is off.
    void cancelRedial();
    // The status tick, every three seconds: the attempt's allowance, the connected checks.
    void tick();
    // Asks the address check now (the design's address slot); its answer confirms or drops.
    void checkAddress();

signals:
    void stateChanged(ConnectionController::State state, ConnectionController::Reason reason);
    // An OpenVPN attempt moved on a step.
    void stepReached(ConnectionEngine::Step step);
    // Every tick, after its rules have run.
    void ticked(ConnectionController::State state, int phaseSeconds);
    // Every second of a redial pause.
    void redialCountdown(int secondsLeft);
    // What the address check saw; `isServers` when it is the server's assigned address.
    void addressSeen(const QString& address, bool isServers);
    // One line for the connection log.
    void logLine(const QString& text);
    // While connected: the bytes through the tunnel since it came up.
    void trafficCounted(quint64 received, quint64 sent);

private:
    void setState(State next, Reason reason);
    void startAttempt();
    void fail(Reason reason, const QString& detail = QString(), int dialCode = 0);
    void tunnelIsUp();
    void drop(Reason reason, const QString& detail);
    void redial();
    void dialConnected();
    void dialThreadEnded();
    void addressArrived(const QString& address);
    void engineFailed(ConnectionEngine::Reason reason, const QString& detail);
    void engineDropped(ConnectionEngine::Reason reason, const QString& detail);

    Clock& clock;
    ConnectionEngine* attemptEngine;
    AddressCheck* check;
    ClockTimer* redialTimer;
    ClockTimer* countdownTimer;
    KillSwitch* guard = nullptr;
    State current = State::Idle;
    Origin attemptOrigin = Origin::User;
    Server target;
    QString user;
    QString secret;
    Outcome lastOutcome;
    int seconds = 0;
    // Both clocks at the last tick: the wall clock runs on while the computer sleeps, the steady one
    // does not.
    qint64 lastTickSteadyMs = -1;
    qint64 lastTickWallMs = 0;
    QString seenAddress;
    bool confirmed = false;
    // Drops in a row, and when the connection was last up, to pace the redials.
    int drops = 0;
    qint64 connectedAtMs = 0;
    qint64 redialAtMs = 0;
};

#endif
