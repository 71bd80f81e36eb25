// A root client refuses a program or folder that another user could swap.
#include "connection/pathsafety.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestPathSafety : public QObject
{
    Q_OBJECT

private slots:
    void pathsOthersCanChangeAreRefused_data();
    void pathsOthersCanChangeAreRefused();
};

void TestPathSafety::pathsOthersCanChangeAreRefused_data()
{
    QTest::addColumn<QString>("changed");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("otherOwner");
    QTest::addColumn<QString>("reason");
    QTest::newRow("safe") << "" << 0 << false << "";
    QTest::newRow("program writable by all")
        << "openvpn/openvpn" << 0777 << false << "may be changed by every user";
    QTest::newRow("folder writable by all") << "openvpn" << 0777 << false << "may be changed by every user";
    QTest::newRow("parent writable by a group")
        << "." << 0775 << false << "may be changed by the members of group";
    QTest::newRow("program of another user")
        << "openvpn/openvpn" << 0755 << true << "belongs to another user";
    QTest::newRow("missing") << "missing" << 0 << false << "does not exist";
}

void TestPathSafety::pathsOthersCanChangeAreRefused()
{
    QFETCH(QString, changed);
    QFETCH(int, mode);
    QFETCH(bool, otherOwner);
    QFETCH(QString, reason);
    // Under the build folder: the shared temporary folder is writable by all, by design.
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/pathsafety-XXXXXX"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("openvpn")));
    QFile program(dir.filePath(QStringLiteral("openvpn/openvpn")));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.close();
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(program.fileName()).constData(), 0755) == 0);
    const QByteArray target = QFile::encodeName(dir.filePath(changed));
    if (mode && changed != QLatin1String("missing"))
        QVERIFY(::chmod(target.constData(), mode_t(mode)) == 0);
    if (otherOwner)
        QVERIFY(::chown(target.constData(), ::geteuid() + 1000, gid_t(-1)) == 0);
    if (mode == 0775)
        QVERIFY(::chown(target.constData(), uid_t(-1), ::getegid() + 1000) == 0);
    const QString path = changed == QLatin1String("missing") ? dir.filePath(changed) : program.fileName();
    const QString verdict = unsafePathReason(path, ::geteuid());
    QVERIFY2(reason.isEmpty() ? verdict.isEmpty() : verdict.contains(reason), qPrintable(verdict));
}

QTEST_GUILESS_MAIN(TestPathSafety)
#include "tst_pathsafety.moc"
