// The public address check as a component: asks the IP-echo page, reads the address out of its
// answer, asks every half second while a new tunnel waits for its confirmation, and paces the
// redials of a connection that keeps dropping. What an address means is the window's to decide.
#ifndef CORVANE_ADDRESSCHECK_H
#define CORVANE_ADDRESSCHECK_H

#include "service/network.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

class AddressCheck : public QObject
{
    Q_OBJECT

public:
    explicit AddressCheck(QObject* parent = nullptr);

    // Its finished signal goes to the window's reply slot.
    QNetworkAccessManager* manager() const { return echo; }

    void ask();
    // Reports addressSeen() for a page that names an address; errors, error pages and captive
    // portals report nothing, so they never read as a drop.
    void answerArrived(QNetworkReply* reply);

    // While a tunnel waits for its confirmation, tunnelTick() comes every half second.
    void watchTunnel();
    void stopWatchingTunnel();

    // A connection has been confirmed now.
    void connectionConfirmed(qint64 nowMs);
    // The pause before redialling a connection that dropped now, or nothing once it has kept
    // dropping. A pause of 0 or more given as `overrideMs` replaces the growing pauses.
    std::optional<int> redialPause(qint64 nowMs, int overrideMs = -1);
    // Runs `redial` once after `ms`; a later call or cancelRedial() replaces it.
    void redialAfter(int ms, const std::function<void()>& redial);
    void cancelRedial();

signals:
    void addressSeen(const QString& address);
    void tunnelTick();

private:
    RequestPolicy requests;
    QNetworkAccessManager* echo;
    QTimer* tunnelTimer;
    QTimer* redialTimer;
    int drops = 0;
    qint64 confirmedMs = 0;
};

#endif
