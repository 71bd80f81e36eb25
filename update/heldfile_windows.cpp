#include "update/heldfile_windows.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

namespace {
HANDLE openShared(const QString& path, DWORD access, DWORD sharing, DWORD flags)
{
    return CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), access,
                       sharing, nullptr, OPEN_EXISTING, flags, nullptr);
}
} // namespace

HeldFile::~HeldFile()
{
    release();
}

bool HeldFile::hold(const QString& path)
{
    release();
    const QFileInfo info(path);
    // The folder shares all but deletion, which a rename of it needs; the file shares only
    // reading, so whoever wants to write, rename or delete it is refused until we let go.
    const HANDLE parent = openShared(info.absolutePath(), FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_FLAG_BACKUP_SEMANTICS);
    if (parent == INVALID_HANDLE_VALUE)
        return false;
    const HANDLE file =
        openShared(info.absoluteFilePath(), GENERIC_READ, FILE_SHARE_READ, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        CloseHandle(parent);
        return false;
    }
    folder = parent;
    handle = file;
    return true;
}

void HeldFile::release()
{
    if (handle)
        CloseHandle(static_cast<HANDLE>(handle));
    if (folder)
        CloseHandle(static_cast<HANDLE>(folder));
    handle = nullptr;
    folder = nullptr;
}
