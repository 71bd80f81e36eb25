#ifndef CORVANE_INSTALLER_H
#define CORVANE_INSTALLER_H

#include <QString>

#include <memory>

// What this system allows with a downloaded installer.
class InstallerPlatform
{
public:
    virtual ~InstallerPlatform() = default;
    // Whether this system can run the vendor's installer at all.
    virtual bool canRunInstaller() const = 0;
    // Whether the file carries a valid signature that this system trusts.
    virtual bool signatureTrusted(const QString& path) const = 0;
};

std::unique_ptr<InstallerPlatform> makeInstallerPlatform();

#endif
