#include "connection/openvpnconfig.h"

#include <QtTest>

// The configuration comes over plain HTTP and OpenVPN runs with administrator rights, so only
// directives on the allow-list pass, in every spelling OpenVPN reads, and the configurations
// that real services ship still pass.
class TestOpenVpnConfig : public QObject
{
    Q_OBJECT

private slots:
    void ordinaryConfigurationsAreAccepted_data();
    void ordinaryConfigurationsAreAccepted();
    void hostileFixturesAreRefusedWithNameAndLine_data();
    void hostileFixturesAreRefusedWithNameAndLine();
    void directivesOffTheListAreRefused_data();
    void directivesOffTheListAreRefused();
    void everySpellingOfARefusedDirectiveIsRefused_data();
    void everySpellingOfARefusedDirectiveIsRefused();
    void unreadableFilesAreRefused_data();
    void unreadableFilesAreRefused();
    void verbosityAboveTheLimitIsLowered_data();
    void verbosityAboveTheLimitIsLowered();
    void rewriteHoldsTheWordsTheCheckRead_data();
    void rewriteHoldsTheWordsTheCheckRead();
};

namespace {
const QByteArray caBlock = "<ca>\n"
                           "-----BEGIN CERTIFICATE-----\n"
                           "MIIBszCCAVmgAwIBAgIUQm9ndXNDQUJvZ3VzQ0FCb2d1c0NBMAoGCCqGSM49BAMC\n"
                           "up /bin/sh\n"
                           "plugin evil.so\n"
                           "-----END CERTIFICATE-----\n"
                           "</ca>\n";

const QByteArray tlsAuthBlock = "key-direction 1\n"
                                "<tls-auth>\n"
                                "-----BEGIN OpenVPN Static key V1-----\n"
                                "6acef03f62675b4b1bbd03e53b187727\n"
                                "log /tmp/x\n"
                                "  <connection>\n"
                                "-----END OpenVPN Static key V1-----\n"
                                "</tls-auth>\n";

const QByteArray ordinaryClient = "client\n"
                                  "dev tun\n"
                                  "proto udp\n"
                                  "remote 198.18.0.1 1194\n"
                                  "resolv-retry infinite\n"
                                  "nobind\n"
                                  "persist-key\n"
                                  "persist-tun\n"
                                  "remote-cert-tls server\n"
                                  "auth-user-pass\n"
                                  "pull\n"
                                  "verb 3\n";
} // namespace

void TestOpenVpnConfig::ordinaryConfigurationsAreAccepted_data()
{
    QTest::addColumn<QByteArray>("config");

    QFile typical(QFINDTESTDATA("data/ovpn/accepted/typical-service.ovpn"));
    QVERIFY(typical.open(QIODevice::ReadOnly));
    QTest::newRow("typical service profile") << typical.readAll();
    QTest::newRow("plain client") << ordinaryClient;
    QTest::newRow("inline ca holding directive-like words") << ordinaryClient + caBlock;
    QTest::newRow("inline tls-auth holding directive-like words") << ordinaryClient + tlsAuthBlock;
    QTest::newRow("all inline data blocks")
        << ordinaryClient + caBlock +
               "<cert>\nup\n</cert>\n<key>\ndown\n</key>\n<tls-crypt>\nplugin\n</tls-crypt>\n"
               "<tls-crypt-v2>\nconfig\n</tls-crypt-v2>\n<extra-certs>\ncd\n</extra-certs>\n"
               "<crl-verify>\nlog\n</crl-verify>\n<pkcs12>\nstatus\n</pkcs12>\n"
               "<http-proxy-user-pass>\nup\nup\n</http-proxy-user-pass>\n"
               "<auth-user-pass>\nup\ndown\n</auth-user-pass>\n<peer-fingerprint>\nAB:CD\n</"
               "peer-fingerprint>\n";
    QTest::newRow("comments mentioning up")
        << "# up /bin/sh\n; plugin evil.so\n  # log here\n\t;daemon\n" + ordinaryClient;
    QTest::newRow("comment after the directive")
        << QByteArray("dev tun # up /bin/sh\nremote host 1194 ;plugin x\n");
    QTest::newRow("directive names as arguments")
        << QByteArray("remote up 1194\nverify-x509-name 'plugin' name\n");
    QTest::newRow("CR LF line ends") << QByteArray(ordinaryClient).replace("\n", "\r\n");
    QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + ordinaryClient;
    QTest::newRow("connection blocks")
        << QByteArray("client\n<connection>\nremote 198.18.0.1 1194 udp\nconnect-timeout 10\n</connection>\n"
                      "<connection>\nremote 198.18.0.1 443 tcp\n</connection>\n");
    QTest::newRow("Windows options marked for other platforms")
        << QByteArray("setenv opt block-outside-dns\nignore-unknown-option block-outside-dns register-dns\n"
                      "--setenv opt route-method exe\n");
    QTest::newRow("variables for the server")
        << QByteArray("setenv UV_PLAN gold\nsetenv-safe LD_PRELOAD x\n");
    QTest::newRow("proxy without credentials file")
        << QByteArray("http-proxy 198.18.0.9 8080\n<http-proxy-user-pass>\nu\np\n</http-proxy-user-pass>\n"
                      "socks-proxy 198.18.0.9\n");
    // Our command line names the certificate after the configuration, and that one counts.
    QTest::newRow("ca file overridden by the command line") << QByteArray("ca ca.crt\n");
    QTest::newRow("closing tag followed by text") << QByteArray("<ca>\nx\n</ca> trailing words\nverb 3\n");
    QTest::newRow("non-ASCII inside comments and quotes")
        << QByteArray("# Server in Z\xC3\xBCrich\nverify-x509-name \"CN=Z\xC3\xBCrich\" name\nremote host # "
                      "\xC3\xA9t\xC3\xA9\n");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("blank lines only") << QByteArray("\n\r\n  \t\n");
    QTest::newRow("longest readable line") << "# " + QByteArray(252, 'x') + "\n";
}

