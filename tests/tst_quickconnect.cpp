// Quick Connect through the window: the service's entries are tried in order until one
// connects, with a pause between attempts, and the run always ends with the window usable.
#include "connection/dialup_simulated.h"
#include "connection/pppworker.h"
#include "openvpnsupport.h"
#include "testsupport.h"
#include "windowobservers.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString connectionErrorText = QStringLiteral("We tested all available protocols (PPTP, L2TP and "
                                                   "OpenVPN) on multiple servers and it was not possible to "
                                                   "connect to any VPN Server. Please check your internet "
                                                   "connection and set your computer firewall/security to "
                                                   "allow this application to access internet on all ports "
                                                   "and try to connect again. Also make sure to disable "
                                                   "any proxy setting if you have installed a proxy.");
const QString anotherMethod = QStringLiteral("Initiating another method. Please wait...");

// RAS result of a refused password; the dial returns it at once.
constexpr std::uint32_t errorAuthenticationFailure = 691;
// A dial that only ends when it is hung up.
const SimulatedDialUp::Outcome hangs{ras::success, 600000};
const SimulatedDialUp::Outcome refused{errorAuthenticationFailure, 0};
const SimulatedDialUp::Outcome succeeds{ras::success, 0};

std::u16string u16(const QString& text)
{
    return text.toStdU16String();
}

} // namespace

class TestQuickConnect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fourEntriesAreTriedInOrderUntilOneConnects();
    void nextAttemptWaitsFiveSeconds();
    void shortenedPauseStartsTheNextAttemptByItself();
    void attemptAfterThePauseKeepsItsWholeTimeout();
    void failedOneEntryListEndsIdleWithoutPause_data();
    void failedOneEntryListEndsIdleWithoutPause();
    void entryWithTooFewFieldsIsTriedWithEmptyValues();
    void l2tpKeyStaysForFollowingPptpEntry();
    void unknownProtocolIsSkipped_data();
    void unknownProtocolIsSkipped();
    void skippedFirstEntryStartsWithoutPause();
    void disabledAccountEndsTheRun();
    void accountDisabledDuringTheRunEndsItIdle();
    void cancelEndsTheRun();
    void cancelDuringThePauseStartsNoAttempt();

private:
    // Logs alice in with this Quick Connect list; the window's own timer is stopped.
    bool startWith(const QString& list, const QString& user = QStringLiteral("alice"),
                   const QString& password = QStringLiteral("secret"));
    bool clickQuickConnect();
    // Ends the pause at once, as if its time had passed.
    bool endPause();
    bool holdPause();
    bool pausing() const;
    int dialCount() const { return int(dial->entryCalls().size()); }
    QString lastDialledAddress() const;
    QStringList dialledAddresses() const;
    QString workerStatus() const { return h->window->worker()->statusText(); }

    std::unique_ptr<SimulatedDialUp> dial;
    std::unique_ptr<WindowHarness> h;
};

void TestQuickConnect::initTestCase()
{
    isolateSettings();
}

void TestQuickConnect::init()
{
    clearSettings();
    dial = std::make_unique<SimulatedDialUp>();
    dial->setDialOutcome(refused);
    setDialUpOverride(dial.get());
    h = std::make_unique<WindowHarness>();
}

void TestQuickConnect::cleanup()
{
    h.reset();
    setDialUpOverride(nullptr);
    dial.reset();
}

bool TestQuickConnect::startWith(const QString& list, const QString& user, const QString& password)
{
    h->sim.setAccountValue(user, QStringLiteral("quickServers"), list);
    h->create();
    // Dial outcomes are taken by the ticks the tests give, as the status timer does.
    h->window->followWorkerAtOnce = false;
    if (!stopStatusTimer(h->window.get()))
        return false;
    if (!h->login(user, password)) {
        QStringList paths;
        for (const RecordedRequest& request : h->sim.requests())
            paths << request.path;
        qWarning() << "login failed:" << h->boxTitles() << h->text(QStringLiteral("authstatus")) << paths;
        return false;
    }
    QString expected = list;
    expected.replace(QStringLiteral("{base}"), h->sim.baseUrl());
    if (h->text(QStringLiteral("quick_servers")) != expected) {
        qWarning() << "Quick Connect list not taken over:" << h->text(QStringLiteral("quick_servers"));
        return false;
    }
    return true;
}

