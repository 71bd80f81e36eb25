// A window whose PPTP/L2TP dials go to a simulated phone book, on the harness's clock so that only
// the test moves time, and with the finished IP-echo replies counted.
#ifndef CORVANE_DIALHARNESS_H
#define CORVANE_DIALHARNESS_H

#include "connection/dialup_simulated.h"
#include "testsupport.h"

#include <QString>

#include <memory>

class PPPWorker;

class DialHarness
{
public:
    // Installs the simulated phone book, then builds the window against a fresh simulator.
    DialHarness();
    // Lets a held dial return, so the window's destructor is not left waiting for its thread.
    ~DialHarness();

    SimulatedDialUp dialUp;
    std::unique_ptr<WindowHarness> harness;

    LumtarMain* window() const { return harness->window.get(); }
    PPPWorker* worker() const;
    QString text(const QString& name) const { return harness->text(name); }
    bool shown(const QString& name) const { return harness->shown(name); }
    WindowState* state() const { return harness->state(); }
    void tick(int count = 1) { harness->tick(count); }

    // Logs alice in through the form.
    bool login();
    // Presses connect.
    void pressConnect();
    // Waits until the worker reports this status.
    bool waitForWorkerStatus(const QString& status, int timeoutMs = 5000) const;
    // Waits until the connection is in this state.
    bool waitForConnection(ConnectionController::State state, int timeoutMs = 5000) const;
    // Connects the selected server through a dial that succeeds at once; true on the connected page.
    bool connectNow();
    // IP-echo replies the window has handled so far (counted after the window's own slot ran).
    int echoReplies() const { return *echoCount; }
    // Waits until more than `before` echo replies have been handled.
    bool waitForEchoReplies(int before, int timeoutMs = 5000) const;
    // Answers "/ip/" with this body from now on.
    void setEchoPage(const QByteArray& body);

private:
    std::shared_ptr<int> echoCount = std::make_shared<int>(0);
};

#endif