void TestOpenVpnConfig::ordinaryConfigurationsAreAccepted()
{
    QFETCH(QByteArray, config);
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(config);
    QVERIFY2(verdict.accepted, qPrintable(verdict.reason));
    QCOMPARE(verdict.line, 0);
    QVERIFY(verdict.directive.isEmpty());
}

void TestOpenVpnConfig::hostileFixturesAreRefusedWithNameAndLine_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("directive");

    // Each holds its dangerous line as line 4 of an otherwise ordinary profile.
    const QString names = QStringLiteral("show-pkcs11-ids memstats askpass cert key pkcs12 secret capath "
                                         "crl-verify client-config-dir dev-node auth-gen-token-secret");
    for (const QString& name : names.split(QLatin1Char(' ')))
        QTest::newRow(qPrintable(name)) << name << name;
    for (const char* name : {"http-proxy", "socks-proxy", "auth-user-pass", "tls-auth"})
        QTest::newRow(name) << QString::fromLatin1(name) + QStringLiteral("-with-file")
                            << QString::fromLatin1(name);
    QTest::newRow("setenv LD_PRELOAD") << QStringLiteral("setenv-ld-preload") << QStringLiteral("setenv");
}

void TestOpenVpnConfig::hostileFixturesAreRefusedWithNameAndLine()
{
    QFETCH(QString, file);
    QFETCH(QString, directive);
    QFile fixture(QFINDTESTDATA(QStringLiteral("data/ovpn/refused/") + file + QStringLiteral(".ovpn")));
    QVERIFY2(fixture.open(QIODevice::ReadOnly), qPrintable(file));
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(fixture.readAll());
    QVERIFY(!verdict.accepted);
    QCOMPARE(verdict.directive, directive);
    QCOMPARE(verdict.line, 4);
    QVERIFY2(verdict.reason.contains(QLatin1Char('\'') + directive + QLatin1Char('\'')),
             qPrintable(verdict.reason));
}

