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
    void unusableFileIsFoundAtStart_data();
    void unusableFileIsFoundAtStart();
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

void TestSettingsFile::unusableFileIsFoundAtStart_data()
{
    QTest::addColumn<QByteArray>("content"); // null: a folder where the file belongs
    QTest::addColumn<int>("outcome");
    using Outcome = SettingsFileCheck::Outcome;
    QTest::newRow("readable") << QByteArray("[General]\nltu=alice\n") << int(Outcome::Fine);
    QTest::newRow("cut off by a full disk")
        << QByteArray("[General]\nltu=alice\n[Gen") << int(Outcome::SetAside);
    QTest::newRow("binary inside") << QByteArray("[General]\nltu=alice\n\xff\xfe\x00garbage\n[bad\nzz", 38)
                                   << int(Outcome::SetAside);
    QTest::newRow("a folder in its place") << QByteArray() << int(Outcome::Unreadable);
}

void TestSettingsFile::unusableFileIsFoundAtStart()
{
    QFETCH(QByteArray, content);
    QFETCH(int, outcome);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Corvane.conf"));
    if (content.isNull()) {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const SettingsFileCheck check = checkSettingsFile(path);
    QCOMPARE(int(check.outcome), outcome);
    if (check.outcome != SettingsFileCheck::Outcome::SetAside) {
        QVERIFY(check.keptAs.isEmpty());
        return;
    }
    // Nothing is lost: the old bytes are kept, and what is set from now on is kept too.
    QFile kept(check.keptAs);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), content);
    QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("ltu"), QStringLiteral("bob"));
    QCOMPARE(QSettings(path, QSettings::IniFormat).value(QStringLiteral("ltu")).toString(),
             QStringLiteral("bob"));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
