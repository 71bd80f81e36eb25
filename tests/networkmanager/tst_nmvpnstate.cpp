// How NetworkManager's VPN states and reasons reach the window: outcome, dial result and text.
#include "connection/errortexts.h"
#include "connection/nmvpnstate.h"

#include <QtTest>

class TestNmVpnState : public QObject
{
    Q_OBJECT

private slots:
    void statesMapToOutcomes_data();
    void statesMapToOutcomes();
    void reasonsGetTheirOwnWords_data();
    void reasonsGetTheirOwnWords();
    void refusedLoginOutranksAVagueReason_data();
    void refusedLoginOutranksAVagueReason();
};

void TestNmVpnState::statesMapToOutcomes_data()
{
    QTest::addColumn<uint>("state");
    QTest::addColumn<int>("outcome");
    const int progress = int(nm::Outcome::Progress);
    QTest::newRow("prepare") << uint(nm::VpnPrepare) << progress;
    QTest::newRow("need auth") << uint(nm::VpnNeedAuth) << progress;
    QTest::newRow("ip config") << uint(nm::VpnIpConfigGet) << progress;
    QTest::newRow("activated") << uint(nm::VpnActivated) << int(nm::Outcome::Up);
    QTest::newRow("failed") << uint(nm::VpnFailed) << int(nm::Outcome::Ended);
    QTest::newRow("disconnected") << uint(nm::VpnDisconnected) << int(nm::Outcome::Ended);
    QTest::newRow("from a newer daemon") << 42u << progress;
}

void TestNmVpnState::statesMapToOutcomes()
{
    QFETCH(uint, state);
    QFETCH(int, outcome);
    QCOMPARE(int(nm::vpnOutcome(state)), outcome);
}

void TestNmVpnState::reasonsGetTheirOwnWords_data()
{
    QTest::addColumn<uint>("reason");
    QTest::addColumn<QString>("words"); // in the dial-up's error text
    QTest::newRow("login-failed") << uint(nm::ReasonLoginFailed) << "refused the user name or password";
    QTest::newRow("connect-timeout") << uint(nm::ReasonConnectTimeout) << "did not answer in time";
    QTest::newRow("service-start-timeout") << uint(nm::ReasonServiceStartTimeout) << "could not be started";
    QTest::newRow("no-secrets") << uint(nm::ReasonNoSecrets) << "did not get the password";
    QTest::newRow("ip-config-invalid") << uint(nm::ReasonIpConfigInvalid) << "network settings";
    QTest::newRow("device-disconnected")
        << uint(nm::ReasonDeviceDisconnected) << "network this computer uses";
    // No PPP in the kernel ends a PPTP dial this way, without more words from the daemon.
    QTest::newRow("service-stopped") << uint(nm::ReasonServiceStopped) << "PPP support";
    QTest::newRow("unknown") << uint(nm::ReasonUnknown) << "PPP support";
    QTest::newRow("from a newer daemon") << 99u << "PPP support";
}

void TestNmVpnState::reasonsGetTheirOwnWords()
{
    QFETCH(uint, reason);
    QFETCH(QString, words);
    const uint result = nm::vpnResult(reason);
    QVERIFY(nm::isVpnResult(result));
    QVERIFY2(pppErrorText(int(result)).contains(words), qPrintable(pppErrorText(int(result))));
    // RAS codes keep their own texts.
    QVERIFY(!nm::isVpnResult(691));
    QVERIFY(!pppErrorText(691).contains(words));
}

void TestNmVpnState::refusedLoginOutranksAVagueReason_data()
{
    QTest::addColumn<uint>("reason");
    QTest::addColumn<uint>("pluginFailure");
    QTest::addColumn<uint>("told");
    QTest::newRow("unknown after refused login")
        << uint(nm::ReasonUnknown) << nm::pluginLoginFailed << uint(nm::ReasonLoginFailed);
    QTest::newRow("stopped after refused login")
        << uint(nm::ReasonServiceStopped) << nm::pluginLoginFailed << uint(nm::ReasonLoginFailed);
    QTest::newRow("timeout stays") << uint(nm::ReasonConnectTimeout) << nm::pluginLoginFailed
                                   << uint(nm::ReasonConnectTimeout);
    QTest::newRow("no plugin failure")
        << uint(nm::ReasonUnknown) << nm::noPluginFailure << uint(nm::ReasonUnknown);
    QTest::newRow("connect failed") << uint(nm::ReasonServiceStopped) << 1u << uint(nm::ReasonServiceStopped);
}

void TestNmVpnState::refusedLoginOutranksAVagueReason()
{
    QFETCH(uint, reason);
    QFETCH(uint, pluginFailure);
    QFETCH(uint, told);
    QCOMPARE(uint(nm::vpnEndReason(reason, pluginFailure)), told);
}

QTEST_GUILESS_MAIN(TestNmVpnState)
#include "tst_nmvpnstate.moc"