bool TestQuickConnect::clickQuickConnect()
{
    auto* button = h->find<QPushButton>(QStringLiteral("quickConnect"));
    if (!button->isEnabled())
        return false;
    button->click();
    return true;
}

bool TestQuickConnect::pausing() const
{
    QTimer* pause = quickConnectPauseTimer(h->window.get());
    return pause && pause->isActive();
}

// Keeps a running pause from ending by itself while the test waits for something else;
// endPause() still ends it.
bool TestQuickConnect::holdPause()
{
    QTimer* pause = quickConnectPauseTimer(h->window.get());
    if (!pause || !pause->isActive())
        return false;
    pause->start(3600 * 1000);
    return true;
}

bool TestQuickConnect::endPause()
{
    QTimer* pause = quickConnectPauseTimer(h->window.get());
    if (!pause || !pause->isActive())
        return false;
    pause->start(0);
    return QTest::qWaitFor([pause] { return !pause->isActive(); });
}

QString TestQuickConnect::lastDialledAddress() const
{
    const auto calls = dial->entryCalls();
    return calls.empty() ? QString() : QString::fromStdU16String(calls.back().entry.szLocalPhoneNumber);
}

QStringList TestQuickConnect::dialledAddresses() const
{
    QStringList addresses;
    for (const auto& call : dial->entryCalls())
        addresses << QString::fromStdU16String(call.entry.szLocalPhoneNumber);
    return addresses;
}

