#include "update/installer.h"

#include "update/authenticode.h"

namespace {
class WindowsInstaller : public InstallerPlatform
{
public:
    bool canRunInstaller() const override { return true; }
    bool signatureTrusted(const QString& path) const override
    {
        return authenticodeSignatureTrusted(path.toStdWString());
    }
};
} // namespace

std::unique_ptr<InstallerPlatform> makeInstallerPlatform()
{
    return std::make_unique<WindowsInstaller>();
}
