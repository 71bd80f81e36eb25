// Links the installer signature check against the Windows trust and certificate APIs. Run
// under wine, an unsigned program (this one) must not pass, whatever publisher is pinned.
#include "update/authenticode.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 1)
        return 2;
    std::wstring self;
    for (const char* c = argv[0]; *c; ++c)
        self.push_back(static_cast<wchar_t>(*c));
    const PublisherPin pin{"Corvane", "00112233445566778899AABBCCDDEEFF00112233445566778899AABBCCDDEEFF"};
    const bool unsignedRefused = checkInstallerSignature(self, pin) == InstallerVerdict::InvalidSignature;
    const bool nothingPinnedRefused =
        checkInstallerSignature(self, PublisherPin{}) == InstallerVerdict::NoPublisherPinned;
    const bool builtInUsable = checkInstallerSignature(self, builtInPublisher()) != InstallerVerdict::Trusted;
    std::printf("unsigned program refused: %s; empty pin refused: %s; built-in pin refuses it: %s\n",
                unsignedRefused ? "yes" : "no", nothingPinnedRefused ? "yes" : "no",
                builtInUsable ? "yes" : "no");
    return unsignedRefused && nothingPinnedRefused && builtInUsable ? 0 : 1;
}
