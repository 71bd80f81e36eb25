// A Quick Connect run as a component: the service's list of ready-made entries, the entry being
// tried, the pause between two attempts and what each attempt came to. It starts each entry's
// attempt through the connection controller and takes its outcome; it shows nothing.
#ifndef CORVANE_QUICKCONNECTRUN_H
#define CORVANE_QUICKCONNECTRUN_H

#include "connection/connectioncontroller.h"
#include "quickconnect/quicklist.h"

#include <QObject>
#include <QStringList>
#include <QVector>

class ClockTimer;

class QuickConnectRun : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,    // no run
        Trying,  // the attempt of the current entry runs
        Pausing, // the pause before the next entry's attempt
    };
    Q_ENUM(State)

    // How a run ended.
    enum class End
    {
        Connected,       // an entry connected
        AllFailed,       // every entry was tried; tried() says how each ended
        AccountDisabled, // the account may not connect
        Cancelled,       // the user ended it
    };
    Q_ENUM(End)

    struct Tried
    {
        QuickEntry entry;
        ConnectionController::Reason reason;
    };

    explicit QuickConnectRun(ConnectionController* connection, QObject* parent = nullptr);

    State state() const { return current; }
    bool running() const { return current != State::Idle; }
    // The 1-based number of the entry being tried, and how many the list holds; 0 outside a run.
    int stage() const { return running() ? entryNumber : 0; }
    int entryCount() const { return entries.size(); }
    const QuickEntry& entry() const { return currentEntry; }
    const QVector<Tried>& tried() const { return attempts; }
    // "Stage 2/4" while the second of four entries is tried, else empty.
    QString stageLabel() const;

    // Starts a run from the first entry of `list`, the service's text.
    void start(const QString& list, const QString& userName, const QString& password, bool accountEnabled);
    // Moves on to the next entry the client can start, or ends the run when none is left.
    void next();
    // Starts the current entry's attempt, after the pause when an attempt went before.
    void dial();
    // The user ended the run; the controller's own disconnect ends its attempt.
    void cancel();
    // The account details said anew whether the account may connect.
    void setAccountEnabled(bool accountEnabled) { enabled = accountEnabled; }

signals:
    void stateChanged(QuickConnectRun::State state);
    // The entry `stage` of `count` is about to be tried.
    void entryChosen(int stage, int count);
    void finished(QuickConnectRun::End end);

private:
    void setState(State next);
    void attempt();
    void finish(End end);
    void connectionChanged(ConnectionController::State state, ConnectionController::Reason reason);

    ConnectionController* connection;
    ClockTimer* pauseTimer;
    State current = State::Idle;
    QStringList entries;
    int entryNumber = 0;
    QuickEntry currentEntry;
    QVector<Tried> attempts;
    QString user;
    QString secret;
    bool enabled = false;
};

#endif
