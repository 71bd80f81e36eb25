#include "connection/dialup.h"
#include "connection/errortexts.h"

#include <QtTest>

class TestErrorTexts : public QObject
{
    Q_OBJECT

private slots:
    void knownCodesHaveTheirOwnText_data();
    void knownCodesHaveTheirOwnText();
    void codesWithoutEntryGetTheDefault_data();
    void codesWithoutEntryGetTheDefault();
    void tableHoldsTheRasCodesAnd1168();
    void everyTableTextEndsInOneBlankExcept1168();
    void conflictTextNamesTheSharingAddress();
    void clientCodesExplainThemselves_data();
    void clientCodesExplainThemselves();
};

static const QString defaultText = QStringLiteral("PPP protocol returned an error. ");

void TestErrorTexts::knownCodesHaveTheirOwnText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("600 first") << 600 << QStringLiteral("An operation is pending. ");
    QTest::newRow("631 user hang-up") << 631 << QStringLiteral("The port was disconnected by the user. ");
    QTest::newRow("691 credentials")
        << 691 << QStringLiteral("Access denied because username and/or password is invalid on the domain. ");
    QTest::newRow("693") << 693 << QStringLiteral("ERROR NOT BINARY MACRO ");
    QTest::newRow("694") << 694 << QStringLiteral("ERROR DCB NOT FOUND ");
    QTest::newRow("695") << 695 << QStringLiteral("ERROR STATE MACHINES NOT STARTED ");
    QTest::newRow("696") << 696 << QStringLiteral("ERROR STATE MACHINES ALREADY STARTED ");
    QTest::newRow("697") << 697 << QStringLiteral("ERROR PARTIAL RESPONSE LOOPING ");
    QTest::newRow("703") << 703 << QStringLiteral("ERROR INTERACTIVE MODE ");
    QTest::newRow("704") << 704 << QStringLiteral("ERROR BAD CALLBACK NUMBER ");
    QTest::newRow("705") << 705 << QStringLiteral("ERROR INVALID AUTH STATE ");
    QTest::newRow("734 doubled stop") << 734 << QStringLiteral("The PPP link control protocol terminated.. ");
    QTest::newRow("749 underscores") << 749 << QStringLiteral("ERROR_BAD_PHONE_NUMBER ");
    QTest::newRow("777 unclosed parenthesis")
        << 777
        << QStringLiteral(
               "The connection attempt failed because the modem (or other connecting device on the "
               "remote computer is out of order. ");
    QTest::newRow("782 unclosed parentheses")
        << 782
        << QStringLiteral("Internet Connection Sharing (ICS and Internet Connection Firewall (ICF cannot be "
                          "enabled because Routing and Remote Access has been enabled on this computer. To "
                          "enable ICS or ICF, first disable Routing and Remote Access. For more information "
                          "about Routing and Remote Access, ICS, or ICF, see Help and Support. ");
    QTest::newRow("800 vpn unreachable")
        << 800
        << QStringLiteral(
               "Unable to establish the VPN connection. The VPN server may be unreachable, or security "
               "parameters may not be configured properly for this connection. ");
    QTest::newRow("825 no closing stop")
        << 825
        << QStringLiteral(
               "Point-to-Point Tunnelling Protocol (PPTP) is incompatible with IPv6. Change the type of "
               "virtual private network to Layer Two Tunnelling Protocol (L2TP) ");
    QTest::newRow("827 last ras code")
        << 827
        << QStringLiteral(
               "The L2TP/IPsec connection cannot be completed because the IKE and AuthIP IPSec Keying "
               "Modules service and/or the Base Filtering Engine service is not running. These "
               "services are required to establish an L2TP/IPSec connection. Please ensure that "
               "these services have been started before dialling the connection ");
    QTest::newRow("1168 without trailing blank")
        << 1168
        << QStringLiteral(
               "Do you have an active internet connection? Please be sure your network flight mode is "
               "off and check again your network connectivity.");
}

void TestErrorTexts::knownCodesHaveTheirOwnText()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(pppErrorText(code), text);
}

