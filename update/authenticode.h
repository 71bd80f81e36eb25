#ifndef CORVANE_AUTHENTICODE_H
#define CORVANE_AUTHENTICODE_H

// Plain C++ on purpose: compiled with the Windows toolchain alone.
#include "update/publisher.h"

#include <string>

// Whether the file carries a valid Authenticode signature that chains to a trusted root and
// was made with the pinned publisher's certificate.
InstallerVerdict checkInstallerSignature(const std::wstring& path, const PublisherPin& pin);

#endif
