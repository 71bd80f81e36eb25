// The remembered password for the automatic login: kept in the secret store (here the memory
// store), moved there from the settings of an earlier version, and asked for when no store
// can give it.
#include "service/qtkeychain.h"
#include "servicewindow.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <QTimer>

using namespace servicewindow;

namespace {

const QString user = QStringLiteral("alice");
const QString password = QStringLiteral("secret");

QByteArray settingsFileBytes()
{
    QFile file(QSettings().fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void rememberInSettings(const QByteArray& legacyPassword)
{
    QSettings settings;
    settings.setValue(QStringLiteral("ltr"), QStringLiteral("1"));
    settings.setValue(QStringLiteral("ltu"), user.toUtf8());
    if (!legacyPassword.isNull())
        settings.setValue(QStringLiteral("ltp"), legacyPassword);
}

} // namespace

class TestRememberedPassword : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateSettings(); }
    void init() { clearSettings(); }
    void declinedPromptIsToldAsDeclined_data();
    void declinedPromptIsToldAsDeclined();

    void autoLoginTakesPasswordFromStore_data();
    void autoLoginTakesPasswordFromStore();
    void storeWithoutPasswordAsksForIt_data();
    void storeWithoutPasswordAsksForIt();
    void failedWriteTellsUserAndKeepsNothingInClear_data();
    void failedWriteTellsUserAndKeepsNothingInClear();
};

void TestRememberedPassword::autoLoginTakesPasswordFromStore_data()
{
    QTest::addColumn<bool>("fromEarlierVersion");
    QTest::newRow("saved at the last login") << false;
    QTest::newRow("left in the settings by an earlier version") << true;
}

