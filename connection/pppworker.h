// The dialling worker: writes the client's phone-book entry and dials it, off the GUI thread.
#ifndef CORVANE_PPPWORKER_H
#define CORVANE_PPPWORKER_H

#include "connection/dialup.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <mutex>

class PPPWorker : public QObject
{
    Q_OBJECT

public:
    // The worker lives in its own thread and has no parent.
    explicit PPPWorker(DialUp& dialUp = selectedDialUp());
    ~PPPWorker() override;

    // Handle of the connection of the last dial; null before a dial writes it.
    std::atomic<RasHandle> rasConnection;
    // Inputs, written by the window before it starts the worker's thread.
    QString protocol;
    QString preSharedKey;
    QString serverAddress;
    QString userName;
    QString password;
    QString serverName;
    // Outcome, shared with the window: use the accessors below, which take the lock.
    QString status;
    QString resultCode;

    QString statusText() const;
    void setStatus(const QString& text);
    QString resultCodeText() const;
    void setResultCode(const QString& text);
    void setStatusAndResultCode(const QString& statusValue, const QString& resultCodeValue);

    // Hangs up the connection of the last dial; a dial still blocked then returns. Harmless when
    // there is no connection.
    std::uint32_t hangUp();

    DialUp& dialUp() const { return platform; }

signals:
    void PPPStart();
    // The status or result changed; emitted from the worker's thread.
    void changed();

public slots:
    // One complete dial; runs in the worker's thread each time the thread starts.
    void VPNStart();

private:
    mutable std::mutex statusLock;
    DialUp& platform;
};

#endif
