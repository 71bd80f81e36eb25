// The state model against the real form: what each setter leaves in the hidden field that
// others read by object name, and which page is shown.
#include "app/windowstate.h"
#include "ui_lumtarmain.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using Setter = std::function<void(WindowState&)>;
Q_DECLARE_METATYPE(Setter)

class TestWindowState : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void setterWritesTheFieldText_data();
    void setterWritesTheFieldText();
    void fieldsStartAsTheFormExpects();
    void accountFlagDecidesTheRightToConnect_data();
    void accountFlagDecidesTheRightToConnect();
    void showPageShowsExactlyThatPage();

private:
    QMainWindow* window = nullptr;
    Ui::LumtarMain* ui = nullptr;
    WindowState* state = nullptr;
};

void TestWindowState::init()
{
    window = new QMainWindow;
    ui = new Ui::LumtarMain;
    ui->setupUi(window);
    state = new WindowState(ui, window);
}

void TestWindowState::cleanup()
{
    delete window;
    delete ui;
}

void TestWindowState::setterWritesTheFieldText_data()
{
    QTest::addColumn<Setter>("set");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");

    using C = ConnectionController::State;
    const QList<QPair<C, QString>> words{
        {C::Idle, "disconnected"},   {C::Preparing, "in progress"},     {C::Connecting, "in progress"},
        {C::Connected, "connected"}, {C::Reconnecting, "disconnected"}, {C::Disconnecting, "disconnected"},
        {C::Failed, "disconnected"}};
    for (const auto& word : words) {
        const C connection = word.first;
        QTest::newRow(QMetaEnum::fromType<C>().valueToKey(int(connection)))
            << Setter([connection](WindowState& s) { s.setConnection(connection); }) << "connectionStatus"
            << word.second;
    }
    QTest::newRow("stage") << Setter([](WindowState& s) { s.setQuickStage(2); }) << "quick_stage"
                           << "2";
    QTest::newRow("payment") << Setter([](WindowState& s) { s.setPaymentInProgress(true); })
                             << "paymentInProgress"
                             << "1";
    QTest::newRow("seconds") << Setter([](WindowState& s) { s.setElapsedSeconds(9); }) << "seconds"
                             << "9";
    QTest::newRow("whole server") << Setter([](WindowState& s) {
        s.setServer({"n", "198.18.0.1", "198.18.0.2", "L2TP", "key", "c", "f"});
    }) << "server_assignedIP"
                                  << "198.18.0.2";
    QTest::newRow("key") << Setter([](WindowState& s) { s.setServerPreSharedKey(QStringLiteral("k")); })
                         << "server_pskey"
                         << "k";
}

void TestWindowState::setterWritesTheFieldText()
{
    QFETCH(Setter, set);
    QFETCH(QString, field);
    QFETCH(QString, text);
    set(*state);
    QCOMPARE(window->findChild<QLineEdit*>(field)->text(), text);
}

void TestWindowState::fieldsStartAsTheFormExpects()
{
    QCOMPARE(ui->quick_stage->text(), QStringLiteral("0"));
    QCOMPARE(ui->paymentInProgress->text(), QStringLiteral("0"));
    QCOMPARE(ui->connectionStatus->text(), QStringLiteral("disconnected"));
    QCOMPARE(state->connection(), ConnectionController::State::Idle);
    QCOMPARE(ui->seconds->text(), QString());
}

void TestWindowState::accountFlagDecidesTheRightToConnect_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("one") << "1" << true;
    QTest::newRow("any other text") << "yes" << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("empty") << "" << false;
}

void TestWindowState::accountFlagDecidesTheRightToConnect()
{
    QFETCH(QString, flag);
    QFETCH(bool, enabled);
    state->setAccountFlag(flag);
    QCOMPARE(state->accountEnabled(), enabled);
    QCOMPARE(ui->user_enabled->text(), flag);
}

void TestWindowState::showPageShowsExactlyThatPage()
{
    QWidget* const pages[] = {ui->WingetLogin,         ui->WidgetNewAccount,   ui->WingetConnected,
                              ui->WidgetConnectingVPN, ui->WidgetConnectedVPN, ui->WidgetPaymentInProgress};
    for (QWidget* page : pages)
        page->show();
    state->showPage(WindowState::Page::Connecting);
    for (QWidget* page : pages)
        QCOMPARE(page->isHidden(), page != ui->WidgetConnectingVPN);
    QCOMPARE(state->page(), WindowState::Page::Connecting);
}

QTEST_MAIN(TestWindowState)
#include "tst_windowstate.moc"