void TestOpenVpnConfig::directivesOffTheListAreRefused_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("directive");

    // Programs, code, files, management, server roles, and the standalone operations.
    const QByteArray names =
        "up down route-up tls-verify auth-user-pass-verify learn-address client-connect "
        "script-security iproute plugin providers engine pkcs11-providers pkcs11-id config "
        "cd chroot tmp-dir log log-append status writepid daemon management "
        "management-client replay-persist win-sys mode server dh user show-ciphers "
        "show-digests show-tls show-engines show-groups show-gateway show-adapters show-net "
        "genkey mktun rmtun test-crypto help version allow-nonadmin";
    for (const QByteArray& name : names.split(' '))
        QTest::newRow(name.constData()) << name + " x" << QString::fromLatin1(name);
    // OpenVPN compares names exactly, so a changed case is an unknown option, refused as such.
    QTest::newRow("unknown name") << QByteArray("UP /bin/sh") << QStringLiteral("UP");
    QTest::newRow("unknown behind setenv opt")
        << QByteArray("setenv opt future-option 1") << QStringLiteral("future-option");
    QTest::newRow("three dashes are no prefix") << QByteArray("---up /bin/sh") << QStringLiteral("-up");
    QTest::newRow("inline script") << QByteArray("<up>\n/bin/sh\n</up>") << QStringLiteral("up");
    QTest::newRow("inline block of a line-only directive")
        << QByteArray("<verb>\n3\n</verb>") << QStringLiteral("verb");
    QTest::newRow("setenv of PATH") << QByteArray("setenv PATH /tmp") << QStringLiteral("setenv");
    QTest::newRow("setenv opt alone") << QByteArray("setenv opt") << QStringLiteral("setenv");
    QTest::newRow("auth-user-pass with a file")
        << QByteArray("auth-user-pass auth.txt") << QStringLiteral("auth-user-pass");
    QTest::newRow("ca with a second argument") << QByteArray("ca a b") << QStringLiteral("ca");
}

void TestOpenVpnConfig::directivesOffTheListAreRefused()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, directive);
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig("client\n" + line + "\n");
    QVERIFY(!verdict.accepted);
    QCOMPARE(verdict.directive, directive);
    QCOMPARE(verdict.line, 2);
    QVERIFY2(verdict.reason.contains(directive), qPrintable(verdict.reason));
}

void TestOpenVpnConfig::everySpellingOfARefusedDirectiveIsRefused_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("directive");
    QTest::addColumn<int>("line");

    const QByteArray head = "client\ndev tun\n"; // two lines, so the bad one is line 3
    QTest::newRow("up") << head + "up /bin/sh\n"
                        << "up" << 3;
    QTest::newRow("leading blanks") << head + "   up /bin/sh\n"
                                    << "up" << 3;
    QTest::newRow("leading tab") << head + "\t\tup /bin/sh\n"
                                 << "up" << 3;
    QTest::newRow("double dash") << head + "--up /bin/sh\n"
                                 << "up" << 3;
    QTest::newRow("double-quoted name") << head + "\"up\" /bin/sh\n"
                                        << "up" << 3;
    QTest::newRow("single-quoted name") << head + "'plugin' /tmp/evil.so\n"
                                        << "plugin" << 3;
    QTest::newRow("quoted double dash") << head + "\"--plugin\" evil.so\n"
                                        << "plugin" << 3;
    QTest::newRow("escaped blank before name") << head + "\\ up /bin/sh\n"
                                               << "up" << 3;
    QTest::newRow("vertical tab and form feed") << head + "\v\fup /bin/sh\n"
                                                << "up" << 3;
    QTest::newRow("name alone") << head + "up\n"
                                << "up" << 3;
    QTest::newRow("CR LF") << QByteArray("client\r\ndev tun\r\nup /bin/sh\r\n") << "up" << 3;
    QTest::newRow("CR right after the name") << head + "up\r\n"
                                             << "up" << 3;
    QTest::newRow("no final line end") << head + "up /bin/sh"
                                       << "up" << 3;
    QTest::newRow("byte-order mark then up") << QByteArray("\xEF\xBB\xBFup /bin/sh\n") << "up" << 1;
    QTest::newRow("setenv opt") << head + "setenv opt up /bin/sh\n"
                                << "up" << 3;
    QTest::newRow("setenv opt with dashes") << head + "setenv opt --plugin x.so\n"
                                            << "plugin" << 3;
    QTest::newRow("setenv opt twice") << head + "setenv opt setenv opt up /bin/sh\n"
                                      << "up" << 3;
    QTest::newRow("quoted setenv opt") << head + "'setenv' \"opt\" 'up' x\n"
                                       << "up" << 3;
    QTest::newRow("inside connection block")
        << head + "<connection>\nremote 198.18.0.1 1194\nup /bin/sh\n</connection>\n"
        << "up" << 5;
    QTest::newRow("setenv opt inside connection block")
        << head + "<connection>\nremote a\n  setenv opt plugin x\n</connection>\n"
        << "plugin" << 5;
    QTest::newRow("after an inline block") << head + caBlock + "route-up /bin/sh\n"
                                           << "route-up" << 10;
    QTest::newRow("closing tag with trailing text ends the block")
        << head + "<ca>\ndata\n  </ca> up\ndown /bin/sh\n"
        << "down" << 6;
    QTest::newRow("inline script") << head + "<up>\n/bin/sh\n</up>\n"
                                   << "up" << 3;
    QTest::newRow("quoted inline block name") << head + "\"<up>\"\n/bin/sh\n</up>\n"
                                              << "up" << 3;
    QTest::newRow("management-client") << head + "management-client\n"
                                       << "management-client" << 3;
    QTest::newRow("management with address") << head + "management 127.0.0.1 7505\n"
                                             << "management" << 3;
    QTest::newRow("log-append") << head + "log-append /var/log/x\n"
                                << "log-append" << 3;
    QTest::newRow("daemon alone") << head + "daemon\n"
                                  << "daemon" << 3;
    QTest::newRow("first of several") << head + "plugin a.so\nup b\n"
                                      << "plugin" << 3;
    QTest::newRow("words in one line glued by quotes") << head + "\"up\"\"/bin/sh\"\n"
                                                       << "up" << 3;
}

