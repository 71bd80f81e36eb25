// The account and payment flow as a component: it asks for the account details while a payment
// is pending and now and then while connected, notices when a payment has taken effect and when
// an account stops being enabled during a connection. It shows nothing.
#ifndef CORVANE_ACCOUNTWATCH_H
#define CORVANE_ACCOUNTWATCH_H

#include <QObject>

class AccountWatch : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,            // no payment pending
        AwaitingPayment, // the order page is open; the account is asked for every 15 s
    };
    Q_ENUM(State)

    using QObject::QObject;

    State state() const { return current; }
    void startPayment();
    void cancelPayment();

    // The status tick, every three seconds; `connectedSeconds` is how long a connection has
    // been up, or -1 when none is.
    void tick(int connectedSeconds);
    // What the account details said of the right to connect.
    void accountRead(bool enabled, bool connected);

signals:
    void stateChanged(AccountWatch::State state);
    // Time to ask the service for the account details.
    void refreshDue();
    void paymentCompleted();
    // The account is no longer enabled while a connection is up.
    void expired();

private:
    void setState(State next);

    State current = State::Idle;
    int paymentSeconds = 0;
};

#endif
