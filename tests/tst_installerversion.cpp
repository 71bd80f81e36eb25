// An installer is started only when its file version is newer than the running client.
#include "update/installerversion.h"

#include <QtTest>

class TestInstallerVersion : public QObject
{
    Q_OBJECT

private slots:
    void onlyNewerInstallersPass_data();
    void onlyNewerInstallersPass();
};

void TestInstallerVersion::onlyNewerInstallersPass_data()
{
    QTest::addColumn<QString>("installer");
    QTest::addColumn<QString>("client");
    QTest::addColumn<bool>("newer");
    QTest::newRow("newer minor") << "4.1.0.0"
                                 << "4.0.2" << true;
    QTest::newRow("newer patch") << "4.0.3.0"
                                 << "4.0.2" << true;
    QTest::newRow("numbers, not text") << "4.0.10.0"
                                       << "4.0.9" << true;
    QTest::newRow("same, with a build number of 0") << "4.0.2.0"
                                                    << "4.0.2" << false;
    QTest::newRow("same build, later build number") << "4.0.2.1"
                                                    << "4.0.2" << true;
    QTest::newRow("older") << "3.9.9.9"
                           << "4.0.2" << false;
    QTest::newRow("no version") << ""
                                << "4.0.2" << false;
    QTest::newRow("text") << "4.1.0-beta"
                          << "4.0.2" << false;
    QTest::newRow("leading junk") << " 5.0"
                                  << "4.0.2" << false;
}

void TestInstallerVersion::onlyNewerInstallersPass()
{
    QFETCH(QString, installer);
    QFETCH(QString, client);
    QFETCH(bool, newer);
    QCOMPARE(installerIsNewer(installer, client), newer);
}

QTEST_GUILESS_MAIN(TestInstallerVersion)
#include "tst_installerversion.moc"
