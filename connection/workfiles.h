#ifndef CORVANE_WORKFILES_H
#define CORVANE_WORKFILES_H

#include "core/installationfolder.h"

#include <QByteArray>
#include <QString>

// Where the OpenVPN program lives under the installation's folder, by platform.
QString openVpnProgramPath();

// Where an OpenVPN attempt finds the program and keeps its files.
struct OpenVpnPlaces
{
    QString program;           // absolute path of the program
    QString programFolder;     // the program's working directory
    QString workFolder;        // certificate, configuration and log
    QString privateFolder;     // only this user may enter it: management channel, pid file
    bool besideClient = false; // the installation's "openvpn" and "include" folders are used
    QString error;             // why no attempt can start; empty when the places are usable
};

// The installation's layout under `installation` when its program is there; on Linux, without
// one, the system's openvpn and the user's private runtime folder. Creates the folders the
// attempt writes into.
OpenVpnPlaces openVpnPlaces(const QString& installation);

// True when the client runs with administrator rights (root on Linux).
bool runningAsAdministrator();

// Writes a new file byte for byte in place of whatever is at the path (a link there is
// replaced, not followed); false when it could not be written whole, and then nothing of it
// stays behind and `error`, when given, says why in the system's words.
bool writeWorkFile(const QString& path, const QByteArray& data, QString* error = nullptr);

#endif
