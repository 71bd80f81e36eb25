// The simulator driven from another process: tests that run under Wine control a simulator on
// the build machine through one line of JSON per command and per answer.
#ifndef CORVANE_SERVICESIM_REMOTEPROTOCOL_H
#define CORVANE_SERVICESIM_REMOTEPROTOCOL_H

#include "tools/servicesim/servicesim.h"

#include <QJsonArray>
#include <QJsonObject>

namespace servicesim {

// Names host:port of the control server that a remote test's simulators live in.
constexpr char controlVariable[] = "CORVANE_SERVICESIM_CONTROL";

QJsonObject faultToJson(const Fault& fault);
Fault faultFromJson(const QJsonObject& object);
QJsonArray requestsToJson(const QList<RecordedRequest>& requests);
QList<RecordedRequest> requestsFromJson(const QJsonArray& array);

} // namespace servicesim

#endif