void TestQuickConnect::fourEntriesAreTriedInOrderUntilOneConnects()
{
    const QString list = QStringLiteral("Alpha^198.18.20.1^PPTP|Bravo^198.18.20.2^L2TP^bravo-key|"
                                        "Charlie^198.18.20.3^OpenVPN^{base}/files/broken/ca.crt^{base}/files/"
                                        "nl/udp.ovpn|Delta^198.18.20.4^PPTP");
    dial->setDialOutcomeForAddress(u"198.18.20.1", refused);
    dial->setDialOutcomeForAddress(u"198.18.20.2", hangs);
    dial->setDialOutcomeForAddress(u"198.18.20.4", succeeds);
    h->sim.setFault(QStringLiteral("/files/broken/"), Fault::httpStatus(500));
    QVERIFY(startWith(list));
    auto* quickConnect = h->find<QPushButton>(QStringLiteral("quickConnect"));
    const auto quickConnectAllowed = [quickConnect] {
        return quickConnect->isEnabledTo(quickConnect->parentWidget());
    };

    // Attempt 1 starts at once, without a pause.
    QVERIFY(clickQuickConnect());
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("1"));
    QCOMPARE(h->text(QStringLiteral("connecting_title")), QStringLiteral("1/4 - Connecting to Alpha"));
    QCOMPARE(h->text(QStringLiteral("connecting_message")),
             QStringLiteral("PPTP connection to Alpha\nis in progress"));
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("Stage 1/4 in progress..."));
    QVERIFY(h->shown(QStringLiteral("WidgetConnectingVPN")));
    QVERIFY(!pausing());
    QVERIFY(!quickConnectAllowed());
    QTRY_COMPARE(dialCount(), 1);
    QCOMPARE(lastDialledAddress(), QStringLiteral("198.18.20.1"));

    // The refused password hands on to attempt 2, which first pauses.
    QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    h->tick();
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("2"));
    QCOMPARE(h->text(QStringLiteral("connecting_title")), QStringLiteral("2/4 - Connecting to Bravo"));
    QCOMPARE(h->text(QStringLiteral("authstatus")), anotherMethod);
    QVERIFY(pausing());
    QCOMPARE(quickConnectPauseTimer(h->window.get())->interval(), 5000);
    QCOMPARE(dialCount(), 1);
    QVERIFY(h->boxes.isEmpty());

    QVERIFY(endPause());
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("Stage 2/4 in progress..."));
    QTRY_VERIFY(dial->dialling() != 0);
    QCOMPARE(lastDialledAddress(), QStringLiteral("198.18.20.2"));
    QCOMPARE(dial->credentialsCalls().back().credentials.szPassword, u16(QStringLiteral("bravo-key")));

    // The L2TP attempt never answers: progress with the stage prefix, then the timeout at 33 s.
    h->tick(); // 3 s: the worker's "in progress" is taken over, no progress text yet
    QCOMPARE(h->text(QStringLiteral("connectionStatus")), QStringLiteral("in progress"));
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("Stage 2/4 in progress..."));
    h->tick(); // 6 s
    QCOMPARE(h->text(QStringLiteral("authstatus")),
             QStringLiteral("Stage 2/4: connection in progress - 10%"));
    h->tick(2); // 12 s
    QCOMPARE(h->text(QStringLiteral("authstatus")),
             QStringLiteral("Stage 2/4: connection in progress - 30%"));
    h->tick(6); // 30 s
    QCOMPARE(h->text(QStringLiteral("authstatus")),
             QStringLiteral("Stage 2/4: connection in progress - 90%"));
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("2"));
    QVERIFY(!quickConnectAllowed());
    h->tick(); // 33 s
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("3"));
    QCOMPARE(h->text(QStringLiteral("connecting_title")), QStringLiteral("3/4 - Connecting to Charlie"));
    QCOMPARE(h->text(QStringLiteral("connecting_message")),
             QStringLiteral("OpenVPN connection to Charlie\nis in progress"));
    QCOMPARE(h->text(QStringLiteral("authstatus")), anotherMethod);
    QVERIFY(holdPause());
    // The hanging dial was torn down before the next attempt.
    QTRY_COMPARE(dial->dialling(), RasHandle(0));
    QVERIFY(h->sim.requests(QStringLiteral("/files/broken/ca.crt")).isEmpty());

    // The OpenVPN attempt fails on its certificate and hands on to the last entry.
    QVERIFY(endPause());
    QTRY_COMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("4"));
    QCOMPARE(h->sim.requests(QStringLiteral("/files/broken/ca.crt")).size(), 1);
    QVERIFY(h->sim.requests(QStringLiteral("/files/nl/udp.ovpn")).isEmpty());
    QCOMPARE(h->text(QStringLiteral("connecting_title")), QStringLiteral("4/4 - Connecting to Delta"));
    QCOMPARE(h->text(QStringLiteral("authstatus")), anotherMethod);
    QVERIFY(pausing());
    QCOMPARE(dialCount(), 2);
    QVERIFY(!quickConnectAllowed());

    QVERIFY(endPause());
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("Stage 4/4 in progress..."));
    QTRY_COMPARE(workerStatus(), QStringLiteral("connected"));
    QCOMPARE(lastDialledAddress(), QStringLiteral("198.18.20.4"));
    QVERIFY(h->settle());
    h->tick();
    QCOMPARE(h->text(QStringLiteral("connectionStatus")), QStringLiteral("connected"));
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("0"));
    QVERIFY(h->shown(QStringLiteral("WidgetConnectedVPN")));
    QCOMPARE(h->text(QStringLiteral("connected_title")), QStringLiteral("Connected to Delta Server!"));
    QCOMPARE(h->balloonTitles(), QStringList{QStringLiteral("Corvane is now connected!")});
    QVERIFY(h->boxes.isEmpty());
    QCOMPARE(dialledAddresses(), (QStringList{QStringLiteral("198.18.20.1"), QStringLiteral("198.18.20.2"),
                                              QStringLiteral("198.18.20.4")}));

    // The run is over: Quick Connect comes back, and the next run starts at entry 1.
    h->tick(2);
    QVERIFY(quickConnectAllowed());
    h->find<QPushButton>(QStringLiteral("disconnect"))->click();
    h->tick(2);
    QVERIFY(clickQuickConnect());
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("1"));
    QCOMPARE(h->text(QStringLiteral("connecting_title")), QStringLiteral("1/4 - Connecting to Alpha"));
    QTRY_COMPARE(dialCount(), 4);
    QCOMPARE(lastDialledAddress(), QStringLiteral("198.18.20.1"));
}

void TestQuickConnect::nextAttemptWaitsFiveSeconds()
{
    QVERIFY(startWith(QStringLiteral("Alpha^198.18.20.1^PPTP|Bravo^198.18.20.2^PPTP")));
    QCOMPARE(h->window->quickConnectPauseMs, 5000);
    QVERIFY(clickQuickConnect());
    QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    QElapsedTimer clock;
    clock.start();
    h->tick();

    QTimer* pause = quickConnectPauseTimer(h->window.get());
    QVERIFY(pause);
    QVERIFY(pause->isActive());
    QVERIFY(pause->isSingleShot());
    QCOMPARE(pause->interval(), 5000);
    // Neither the event loop nor ticks of the status timer start the attempt early; a machine
    // slow enough to reach the end of the pause meanwhile proves nothing either way.
    QCoreApplication::processEvents();
    h->tick();
    if (clock.elapsed() < 4500) {
        QCOMPARE(dialCount(), 1);
        QVERIFY(pause->isActive());
        QVERIFY(pause->remainingTime() >= 4500 - clock.elapsed());
        QCOMPARE(h->text(QStringLiteral("authstatus")), anotherMethod);
    }
    // The window stays usable meanwhile.
    QVERIFY(h->find<QPushButton>(QStringLiteral("cancel"))->isEnabled());
}

