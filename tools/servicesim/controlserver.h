#ifndef CORVANE_SERVICESIM_CONTROLSERVER_H
#define CORVANE_SERVICESIM_CONTROLSERVER_H

#include <QJsonObject>

class QCoreApplication;
class ServiceSimulator;

// Carries out one command of a remote test on its simulator and gives the answer.
QJsonObject answerControlCommand(ServiceSimulator& simulator, const QJsonObject& command);

// Serves remote tests on a port of 127.0.0.1 that the system picks, printed as
// "control port N": each connection gets a simulator of its own, stopped when the connection
// closes. Returns when standard input ends.
int runControlServer(QCoreApplication& application);

#endif