void TestRememberedPassword::autoLoginTakesPasswordFromStore()
{
    QFETCH(bool, fromEarlierVersion);

    WindowHarness h;
    if (fromEarlierVersion) {
        rememberInSettings(password.toUtf8());
    } else {
        startWindow(h);
        h.find<QCheckBox>(QStringLiteral("autologin"))->setChecked(true);
        QVERIFY(h.login(user, password));
        h.window.reset();
        h.sim.clearRequests();
    }

    h.create();
    QTRY_VERIFY_WITH_TIMEOUT(h.shown(QStringLiteral("WingetConnected")), 5000);
    QCOMPARE(lastRequest(h, QStringLiteral("/AppServersV2")).queryValue(QStringLiteral("key")),
             ServiceSimulator::passwordKey(password));
    QVERIFY(h.boxes.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(h.secrets->secrets.value(user), password, 5000);
    h.window.reset();

    // The file keeps the flag and the name, never the password, and only its owner reads it.
    const QByteArray file = settingsFileBytes();
    QVERIFY(file.contains("ltr=1"));
    QVERIFY(file.contains(user.toUtf8()));
    QVERIFY2(!file.contains("ltp") && !file.contains(password.toUtf8()), file.constData());
    QCOMPARE(QFile::permissions(QSettings().fileName()) & 0x0077, QFileDevice::Permissions());
}

void TestRememberedPassword::storeWithoutPasswordAsksForIt_data()
{
    QTest::addColumn<bool>("fails");
    QTest::addColumn<int>("failure");
    QTest::addColumn<bool>("upOnRetry");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("loggedIn");

    const QString noStore = QStringLiteral("No secret store: password not remembered.");
    const int unavailable = int(SecretResult::Status::Unavailable);
    QTest::newRow("no store") << true << unavailable << false << noStore << false;
    QTest::newRow("store comes up late") << true << unavailable << true << noStore << true;
    QTest::newRow("unlock declined") << true << int(SecretResult::Status::Denied) << false
                                     << QStringLiteral("Keyring prompt declined: password not remembered.")
                                     << false;
    QTest::newRow("nothing stored") << false << 0 << false
                                    << QStringLiteral("Password not found in the secret store.") << false;
}

void TestRememberedPassword::storeWithoutPasswordAsksForIt()
{
    QFETCH(bool, fails);
    QFETCH(int, failure);
    QFETCH(bool, upOnRetry);
    QFETCH(QString, status);
    QFETCH(bool, loggedIn);

    WindowHarness h;
    rememberInSettings(QByteArray());
    h.secrets->failReads = fails;
    h.secrets->failure = SecretResult::Status(failure);
    if (upOnRetry || !fails)
        h.secrets->secrets.insert(fails ? user : QStringLiteral("someone else"), password);
    startWindow(h);

    // The login page asks for the password, with the name filled and the reason said.
    QVERIFY(h.shown(QStringLiteral("WingetLogin")));
    QCOMPARE(h.text(QStringLiteral("username")), user);
    QCOMPARE(h.text(QStringLiteral("password")), QString());
    QVERIFY(h.find<QCheckBox>(QStringLiteral("autologin"))->isChecked());
    QCOMPARE(h.text(QStringLiteral("authstatus")), status);
    QVERIFY(h.boxes.isEmpty());
    QVERIFY(h.sim.requests(QStringLiteral("/AppServersV2")).isEmpty());

    // Only a store that did not answer is asked once more.
    auto* retry = h.window->findChild<ClockTimer*>(QStringLiteral("secretRetryTimer"));
    const bool retried = failure == int(SecretResult::Status::Unavailable);
    QCOMPARE(retry->isActive(), retried);
    if (retried) {
        // After a few seconds, for a keyring daemon that starts after the client.
        QVERIFY(retry->remainingMs() >= 2000);
        h.secrets->failReads = !upOnRetry;
        h.clock->advance(retry->remainingMs());
        QTRY_COMPARE_WITH_TIMEOUT(h.secrets->reads, 2, 5000);
        h.settle(1000);
    }
    QCOMPARE(h.secrets->reads, retried ? 2 : 1);
    QCOMPARE(h.shown(QStringLiteral("WingetConnected")), loggedIn);
    QCOMPARE(h.sim.requests(QStringLiteral("/AppServersV2")).size(), loggedIn ? 1 : 0);
    if (loggedIn)
        return;
    QCOMPARE(h.text(QStringLiteral("authstatus")), status);

    // The user types the password; a store that is still missing is not reported a second time.
    h.secrets->failWrites = fails;
    QVERIFY(submitLogin(h, user, password));
    QVERIFY(h.settle());
    QVERIFY(h.shown(QStringLiteral("WingetConnected")));
    QVERIFY(h.boxes.isEmpty());
    QCOMPARE(h.secrets->secrets.value(user) == password, !fails);
}

void TestRememberedPassword::failedWriteTellsUserAndKeepsNothingInClear_data()
{
    QTest::addColumn<bool>("fromEarlierVersion");
    QTest::newRow("typed at login") << false;
    QTest::newRow("left in the settings by an earlier version") << true;
}

void TestRememberedPassword::failedWriteTellsUserAndKeepsNothingInClear()
{
    QFETCH(bool, fromEarlierVersion);

    WindowHarness h;
    h.secrets->failWrites = true;
    if (fromEarlierVersion)
        rememberInSettings(password.toUtf8());
    startWindow(h);
    if (!fromEarlierVersion) {
        h.find<QCheckBox>(QStringLiteral("autologin"))->setChecked(true);
        QVERIFY(submitLogin(h, user, password));
    }
    QTRY_VERIFY_WITH_TIMEOUT(h.shown(QStringLiteral("WingetConnected")), 5000);
    QVERIFY(h.settle());

    QCOMPARE(h.boxTitles(), QStringList{QStringLiteral("Password not remembered")});
    QCOMPARE(h.boxes.at(0).text, QStringLiteral("The password could not be kept in the system's secret "
                                                "store: no secret store is available on this system. "
                                                "Corvane will ask for it at the next start."));
    QVERIFY(h.secrets->secrets.isEmpty());
    h.window.reset();
    // An earlier version's password stays where it was until the store takes it: never lost.
    QCOMPARE(settingsFileBytes().contains(password.toUtf8()), fromEarlierVersion);
    QCOMPARE(QSettings().contains(QStringLiteral("ltp")), fromEarlierVersion);
}

void TestRememberedPassword::declinedPromptIsToldAsDeclined_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("status");
    using S = SecretResult::Status;
    QTest::newRow("done") << int(QKeychain::NoError) << int(S::Ok);
    QTest::newRow("nothing stored") << int(QKeychain::EntryNotFound) << int(S::NotFound);
    QTest::newRow("the user said no") << int(QKeychain::AccessDeniedByUser) << int(S::Denied);
    QTest::newRow("the prompt dismissed, the store still locked")
        << int(QKeychain::AccessDenied) << int(S::Denied);
    QTest::newRow("no store") << int(QKeychain::NoBackendAvailable) << int(S::Unavailable);
    QTest::newRow("broken") << int(QKeychain::OtherError) << int(S::Unavailable);
}

void TestRememberedPassword::declinedPromptIsToldAsDeclined()
{
    QFETCH(int, error);
    QFETCH(int, status);
    QCOMPARE(int(keychainStatus(error)), status);
}

QTEST_MAIN(TestRememberedPassword)
#include "tst_rememberedpassword.moc"