void TestQuickConnect::shortenedPauseStartsTheNextAttemptByItself()
{
    QVERIFY(startWith(QStringLiteral("Alpha^198.18.20.1^PPTP|Bravo^198.18.20.2^PPTP")));
    h->window->quickConnectPauseMs = 50;
    QVERIFY(clickQuickConnect());
    QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    QElapsedTimer clock;
    clock.start();
    h->tick();
    QTRY_COMPARE(dialCount(), 2);
    QVERIFY(clock.elapsed() >= 50);
    QCOMPARE(lastDialledAddress(), QStringLiteral("198.18.20.2"));
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("Stage 2/2 in progress..."));
}

void TestQuickConnect::attemptAfterThePauseKeepsItsWholeTimeout()
{
    dial->setDialOutcomeForAddress(u"198.18.20.2", hangs);
    QVERIFY(startWith(QStringLiteral("Alpha^198.18.20.1^PPTP|Bravo^198.18.20.2^PPTP")));
    QVERIFY(clickQuickConnect());
    QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    h->tick();
    QVERIFY(pausing());
    h->tick(2); // ticks that fall into the pause
    QVERIFY(endPause());
    QTRY_VERIFY(dial->dialling() != 0);

    h->tick();
    QCOMPARE(h->text(QStringLiteral("seconds")), QStringLiteral("3"));
    h->tick(9); // 30 s of the attempt
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("2"));
    QCOMPARE(h->text(QStringLiteral("authstatus")),
             QStringLiteral("Stage 2/2: connection in progress - 90%"));
    QVERIFY(h->boxes.isEmpty());
    h->tick(); // 33 s
    QCOMPARE(h->boxTitles(), QStringList{QStringLiteral("Connection Error")});
}

void TestQuickConnect::failedOneEntryListEndsIdleWithoutPause_data()
{
    QTest::addColumn<bool>("timesOut");
    QTest::addColumn<bool>("lateDialReturn");

    QTest::newRow("refused") << false << false;
    QTest::newRow("timed out") << true << false;
    QTest::newRow("timed out, hung-up dial returns late") << true << true;
}

void TestQuickConnect::failedOneEntryListEndsIdleWithoutPause()
{
    QFETCH(bool, timesOut);
    QFETCH(bool, lateDialReturn);

    dial->setDialOutcomeForAddress(u"198.18.20.1", timesOut ? hangs : refused);
    QVERIFY(startWith(QStringLiteral("Alpha^198.18.20.1^PPTP")));
    QVERIFY(clickQuickConnect());
    if (timesOut) {
        QTRY_VERIFY(dial->dialling() != 0);
        h->tick(10); // 30 s
    } else {
        QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    }
    if (lateDialReturn)
        dial->holdDialReturn();
    QVERIFY(h->boxes.isEmpty());

    h->tick();
    // The box comes with the tick that ends the attempt: no pause before it.
    QCOMPARE(h->boxes.size(), 1);
    QCOMPARE(h->boxes.first().title, QStringLiteral("Connection Error"));
    QCOMPARE(h->boxes.first().text, connectionErrorText);
    QCOMPARE(h->boxes.first().icon, QMessageBox::Critical);
    QVERIFY(!pausing());
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("0"));
    QCOMPARE(h->text(QStringLiteral("connectionStatus")), QStringLiteral("disconnected"));
    QVERIFY(h->shown(QStringLiteral("WingetConnected")));
    QVERIFY(!h->shown(QStringLiteral("WidgetConnectingVPN")));
    QVERIFY(!h->shown(QStringLiteral("loading")));

    if (lateDialReturn)
        dial->releaseDialReturn();
    QTRY_COMPARE(dial->dialling(), RasHandle(0));
    // The dial's thread ends once the worker has written what its dial returned.
    QTRY_VERIFY(!h->window->workerThread()->isRunning());
    QVERIFY(h->settle());
    // Later ticks report the torn-down attempt no second time.
    h->tick(12);
    QCOMPARE(h->boxTitles(), QStringList{QStringLiteral("Connection Error")});
    QCOMPARE(h->text(QStringLiteral("connectionStatus")), QStringLiteral("disconnected"));
    QCOMPARE(dialCount(), 1);
    auto* quickConnect = h->find<QPushButton>(QStringLiteral("quickConnect"));
    QVERIFY(quickConnect->isEnabledTo(quickConnect->parentWidget()));
}

