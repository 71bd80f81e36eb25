#include "update/installer.h"

namespace {
// The vendor ships a Windows installer; elsewhere there is nothing to run.
class NoInstaller : public InstallerPlatform
{
public:
    bool canRunInstaller() const override { return false; }
    InstallerVerdict checkInstaller(const QString&, const QString&) override
    {
        return InstallerVerdict::InvalidSignature;
    }
};
} // namespace

std::unique_ptr<InstallerPlatform> makeInstallerPlatform()
{
    return std::make_unique<NoInstaller>();
}
