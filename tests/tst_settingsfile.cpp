// The settings file is readable by its owner alone, from its first byte on and after every
// rewrite by the settings store.
#include "core/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr QFileDevice::Permissions othersMask = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
}

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void settingsFileIsOwnerOnly_data();
    void settingsFileIsOwnerOnly();
    void registryIsLeftAlone();
};

void TestSettingsFile::settingsFileIsOwnerOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("existing"); // null: no file yet

    QTest::newRow("first start, no folder") << QStringLiteral("Corvane/Corvane.conf") << QByteArray();
    QTest::newRow("file of an earlier version")
        << QStringLiteral("Corvane.conf") << QByteArray("[General]\nltr=1\nltu=alice\n");
    QTest::newRow("ini format") << QStringLiteral("Corvane.ini") << QByteArray("[General]\n");
}

void TestSettingsFile::settingsFileIsOwnerOnly()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, existing);

    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (!existing.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
        file.close();
        QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    }

    QVERIFY(protectSettingsFile(path));
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFile::permissions(path) & othersMask, QFileDevice::Permissions());
    QVERIFY(QFile::permissions(path) & QFileDevice::WriteOwner);

    // The settings store rewrites the file through a copy; the copy stays private, and what
    // an earlier version wrote is kept.
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue(QStringLiteral("ltrunning"), QStringLiteral("1"));
    }
    QCOMPARE(QFile::permissions(path) & othersMask, QFileDevice::Permissions());
    QSettings reread(path, QSettings::IniFormat);
    QCOMPARE(reread.value(QStringLiteral("ltrunning")).toString(), QStringLiteral("1"));
    if (existing.contains("ltu"))
        QCOMPARE(reread.value(QStringLiteral("ltu")).toString(), QStringLiteral("alice"));
}

void TestSettingsFile::registryIsLeftAlone()
{
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    QVERIFY(protectSettingsFile(QStringLiteral("\\HKEY_CURRENT_USER\\Software\\Corvane\\Corvane")));
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
