#ifndef CORVANE_INSTALLERVERSION_H
#define CORVANE_INSTALLERVERSION_H

#include <QString>

// Whether an installer whose file version reads `installerVersion` ("4.1.0.0") is newer than
// the client's `clientVersion` ("4.0.2"). Trailing zeros do not count; a version that is
// not numbers and dots, or none at all, is not newer.
bool installerIsNewer(const QString& installerVersion, const QString& clientVersion);

#endif
