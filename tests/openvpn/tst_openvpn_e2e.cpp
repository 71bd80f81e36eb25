// Runs inside the client namespace of the OpenVPN lab (tests/openvpn/lab.sh), started by CTest
// with CORVANE_LAB_DIR and CORVANE_LAB_ENV pointing at the lab. Proves the lab: the echo page
// sees the client's own address, the real OpenVPN program moves it to the user's fixed tunnel
// address, and killing the program brings it back.
#include "monitor/addresscut.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

namespace {
// The tunnel comes up in about a second here; a loaded machine gets plenty more.
constexpr int tunnelTimeoutMs = 30000;
} // namespace

class TestOpenVpnE2e : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void echoSeesTheClientAddressWithoutTunnel();
    void tunnelMovesTheEchoToTheUsersAddressAndKillBringsItBack_data();
    void tunnelMovesTheEchoToTheUsersAddressAndKillBringsItBack();
    void wrongPasswordEndsTheProgramWithAuthFailed();
    void scriptInConfigurationCannotRunAfterLateScriptSecurity();

private:
    QString lab(const QString& key) const;
    // The echoed address, or an empty text when the page could not be fetched.
    QString echo();
    bool waitForEcho(const QString& address, int timeoutMs);
    void startOpenVpn(const QString& config, const QByteArray& user, const QByteArray& password);

    QHash<QString, QString> labValues;
    QString openVpnProgram;
    QNetworkAccessManager manager;
    QTemporaryDir work;
    QProcess openVpn;
};

void TestOpenVpnE2e::initTestCase()
{
    QVERIFY2(geteuid() == 0, "The OpenVPN end-to-end test needs root (network namespaces and TUN). "
                             "Run it as root; it does not skip.");
    QVERIFY2(QFile::exists(QStringLiteral("/dev/net/tun")), "This machine has no TUN device (/dev/net/tun).");
    const QString envFile = qEnvironmentVariable("CORVANE_LAB_ENV");
    QVERIFY2(!envFile.isEmpty(),
             "CORVANE_LAB_ENV is not set: run this test through CTest, which builds the lab.");
    QFile file(envFile);
    QVERIFY2(file.open(QIODevice::ReadOnly),
             qPrintable(QStringLiteral("Cannot read the lab file ") + envFile));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            labValues.insert(line.left(equals), line.mid(equals + 1));
    }
    QVERIFY2(labValues.contains(QStringLiteral("LAB_ECHO_URL")), "The lab file lacks LAB_ECHO_URL.");

    openVpnProgram = qEnvironmentVariable("CORVANE_OPENVPN");
    if (openVpnProgram.isEmpty())
        openVpnProgram = QStandardPaths::findExecutable(
            QStringLiteral("openvpn"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    QVERIFY2(!openVpnProgram.isEmpty(), "The openvpn program is not installed.");
    QVERIFY(work.isValid());
    // Lab traffic stays in the namespaces; a proxy from the environment would take it elsewhere.
    manager.setProxy(QNetworkProxy::NoProxy);
}

void TestOpenVpnE2e::cleanup()
{
    if (openVpn.state() != QProcess::NotRunning) {
        openVpn.kill();
        openVpn.waitForFinished(5000);
    }
}

QString TestOpenVpnE2e::lab(const QString& key) const
{
    return labValues.value(key);
}

QString TestOpenVpnE2e::echo()
{
    QNetworkRequest request(QUrl(lab(QStringLiteral("LAB_ECHO_URL"))));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(3000);
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return {};
    return echoedAddress(QString::fromUtf8(reply->readAll())).value_or(QString());
}

bool TestOpenVpnE2e::waitForEcho(const QString& address, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (echo() == address)
            return true;
        // Give the program's output and exit a chance to be handled between tries.
        QTest::qWait(100);
    }
    return false;
}

