#ifndef CORVANE_INSTALLER_H
#define CORVANE_INSTALLER_H

#include "update/publisher.h"

#include <QString>

#include <memory>

// What this system allows with a downloaded installer.
class InstallerPlatform
{
public:
    virtual ~InstallerPlatform() = default;
    // Whether the client installs updates itself here, by running the vendor's installer.
    virtual bool canRunInstaller() const = 0;
    // Whether the file may be started: its file version is newer than `clientVersion` and it
    // carries a valid signature by the publisher this build names. Where the system allows,
    // a trusted file is held from this check on, so that nobody can change or replace it
    // before it is started; a refused one is let go.
    virtual InstallerVerdict checkInstaller(const QString& path, const QString& clientVersion) = 0;
};

std::unique_ptr<InstallerPlatform> makeInstallerPlatform();

#endif
