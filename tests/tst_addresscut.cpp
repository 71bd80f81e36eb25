#include "monitor/addresscut.h"
#include "monitor/statustexts.h"
#include "quickconnect/quicklist.h"

#include <QtTest>

class TestAddressCut : public QObject
{
    Q_OBJECT

private slots:
    void echoedAddressIsCutFromThePage_data();
    void echoedAddressIsCutFromThePage();
    void pageWithoutAnAddressGivesNone_data();
    void pageWithoutAnAddressGivesNone();
    void progressTextFollowsTheSecondsOfTheAttempt_data();
    void progressTextFollowsTheSecondsOfTheAttempt();
    void connectedClockReadsHoursMinutesSeconds_data();
    void connectedClockReadsHoursMinutesSeconds();
    void serverNamedServerIsNotCalledServerTwice_data();
    void serverNamedServerIsNotCalledServerTwice();
    void connectedTimeCountsWholeMinutes_data();
    void connectedTimeCountsWholeMinutes();
    void stagePrefixNamesTheEntryAndTheCount_data();
    void stagePrefixNamesTheEntryAndTheCount();
    void fieldNumberReadsAnythingElseAsZero_data();
    void fieldNumberReadsAnythingElseAsZero();
};

void TestAddressCut::echoedAddressIsCutFromThePage_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("address");

    QTest::newRow("echo page")
        << "<html><head><title>Current IP Check</title></head><body>Current IP Address: "
           "198.18.4.7</body></html>"
        << "198.18.4.7";
    QTest::newRow("rest of the page after the body")
        << "<body>Address: 198.18.4.7</body>\n</html>\n<!-- footer -->\n"
        << "198.18.4.7";
    QTest::newRow("blanks and line breaks around the address") << "<body>Address:    198.18.4.7 \r\n\t</body>"
                                                               << "198.18.4.7";
    QTest::newRow("no closing body runs to the end") << "Current IP Address: 198.18.4.7"
                                                     << "198.18.4.7";
    QTest::newRow("no closing body, trailing line break") << "Current IP Address: 198.18.4.7\n"
                                                          << "198.18.4.7";
    QTest::newRow("the last closing body ends the cut") << "<body>Address: 198.18.4.7</body><body>x</body>"
                                                        << "198.18.4.7</body><body>x";
    QTest::newRow("the first marker starts the cut") << "<body>Address: 198.18.4.7 Address: 198.18.4.8</body>"
                                                     << "198.18.4.7 Address: 198.18.4.8";
    QTest::newRow("closing body before the marker runs to the end") << "</body>Address: 198.18.4.7"
                                                                    << "198.18.4.7";
    QTest::newRow("IPv6") << "<body>Address: 2001:db8::1</body>"
                          << "2001:db8::1";
}

void TestAddressCut::echoedAddressIsCutFromThePage()
{
    QFETCH(QString, page);
    QFETCH(QString, address);
    const std::optional<QString> cut = echoedAddress(page);
    QVERIFY(cut.has_value());
    QCOMPARE(*cut, address);
}

void TestAddressCut::pageWithoutAnAddressGivesNone_data()
{
    QTest::addColumn<QString>("page");

    QTest::newRow("empty reply") << "";
    QTest::newRow("captive portal") << "<html><body>Please sign in to use the hotel network.</body></html>";
    QTest::newRow("marker without its blank") << "<body>Address:198.18.4.7</body>";
    QTest::newRow("marker in other case") << "<body>address: 198.18.4.7</body>";
    QTest::newRow("marker with nothing after it") << "<body>Current IP Address: </body>";
    QTest::newRow("marker with only blanks after it") << "<body>Current IP Address:   \n </body>";
}

void TestAddressCut::pageWithoutAnAddressGivesNone()
{
    QFETCH(QString, page);
    const std::optional<QString> cut = echoedAddress(page);
    QVERIFY2(!cut.has_value(), qPrintable(cut.value_or(QString())));
}

