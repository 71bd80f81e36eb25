// The settings page's choices and the server lists' ranking as the settings store keeps them.
#include "core/clientsettings.h"
#include "core/settingskeys.h"
#include "testsupport.h"

#include <QSettings>
#include <QtTest>

class TestClientSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateSettings(); }
    void init() { clearSettings(); }

    void storedChoicesReadBackOnlyWhenKnown_data();
    void storedChoicesReadBackOnlyWhenKnown();
    void choicesAreStoredUnderTheirKeys();
    void recentServersKeepTheLatestFirstAndEachOnce_data();
    void recentServersKeepTheLatestFirstAndEachOnce();
};

void TestClientSettings::storedChoicesReadBackOnlyWhenKnown_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("read");

    QTest::newRow("protocol OpenVPN")
        << QString(SettingsKeys::preferredProtocol) << QVariant("OpenVPN") << "OpenVPN";
    QTest::newRow("protocol unknown") << QString(SettingsKeys::preferredProtocol) << QVariant("IKEv2") << "";
    QTest::newRow("language de") << QString(SettingsKeys::language) << QVariant("de") << "de";
    QTest::newRow("language as a path") << QString(SettingsKeys::language) << QVariant("../x") << "";
    QTest::newRow("language too long") << QString(SettingsKeys::language) << QVariant("deu") << "";
    QTest::newRow("connect at start 1") << QString(SettingsKeys::connectAtStart) << QVariant("1") << "1";
    QTest::newRow("connect at start true")
        << QString(SettingsKeys::connectAtStart) << QVariant("true") << "0";
}

void TestClientSettings::storedChoicesReadBackOnlyWhenKnown()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QString, read);
    if (stored.isValid())
        QSettings().setValue(key, stored);
    QString value;
    if (key == SettingsKeys::preferredProtocol)
        value = ClientSettings::preferredProtocol();
    else if (key == SettingsKeys::language)
        value = ClientSettings::language();
    else
        value = ClientSettings::connectAtStart() ? QStringLiteral("1") : QStringLiteral("0");
    QCOMPARE(value, read);
}

void TestClientSettings::choicesAreStoredUnderTheirKeys()
{
    ClientSettings::setConnectAtStart(true);
    ClientSettings::setPreferredProtocol(QStringLiteral("L2TP"));
    ClientSettings::setLanguage(QStringLiteral("de"));
    ClientSettings::setFavourite(QStringLiteral("US1"), true);
    ClientSettings::setFavourite(QStringLiteral("DE2"), true);
    ClientSettings::setFavourite(QStringLiteral("US1"), false);
    QSettings settings;
    QCOMPARE(settings.value(QStringLiteral("connectAtStart")).toString(), QStringLiteral("1"));
    QCOMPARE(settings.value(QStringLiteral("preferredProtocol")).toString(), QStringLiteral("L2TP"));
    QCOMPARE(settings.value(QStringLiteral("language")).toString(), QStringLiteral("de"));
    QCOMPARE(ClientSettings::favouriteServers(), QStringList{QStringLiteral("DE2")});
    // "Automatic" and "the system's" are no value at all.
    ClientSettings::setPreferredProtocol(QString());
    ClientSettings::setLanguage(QString());
    QVERIFY(!settings.contains(QStringLiteral("preferredProtocol")));
    QVERIFY(!settings.contains(QStringLiteral("language")));
}

void TestClientSettings::recentServersKeepTheLatestFirstAndEachOnce_data()
{
    QTest::addColumn<QStringList>("recent");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QStringList>("result");
    QTest::newRow("first") << QStringList{} << "US1" << QStringList{"US1"};
    QTest::newRow("latest first") << QStringList{"US1"} << "DE2" << QStringList{"DE2", "US1"};
    QTest::newRow("used again moves up")
        << QStringList{"DE2", "US1", "JP3"} << "US1" << QStringList{"US1", "DE2", "JP3"};
    QTest::newRow("five at most") << QStringList{"a", "b", "c", "d", "e"} << "f"
                                  << QStringList{"f", "a", "b", "c", "d"};
}

void TestClientSettings::recentServersKeepTheLatestFirstAndEachOnce()
{
    QFETCH(QStringList, recent);
    QFETCH(QString, server);
    QFETCH(QStringList, result);
    QCOMPARE(ClientSettings::withRecent(recent, server), result);
}

QTEST_GUILESS_MAIN(TestClientSettings)
#include "tst_clientsettings.moc"
