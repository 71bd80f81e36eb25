// The Quick Connect list as the service writes it: entries on "|", fields on "^".
#include "quickconnect/quicklist.h"

#include <QTest>

class TestQuickList : public QObject
{
    Q_OBJECT

private slots:
    void entriesKeepEmptyPieces_data();
    void entriesKeepEmptyPieces();
    void missingFieldsReadEmpty_data();
    void missingFieldsReadEmpty();
    void onlyTheThreeProtocolsStartAnAttempt_data();
    void onlyTheThreeProtocolsStartAnAttempt();
    void runSkipsEntriesItCannotStart_data();
    void runSkipsEntriesItCannotStart();
};

void TestQuickList::entriesKeepEmptyPieces_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("empty list is one empty entry") << QString() << QStringList{QString()};
    QTest::newRow("one entry") << QStringLiteral("US1^198.18.10.1^PPTP")
                               << QStringList{QStringLiteral("US1^198.18.10.1^PPTP")};
    QTest::newRow("two entries") << QStringLiteral("A^1^PPTP|B^2^L2TP^k")
                                 << QStringList{QStringLiteral("A^1^PPTP"), QStringLiteral("B^2^L2TP^k")};
    QTest::newRow("empty piece in the middle")
        << QStringLiteral("A^1^PPTP||B^2^PPTP")
        << QStringList{QStringLiteral("A^1^PPTP"), QString(), QStringLiteral("B^2^PPTP")};
    QTest::newRow("trailing separator")
        << QStringLiteral("A^1^PPTP|") << QStringList{QStringLiteral("A^1^PPTP"), QString()};
    QTest::newRow("leading separator")
        << QStringLiteral("|A^1^PPTP") << QStringList{QString(), QStringLiteral("A^1^PPTP")};
    QTest::newRow("separators only") << QStringLiteral("||") << QStringList{QString(), QString(), QString()};
    QTest::newRow("blanks are kept") << QStringLiteral(" A^1^PPTP | ")
                                     << QStringList{QStringLiteral(" A^1^PPTP "), QStringLiteral(" ")};
}

void TestQuickList::entriesKeepEmptyPieces()
{
    QFETCH(QString, list);
    QFETCH(QStringList, entries);

    QCOMPARE(quickEntries(list), entries);
    // The stage texts count entries the same way.
    QCOMPARE(quickEntryCount(list), entries.size());
}

void TestQuickList::missingFieldsReadEmpty_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("keyOrCertificate");
    QTest::addColumn<QString>("config");

    QTest::newRow("PPTP") << QStringLiteral("US1^198.18.10.1^PPTP") << QStringLiteral("US1")
                          << QStringLiteral("198.18.10.1") << QStringLiteral("PPTP") << QString()
                          << QString();
    QTest::newRow("L2TP with key") << QStringLiteral("DE1^198.18.10.2^L2TP^de-key") << QStringLiteral("DE1")
                                   << QStringLiteral("198.18.10.2") << QStringLiteral("L2TP")
                                   << QStringLiteral("de-key") << QString();
    QTest::newRow("OpenVPN complete")
        << QStringLiteral("NL1^198.18.10.3^OpenVPN^http://h/ca.crt^http://h/udp.ovpn")
        << QStringLiteral("NL1") << QStringLiteral("198.18.10.3") << QStringLiteral("OpenVPN")
        << QStringLiteral("http://h/ca.crt") << QStringLiteral("http://h/udp.ovpn");
    QTest::newRow("L2TP without key")
        << QStringLiteral("DE1^198.18.10.2^L2TP") << QStringLiteral("DE1") << QStringLiteral("198.18.10.2")
        << QStringLiteral("L2TP") << QString() << QString();
    QTest::newRow("name only") << QStringLiteral("Lonely") << QStringLiteral("Lonely") << QString()
                               << QString() << QString() << QString();
    QTest::newRow("empty entry") << QString() << QString() << QString() << QString() << QString()
                                 << QString();
    QTest::newRow("empty fields in between keep their places")
        << QStringLiteral("NL1^^OpenVPN^^http://h/udp.ovpn") << QStringLiteral("NL1") << QString()
        << QStringLiteral("OpenVPN") << QString() << QStringLiteral("http://h/udp.ovpn");
    QTest::newRow("separators only") << QStringLiteral("^^^^") << QString() << QString() << QString()
                                     << QString() << QString();
    QTest::newRow("extra fields are ignored")
        << QStringLiteral("A^1^OpenVPN^c^f^extra^more") << QStringLiteral("A") << QStringLiteral("1")
        << QStringLiteral("OpenVPN") << QStringLiteral("c") << QStringLiteral("f");
    QTest::newRow("blanks are part of the field")
        << QStringLiteral(" A ^ 1 ^PPTP") << QStringLiteral(" A ") << QStringLiteral(" 1 ")
        << QStringLiteral("PPTP") << QString() << QString();
}

void TestQuickList::missingFieldsReadEmpty()
{
    QFETCH(QString, entry);

    const QuickEntry parsed = quickEntry(entry);
    QTEST(parsed.name, "name");
    QTEST(parsed.address, "address");
    QTEST(parsed.protocol, "protocol");
    QTEST(parsed.keyOrCertificate, "keyOrCertificate");
    QTEST(parsed.config, "config");
}

void TestQuickList::onlyTheThreeProtocolsStartAnAttempt_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<bool>("known");

    QTest::newRow("PPTP") << QStringLiteral("PPTP") << true;
    QTest::newRow("L2TP") << QStringLiteral("L2TP") << true;
    QTest::newRow("OpenVPN") << QStringLiteral("OpenVPN") << true;
    QTest::newRow("lower case pptp") << QStringLiteral("pptp") << false;
    QTest::newRow("upper case OPENVPN") << QStringLiteral("OPENVPN") << false;
    QTest::newRow("blank around") << QStringLiteral(" L2TP") << false;
    QTest::newRow("SSTP") << QStringLiteral("SSTP") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestQuickList::onlyTheThreeProtocolsStartAnAttempt()
{
    QFETCH(QString, protocol);
    QTEST(isKnownProtocol(protocol), "known");
}

void TestQuickList::runSkipsEntriesItCannotStart_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("next");
    const QString list = QStringLiteral("a^1^SSTP|b^2^PPTP|c^3^IKEv2||d^4^OpenVPN^c^f");
    QTest::newRow("first startable") << list << 0 << 1;
    QTest::newRow("after the current") << list << 2 << 4;
    QTest::newRow("nothing left") << list << 5 << -1;
    QTest::newRow("negative reads as the start") << list << -3 << 1;
    QTest::newRow("none startable") << QStringLiteral("a^1^SSTP|") << 0 << -1;
}

void TestQuickList::runSkipsEntriesItCannotStart()
{
    QFETCH(QString, list);
    QFETCH(int, from);
    QFETCH(int, next);
    QCOMPARE(nextStartableEntry(quickEntries(list), from), next);
}

QTEST_GUILESS_MAIN(TestQuickList)
#include "tst_quicklist.moc"