void TestOpenVpnE2e::startOpenVpn(const QString& config, const QByteArray& user, const QByteArray& password)
{
    QFile auth(work.filePath(QStringLiteral("auth.conf")));
    QVERIFY(auth.open(QIODevice::WriteOnly | QIODevice::Truncate));
    auth.write(user + "\n" + password);
    auth.close();
    QFile::remove(work.filePath(QStringLiteral("openvpn.log")));
    // The client's own command line: the late --script-security wins over the file.
    openVpn.start(openVpnProgram, {QStringLiteral("--config"), config, QStringLiteral("--script-security"),
                                   QStringLiteral("1"), QStringLiteral("--ca"),
                                   lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/ca.crt"),
                                   QStringLiteral("--auth-user-pass"), auth.fileName(),
                                   QStringLiteral("--log"), work.filePath(QStringLiteral("openvpn.log"))});
    QVERIFY2(openVpn.waitForStarted(5000), qPrintable(openVpn.errorString()));
}

void TestOpenVpnE2e::echoSeesTheClientAddressWithoutTunnel()
{
    QCOMPARE(echo(), lab(QStringLiteral("LAB_CLIENT_IP")));
}

void TestOpenVpnE2e::tunnelMovesTheEchoToTheUsersAddressAndKillBringsItBack_data()
{
    QTest::addColumn<QString>("user");
    QTest::newRow("ASCII password") << QStringLiteral("ALICE");
    QTest::newRow("UTF-8 password") << QStringLiteral("CAROL");
}

void TestOpenVpnE2e::tunnelMovesTheEchoToTheUsersAddressAndKillBringsItBack()
{
    QFETCH(QString, user);
    const QString tunnelAddress = lab(QStringLiteral("LAB_TUNNEL_IP_") + user);
    QVERIFY(!tunnelAddress.isEmpty());
    QCOMPARE(echo(), lab(QStringLiteral("LAB_CLIENT_IP")));

    QElapsedTimer clock;
    clock.start();
    startOpenVpn(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"),
                 lab(QStringLiteral("LAB_USER_") + user).toUtf8(),
                 lab(QStringLiteral("LAB_PASSWORD_") + user).toUtf8());
    const bool up = waitForEcho(tunnelAddress, tunnelTimeoutMs);
    if (!up) {
        QFile log(work.filePath(QStringLiteral("openvpn.log")));
        log.open(QIODevice::ReadOnly);
        qWarning().noquote() << log.readAll();
    }
    QVERIFY2(up, "The echo page never showed the tunnel address.");
    qInfo("Tunnel up after %lld ms", static_cast<long long>(clock.elapsed()));

    openVpn.kill();
    QVERIFY(openVpn.waitForFinished(5000));
    QVERIFY2(waitForEcho(lab(QStringLiteral("LAB_CLIENT_IP")), 10000),
             "The echo page did not return to the client's own address after the program was killed.");
}

void TestOpenVpnE2e::wrongPasswordEndsTheProgramWithAuthFailed()
{
    startOpenVpn(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"), "alice",
                 "not-the-password");
    QVERIFY2(openVpn.waitForFinished(tunnelTimeoutMs), "openvpn kept running after a refused password.");
    QFile log(work.filePath(QStringLiteral("openvpn.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("AUTH_FAILED"));
    QCOMPARE(echo(), lab(QStringLiteral("LAB_CLIENT_IP")));
}

void TestOpenVpnE2e::scriptInConfigurationCannotRunAfterLateScriptSecurity()
{
    // Should the configuration check ever miss a script line, the late --script-security
    // still keeps it from running: openvpn stops instead.
    const QString marker = work.filePath(QStringLiteral("script-ran"));
    QFile config(work.filePath(QStringLiteral("scripted.ovpn")));
    QFile base(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
    QVERIFY(base.open(QIODevice::ReadOnly));
    QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
    config.write(base.readAll() + "script-security 2\nup \"/bin/touch " + marker.toUtf8() + "\"\n");
    config.close();

    startOpenVpn(config.fileName(), "alice", lab(QStringLiteral("LAB_PASSWORD_ALICE")).toUtf8());
    QVERIFY2(openVpn.waitForFinished(tunnelTimeoutMs), "openvpn ran on with a script it may not call.");
    QVERIFY(!QFile::exists(marker));
    QCOMPARE(echo(), lab(QStringLiteral("LAB_CLIENT_IP")));
}

QTEST_MAIN(TestOpenVpnE2e)
#include "tst_openvpn_e2e.moc"