void TestOpenVpnConfig::everySpellingOfARefusedDirectiveIsRefused()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, directive);
    QFETCH(int, line);
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(config);
    QVERIFY(!verdict.accepted);
    QCOMPARE(verdict.directive, directive);
    QCOMPARE(verdict.line, line);
    QVERIFY2(verdict.reason.contains(directive), qPrintable(verdict.reason));
}

void TestOpenVpnConfig::unreadableFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("line");

    QTest::newRow("NUL byte") << QByteArray("client\nu\0p /bin/sh\n", sizeof("client\nu\0p /bin/sh\n") - 1)
                              << 2;
    QTest::newRow("NUL inside a block") << QByteArray("<ca>\n\0</ca>\nup x\n</ca>\n", 23) << 2;
    QTest::newRow("end-of-file control byte") << QByteArray("client\nup\x1A /bin/sh\n") << 2;
    // OpenVPN cuts long lines into pieces; the piece after the cut would be read as a line.
    QTest::newRow("over-long line") << "client\n# " + QByteArray(253, 'x') + "up /bin/sh\n" << 2;
    QTest::newRow("over-long line in a block")
        << "<ca>\n" + QByteArray(255, 'A') + "</ca>\nup /bin/sh\n</ca>\n"
        << 2;
    QTest::newRow("unclosed block hides the rest") << QByteArray("client\n<ca>\nup /bin/sh\n") << 2;
    QTest::newRow("unclosed connection block") << QByteArray("<connection>\nremote a\n") << 1;
    QTest::newRow("bad backslash") << QByteArray("\\up /bin/sh\n") << 1;
    QTest::newRow("unclosed quote") << QByteArray("\"up /bin/sh\n") << 1;
    QTest::newRow("unclosed single quote") << QByteArray("remote 'host\n") << 1;
    QTest::newRow("trailing backslash in a word") << QByteArray("remote host\\\n") << 1;
    // Whether these bytes are blanks depends on the platform's locale.
    QTest::newRow("non-breaking space before a name") << QByteArray("\xA0up /bin/sh\n") << 1;
    QTest::newRow("non-ASCII in an unquoted word") << QByteArray("remote h\xC3\xB6st\n") << 1;
    QTest::newRow("non-ASCII before a closing tag")
        << QByteArray("<ca>\n\xA0</ca>\n<dh>\n</ca>\nup /bin/sh\n</dh>\n") << 2;
    QTest::newRow("byte-order mark on a later line") << QByteArray("client\n\xEF\xBB\xBFup /bin/sh\n") << 2;
    // OpenVPN starts a comment there; NetworkManager's importer reads a word ("#x", a file).
    QTest::newRow("escaped hash after the words") << QByteArray("client\nhttp-proxy h 8080 \\#x\n") << 2;
    QTest::newRow("escaped semicolon after the words") << QByteArray("remote h 1194 \\;x\n") << 1;
    QTest::newRow("escaped hash first") << QByteArray("\\#up /bin/sh\n") << 1;
}

void TestOpenVpnConfig::unreadableFilesAreRefused()
{
    QFETCH(QByteArray, config);
    QFETCH(int, line);
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(config);
    QVERIFY(!verdict.accepted);
    QCOMPARE(verdict.line, line);
    QVERIFY(!verdict.reason.isEmpty());
}