void TestQuickConnect::entryWithTooFewFieldsIsTriedWithEmptyValues()
{
    QVERIFY(
        startWith(QStringLiteral("Keyed^198.18.20.1^L2TP^first-key|Bare^198.18.20.2^L2TP|Nameless^^PPTP")));
    QVERIFY(clickQuickConnect());
    QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    QCOMPARE(dial->credentialsCalls().back().credentials.szPassword, u16(QStringLiteral("first-key")));

    // An L2TP entry without a key: the key is empty, not the previous entry's.
    h->tick();
    QCOMPARE(h->text(QStringLiteral("server_pskey")), QString());
    QVERIFY(endPause());
    QTRY_COMPARE(dialCount(), 2);
    QCOMPARE(lastDialledAddress(), QStringLiteral("198.18.20.2"));
    QCOMPARE(dial->credentialsCalls().size(), size_t(2));
    QCOMPARE(dial->credentialsCalls().back().credentials.szPassword, std::u16string());

    // An entry without an address is tried with none.
    QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    h->tick();
    QCOMPARE(h->text(QStringLiteral("server_name")), QStringLiteral("Nameless"));
    QCOMPARE(h->text(QStringLiteral("server_ip")), QString());
    QCOMPARE(h->text(QStringLiteral("server_assignedIP")), QString());
    QCOMPARE(h->text(QStringLiteral("connecting_title")), QStringLiteral("3/3 - Connecting to Nameless"));
    QVERIFY(endPause());
    QTRY_COMPARE(dialCount(), 3);
    QCOMPARE(lastDialledAddress(), QString());
    QCOMPARE(h->window->worker()->serverAddress, QString());
    QCOMPARE(h->window->worker()->serverName, QStringLiteral("Nameless"));
}

void TestQuickConnect::l2tpKeyStaysForFollowingPptpEntry()
{
    dial->setDialOutcomeForAddress(u"198.18.20.2", hangs);
    QVERIFY(startWith(QStringLiteral("Keyed^198.18.20.1^L2TP^carried-key|Plain^198.18.20.2^PPTP")));
    QVERIFY(clickQuickConnect());
    QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    QCOMPARE(h->text(QStringLiteral("server_pskey")), QStringLiteral("carried-key"));
    h->tick();
    QVERIFY(endPause());
    QTRY_VERIFY(dial->dialling() != 0);

    QCOMPARE(h->text(QStringLiteral("server_protocol")), QStringLiteral("PPTP"));
    QCOMPARE(h->text(QStringLiteral("server_pskey")), QStringLiteral("carried-key"));
    PPPWorker* worker = h->window->worker();
    QCOMPARE(worker->protocol, QStringLiteral("PPTP"));
    QCOMPARE(worker->preSharedKey, QStringLiteral("carried-key"));
    QCOMPARE(worker->serverAddress, QStringLiteral("198.18.20.2"));
    QCOMPARE(worker->serverName, QStringLiteral("Plain"));
    QCOMPARE(worker->userName, QStringLiteral("alice"));
    QCOMPARE(worker->password, QStringLiteral("secret"));
    // A PPTP dial stores no key in the phone book.
    QCOMPARE(dial->credentialsCalls().size(), size_t(1));
}

