#include "connection/pathsafety.h"

QString unsafePathReason(const QString&, uint)
{
    // The installer's folder rights decide this here; the client does not run elevated checks.
    return QString();
}
