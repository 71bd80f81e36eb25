#include "catalogue/serversearch.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

namespace {

struct CountryNames
{
    QString english;
    // The English name and the names in the country's own languages, for searching.
    QString all;
};

// Code -> the country's names, made once from Qt's locale data.
const QHash<QString, CountryNames>& countryTable()
{
    static const QHash<QString, CountryNames> table = [] {
        QHash<QString, CountryNames> names;
        const QList<QLocale> locales =
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyCountry);
        for (const QLocale& locale : locales) {
            const QString code = locale.name().section(QLatin1Char('_'), -1).toLower();
            if (code.size() != 2 || locale.country() == QLocale::AnyCountry)
                continue;
            CountryNames& entry = names[code];
            if (entry.english.isEmpty()) {
                entry.english = QLocale::countryToString(locale.country());
                entry.all = entry.english;
            }
            const QString native = locale.nativeCountryName();
            if (!native.isEmpty() && !entry.all.contains(native))
                entry.all += QLatin1Char(' ') + native;
        }
        // The service writes "uk" for the United Kingdom.
        names.insert(QStringLiteral("uk"), names.value(QStringLiteral("gb")));
        return names;
    }();
    return table;
}

} // namespace

QString foldedForSearch(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c.toCaseFolded());
    }
    return folded;
}

QString countryName(const QString& code)
{
    return countryTable().value(code.toLower()).english;
}

ServerSearch::ServerSearch(const Catalogue& catalogue)
{
    const QHash<QString, CountryNames>& countries = countryTable();
    const QStringList items = serverItems(catalogue);
    names = items;
    haystacks.reserve(items.size());
    for (int row = 0; row < items.size(); ++row) {
        const QString& country = serverAtRow(catalogue, row)->country;
        const QString code = country.toLower();
        haystacks.append(foldedForSearch(items.at(row) + QLatin1Char(' ') + code + QLatin1Char(' ') +
                                         countries.value(code).all));
    }
}

QVector<int> ServerSearch::rows(const QString& query, const QStringList& favourites,
                                const QStringList& recent) const
{
    const QStringList words = foldedForSearch(query).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // Favourites first, then the latest used, then the service's order: a stable sort by rank.
    struct Ranked
    {
        int rank;
        int row;
    };
    QVector<Ranked> found;
    found.reserve(haystacks.size());
    const int others = favourites.size() + recent.size();
    const bool ranking = others > 0;
    for (int row = 0; row < haystacks.size(); ++row) {
        const QString& haystack = haystacks.at(row);
        bool matches = true;
        for (const QString& word : words) {
            if (!haystack.contains(word)) {
                matches = false;
                break;
            }
        }
        if (!matches)
            continue;
        int rank = others;
        if (ranking) {
            const QString& name = names.at(row);
            if (favourites.contains(name))
                rank = 0;
            else if (const int used = int(recent.indexOf(name)); used >= 0)
                rank = 1 + used;
        }
        found.append({rank, row});
    }
    if (ranking)
        std::stable_sort(found.begin(), found.end(),
                         [](const Ranked& a, const Ranked& b) { return a.rank < b.rank; });
    QVector<int> result;
    result.reserve(found.size());
    for (const Ranked& r : qAsConst(found))
        result.append(r.row);
    return result;
}
