// The configuration check reads lines the way OpenVPN does and lets through only what is on
// its allow-list. This holds it against the real program: every spelling the check refuses as
// "up" is one OpenVPN really takes as its up script; every directive the check allows is a
// client option OpenVPN accepts; OpenVPN's standalone operations are refused; and the dangerous
// configurations that OpenVPN acts on are stopped by the window before the program runs.
#include "connection/openvpnconfig.h"
#include "openvpnsupport.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <memory>

namespace {
const QString certificatePath = QStringLiteral("/files/lab/ca.crt");
const QString configPath = QStringLiteral("/files/lab/client.ovpn");
constexpr int replyTimeoutMs = 10000;
constexpr int tunnelTimeoutMs = 30000;
const QByteArray untouched = "untouched\n";
const QByteArray secretLines = "secret-user\nsecret-password\n";

// What the dangerous configuration would do.
enum class Harm
{
    LoadsLibrary,
    WritesFile,
    SendsFile,
    ReachesProxy
};
} // namespace
Q_DECLARE_METATYPE(Harm)

class TestOpenVpnConfigAgreement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void checkAndOpenVpnAgreeOnUpScript_data();
    void checkAndOpenVpnAgreeOnUpScript();
    void everyAllowedDirectiveIsAClientOptionOfOpenVpn_data();
    void everyAllowedDirectiveIsAClientOptionOfOpenVpn();
    void everyStandaloneOperationIsRefused();
    void dangerousConfigurationNeverReachesOpenVpn_data();
    void dangerousConfigurationNeverReachesOpenVpn();
    void configurationCannotReplaceTheCommandLineFiles();
    void escapedCommentMarkIsRefusedThoughOpenVpnSkipsIt();

private:
    // What OpenVPN reports as its up script after reading the file, or its options error.
    QString openVpnUpScript(const QByteArray& config) { return openVpnSetting(config, "up_script"); }
    // The value OpenVPN's settings dump gives `setting` after reading `config`.
    QString openVpnSetting(const QByteArray& config, const QString& setting);
    // Empty when OpenVPN took the file as a client configuration, else its options error.
    QString openVpnOptionsError(const QByteArray& config);
    QString lab(const QString& key) const { return labValues.value(key); }
    void serveLab(const QByteArray& config, const QByteArray& certificate);
    bool harmDone(Harm harm) const;
    // Runs the real program in `dir` with the client's command line until `harm` is seen.
    bool openVpnDoesHarm(const QString& dir, const QByteArray& config, const QByteArray& certificate,
                         Harm harm);

    QString program;
    QTemporaryDir work;
    QHash<QString, QString> labValues;
    std::unique_ptr<WindowHarness> harness;
    QTcpServer proxy;
    QByteArray proxyReceived;
    int proxyConnections = 0;
    // Connections of an earlier phase may still deliver; only the current one's count.
    int proxyPhase = 0;
};

void TestOpenVpnConfigAgreement::initTestCase()
{
    QVERIFY2(geteuid() == 0, "The agreement test needs root: it runs OpenVPN and the lab.");
    program = qEnvironmentVariable("CORVANE_OPENVPN");
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("openvpn"),
                                                 {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    QVERIFY2(!program.isEmpty(), "The openvpn program is not installed.");
    QVERIFY(work.isValid());
    QFile ca(work.filePath(QStringLiteral("ca.crt")));
    QFile auth(work.filePath(QStringLiteral("auth.conf")));
    QFile secret(work.filePath(QStringLiteral("secret.txt")));
    QVERIFY(ca.open(QIODevice::WriteOnly) && auth.open(QIODevice::WriteOnly) &&
            secret.open(QIODevice::WriteOnly));
    ca.write("not read before the options are checked\n");
    auth.write("user\npassword\n");
    secret.write(secretLines);
    secret.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    QString error;
    labValues = readLabEnvironment(qEnvironmentVariable("CORVANE_LAB_ENV"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(proxy.listen(QHostAddress::LocalHost));
    connect(&proxy, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = proxy.nextPendingConnection()) {
            ++proxyConnections;
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, phase = proxyPhase] {
                const QByteArray data = socket->readAll();
                if (phase == proxyPhase)
                    proxyReceived += data;
            });
        }
    });
    isolateSettings();
}

void TestOpenVpnConfigAgreement::cleanup()
{
    harness.reset();
    proxyConnections = 0;
    proxyReceived.clear();
}

