// The installer check on Windows, under Wine: an installer is refused unless its file version
// is newer than the client's, and the file the check read stays held, unchangeable but
// runnable, until it is started.
#include "corvaneversion.h"
#include "update/heldfile_windows.h"
#include "update/installer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(InstallerVerdict)

namespace {
// The client itself carries this build's version in its version resource.
QString client()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/corvane.exe");
}
QString console()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-run-redirected.exe");
}
} // namespace

class TestInstallerWindows : public QObject
{
    Q_OBJECT

private slots:
    void installerMustBeNewer_data();
    void installerMustBeNewer();
    void heldFileCannotBeChangedButRuns();
};

void TestInstallerWindows::installerMustBeNewer_data()
{
    QTest::addColumn<QString>("clientVersion");
    QTest::addColumn<bool>("newer");
    QTest::newRow("same version") << QStringLiteral(CORVANE_VERSION) << false;
    QTest::newRow("client is newer") << QStringLiteral("99.0") << false;
    QTest::newRow("installer is newer") << QStringLiteral("0.9.9") << true;
}

void TestInstallerWindows::installerMustBeNewer()
{
    QFETCH(QString, clientVersion);
    QFETCH(bool, newer);
    QTemporaryDir dir;
    const QString installer = dir.filePath(QStringLiteral("update.exe"));
    QVERIFY(QFile::copy(client(), installer));
    std::unique_ptr<InstallerPlatform> platform = makeInstallerPlatform();
    const InstallerVerdict verdict = platform->checkInstaller(installer, clientVersion);
    if (newer) // then only the signature is left to refuse it: this copy has none
        QVERIFY(verdict == InstallerVerdict::NoPublisherPinned ||
                verdict == InstallerVerdict::InvalidSignature);
    else
        QCOMPARE(verdict, InstallerVerdict::NotNewer);
    // A refused installer is let go, so that the updater can remove it.
    QVERIFY(QFile::remove(installer));
}

void TestInstallerWindows::heldFileCannotBeChangedButRuns()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("download"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/update.exe");
    QVERIFY(QFile::copy(console(), path));
    auto held = std::make_unique<HeldFile>();
    QVERIFY(held->hold(path));

    QFile writer(path);
    QVERIFY(!writer.open(QIODevice::WriteOnly | QIODevice::Append));
    QVERIFY(!QFile::rename(path, folder + QStringLiteral("/moved.exe")));
    QVERIFY(!QFile::remove(path));
    QVERIFY(!QDir(dir.path()).rename(QStringLiteral("download"), QStringLiteral("elsewhere")));
    QFile reader(path);
    QVERIFY(reader.open(QIODevice::ReadOnly));
    QVERIFY(reader.read(2) == "MZ");
    reader.close();
    // It still starts: run without arguments it says how it is used and exits with 2.
    QCOMPARE(QProcess::execute(path, {}), 2);

    held.reset();
    QVERIFY(QFile::rename(path, folder + QStringLiteral("/moved.exe")));
}

QTEST_GUILESS_MAIN(TestInstallerWindows)
#include "tst_installer_windows.moc"
