#ifndef CORVANE_WORKFILES_H
#define CORVANE_WORKFILES_H

#include <QByteArray>
#include <QString>

// Where the OpenVPN program lives under the client's folder, by platform.
QString openVpnProgramPath();

// The platform's text line end, used between the user name and the password.
QByteArray textLineEnd();

// Writes a file that only its owner may read. The permissions are in place before the
// first byte is written, so the password is never readable by others.
bool writePrivateFile(const QString& path, const QByteArray& data);

// Writes a file byte for byte; false when it could not be written whole.
bool writeWorkFile(const QString& path, const QByteArray& data);

#endif
