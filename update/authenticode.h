#ifndef CORVANE_AUTHENTICODE_H
#define CORVANE_AUTHENTICODE_H

// Plain C++ on purpose: compiled with the Windows toolchain alone.
#include <string>

// True when the file's Authenticode signature is valid and chains to a trusted root.
bool authenticodeSignatureTrusted(const std::wstring& path);

#endif
