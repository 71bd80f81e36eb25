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
    // Whether the file carries a valid signature by the publisher this build names.
    virtual InstallerVerdict checkSignature(const QString& path) const = 0;
};

std::unique_ptr<InstallerPlatform> makeInstallerPlatform();

#endif
