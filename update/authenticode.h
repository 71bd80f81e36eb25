#ifndef CORVANE_AUTHENTICODE_H
#define CORVANE_AUTHENTICODE_H

// Plain C++ on purpose: compiled with the Windows toolchain alone.
#include "update/publisher.h"

#include <string>

// Whether the file carries a valid Authenticode signature that chains to a trusted root and
// was made with the pinned publisher's certificate. With `file` (an open HANDLE of it), the
// content is read through that handle.
InstallerVerdict checkInstallerSignature(const std::wstring& path, void* file, const PublisherPin& pin);
inline InstallerVerdict checkInstallerSignature(const std::wstring& path, const PublisherPin& pin)
{
    return checkInstallerSignature(path, nullptr, pin);
}

#endif