QString TestOpenVpnConfigAgreement::openVpnSetting(const QByteArray& config, const QString& setting)
{
    QFile file(work.filePath(QStringLiteral("probe.ovpn")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("cannot write probe");
    // A null device and the settings dump: nothing touches the network, and the program is
    // stopped as soon as it has said what it read.
    file.write("dev null\nverb 4\n" + config + "\n");
    file.close();
    QProcess openVpn;
    openVpn.setProcessChannelMode(QProcess::MergedChannels);
    openVpn.start(program, {QStringLiteral("--config"), file.fileName()});
    QByteArray output;
    const QDeadlineTimer deadline(20000);
    QRegularExpression upScript(QStringLiteral(" %1 = '([^']*)'|(Options error[^\\n]*)").arg(setting));
    while (!deadline.hasExpired()) {
        openVpn.waitForReadyRead(200);
        output += openVpn.readAll();
        const QRegularExpressionMatch match = upScript.match(QString::fromUtf8(output));
        if (match.hasMatch() || openVpn.state() == QProcess::NotRunning) {
            openVpn.kill();
            openVpn.waitForFinished(5000);
            return match.hasMatch() ? match.captured(1) + match.captured(2) : QStringLiteral("no answer");
        }
    }
    openVpn.kill();
    openVpn.waitForFinished(5000);
    return QStringLiteral("timed out");
}

QString TestOpenVpnConfigAgreement::openVpnOptionsError(const QByteArray& config)
{
    QFile file(work.filePath(QStringLiteral("client.ovpn")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("cannot write probe");
    // A client of a closed port on this namespace's loopback, without a device. The settings
    // dump comes after every check of the options; the program is stopped there.
    file.write("client\ndev null\nproto udp\nremote 127.0.0.1 9\n" + config + "\n");
    file.close();
    QProcess openVpn;
    openVpn.setProcessChannelMode(QProcess::MergedChannels);
    openVpn.start(program,
                  {QStringLiteral("--config"), file.fileName(), QStringLiteral("--script-security"),
                   QStringLiteral("1"), QStringLiteral("--ca"), work.filePath(QStringLiteral("ca.crt")),
                   QStringLiteral("--auth-user-pass"), work.filePath(QStringLiteral("auth.conf")),
                   QStringLiteral("--verb"), QStringLiteral("4")});
    QByteArray output;
    const QDeadlineTimer deadline(20000);
    const QRegularExpression error(QStringLiteral("(Options error[^\\n]*|Use --help[^\\n]*)"));
    while (!deadline.hasExpired()) {
        openVpn.waitForReadyRead(100);
        output += openVpn.readAll();
        const QRegularExpressionMatch match = error.match(QString::fromUtf8(output));
        const bool done = match.hasMatch() || output.contains("Current Parameter Settings");
        if (done || openVpn.state() == QProcess::NotRunning) {
            openVpn.kill();
            openVpn.waitForFinished(5000);
            if (match.hasMatch())
                return match.captured(1);
            return done ? QString() : QStringLiteral("ended without an answer: ") + QString::fromUtf8(output);
        }
    }
    openVpn.kill();
    openVpn.waitForFinished(5000);
    return QStringLiteral("timed out");
}

void TestOpenVpnConfigAgreement::checkAndOpenVpnAgreeOnUpScript_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<bool>("runsScript");

    QTest::newRow("plain") << QByteArray("up /bin/true") << true;
    QTest::newRow("double dash") << QByteArray("--up /bin/true") << true;
    QTest::newRow("quoted double dash") << QByteArray("\"--up\" /bin/true") << true;
    QTest::newRow("single quotes") << QByteArray("'up' '/bin/true'") << true;
    QTest::newRow("glued quoted words") << QByteArray("\"up\"\"/bin/true\"") << true;
    QTest::newRow("escaped blank first") << QByteArray("\\ up /bin/true") << true;
    QTest::newRow("tab, VT and FF first") << QByteArray("\t\v\fup /bin/true") << true;
    QTest::newRow("CR LF") << QByteArray("up /bin/true\r") << true;
    QTest::newRow("setenv opt") << QByteArray("setenv opt up /bin/true") << true;
    QTest::newRow("quoted setenv opt") << QByteArray("'setenv' \"opt\" 'up' /bin/true") << true;
    QTest::newRow("after a block closed with trailing text")
        << QByteArray("<connection>\nremote a\n  </connection> up\nup /bin/true") << true;

    QTest::newRow("comment") << QByteArray("  # up /bin/true") << false;
    QTest::newRow("setenv-safe") << QByteArray("setenv-safe up /bin/true") << false;
    QTest::newRow("inside a data block") << QByteArray("<connection>\nremote a\n</connection>\n"
                                                       "<http-proxy-user-pass>\nup /bin/true\nx\n"
                                                       "</http-proxy-user-pass>")
                                         << false;
}

void TestOpenVpnConfigAgreement::checkAndOpenVpnAgreeOnUpScript()
{
    QFETCH(QByteArray, config);
    QFETCH(bool, runsScript);
    const QString upScript = openVpnUpScript(config);
    if (runsScript) {
        QCOMPARE(upScript, QStringLiteral("/bin/true"));
        const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(config);
        QVERIFY(!verdict.accepted);
        QCOMPARE(verdict.directive, QStringLiteral("up"));
    } else {
        QVERIFY2(upScript != QStringLiteral("/bin/true"), qPrintable(upScript));
        QVERIFY2(!upScript.isEmpty() && upScript != QStringLiteral("timed out"), qPrintable(upScript));
        QVERIFY(checkOpenVpnConfig(config).accepted);
    }
}

void TestOpenVpnConfigAgreement::everyAllowedDirectiveIsAClientOptionOfOpenVpn_data()
{
    QTest::addColumn<QByteArray>("example");
    QTest::addColumn<bool>("windowsOnly");

    const QByteArray sha256 = "AB:" + QByteArray("CD:").repeated(30) + "EF";
    const QByteArray pem = "-----BEGIN X-----\nAAAA\n-----END X-----\n";
    // A typical use of each allowed directive, with what it needs beside it.
    const QHash<QByteArray, QByteArray> examples{
        {"client", "client"},
        {"tls-client", "tls-client"},
        {"pull", "pull"},
        {"pull-filter", "pull-filter ignore \"route-ipv6\""},
        {"route-nopull", "route-nopull"},
        {"push-peer-info", "push-peer-info"},
        {"auth-user-pass", "auth-user-pass\n<auth-user-pass>\nu\np\n</auth-user-pass>"},
        {"auth-nocache", "auth-nocache"},
        {"auth-retry", "auth-retry nointeract"},
        {"static-challenge", "static-challenge \"Enter PIN\" 1"},
        {"compat-mode", "compat-mode 2.4.0"},
        {"disable-dco", "disable-dco"},
        {"ignore-unknown-option", "ignore-unknown-option block-outside-dns register-dns"},
        {"setenv", "setenv CLIENT_CERT 0\nsetenv UV_PLAN gold"},
        {"setenv-safe", "setenv-safe PLAN gold"},
        {"remote", "remote 127.0.0.1 9 udp"},
        {"remote-random", "remote-random"},
        {"remote-random-hostname", "remote-random-hostname"},
        {"resolv-retry", "resolv-retry infinite"},
        {"connect-retry", "connect-retry 5 60"},
        {"connect-retry-max", "connect-retry-max 3"},
        {"connect-timeout", "connect-timeout 10"},
        {"server-poll-timeout", "server-poll-timeout 10"},
        {"explicit-exit-notify", "explicit-exit-notify 2"},
        {"proto", "proto udp"},
        {"port", "port 1194"},
        {"rport", "rport 1194"},
        {"lport", "lport 0"},
        {"local", "local 127.0.0.1"},
        {"bind", "bind"},
        {"nobind", "nobind"},
        {"float", "float"},
        {"http-proxy", "proto tcp-client\nhttp-proxy 127.0.0.1 8080"},
        {"http-proxy-user-pass", "proto tcp-client\nhttp-proxy 127.0.0.1 "
                                 "8080\n<http-proxy-user-pass>\nu\np\n</http-proxy-user-pass>"},
        {"http-proxy-option", "proto tcp-client\nhttp-proxy 127.0.0.1 8080\nhttp-proxy-option VERSION 1.1"},
        {"socks-proxy", "socks-proxy 127.0.0.1 1080"},
        {"dev", "dev null"},
        {"dev-type", "dev-type tun"},
        {"topology", "topology subnet"},
        {"tun-mtu", "tun-mtu 1500"},
        {"tun-mtu-extra", "tun-mtu-extra 32"},
        {"link-mtu", "link-mtu 1560"},
        {"mtu-disc", "mtu-disc yes"},
        {"mssfix", "mssfix 1400"},
        {"fragment", "fragment 1300"},
        {"tun-ipv6", "tun-ipv6"},
        {"persist-tun", "persist-tun"},
        {"persist-key", "persist-key"},
        {"persist-remote-ip", "persist-remote-ip"},
        {"persist-local-ip", "persist-local-ip"},
        {"redirect-gateway", "redirect-gateway def1 bypass-dhcp"},
        {"redirect-private", "redirect-private local"},
        {"route", "route 10.0.0.0 255.0.0.0 vpn_gateway 5"},
        {"route-ipv6", "route-ipv6 2001:db8::/32"},
        {"route-gateway", "route-gateway 198.18.0.1"},
        {"route-ipv6-gateway", "route-ipv6-gateway 2001:db8::1"},
        {"route-metric", "route-metric 5"},
        {"route-delay", "route-delay 2"},
        {"route-method", "route-method exe"},
        {"block-ipv6", "block-ipv6"},
        {"dhcp-option", "dhcp-option DNS 198.18.0.53"},
        {"dns", "dns server 1 address 198.18.0.53"},
        {"allow-pull-fqdn", "allow-pull-fqdn"},
        {"block-outside-dns", "block-outside-dns"},
        {"register-dns", "register-dns"},
        {"ip-win32", "ip-win32 netsh"},
        {"windows-driver", "windows-driver wintun"},
        {"keepalive", "keepalive 10 60"},
        {"ping", "ping 10"},
        {"ping-restart", "ping-restart 60"},
        {"ping-exit", "ping-exit 120"},
        {"ping-timer-rem", "ping-timer-rem"},
        {"inactive", "inactive 3600"},
        {"sndbuf", "sndbuf 393216"},
        {"rcvbuf", "rcvbuf 393216"},
        {"socket-flags", "socket-flags TCP_NODELAY"},
        {"fast-io", "fast-io"},
        {"mlock", "mlock"},
        {"nice", "nice 0"},
        {"remap-usr1", "remap-usr1 SIGHUP"},
        {"cipher", "cipher AES-256-GCM"},
        {"data-ciphers", "data-ciphers AES-256-GCM:AES-128-GCM:CHACHA20-POLY1305"},
        {"data-ciphers-fallback", "data-ciphers-fallback AES-256-CBC"},
        {"ncp-ciphers", "ncp-ciphers AES-256-GCM"},
        {"auth", "auth SHA256"},
        {"compress", "compress lz4-v2"},
        {"comp-lzo", "comp-lzo no"},
        {"allow-compression", "allow-compression asym"},
        {"key-direction", "key-direction 1"},
        {"reneg-sec", "reneg-sec 0"},
        {"reneg-bytes", "reneg-bytes 0"},
        {"reneg-pkts", "reneg-pkts 0"},
        {"replay-window", "replay-window 128 30"},
        {"mute-replay-warnings", "mute-replay-warnings"},
        {"tran-window", "tran-window 3600"},
        {"hand-window", "hand-window 60"},
        {"tls-timeout", "tls-timeout 2"},
        {"tls-exit", "tls-exit"},
        {"tls-version-min", "tls-version-min 1.2 or-highest"},
        {"tls-version-max", "tls-version-max 1.3"},
        {"tls-cipher", "tls-cipher DEFAULT:@SECLEVEL=1"},
        {"tls-ciphersuites", "tls-ciphersuites TLS_AES_256_GCM_SHA384"},
        {"tls-groups", "tls-groups X25519:prime256v1"},
        {"tls-cert-profile", "tls-cert-profile preferred"},
        {"ecdh-curve", "ecdh-curve prime256v1"},
        {"ca", "ca other.crt\n<ca>\n" + pem + "</ca>"},
        {"cert", "<cert>\n" + pem + "</cert>\n<key>\n" + pem + "</key>"},
        {"key", "<key>\n" + pem + "</key>\n<cert>\n" + pem + "</cert>"},
        {"pkcs12", "<pkcs12>\nAAAA\n</pkcs12>"},
        {"extra-certs", "<extra-certs>\n" + pem + "</extra-certs>"},
        {"crl-verify", "<crl-verify>\n" + pem + "</crl-verify>"},
        {"tls-auth", "<tls-auth>\n" + pem + "</tls-auth>\nkey-direction 1"},
        {"tls-crypt", "<tls-crypt>\n" + pem + "</tls-crypt>"},
        {"tls-crypt-v2", "<tls-crypt-v2>\n" + pem + "</tls-crypt-v2>"},
        {"peer-fingerprint",
         "peer-fingerprint " + sha256 + "\n<peer-fingerprint>\n" + sha256 + "\n</peer-fingerprint>"},
        {"verify-hash", "verify-hash " + sha256 + " SHA256"},
        {"verify-x509-name", "verify-x509-name \"vpn.example\" name"},
        {"remote-cert-tls", "remote-cert-tls server"},
        {"remote-cert-ku", "remote-cert-ku a0 88"},
        {"remote-cert-eku", "remote-cert-eku \"TLS Web Server Authentication\""},
        {"ns-cert-type", "ns-cert-type server"},
        {"verb", "verb 4"},
        {"mute", "mute 20"},
        {"suppress-timestamps", "suppress-timestamps"},
    };
    for (const AllowedOpenVpnDirective& entry : allowedOpenVpnDirectives())
        QTest::newRow(entry.name) << examples.value(entry.name) << entry.windowsOnly;
}

void TestOpenVpnConfigAgreement::everyAllowedDirectiveIsAClientOptionOfOpenVpn()
{
    QFETCH(QByteArray, example);
    QFETCH(bool, windowsOnly);
    QVERIFY2(!example.isEmpty(), "Give this directive an example above, so that OpenVPN is asked about it.");
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(example);
    QVERIFY2(verdict.accepted, qPrintable(verdict.reason));
    const QString error = openVpnOptionsError(example);
    if (windowsOnly) {
        // OpenVPN here does not know it; marked as optional it must pass, as profiles write it.
        QVERIFY2(error.contains(QStringLiteral("Unrecognized option")), qPrintable(error));
        QCOMPARE(openVpnOptionsError("setenv opt " + example), QString());
    } else {
        QCOMPARE(error, QString());
    }
}

void TestOpenVpnConfigAgreement::everyStandaloneOperationIsRefused()
{
    // The operations OpenVPN's own help lists as standalone or as "show" options.
    QProcess help;
    help.setProcessChannelMode(QProcess::MergedChannels);
    help.start(program, {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(10000));
    const QString text = QString::fromUtf8(help.readAll());
    QStringList operations{QStringLiteral("genkey"),      QStringLiteral("mktun"), QStringLiteral("rmtun"),
                           QStringLiteral("test-crypto"), QStringLiteral("help"),  QStringLiteral("version")};
    for (const QString& operation : operations)
        QVERIFY2(text.contains(QStringLiteral("--") + operation), qPrintable(operation));
    // Windows' own, from the manual.
    operations << QStringLiteral("show-adapters") << QStringLiteral("show-net")
               << QStringLiteral("show-net-up") << QStringLiteral("show-valid-subnets")
               << QStringLiteral("allow-nonadmin");
    QRegularExpressionMatchIterator shows =
        QRegularExpression(QStringLiteral("--(show-[a-z0-9-]+)")).globalMatch(text);
    while (shows.hasNext())
        operations << shows.next().captured(1);
    operations.removeDuplicates();
    QVERIFY2(operations.contains(QStringLiteral("show-pkcs11-ids")) && operations.size() > 15,
             qPrintable(operations.join(QLatin1Char(' '))));
    for (const QString& operation : operations) {
        const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(operation.toUtf8() + " x\n");
        QVERIFY2(!verdict.accepted, qPrintable(operation));
        QCOMPARE(verdict.directive, operation);
    }
}

void TestOpenVpnConfigAgreement::serveLab(const QByteArray& config, const QByteArray& certificate)
{
    harness = std::make_unique<WindowHarness>();
    qputenv("CORVANE_IPECHO_URL", lab(QStringLiteral("LAB_ECHO_URL")).toUtf8());
    QVERIFY(QDir(harness->workDir.path()).mkpath(QStringLiteral("openvpn")));
    QVERIFY(QFile::link(program, harness->workDir.filePath(QStringLiteral("openvpn/openvpn"))));
    harness->sim.loadData(
        labServiceData({lab(QStringLiteral("LAB_USER_ALICE")), lab(QStringLiteral("LAB_PASSWORD_ALICE")),
                        lab(QStringLiteral("LAB_SERVER_IP")), lab(QStringLiteral("LAB_TUNNEL_IP_ALICE"))},
                       configPath, certificatePath));
    harness->sim.setFile(certificatePath, certificate);
    harness->sim.setFile(configPath, config);
    harness->create();
    QVERIFY(harness->login(lab(QStringLiteral("LAB_USER_ALICE")), lab(QStringLiteral("LAB_PASSWORD_ALICE"))));
    QCOMPARE(harness->text(QStringLiteral("server_protocol")), QStringLiteral("OpenVPN"));
}

bool TestOpenVpnConfigAgreement::harmDone(Harm harm) const
{
    switch (harm) {
    case Harm::LoadsLibrary:
        return QFile::exists(work.filePath(QStringLiteral("library-marker")));
    case Harm::WritesFile: {
        QFile marker(work.filePath(QStringLiteral("file-marker")));
        return !marker.open(QIODevice::ReadOnly) || marker.readAll() != untouched;
    }
    case Harm::SendsFile:
        return proxyReceived.contains(QByteArray("secret-user:secret-password").toBase64());
    case Harm::ReachesProxy:
        return proxyConnections > 0;
    }
    return true;
}

bool TestOpenVpnConfigAgreement::openVpnDoesHarm(const QString& dir, const QByteArray& config,
                                                 const QByteArray& certificate, Harm harm)
{
    QDir base(dir);
    base.mkpath(QStringLiteral("openvpn"));
    base.mkpath(QStringLiteral("include"));
    const auto write = [&base](const QString& name, const QByteArray& content) {
        QFile file(base.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    };
    if (!write(QStringLiteral("include/config.ovpn"), config) ||
        !write(QStringLiteral("include/certificate.crt"), certificate) ||
        !write(QStringLiteral("include/auth.conf"), "user\npassword"))
        return false;
    // The command line the client gives the program.
    QProcess openVpn;
    openVpn.setWorkingDirectory(base.filePath(QStringLiteral("openvpn")));
    openVpn.start(program, {QStringLiteral("--config"), QStringLiteral("../include/config.ovpn"),
                            QStringLiteral("--script-security"), QStringLiteral("1"), QStringLiteral("--ca"),
                            QStringLiteral("../include/certificate.crt"), QStringLiteral("--auth-user-pass"),
                            QStringLiteral("../include/auth.conf"), QStringLiteral("--log"),
                            QStringLiteral("../include/openvpn.log")});
    QDeadlineTimer deadline(replyTimeoutMs);
    while (!harmDone(harm) && !deadline.hasExpired())
        QTest::qWait(20);
    const bool done = harmDone(harm);
    openVpn.kill();
    openVpn.waitForFinished(5000);
    return done;
}

void TestOpenVpnConfigAgreement::dangerousConfigurationNeverReachesOpenVpn_data()
{
    QTest::addColumn<QByteArray>("addition");
    QTest::addColumn<bool>("certificateIsLibrary");
    QTest::addColumn<Harm>("harm");

    const QByteArray port = QByteArray::number(proxy.serverPort());
    const QByteArray secret = work.filePath(QStringLiteral("secret.txt")).toUtf8();
    QTest::newRow("show-pkcs11-ids loads the certificate as a library")
        << QByteArray("show-pkcs11-ids ../include/certificate.crt\n") << true << Harm::LoadsLibrary;
    QTest::newRow("memstats overwrites a file")
        << "memstats " + work.filePath(QStringLiteral("file-marker")).toUtf8() + "\n"
        << false << Harm::WritesFile;
    QTest::newRow("http-proxy sends a file")
        << "proto tcp-client\nhttp-proxy 127.0.0.1 " + port + " " + secret + " basic\n"
        << false << Harm::SendsFile;
    // The credentials follow once the proxy asks for them; reaching it is enough here.
    QTest::newRow("socks-proxy reaches a host with a file")
        << "socks-proxy 127.0.0.1 " + port + " " + secret + "\n"
        << false << Harm::ReachesProxy;
}

void TestOpenVpnConfigAgreement::dangerousConfigurationNeverReachesOpenVpn()
{
    QFETCH(QByteArray, addition);
    QFETCH(bool, certificateIsLibrary);
    QFETCH(Harm, harm);
    QFile base(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
    QFile labCa(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/ca.crt"));
    QFile library(QStringLiteral(CORVANE_MARKER_LIBRARY));
    QVERIFY(base.open(QIODevice::ReadOnly) && labCa.open(QIODevice::ReadOnly) &&
            library.open(QIODevice::ReadOnly));
    const QByteArray config = base.readAll() + addition;
    const QByteArray certificate = certificateIsLibrary ? library.readAll() : labCa.readAll();
    const QString libraryMarker = work.filePath(QStringLiteral("library-marker"));
    qputenv("CORVANE_MARKER", QFile::encodeName(libraryMarker));
    const auto resetMarkers = [&] {
        QFile::remove(libraryMarker);
        QFile marker(work.filePath(QStringLiteral("file-marker")));
        return marker.open(QIODevice::WriteOnly | QIODevice::Truncate) && marker.write(untouched) > 0;
    };

    // The real program does what the issue says, given this configuration.
    QVERIFY(resetMarkers());
    QTemporaryDir direct;
    QVERIFY(openVpnDoesHarm(direct.path(), config, certificate, harm));
    QVERIFY(!checkOpenVpnConfig(config).accepted);

    // Through the window the configuration is refused before the program runs. The proxy starts
    // afresh on its port, so nothing the killed program sent can be counted here.
    QVERIFY(resetMarkers());
    const quint16 proxyPort = proxy.serverPort();
    proxy.close();
    ++proxyPhase;
    QVERIFY(proxy.listen(QHostAddress::LocalHost, proxyPort));
    proxyConnections = 0;
    proxyReceived.clear();
    serveLab(config, certificate);
    if (QTest::currentTestFailed())
        return;
    ReplyWatch* watch = new ReplyWatch(harness->window.get());
    LabelHistory history(harness->find<QLabel>(QStringLiteral("authstatus")));
    harness->invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(watch->finished(configPath), 1, replyTimeoutMs);
    QCoreApplication::processEvents();
    QVERIFY2(!history.texts().filter(QStringLiteral("OpenVPN configuration refused")).isEmpty(),
             qPrintable(history.texts().join(QLatin1String(" | "))));
    QVERIFY(!QFile::exists(harness->workDir.filePath(QStringLiteral("include/openvpn.log"))));
    QVERIFY(!harmDone(harm));
    QCOMPARE(proxyReceived, QByteArray());
}

void TestOpenVpnConfigAgreement::configurationCannotReplaceTheCommandLineFiles()
{
    // The allowed "ca FILE" and inline credentials lose to the client's command line: with a
    // CA that does not exist and a wrong user, the tunnel still comes up with the real ones.
    QFile base(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
    QFile labCa(lab(QStringLiteral("LAB_DIR")) + QStringLiteral("/ca.crt"));
    QVERIFY(base.open(QIODevice::ReadOnly) && labCa.open(QIODevice::ReadOnly));
    const QByteArray config = base.readAll() + "ca /nonexistent/corvane-ca.crt\n"
                                               "<auth-user-pass>\nmallory\nwrong\n</auth-user-pass>\n";
    QVERIFY(checkOpenVpnConfig(config).accepted);
    serveLab(config, labCa.readAll());
    if (QTest::currentTestFailed())
        return;
    harness->invoke("on_connect_clicked");
    const auto log = [this] {
        QFile file(harness->workDir.filePath(QStringLiteral("include/openvpn.log")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(log().contains("Initialization Sequence Completed"), log().constData(),
                              tunnelTimeoutMs);
    QVERIFY(!log().contains("corvane-ca.crt"));
    harness->invoke("on_disconnect_clicked");
}

void TestOpenVpnConfigAgreement::escapedCommentMarkIsRefusedThoughOpenVpnSkipsIt()
{
    // OpenVPN ends the line at "\\#"; NetworkManager's importer reads a third word there, which
    // names a credentials file. The check takes neither side.
    const QByteArray config("proto tcp-client\nremote 127.0.0.1 9\nhttp-proxy 127.0.0.1 9 \\#x");
    QCOMPARE(openVpnSetting(config, QStringLiteral("auth_file")), QStringLiteral("[UNDEF]"));
    QCOMPARE(openVpnSetting(QByteArray(config).replace("\\#", ""), QStringLiteral("auth_file")),
             QStringLiteral("x"));
    QVERIFY(!checkOpenVpnConfig(config).accepted);
}

QTEST_MAIN(TestOpenVpnConfigAgreement)
#include "tst_openvpnconfig_agreement.moc"
