#include "update/installer.h"

#include "update/authenticode.h"
#include "update/heldfile_windows.h"
#include "update/installerversion.h"

#include <QDir>

#include <windows.h>

#include <vector>

namespace {

// "a.b.c.d" from the file's version resource; empty when it has none.
QString fileVersion(const QString& path)
{
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(native.c_str(), &ignored);
    if (size == 0)
        return QString();
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(native.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
        length < sizeof(*info) || info->dwSignature != 0xFEEF04BD)
        return QString();
    return QStringLiteral("%1.%2.%3.%4")
        .arg(HIWORD(info->dwFileVersionMS))
        .arg(LOWORD(info->dwFileVersionMS))
        .arg(HIWORD(info->dwFileVersionLS))
        .arg(LOWORD(info->dwFileVersionLS));
}

class WindowsInstaller : public InstallerPlatform
{
public:
    bool canRunInstaller() const override { return true; }

    InstallerVerdict checkInstaller(const QString& path, const QString& clientVersion) override
    {
        // Held before anything is read, so that what is checked is what will run.
        if (!held.hold(path))
            return InstallerVerdict::InvalidSignature;
        InstallerVerdict verdict = InstallerVerdict::NotNewer;
        if (installerIsNewer(fileVersion(path), clientVersion))
            verdict = checkInstallerSignature(path.toStdWString(), held.nativeHandle(), builtInPublisher());
        if (verdict != InstallerVerdict::Trusted)
            held.release();
        return verdict;
    }

private:
    // Until the client ends, which it does right after starting the installer.
    HeldFile held;
};

} // namespace

std::unique_ptr<InstallerPlatform> makeInstallerPlatform()
{
    return std::make_unique<WindowsInstaller>();
}
