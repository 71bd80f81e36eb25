// The folder of the one-copy lock, the sockets and the OpenVPN work files: the session's runtime
// folder only when it is this user's alone, else one in the home folder's cache, never a name in
// a shared folder that another user can make first.
#include "connection/workfiles.h"
#include "core/privatefolder.h"
#include "otheruser.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestPrivateFolder : public QObject
{
    Q_OBJECT

private slots:
    void onlyAPrivateRuntimeFolderIsUsed_data();
    void onlyAPrivateRuntimeFolderIsUsed();
    void openVpnWorkFilesIgnoreWhatOthersMadeInTheTempFolder();
};

void TestPrivateFolder::onlyAPrivateRuntimeFolderIsUsed_data()
{
    QTest::addColumn<int>("runtimeMode"); // 0: no runtime folder
    QTest::addColumn<bool>("runtimeOfAnotherUser");
    QTest::addColumn<bool>("runtimeUsed");
    QTest::newRow("private runtime folder") << 0700 << false << true;
    QTest::newRow("runtime folder others may enter") << 0755 << false << false;
    QTest::newRow("runtime folder of another user") << 0700 << true << false;
    QTest::newRow("no runtime folder") << 0 << false << false;
}

void TestPrivateFolder::onlyAPrivateRuntimeFolderIsUsed()
{
    QFETCH(int, runtimeMode);
    QFETCH(bool, runtimeOfAnotherUser);
    QFETCH(bool, runtimeUsed);
    QTemporaryDir home;
    QTemporaryDir runtime;
    std::unique_ptr<OtherUser> other;
    if (runtimeOfAnotherUser) {
        other = std::make_unique<OtherUser>();
        QVERIFY2(other->problem().isEmpty(), qPrintable(other->problem()));
        QCOMPARE(::chown(QFile::encodeName(runtime.path()).constData(), other->uid(), gid_t(-1)), 0);
    }
    QCOMPARE(::chmod(QFile::encodeName(runtime.path()).constData(), mode_t(runtimeMode)), 0);
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CACHE_HOME");
    if (runtimeMode)
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    else
        qunsetenv("XDG_RUNTIME_DIR");

    QString error;
    const QString folder = privateRuntimeFolder(&error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString cache = QDir(home.path()).filePath(QStringLiteral(".cache/corvane"));
    QCOMPARE(folder, runtimeUsed ? runtime.path() : cache);
    struct stat info = {};
    QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0700));
    QCOMPARE(info.st_uid, ::geteuid());
}

void TestPrivateFolder::openVpnWorkFilesIgnoreWhatOthersMadeInTheTempFolder()
{
    const OtherUser other;
    QVERIFY2(other.problem().isEmpty(), qPrintable(other.problem()));
    QTemporaryDir home;
    QTemporaryDir shared;
    QCOMPARE(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    QVERIFY(other.run(
        QStringLiteral("mkdir '%1/corvane-%2' '%1/runtime-root'").arg(shared.path()).arg(::geteuid())));
    qputenv("TMPDIR", QFile::encodeName(shared.path()));
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CACHE_HOME");
    qunsetenv("XDG_RUNTIME_DIR");

    const OpenVpnPlaces places = openVpnPlaces(home.path());
    QVERIFY2(places.error.isEmpty(), qPrintable(places.error));
    QCOMPARE(places.privateFolder, QDir(home.path()).filePath(QStringLiteral(".cache/corvane/corvane")));
    QCOMPARE(QFileInfo(places.privateFolder).ownerId(), ::geteuid());
    QCOMPARE(QFileInfo(places.privateFolder).permissions() & 0x0077, QFileDevice::Permissions());
}

QTEST_GUILESS_MAIN(TestPrivateFolder)
#include "tst_privatefolder.moc"
