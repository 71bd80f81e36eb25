// Links the installer signature check against the Windows trust API. Run under wine, an
// unsigned program (this one) must not pass as trusted.
#include "update/authenticode.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 1)
        return 2;
    std::wstring self;
    for (const char* c = argv[0]; *c; ++c)
        self.push_back(static_cast<wchar_t>(*c));
    const bool trusted = authenticodeSignatureTrusted(self);
    std::printf("unsigned program trusted: %s\n", trusted ? "yes" : "no");
    return trusted ? 1 : 0;
}
