// The kill switch and the leak protection as one component. It follows the connection: from
// the attempt the user starts until the user's own disconnect or quit, through every attempt,
// drop, redial pause and redial, only the tunnel, loopback, the VPN server and the service that
// hands out its profiles may carry traffic. When the connection ends for good (a failed attempt
// that is no Quick Connect entry, a Quick Connect run that tried everything, a connection that
// kept dropping) the block is lifted, unless the setting keeps it. With the setting off, a
// connection still blocks IPv6 and name servers outside the tunnel.
#ifndef CORVANE_KILLSWITCH_H
#define CORVANE_KILLSWITCH_H

#include "connection/connectioncontroller.h"
#include "connection/killswitchblock.h"
#include "connection/trafficrules.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class KillSwitch : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Off,         // nothing blocked: no connection runs
        Guarding,    // the setting is off and a connection runs: IPv6 and name servers outside
                     // the tunnel are blocked
        Blocking,    // everything outside the tunnel, its server and the service is blocked
        Lifted,      // the connection ended for good and the block was lifted
        Unavailable, // the block could not be put in force; problem() says why
    };
    Q_ENUM(State)

    enum class Reason
    {
        None,
        ServerKnown,     // an attempt's servers are known: the block goes up or grows
        TunnelDevice,    // the tunnel's device is known and may carry traffic
        EndedForGood,    // the connection failed for good
        UserEnded,       // the user's disconnect, cancel or quit
        SettingChanged,  // the setting was changed
        ApplyFailed,     // the system refused the block
        LeftoverRemoved, // a block an earlier run left was removed
    };
    Q_ENUM(Reason)

    // Reads the setting; `block` is the system's means, chosen by makeKillSwitchBlock(). A block
    // an earlier run of the client left in force is removed here (leftoverRemoved()).
    explicit KillSwitch(ConnectionController* connection,
                        std::unique_ptr<KillSwitchBlock> block = makeKillSwitchBlock(),
                        QObject* parent = nullptr);
    // Lifts what is in force: the user quits.
    ~KillSwitch() override;

    State state() const { return current; }
    KillSwitchMode mode() const { return chosen; }
    const BlockRules& rules() const { return inForce; }
    // Why the block could not be put in force, while Unavailable.
    const QString& problem() const { return why; }
    // A block an earlier run left was found and removed at the start.
    bool leftoverRemoved() const { return leftover; }
    // The steady clock's time at which the block last went up, 0 when none is up.
    qint64 inForceSinceMs() const { return sinceMs; }
    QString means() const;

    // The window's settings page: stores the setting and applies it to what is in force now.
    void setMode(KillSwitchMode mode);
    // A Quick Connect run ended; `failedForGood` when every entry failed or none could start.
    void quickConnectEnded(bool failedForGood);
    // The servers an attempt of the connection is about to dial (the checked configuration's).
    void serversChosen(const QVector<ServerEndpoint>& servers);
    // The tunnel's device, once the program opened it.
    void tunnelDeviceOpened(const QString& device);

signals:
    void stateChanged(KillSwitch::State state, KillSwitch::Reason reason);

private:
    void connectionChanged(ConnectionController::State state, ConnectionController::Reason reason);
    void allowServer(const ConnectionController::Server& server);
    void allow(const QString& host, quint16 port, const QString& transport);
    void endForGood();
    void lift(State next, Reason reason);
    void enforce(Reason reason);
    void setState(State next, Reason reason);

    ConnectionController* connection;
    std::unique_ptr<KillSwitchBlock> means_;
    KillSwitchMode chosen;
    State current = State::Off;
    // A connection the user started runs (or, in the strict mode, its block is still held).
    bool session = false;
    // The addresses of every name already resolved in this session; a redial under the block
    // could not ask the name servers again.
    QHash<QString, QList<QHostAddress>> resolved;
    BlockRules wanted;
    BlockRules inForce;
    QString why;
    bool leftover = false;
    qint64 sinceMs = 0;
};

#endif
