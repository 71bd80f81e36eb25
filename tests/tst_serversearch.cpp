#include "catalogue/serversearch.h"

#include <QtTest>

namespace {

ServerEntry entry(const QString& name, const QString& country)
{
    ServerEntry e;
    e.name = name;
    e.country = country;
    e.hasCountry = !country.isEmpty();
    e.pptp = true;
    return e;
}

// Rows 0..5 of the list.
Catalogue sixServers()
{
    Catalogue c;
    c.entries = {entry("US Chicago", "us"), entry("Germany Frankfurt", "de"),
                 entry("UK London", "uk"),  entry("Switzerland Zürich", "ch"),
                 entry("Tokyo 1", "jp"),    entry("Unplaced", "")};
    for (int i = 0; i < c.entries.size(); ++i)
        c.rows.append(i);
    return c;
}

} // namespace

class TestServerSearch : public QObject
{
    Q_OBJECT

private slots:
    void typedWordsFilterByNameCountryAndCity_data();
    void typedWordsFilterByNameCountryAndCity();
    void favouritesThenRecentComeFirst_data();
    void favouritesThenRecentComeFirst();
};

void TestServerSearch::typedWordsFilterByNameCountryAndCity_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QVector<int>>("rows");

    QTest::newRow("nothing typed lists all") << "" << QVector<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("blanks list all") << "   " << QVector<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("city") << "frank" << QVector<int>{1};
    QTest::newRow("case ignored") << "LONDON" << QVector<int>{2};
    QTest::newRow("country code") << "jp" << QVector<int>{4};
    QTest::newRow("country name in English") << "japan" << QVector<int>{4};
    QTest::newRow("country name in its own language") << "deutschland" << QVector<int>{1};
    QTest::newRow("the service's code for Britain") << "united kingdom" << QVector<int>{2};
    QTest::newRow("accents ignored") << "zurich" << QVector<int>{3};
    QTest::newRow("accents typed") << "Zürich" << QVector<int>{3};
    QTest::newRow("every word must match") << "germany london" << QVector<int>{};
    QTest::newRow("words in any order") << "chicago us" << QVector<int>{0};
    QTest::newRow("a server without a country by name") << "unplaced" << QVector<int>{5};
    QTest::newRow("no match") << "mars" << QVector<int>{};
}

void TestServerSearch::typedWordsFilterByNameCountryAndCity()
{
    QFETCH(QString, query);
    QFETCH(QVector<int>, rows);
    const ServerSearch search(sixServers());
    QCOMPARE(search.rows(query, {}, {}), rows);
}

void TestServerSearch::favouritesThenRecentComeFirst_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("favourites");
    QTest::addColumn<QStringList>("recent");
    QTest::addColumn<QVector<int>>("rows");

    QTest::newRow("a favourite first")
        << "" << QStringList{"UK London"} << QStringList{} << QVector<int>{2, 0, 1, 3, 4, 5};
    QTest::newRow("favourites keep the service's order") << "" << QStringList{"Tokyo 1", "Germany Frankfurt"}
                                                         << QStringList{} << QVector<int>{1, 4, 0, 2, 3, 5};
    QTest::newRow("latest used next, latest first")
        << "" << QStringList{"Tokyo 1"} << QStringList{"US Chicago", "Unplaced"}
        << QVector<int>{4, 0, 5, 1, 2, 3};
    QTest::newRow("a favourite also used is a favourite")
        << "" << QStringList{"US Chicago"} << QStringList{"US Chicago", "UK London"}
        << QVector<int>{0, 2, 1, 3, 4, 5};
    QTest::newRow("ranking within a search")
        << "u" << QStringList{"Unplaced"} << QStringList{"UK London"} << QVector<int>{5, 2, 0, 1, 3};
    QTest::newRow("names the list no longer has")
        << "" << QStringList{"Gone"} << QStringList{"Also gone"} << QVector<int>{0, 1, 2, 3, 4, 5};
}

void TestServerSearch::favouritesThenRecentComeFirst()
{
    QFETCH(QString, query);
    QFETCH(QStringList, favourites);
    QFETCH(QStringList, recent);
    QFETCH(QVector<int>, rows);
    const ServerSearch search(sixServers());
    QCOMPARE(search.rows(query, favourites, recent), rows);
}

QTEST_GUILESS_MAIN(TestServerSearch)
#include "tst_serversearch.moc"