void TestQuickConnect::unknownProtocolIsSkipped_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("stage"); // where the run stands at the end; "0": list exhausted
    QTest::addColumn<QString>("title"); // connecting title of the attempt that runs
    QTest::addColumn<QStringList>("dialled");

    const QString hanging = QStringLiteral("198.18.20.8");
    QTest::newRow("first") << QStringLiteral("Odd^198.18.20.9^SSTP|Plain^198.18.20.8^PPTP")
                           << QStringLiteral("2") << QStringLiteral("2/2 - Connecting to Plain")
                           << QStringList{hanging};
    QTest::newRow("in the middle")
        << QStringLiteral("Alpha^198.18.20.1^PPTP|Odd^198.18.20.9^IKEv2|Plain^198.18.20.8^PPTP")
        << QStringLiteral("3") << QStringLiteral("3/3 - Connecting to Plain")
        << QStringList{QStringLiteral("198.18.20.1"), hanging};
    QTest::newRow("protocol in lower case")
        << QStringLiteral("Odd^198.18.20.9^pptp|Plain^198.18.20.8^PPTP") << QStringLiteral("2")
        << QStringLiteral("2/2 - Connecting to Plain") << QStringList{hanging};
    QTest::newRow("empty entry") << QStringLiteral("|Plain^198.18.20.8^PPTP") << QStringLiteral("2")
                                 << QStringLiteral("2/2 - Connecting to Plain") << QStringList{hanging};
    QTest::newRow("last") << QStringLiteral("Alpha^198.18.20.1^PPTP|Odd^198.18.20.9^SSTP")
                          << QStringLiteral("0") << QString() << QStringList{QStringLiteral("198.18.20.1")};
    QTest::newRow("only entry") << QStringLiteral("Odd^198.18.20.9^SSTP") << QStringLiteral("0") << QString()
                                << QStringList{};
}

void TestQuickConnect::unknownProtocolIsSkipped()
{
    QFETCH(QString, list);
    QFETCH(QString, stage);
    QFETCH(QString, title);
    QFETCH(QStringList, dialled);

    const QString hanging = QStringLiteral("198.18.20.8");
    dial->setDialOutcomeForAddress(u"198.18.20.8", hangs);
    QVERIFY(startWith(list));
    QVERIFY(clickQuickConnect());
    // Hand on failures and end pauses until an attempt runs or the list is used up.
    const bool settled = QTest::qWaitFor([this, &hanging] {
        if (pausing())
            quickConnectPauseTimer(h->window.get())->start(0);
        else if (workerStatus() == QLatin1String("error"))
            h->tick();
        // A refused dial is briefly in progress too: only the hanging one has settled the run.
        return (dial->dialling() != 0 && lastDialledAddress() == hanging) || !h->boxes.isEmpty();
    });
    QVERIFY(settled);

    QCOMPARE(h->text(QStringLiteral("quick_stage")), stage);
    QCOMPARE(dialledAddresses(), dialled);
    if (stage == QLatin1String("0")) {
        QCOMPARE(h->boxTitles(), QStringList{QStringLiteral("Connection Error")});
        QVERIFY(h->shown(QStringLiteral("WingetConnected")));
    } else {
        QVERIFY(h->boxes.isEmpty());
        QCOMPARE(h->text(QStringLiteral("connecting_title")), title);
        QCOMPARE(h->text(QStringLiteral("server_name")), QStringLiteral("Plain"));
    }
}

void TestQuickConnect::skippedFirstEntryStartsWithoutPause()
{
    dial->setDialOutcomeForAddress(u"198.18.20.8", hangs);
    QVERIFY(startWith(QStringLiteral("Odd^198.18.20.9^SSTP|Plain^198.18.20.8^PPTP")));
    QVERIFY(clickQuickConnect());
    // No attempt came before, so there is nothing to pause after.
    QVERIFY(!pausing());
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("Stage 2/2 in progress..."));
    QTRY_COMPARE(dialCount(), 1);
    QCOMPARE(lastDialledAddress(), QStringLiteral("198.18.20.8"));
}

void TestQuickConnect::disabledAccountEndsTheRun()
{
    QVERIFY(startWith(QStringLiteral("Alpha^198.18.20.1^PPTP|Bravo^198.18.20.2^PPTP"), QStringLiteral("bob"),
                      QStringLiteral("lapsed")));
    QCOMPARE(h->text(QStringLiteral("user_enabled")), QStringLiteral("0"));
    const size_t hangUpsBefore = dial->hangUps().size();
    auto* quickConnect = h->find<QPushButton>(QStringLiteral("quickConnect"));

    h->invoke("on_quickConnect_clicked");
    QCOMPARE(h->boxes.size(), 1);
    QCOMPARE(h->boxes.first().title, QStringLiteral("Your account is disabled"));
    QCOMPARE(
        h->boxes.first().text,
        QStringLiteral("VPN connections are not available for your account. You need to subscribe to a plan "
                       "to make account enabled. \nFor more details please visit our site."));
    QCOMPARE(h->boxes.first().icon, QMessageBox::Critical);
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("0"));
    QVERIFY(!h->shown(QStringLiteral("loading")));
    QVERIFY(!h->shown(QStringLiteral("WidgetConnectingVPN")));
    // Nothing was torn down or dialled.
    QCOMPARE(dial->hangUps().size(), hangUpsBefore);
    QCOMPARE(dialCount(), 0);
    QVERIFY(!pausing());

    // The button is not left disabled for good.
    QVERIFY(!quickConnect->isEnabledTo(quickConnect->parentWidget()));
    h->tick(2);
    QVERIFY(quickConnect->isEnabledTo(quickConnect->parentWidget()));
    QCOMPARE(h->boxes.size(), 1);
}

