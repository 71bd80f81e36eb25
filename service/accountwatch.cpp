#include "service/accountwatch.h"

#include "core/logging.h"

namespace {
// While a payment is pending the account is asked for this often; while connected, this often.
constexpr int paymentCheckSeconds = 15;
constexpr int connectedCheckSeconds = 300;
} // namespace

void AccountWatch::setState(State next)
{
    if (next == current)
        return;
    qCInfo(lcService) << "account watch:" << current << "->" << next;
    current = next;
    paymentSeconds = 0;
    emit stateChanged(next);
}

void AccountWatch::startPayment()
{
    setState(State::AwaitingPayment);
}

void AccountWatch::cancelPayment()
{
    setState(State::Idle);
}

void AccountWatch::tick(int connectedSeconds)
{
    bool due = connectedSeconds > 0 && connectedSeconds % connectedCheckSeconds == 0;
    if (current == State::AwaitingPayment) {
        paymentSeconds += 3;
        due = due || paymentSeconds % paymentCheckSeconds == 0;
    }
    if (due)
        emit refreshDue();
}

void AccountWatch::accountRead(bool enabled, bool connected)
{
    if (enabled && current == State::AwaitingPayment) {
        setState(State::Idle);
        emit paymentCompleted();
    }
    if (!enabled && connected)
        emit expired();
}
