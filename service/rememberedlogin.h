// The remembered login as a component: the user name and flag in the settings, the password in
// the system's secret store, the automatic login at start with one more try for a store that
// comes up late, and the note to the user when a password could not be kept. It shows nothing.
#ifndef CORVANE_REMEMBEREDLOGIN_H
#define CORVANE_REMEMBEREDLOGIN_H

#include "service/secretstore.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ClockTimer;

class RememberedLogin : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,            // no automatic login pending
        Reading,         // the remembered password is being read for the automatic login
        WaitingForStore, // no store answered; it is asked once more after a while
    };
    Q_ENUM(State)

    // `store` names the secret store at the moment it is needed.
    RememberedLogin(std::function<std::shared_ptr<SecretStore>()> store, QObject* parent = nullptr);

    State state() const { return current; }
    // What the settings remember: whether to log in automatically, and as whom.
    static bool remembered();
    static QString rememberedUser();
    static QString legacyPassword();

    // At start, once the window is built: reads the password of `user` (or takes the one an
    // earlier version left in the settings) and reports passwordRead().
    void startAutoLogin(const QString& user, const QString& legacyPassword);
    // The user went on by hand: the automatic login is off.
    void takeOver();
    // A login is sent: the settings and the store follow the auto-login box.
    void loginSubmitted(const QString& user, const QString& password, bool remember);
    // Logging out forgets the remembered login.
    void logout();
    // Why the password just typed could not be remembered, told once; empty when all is well.
    QString takeNote();

signals:
    void stateChanged(RememberedLogin::State state);
    // The password for the automatic login; `fromStore` when it came from the secret store.
    void passwordRead(const QString& password, bool fromStore);
    // The store could not give the password; told once a run.
    void passwordMissing(SecretResult::Status status);
    // takeNote() has something to say.
    void noteWaiting();

private:
    void setState(State next);
    void readPassword();
    void remember(const QString& user, const QString& password);
    void forget(const QString& user);

    std::function<std::shared_ptr<SecretStore>()> store;
    ClockTimer* retryTimer;
    State current = State::Idle;
    QString autoUser;
    bool retried = false;
    QString note;
    // The user has been told this run that the secret store is not there.
    bool troubleTold = false;
    // The password about to be sent was read from the store, so it is there already.
    bool passwordFromStore = false;
};

#endif