void TestQuickConnect::accountDisabledDuringTheRunEndsItIdle()
{
    QVERIFY(startWith(QStringLiteral("Alpha^198.18.20.1^PPTP|Bravo^198.18.20.2^PPTP")));
    QVERIFY(clickQuickConnect());
    QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    // An account reply found the account no longer enabled.
    h->state()->setAccountFlag(QStringLiteral("0"));
    h->tick();
    QCOMPARE(h->boxTitles(), QStringList{QStringLiteral("Your account is disabled")});
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("0"));
    QCOMPARE(h->text(QStringLiteral("connectionStatus")), QStringLiteral("disconnected"));
    QVERIFY(h->shown(QStringLiteral("WingetConnected")));
    QVERIFY(!h->shown(QStringLiteral("WidgetConnectingVPN")));
    QVERIFY(!h->shown(QStringLiteral("loading")));
    QVERIFY(!pausing());
    // The failed first attempt is not reported afterwards.
    h->tick(12);
    QCOMPARE(h->boxTitles(), QStringList{QStringLiteral("Your account is disabled")});
    QCOMPARE(dialCount(), 1);
}

void TestQuickConnect::cancelEndsTheRun()
{
    dial->setDialOutcomeForAddress(u"198.18.20.1", hangs);
    QVERIFY(startWith(QStringLiteral("Alpha^198.18.20.1^PPTP|Bravo^198.18.20.2^PPTP")));
    QVERIFY(clickQuickConnect());
    QTRY_VERIFY(dial->dialling() != 0);
    h->tick(2);
    QCOMPARE(h->text(QStringLiteral("authstatus")),
             QStringLiteral("Stage 1/2: connection in progress - 10%"));

    auto* cancel = h->find<QPushButton>(QStringLiteral("cancel"));
    QVERIFY(cancel->isEnabled());
    cancel->click();
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("0"));
    QCOMPARE(h->text(QStringLiteral("connectionStatus")), QStringLiteral("disconnected"));
    QVERIFY(h->shown(QStringLiteral("WingetConnected")));
    QVERIFY(!h->shown(QStringLiteral("WidgetConnectingVPN")));
    QTRY_COMPARE(dial->dialling(), RasHandle(0));
    QVERIFY(h->settle());

    // No later tick hands on to entry 2 or reports the cancelled attempt.
    h->tick(12);
    QCOMPARE(dialCount(), 1);
    QVERIFY(!pausing());
    QVERIFY(h->boxes.isEmpty());
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("0"));
    auto* quickConnect = h->find<QPushButton>(QStringLiteral("quickConnect"));
    QVERIFY(quickConnect->isEnabled());
}

void TestQuickConnect::cancelDuringThePauseStartsNoAttempt()
{
    QVERIFY(startWith(QStringLiteral("Alpha^198.18.20.1^PPTP|Bravo^198.18.20.2^PPTP")));
    h->window->quickConnectPauseMs = 100;
    QVERIFY(clickQuickConnect());
    QTRY_COMPARE(workerStatus(), QStringLiteral("error"));
    h->tick();
    QVERIFY(pausing());

    h->find<QPushButton>(QStringLiteral("cancel"))->click();
    QVERIFY(!pausing());
    QTest::qWait(400); // well past the pause
    QCOMPARE(dialCount(), 1);
    QCOMPARE(h->text(QStringLiteral("quick_stage")), QStringLiteral("0"));
    QCOMPARE(h->text(QStringLiteral("connectionStatus")), QStringLiteral("disconnected"));
    QVERIFY(h->shown(QStringLiteral("WingetConnected")));
    h->tick(12);
    QCOMPARE(dialCount(), 1);
    QVERIFY(h->boxes.isEmpty());
}

QTEST_MAIN(TestQuickConnect)
#include "tst_quickconnect.moc"
