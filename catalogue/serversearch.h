#ifndef CORVANE_SERVERSEARCH_H
#define CORVANE_SERVERSEARCH_H

#include "catalogue/catalogue.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The server list as the user searches it: what they type matches a server's name (which
// carries its city), its country code and its country's name, in English and in the country's
// own language. Favourites come first, then the servers used last, then the rest in the
// service's order.
class ServerSearch
{
public:
    explicit ServerSearch(const Catalogue& catalogue);

    // Rows of `servers` (Catalogue::rows) whose texts hold every word of `query`, ignoring case
    // and accents; all rows for an empty query. `favourites` and `recent` are server names,
    // `recent` with the latest first.
    QVector<int> rows(const QString& query, const QStringList& favourites, const QStringList& recent) const;

    int size() const { return int(haystacks.size()); }

private:
    QStringList names;
    // Per row: what a search looks in, folded.
    QVector<QString> haystacks;
};

// The text folded for comparison: lower case, without accents ("Zürich" -> "zurich").
QString foldedForSearch(const QString& text);

// The country's name for a code of the service ("de", "UK"), in English; empty when unknown.
QString countryName(const QString& code);

#endif
