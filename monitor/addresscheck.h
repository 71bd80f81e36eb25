// The public address check as a component: asks the IP-echo page and reads the address out of
// its answer. What an address means is the connection controller's to decide.
#ifndef CORVANE_ADDRESSCHECK_H
#define CORVANE_ADDRESSCHECK_H

#include "service/network.h"

#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

class AddressCheck : public QObject
{
    Q_OBJECT

public:
    explicit AddressCheck(QObject* parent = nullptr);

    QNetworkAccessManager* manager() const { return echo; }

    void ask();
    // Drops the answers still on their way: they would speak of a tunnel that is gone.
    void cancel();
    // The check's replies come here from its own manager. Reports addressSeen() for a page that
    // names an address; errors, error pages and captive portals report nothing, so they never
    // read as a drop.
    void answerArrived(QNetworkReply* reply);

signals:
    void addressSeen(const QString& address);

private:
    RequestPolicy requests;
    QNetworkAccessManager* echo;
};

#endif
