#ifndef CORVANE_CATALOGUEREADER_H
#define CORVANE_CATALOGUEREADER_H

#include "catalogue/catalogue.h"

#include <QString>

#include <future>
#include <memory>

// Reads a stored login document on a thread of its own while the caller goes on (storing the
// text, reading the verdict); the first use waits for the result.
class CatalogueReader
{
public:
    void start(const QString& document);
    const Catalogue& catalogue();

private:
    std::future<Catalogue> pending;
    std::unique_ptr<Catalogue> ready;
};

#endif
