// The version document, read from the reply bytes at every start of the client.
#include "mutator.h"
#include "service/documents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const service::VersionInfo info = service::readVersionDocument(fuzzBytes(data, size));
    if (service::offersUpdate(info, QStringLiteral("4.0.2")))
        FUZZ_EXPECT(!info.installerUrl.isEmpty() &&
                    service::compareVersions(info.latestVersion, QStringLiteral("4.0.2")) ==
                        service::VersionOrder::Newer);
    return 0;
}
