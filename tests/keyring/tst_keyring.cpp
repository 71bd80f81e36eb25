// The client's secret store against a real Secret Service (gnome-keyring-daemon on a private
// session bus, see run.sh), and an automatic login through it that leaves the password in no
// file of the home folder.
#include "service/secretstore.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {

const QString user = QStringLiteral("keyring-user \u00fc");
const QString password = QStringLiteral("p\u00e4ss-Qz7-unique-4711");

// Runs one request of the store and waits for its answer.
template <typename Request> SecretResult await(Request request)
{
    QEventLoop loop;
    SecretResult answer;
    answer.status = SecretResult::Status::Unavailable;
    answer.detail = QStringLiteral("no answer within 20 s");
    QObject context;
    request(&context, [&](const SecretResult& result) {
        answer = result;
        loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    return answer;
}

// Files under root whose bytes contain needle.
QStringList filesContaining(const QString& root, const QByteArray& needle)
{
    QStringList found;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(needle))
            found << file.fileName();
    }
    return found;
}

} // namespace

class TestKeyring : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void storeWritesReadsAndRemovesSecret();
    void autoLoginThroughKeyringLeavesNoPasswordInFiles();
};

void TestKeyring::initTestCase()
{
    // Never the user's own home, settings or keyring.
    const QByteArray home = qgetenv("CORVANE_KEYRING_HOME");
    QVERIFY2(!home.isEmpty() && home == qgetenv("HOME"), "run me through tests/keyring/run.sh");
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
}

void TestKeyring::storeWritesReadsAndRemovesSecret()
{
    const std::shared_ptr<SecretStore> store = makeSecretStore();
    using Context = QObject*;
    using Done = SecretStore::Done;

    SecretResult result = await([&](Context c, Done d) { store->write(user, password, c, d); });
    QVERIFY2(result.ok(), qPrintable(result.detail));
    result = await([&](Context c, Done d) { store->read(user, c, d); });
    QVERIFY2(result.ok(), qPrintable(result.detail));
    QCOMPARE(result.secret, password);
    // Another account's name finds nothing.
    result = await([&](Context c, Done d) { store->read(user + QStringLiteral("x"), c, d); });
    QCOMPARE(result.status, SecretResult::Status::NotFound);

    result = await([&](Context c, Done d) { store->remove(user, c, d); });
    QVERIFY2(result.ok(), qPrintable(result.detail));
    result = await([&](Context c, Done d) { store->read(user, c, d); });
    QCOMPARE(result.status, SecretResult::Status::NotFound);
}

void TestKeyring::autoLoginThroughKeyringLeavesNoPasswordInFiles()
{
    WindowHarness h;
    QJsonObject account = h.sim.account(QStringLiteral("alice"));
    account[QStringLiteral("username")] = user;
    account[QStringLiteral("password")] = password;
    h.sim.addAccount(account);
    const std::shared_ptr<SecretStore> keyring = makeSecretStore();

    // First run: log in with the box checked.
    h.create()->secretStore = keyring;
    h.find<QCheckBox>(QStringLiteral("autologin"))->setChecked(true);
    QVERIFY(h.login(user, password));
    QTRY_COMPARE_WITH_TIMEOUT(
        await([&](QObject* c, SecretStore::Done d) { keyring->read(user, c, d); }).secret, password, 10000);
    h.window.reset();

    // Second run: the window logs in by itself with the password from the keyring.
    h.sim.clearRequests();
    h.create()->secretStore = keyring;
    QTRY_VERIFY_WITH_TIMEOUT(h.shown(QStringLiteral("WingetConnected")), 10000);
    QCOMPARE(h.sim.requests(QStringLiteral("/AppServersV2")).constFirst().queryValue(QStringLiteral("key")),
             ServiceSimulator::passwordKey(password));
    QVERIFY(h.settle());
    h.window.reset();

    const QString settingsFile = QSettings().fileName();
    QVERIFY2(settingsFile.startsWith(QString::fromLocal8Bit(qgetenv("HOME"))), qPrintable(settingsFile));
    QCOMPARE(QFile::permissions(settingsFile) & 0x0077, QFileDevice::Permissions());
    QVERIFY(!QSettings().contains(QStringLiteral("ltp")));
    // The search does see the client's files: the user name is there.
    QVERIFY(!filesContaining(QString::fromLocal8Bit(qgetenv("HOME")), QByteArray("keyring-user")).isEmpty());
    for (const QString& root : {QString::fromLocal8Bit(qgetenv("HOME")), h.workDir.path()}) {
        const QStringList found = filesContaining(root, password.toUtf8());
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char(' '))));
    }
}

QTEST_MAIN(TestKeyring)
#include "tst_keyring.moc"