void TestErrorTexts::codesWithoutEntryGetTheDefault_data()
{
    QTest::addColumn<int>("code");
    const QList<int> gaps = {605, 607, 611, 613, 614, 620, 626, 634, 637, 639, 640, 641, 642,
                             643, 644, 650, 674, 675, 681, 682, 683, 684, 685, 686, 687, 688,
                             689, 690, 706, 712, 714, 715, 719, 724, 725, 727, 743, 744, 745,
                             746, 747, 748, 750, 751, 758, 759, 760, 761, 762, 763, 779, 781};
    QCOMPARE(gaps.size(), 52);
    for (int code : gaps)
        QTest::newRow(qPrintable(QStringLiteral("gap %1").arg(code))) << code;
    for (int code : {0, -1, 1, 599, 828, 1000, 1167, 1169, 2147483647, -2147483647 - 1})
        QTest::newRow(qPrintable(QStringLiteral("outside %1").arg(code))) << code;
}

void TestErrorTexts::codesWithoutEntryGetTheDefault()
{
    QFETCH(int, code);
    QCOMPARE(pppErrorText(code), defaultText);
}

void TestErrorTexts::tableHoldsTheRasCodesAnd1168()
{
    const QList<int> codes = pppErrorTableCodes();
    QCOMPARE(pppErrorTableSize(), 177);
    QCOMPARE(codes.size(), 177);
    QCOMPARE(codes.last(), 1168);
    for (int i = 0; i < codes.size(); ++i) {
        if (i > 0)
            QVERIFY2(codes.at(i - 1) < codes.at(i), "codes are ascending and unique");
        if (codes.at(i) != 1168)
            QVERIFY(codes.at(i) >= 600 && codes.at(i) <= 827);
        QVERIFY2(pppErrorText(codes.at(i)) != defaultText, qPrintable(QString::number(codes.at(i))));
    }
    // Every RAS code from 600 to 827 is either in the table or one of the 52 without a text.
    QCOMPARE(828 - 600 - (codes.size() - 1), 52);
}

void TestErrorTexts::everyTableTextEndsInOneBlankExcept1168()
{
    for (int code : pppErrorTableCodes()) {
        const QString text = pppErrorText(code);
        QVERIFY2(!text.isEmpty() && !text.startsWith(QLatin1Char(' ')), qPrintable(QString::number(code)));
        if (code == 1168) {
            QVERIFY(!text.endsWith(QLatin1Char(' ')));
        } else {
            QVERIFY2(text.endsWith(QLatin1Char(' ')) && !text.endsWith(QLatin1String("  ")),
                     qPrintable(QString::number(code)));
        }
        for (QChar c : text)
            QVERIFY2(c.unicode() >= 0x20 && c.unicode() < 0x7f, qPrintable(QString::number(code)));
    }
}

void TestErrorTexts::conflictTextNamesTheSharingAddress()
{
    const QString text = pppErrorText(799);
    QVERIFY(text.startsWith(QLatin1String("Internet Connection Sharing")));
    QVERIFY(text.contains(QLatin1String("192.168.0.1")));
    QVERIFY(text.contains(QLatin1String("no other client")));
    QVERIFY(text.endsWith(QLatin1String(". ")));
}

void TestErrorTexts::clientCodesExplainThemselves_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("needle");
    QTest::newRow("no dial-up service") << int(ras::errorDialUpUnavailable) << QStringLiteral("Use OpenVPN");
    QTest::newRow("server address") << int(ras::errorServerAddressTooLong)
                                    << QStringLiteral("server address");
    QTest::newRow("user name") << int(ras::errorUserNameTooLong) << QStringLiteral("user name");
    QTest::newRow("password") << int(ras::errorPasswordTooLong) << QStringLiteral("password");
    QTest::newRow("pre-shared key") << int(ras::errorPreSharedKeyTooLong) << QStringLiteral("pre-shared key");
}

void TestErrorTexts::clientCodesExplainThemselves()
{
    QFETCH(int, code);
    QFETCH(QString, needle);
    const QString text = pppErrorText(code);
    QVERIFY(text.contains(needle));
    QVERIFY(text.endsWith(QLatin1String(". ")));
    QVERIFY(!pppErrorTableCodes().contains(code));
}

QTEST_GUILESS_MAIN(TestErrorTexts)
#include "tst_errortexts.moc"
