#include "catalogue/cataloguereader.h"

void CatalogueReader::start(const QString& document)
{
    ready.reset();
    // A document too short to hold a server is not worth a thread.
    if (document.size() < 64) {
        pending = std::future<Catalogue>();
        ready = std::make_unique<Catalogue>(readCatalogue(document));
        return;
    }
    pending = std::async(std::launch::async, [document] { return readCatalogueInHalves(document); });
}

const Catalogue& CatalogueReader::catalogue()
{
    if (!ready)
        ready = std::make_unique<Catalogue>(pending.valid() ? pending.get() : Catalogue());
    return *ready;
}
