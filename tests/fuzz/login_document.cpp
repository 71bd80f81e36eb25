// The login document: the verdict and the server catalogue, both read from the stored text.
#include "catalogue/catalogue.h"
#include "mutator.h"
#include "service/documents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QString document = service::decodeBody(fuzzBytes(data, size));
    service::loginVerdicts(document);
    const Catalogue catalogue = readCatalogue(document);
    FUZZ_EXPECT(readCatalogueInHalves(document, 0) == catalogue);
    const QStringList servers = serverItems(catalogue);
    FUZZ_EXPECT(servers.size() == catalogue.rows.size());
    // Every row the window can select, as the selection cascade walks them.
    for (int server = 0; server < servers.size() && server < 64; ++server) {
        const QStringList protocols = protocolItems(catalogue, server);
        FUZZ_EXPECT(protocols.size() <= 3);
        for (int protocol = 0; protocol < protocols.size(); ++protocol) {
            const TypeFill fill = typeFill(catalogue, server, protocol);
            for (int type = 0; type < fill.items.size() && type < 16; ++type)
                typeChoice(catalogue, server, protocol, type);
        }
    }
    return 0;
}
