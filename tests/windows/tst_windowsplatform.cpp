// The Windows platform code against the system's own calls, under Wine: where an elevated
// client takes its programs from, who it counts as an administrator, which paths it refuses,
// the secret store, the kill switch's filters and the start at login.
#include "app/desktopintegration.h"
#include "connection/killswitchblock.h"
#include "connection/pathsafety.h"
#include "connection/workfiles.h"
#include "core/installationfolder.h"
#include "service/secretstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <windows.h>

#include <shlobj.h>

namespace {
SecretResult wait(const std::function<void(SecretStore::Done)>& request)
{
    SecretResult result;
    bool done = false;
    request([&](const SecretResult& r) {
        result = r;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        result.status = SecretResult::Status::Unavailable;
    return result;
}
} // namespace

class TestWindowsPlatform : public QObject
{
    Q_OBJECT

private slots:
    void installationIsTheProgramsOwnFolder();
    void administratorIsWhomTheSystemCountsAsOne();
    void pathOthersMayChangeIsRefused();
    void missingPathIsRefused();
    void secretStoreKeepsAndForgetsThePassword();
    void filterEngineTakesTheBlockOrSaysWhy();
    void startAtLoginIsTheRunKeysQuotedCommand();
};

void TestWindowsPlatform::installationIsTheProgramsOwnFolder()
{
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    const QString folder = installationFolder();
    QDir::setCurrent(before);
    QCOMPARE(folder, QCoreApplication::applicationDirPath());

    const OpenVpnPlaces places = openVpnPlaces(folder);
    QCOMPARE(places.program, folder + QStringLiteral("/openvpn/openvpn.exe"));
    QCOMPARE(places.workFolder, folder + QStringLiteral("/include"));
}

void TestWindowsPlatform::administratorIsWhomTheSystemCountsAsOne()
{
    QCOMPARE(runningAsAdministrator(), bool(IsUserAnAdmin()));
}

void TestWindowsPlatform::pathOthersMayChangeIsRefused()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("openvpn.exe"));
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    // A file of the user's own (under Wine every file is): its owner is not an administrator,
    // and the refusal names it.
    const QString reason = unsafePathReason(program);
    QVERIFY2(reason.startsWith(QDir::toNativeSeparators(program) + QStringLiteral(" belongs to ")),
             qPrintable(reason));
    QVERIFY2(reason.endsWith(QStringLiteral(", not to the administrators")), qPrintable(reason));
}

void TestWindowsPlatform::missingPathIsRefused()
{
    QTemporaryDir dir;
    QVERIFY(unsafePathReason(dir.filePath(QStringLiteral("openvpn/openvpn.exe")))
                .contains(QStringLiteral("does not exist")));
}

void TestWindowsPlatform::secretStoreKeepsAndForgetsThePassword()
{
    const std::shared_ptr<SecretStore> store = makeSecretStore();
    QObject context;
    const QString account = QStringLiteral("wine-test-%1").arg(QCoreApplication::applicationPid());
    const QString secret = QString::fromUtf8("s\xc3\xa9"
                                             "cret \"1\"");
    QVERIFY(wait([&](SecretStore::Done done) { store->write(account, secret, &context, done); }).ok());
    const SecretResult read = wait([&](SecretStore::Done done) { store->read(account, &context, done); });
    QVERIFY2(read.ok(), qPrintable(read.detail));
    QCOMPARE(read.secret, secret);
    QVERIFY(wait([&](SecretStore::Done done) { store->remove(account, &context, done); }).ok());
    QCOMPARE(wait([&](SecretStore::Done done) { store->read(account, &context, done); }).status,
             SecretResult::Status::NotFound);
}

void TestWindowsPlatform::filterEngineTakesTheBlockOrSaysWhy()
{
    const std::unique_ptr<KillSwitchBlock> block = makeKillSwitchBlock();
    QCOMPARE(block->means(), QStringLiteral("Windows Filtering Platform"));
    QVERIFY(!block->removeLeftover()); // a dynamic session's filters end with their process
    BlockRules rules;
    rules.everything = true;
    rules.allowed = {{QHostAddress(QStringLiteral("198.18.0.1")), 1194, QStringLiteral("udp")}};
    QString error;
    const bool applied = block->apply(rules, &error);
    // Wine has no filtering engine: opening it is refused, and the refusal is the reason given.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        QVERIFY(!applied);
        QVERIFY2(error.startsWith(QStringLiteral("the Windows Filtering Platform could not be opened: ")) &&
                     error.contains(QStringLiteral("(0x")),
                 qPrintable(error));
    } else {
        QVERIFY2(applied == bool(IsUserAnAdmin()), qPrintable(error));
    }
    block->lift();
}

void TestWindowsPlatform::startAtLoginIsTheRunKeysQuotedCommand()
{
    // The registry of the test's own Wine prefix, read afresh each time.
    const auto command = [] {
        return QSettings(
                   QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
                   QSettings::NativeFormat)
            .value(QStringLiteral("Corvane"));
    };
    QVERIFY(setStartAtLogin(true));
    QVERIFY(startsAtLogin());
    // Quoted: a folder with a blank would otherwise start another program.
    QCOMPARE(command().toString(), QLatin1Char('"') +
                                       QDir::toNativeSeparators(QCoreApplication::applicationFilePath()) +
                                       QStringLiteral("\" --minimized"));
    QVERIFY(setStartAtLogin(false));
    QVERIFY(!startsAtLogin());
    QVERIFY(!command().isValid());
}

QTEST_GUILESS_MAIN(TestWindowsPlatform)
#include "tst_windowsplatform.moc"
