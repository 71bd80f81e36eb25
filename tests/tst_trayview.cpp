// The tray icon as the user sees it in each state of the connection.
#include "app/trayview.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QtTest>

class TestTrayView : public QObject
{
    Q_OBJECT

private slots:
    void eachStateHasItsIconTooltipAndEntries_data();
    void eachStateHasItsIconTooltipAndEntries();
};

void TestTrayView::eachStateHasItsIconTooltipAndEntries_data()
{
    QTest::addColumn<TrayView::State>("state");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<bool>("canConnect");
    QTest::addColumn<bool>("canDisconnect");
    using S = TrayView::State;
    QTest::newRow("never connected") << S::Disconnected << ""
                                     << ":/resources/tray-disconnected.png"
                                     << "Corvane: not connected" << false << false;
    QTest::newRow("disconnected") << S::Disconnected << "US1"
                                  << ":/resources/tray-disconnected.png"
                                  << "Corvane: not connected" << true << false;
    QTest::newRow("connecting") << S::Connecting << "US1"
                                << ":/resources/tray-connecting.png"
                                << "Corvane: connecting to DE2" << false << true;
    QTest::newRow("connected") << S::Connected << "US1"
                               << ":/resources/tray-connected.png"
                               << "Corvane: connected to DE2\n0:02:00" << false << true;
    QTest::newRow("blocked") << S::Blocked << "US1"
                             << ":/resources/tray-blocked.png"
                             << "Corvane: internet blocked until the VPN connects" << true << true;
}

void TestTrayView::eachStateHasItsIconTooltipAndEntries()
{
    QFETCH(TrayView::State, state);
    QFETCH(QString, target);
    QFETCH(QString, icon);
    QFETCH(QString, tooltip);
    QFETCH(bool, canConnect);
    QFETCH(bool, canDisconnect);
    QSystemTrayIcon trayIcon;
    QMenu menu;
    menu.addAction(QStringLiteral("&Show Application"));
    TrayView tray(&trayIcon, &menu);
    tray.setConnectTarget(target);
    tray.setState(state, QStringLiteral("DE2"));
    tray.setConnectedTime(QStringLiteral("0:02:00"));

    QCOMPARE(TrayView::iconResource(state), icon);
    QVERIFY(QFile::exists(icon));
    QVERIFY(!trayIcon.icon().isNull());
    QCOMPARE(trayIcon.toolTip(), tooltip);
    QCOMPARE(tray.connectAction()->isEnabled(), canConnect);
    QCOMPARE(tray.disconnectAction()->isEnabled(), canDisconnect);
    QCOMPARE(menu.actions().first(), tray.connectAction());
    QCOMPARE(menu.actions().last()->text(), QStringLiteral("&Show Application"));
}

QTEST_MAIN(TestTrayView)
#include "tst_trayview.moc"