void TestOpenVpnConfig::verbosityAboveTheLimitIsLowered_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QStringList>("options");
    const QStringList lowered{QStringLiteral("--verb"), QStringLiteral("4")};
    QTest::newRow("no verb") << QByteArray("client\n") << QStringList();
    QTest::newRow("verb 3") << QByteArray("verb 3\n") << QStringList();
    QTest::newRow("verb 4") << QByteArray("verb 4\n") << QStringList();
    QTest::newRow("verb 11") << QByteArray("verb 11\n") << lowered;
    QTest::newRow("the last verb counts, high") << QByteArray("verb 3\nverb 11\n") << lowered;
    QTest::newRow("the last verb counts, low") << QByteArray("verb 11\nverb 3\n") << QStringList();
    QTest::newRow("setenv opt verb") << QByteArray("setenv opt verb 9\n") << lowered;
    QTest::newRow("digits then letters") << QByteArray("verb 9x\n") << lowered;
    QTest::newRow("many digits") << QByteArray("verb 0000000011\n") << lowered;
}

void TestOpenVpnConfig::verbosityAboveTheLimitIsLowered()
{
    QFETCH(QByteArray, config);
    QFETCH(QStringList, options);
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(config);
    QVERIFY(verdict.accepted);
    QCOMPARE(openVpnBoundingOptions(verdict), options);
}

void TestOpenVpnConfig::rewriteHoldsTheWordsTheCheckRead_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("rewritten");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("plain words stay")
        << QByteArray("client\r\ndev tun\n  remote 198.18.0.1 1194 udp\n")
        << QByteArray("client\ndev tun\nremote 198.18.0.1 1194 udp\n") << QStringList();
    QTest::newRow("comments, dashes and quotes as OpenVPN reads them")
        << QByteArray("# up /bin/sh\n--remote \"h\" 1194 ; x\nverify-x509-name \"CN=My\\ Server\" name\n"
                      "pull-filter ignore \"it's\"\n")
        << QByteArray("remote h 1194\nverify-x509-name 'CN=My Server' name\npull-filter ignore \"it's\"\n")
        << QStringList();
    QTest::newRow("the file's own CA and credentials go")
        << QByteArray(
               "ca ca.crt\n<ca>\nx\n</ca>\nauth-user-pass\n<auth-user-pass>\nu\np\n</auth-user-pass>\n")
        << QByteArray("auth-user-pass\n") << QStringList();
    QTest::newRow("inline keys become files of the folder")
        << QByteArray("<key>\nKEY\n</key>\nkey-direction 1\n<tls-auth>\nTA 1\nTA 2\n</tls-auth>\n")
        << QByteArray("key /work/block-key.pem\nkey-direction 1\ntls-auth /work/block-tls-auth.pem\n")
        << QStringList{QStringLiteral("/work/block-key.pem=KEY\n"),
                       QStringLiteral("/work/block-tls-auth.pem=TA 1\nTA 2\n")};
    QTest::newRow("connection blocks keep their directives")
        << QByteArray("<connection>\nremote 'a' 1\n</connection>\n")
        << QByteArray("<connection>\nremote a 1\n</connection>\n") << QStringList();
}

void TestOpenVpnConfig::rewriteHoldsTheWordsTheCheckRead()
{
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, rewritten);
    QFETCH(QStringList, files);
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(config);
    QVERIFY2(verdict.accepted, qPrintable(verdict.reason));
    const OpenVpnRewrite rewrite =
        rewriteOpenVpnConfig(verdict.directives, QStringLiteral("/work"), QStringLiteral("/work/my ca.crt"));
    QVERIFY2(rewrite.error.isEmpty(), qPrintable(rewrite.error));
    // Ours is the one CA.
    QCOMPARE(rewrite.config, rewritten + "ca '/work/my ca.crt'\n");
    QStringList written;
    for (const auto& file : rewrite.files) {
        written << file.first + QLatin1Char('=') + QString::fromUtf8(file.second);
        QVERIFY(openVpnBlockFileNames().contains(QFileInfo(file.first).fileName()));
    }
    QCOMPARE(written, files);

    // A word holding both kinds of quote has no spelling every reader takes alike.
    const OpenVpnConfigVerdict awkward =
        checkOpenVpnConfig(config + "verify-x509-name \"it's \\\"x\\\"\" name\n");
    QVERIFY(awkward.accepted);
    const OpenVpnRewrite refused =
        rewriteOpenVpnConfig(awkward.directives, QStringLiteral("/work"), QStringLiteral("/work/ca.crt"));
    QVERIFY(refused.config.isEmpty() && refused.files.isEmpty());
    QVERIFY(!refused.error.isEmpty());
}

QTEST_GUILESS_MAIN(TestOpenVpnConfig)
#include "tst_openvpnconfig.moc"
