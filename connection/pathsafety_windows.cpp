#include "connection/pathsafety.h"

#include "connection/pathaccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace {

bool trusted(PSID sid)
{
    if (!sid || !IsValidSid(sid))
        return false;
    if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid))
        return true;
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text))
        return false;
    // TrustedInstaller, which owns the system's own folders.
    const bool installer = QString::fromWCharArray(text) ==
                           QLatin1String("S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
    LocalFree(text);
    return installer;
}

QString accountName(PSID sid)
{
    WCHAR name[256];
    WCHAR domain[256];
    DWORD nameSize = 256;
    DWORD domainSize = 256;
    SID_NAME_USE use;
    if (sid && LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
        return domainSize > 0
                   ? QString::fromWCharArray(domain) + QLatin1Char('\\') + QString::fromWCharArray(name)
                   : QString::fromWCharArray(name);
    LPWSTR text = nullptr;
    if (sid && ConvertSidToStringSidW(sid, &text)) {
        const QString result = QString::fromWCharArray(text);
        LocalFree(text);
        return result;
    }
    return QString();
}

// False when the system would not say.
bool readAccess(const QString& path, PathAccess* access)
{
    PSID owner = nullptr;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    if (GetNamedSecurityInfoW(native.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr, &list,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    access->owner = accountName(owner);
    access->ownerTrusted = trusted(owner);
    access->hasAccessList = list != nullptr;
    for (DWORD i = 0; list && i < list->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&header)))
            continue;
        PathAccess::Entry entry;
        entry.inheritOnly = header->AceFlags & INHERIT_ONLY_ACE;
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
            entry.mask = ace->Mask;
            entry.trustee = accountName(&ace->SidStart);
            entry.trusteeTrusted = trusted(&ace->SidStart);
        } else if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            entry.allows = false;
        } else {
            // An entry of a kind not judged here (object or callback entries) could grant
            // anything: take it as a grant to someone unknown.
            entry.mask = ~0u;
        }
        access->entries.append(entry);
    }
    LocalFree(descriptor);
    return true;
}

} // namespace

QString unsafePathReason(const QString& path, uint)
{
    QString current = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!QFileInfo::exists(current))
        return QCoreApplication::translate("LumtarMain", "%1 does not exist")
            .arg(QDir::toNativeSeparators(path));
    for (int depth = 0;; ++depth) {
        PathAccess access;
        const QString shown = QDir::toNativeSeparators(current);
        if (!readAccess(current, &access))
            return QCoreApplication::translate("LumtarMain", "the rights of %1 cannot be read").arg(shown);
        // The path and the folder it lies in are judged whole; further up only what would let
        // one swap the folders below.
        const QString reason = unsafeAccessReason(shown, access, depth >= 2);
        if (!reason.isEmpty())
            return reason;
        const QString parent = QFileInfo(current).absolutePath();
        if (parent == current || QFileInfo(current).isRoot())
            return QString();
        current = parent;
    }
}