void TestAddressCut::progressTextFollowsTheSecondsOfTheAttempt_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");

    QTest::newRow("start") << 0 << "";
    QTest::newRow("first tick") << 3 << "";
    QTest::newRow("second tick") << 6 << "connection in progress - 10%";
    QTest::newRow("between ticks") << 7 << "connection in progress - 20%";
    QTest::newRow("third tick") << 9 << "connection in progress - 20%";
    QTest::newRow("12 s") << 12 << "connection in progress - 30%";
    QTest::newRow("27 s") << 27 << "connection in progress - 80%";
    QTest::newRow("28 s") << 28 << "connection in progress - 90%";
    QTest::newRow("30 s") << 30 << "connection in progress - 90%";
    QTest::newRow("33 s") << 33 << "connection in progress - 90%";
    QTest::newRow("long after") << 600 << "connection in progress - 90%";
}

void TestAddressCut::progressTextFollowsTheSecondsOfTheAttempt()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(progressText(seconds), text);
}

void TestAddressCut::connectedClockReadsHoursMinutesSeconds_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("just up") << 0 << "0:00:00";
    QTest::newRow("one minute five") << 65 << "0:01:05";
    QTest::newRow("past an hour") << 3725 << "1:02:05";
    QTest::newRow("past a day") << 93600 << "26:00:00";
    QTest::newRow("a clock set back") << -5 << "0:00:00";
}

void TestAddressCut::connectedClockReadsHoursMinutesSeconds()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(durationText(seconds), text);
}

void TestAddressCut::serverNamedServerIsNotCalledServerTwice_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("a short name") << "US1"
                                  << "Connected to US1 Server!"
                                  << "You are now connected to US1 Server.\n Your connection is now secured.";
    QTest::newRow("a name ending in Server")
        << "Server 5001 Server"
        << "Connected to Server 5001 Server!"
        << "You are now connected to Server 5001 Server.\n Your connection is now secured.";
    QTest::newRow("lower case") << "Tokyo server"
                                << "Connected to Tokyo server!"
                                << "You are now connected to Tokyo server.\n Your connection is now secured.";
    QTest::newRow("server inside a word")
        << "Observer"
        << "Connected to Observer Server!"
        << "You are now connected to Observer Server.\n Your connection is now secured.";
}

void TestAddressCut::serverNamedServerIsNotCalledServerTwice()
{
    QFETCH(QString, server);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QCOMPARE(connectedTitle(server), title);
    QCOMPARE(connectedMessage(server), message);
}

void TestAddressCut::connectedTimeCountsWholeMinutes_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("first minute") << 15 << "connected for 0 minutes";
    QTest::newRow("one minute") << 75 << "connected for 1 minute";
    QTest::newRow("two minutes") << 120 << "connected for 2 minutes";
}

void TestAddressCut::connectedTimeCountsWholeMinutes()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(connectedForText(seconds), text);
}

void TestAddressCut::stagePrefixNamesTheEntryAndTheCount_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("servers");
    QTest::addColumn<QString>("prefix");

    QTest::newRow("no run") << 0 << "a|b|c|d"
                            << "";
    QTest::newRow("second of four") << 2 << "a^1^PPTP|b^2^L2TP^k|c^3^PPTP|d^4^PPTP"
                                    << "Stage 2/4";
    QTest::newRow("empty pieces count") << 3 << "a||b|"
                                        << "Stage 3/4";
    QTest::newRow("empty list is one entry") << 1 << ""
                                             << "Stage 1/1";
    QTest::newRow("negative stage") << -1 << "a|b"
                                    << "";
}

void TestAddressCut::stagePrefixNamesTheEntryAndTheCount()
{
    QFETCH(int, stage);
    QFETCH(QString, servers);
    QFETCH(QString, prefix);
    QCOMPARE(quickStageText(stage, servers), prefix);
}

void TestAddressCut::fieldNumberReadsAnythingElseAsZero_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");

    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("positive") << "12" << 12;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("word") << "abc" << 0;
    QTest::newRow("trailing letters") << "3a" << 0;
    QTest::newRow("fraction") << "1.5" << 0;
    QTest::newRow("hexadecimal") << "0x10" << 0;
    QTest::newRow("too large") << "99999999999" << 0;
}

void TestAddressCut::fieldNumberReadsAnythingElseAsZero()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(fieldNumber(text), number);
}

QTEST_GUILESS_MAIN(TestAddressCut)
#include "tst_addresscut.moc"
