// The public address cut out of the IP-echo page.
#include "monitor/addresscut.h"
#include "mutator.h"
#include "service/documents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QString page = service::decodeBody(fuzzBytes(data, size));
    if (const std::optional<QString> address = echoedAddress(page)) {
        FUZZ_EXPECT(!address->isEmpty() && *address == address->trimmed());
        FUZZ_EXPECT(page.contains(*address));
    }
    return 0;
}
