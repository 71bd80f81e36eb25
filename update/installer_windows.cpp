#include "update/installer.h"

#include "update/authenticode.h"

namespace {
class WindowsInstaller : public InstallerPlatform
{
public:
    bool canRunInstaller() const override { return true; }
    InstallerVerdict checkSignature(const QString& path) const override
    {
        return checkInstallerSignature(path.toStdWString(), builtInPublisher());
    }
};
} // namespace

std::unique_ptr<InstallerPlatform> makeInstallerPlatform()
{
    return std::make_unique<WindowsInstaller>();
}
