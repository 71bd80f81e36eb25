// The configuration check reads lines the way OpenVPN does. This holds it against the real
// program: every spelling the check refuses as "up" is one OpenVPN really takes as its up
// script, and the tricky spellings the check lets through are ones OpenVPN does not.
#include "connection/openvpnconfig.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestOpenVpnConfigAgreement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void checkAndOpenVpnAgreeOnUpScript_data();
    void checkAndOpenVpnAgreeOnUpScript();

private:
    // What OpenVPN reports as its up script after reading the file, or its options error.
    QString openVpnUpScript(const QByteArray& config);

    QString program;
    QTemporaryDir work;
};

void TestOpenVpnConfigAgreement::initTestCase()
{
    program = qEnvironmentVariable("CORVANE_OPENVPN");
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("openvpn"),
                                                 {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    QVERIFY2(!program.isEmpty(), "The openvpn program is not installed.");
    QVERIFY(work.isValid());
}

QString TestOpenVpnConfigAgreement::openVpnUpScript(const QByteArray& config)
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
    QRegularExpression upScript(QStringLiteral("up_script = '([^']*)'|(Options error[^\\n]*)"));
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

    QTest::newRow("upper case") << QByteArray("UP /bin/true") << false;
    QTest::newRow("three dashes") << QByteArray("---up /bin/true") << false;
    QTest::newRow("comment sign inside the word") << QByteArray("up#x /bin/true") << false;
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

QTEST_GUILESS_MAIN(TestOpenVpnConfigAgreement)
#include "tst_openvpnconfig_agreement.moc"
