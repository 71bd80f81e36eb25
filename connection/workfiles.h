#ifndef CORVANE_WORKFILES_H
#define CORVANE_WORKFILES_H

#include <QByteArray>
#include <QString>

// Where the OpenVPN program lives under the client's folder, by platform.
QString openVpnProgramPath();

// The platform's text line end, used between the user name and the password.
QByteArray textLineEnd();

// Writes a new file that only its owner may read, in place of whatever is at the path. The
// permissions are in place before the first byte is written, so the password is never
// readable by others.
bool writePrivateFile(const QString& path, const QByteArray& data);

// Writes a new file byte for byte in place of whatever is at the path (a link there is
// replaced, not followed); false when it could not be written whole.
bool writeWorkFile(const QString& path, const QByteArray& data);

#endif
