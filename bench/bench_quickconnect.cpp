// Wall time of a Quick Connect run over four entries, in real time: the window's own 3-second
// status timer drives it and the pause between attempts is the program's 5 seconds.
//   1. PPTP, refused (691) at once
//   2. L2TP, never answers: abandoned at the 30-second limit
//   3. OpenVPN, certificate download fails (HTTP 500)
//   4. PPTP, connects at once
//
//   bench_quickconnect        (QT_QPA_PLATFORM=offscreen for a headless run; about a minute)

#include "connection/dialup_simulated.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    isolateSettings();
    clearSettings();
    QTextStream out(stdout);

    SimulatedDialUp dial;
    dial.setDialOutcome({691, 0});
    dial.setDialOutcomeForAddress(u"198.18.20.2", {ras::success, 600000});
    dial.setDialOutcomeForAddress(u"198.18.20.4", {ras::success, 0});
    setDialUpOverride(&dial);

    int result = 0;
    {
        WindowHarness h(WindowHarness::Time::Real);
        h.sim.setAccountValue(
            QStringLiteral("alice"), QStringLiteral("quickServers"),
            QStringLiteral("Alpha^198.18.20.1^PPTP|Bravo^198.18.20.2^L2TP^bravo-key|"
                           "Charlie^198.18.20.3^OpenVPN^{base}/files/broken/ca.crt^{base}/files/nl/udp.ovpn|"
                           "Delta^198.18.20.4^PPTP"));
        h.sim.setFault(QStringLiteral("/files/broken/"), Fault::httpStatus(500));
        h.create();
        if (!h.login()) {
            out << "login failed\n";
            return 1;
        }
        auto* stage = h.find<QLineEdit>(QStringLiteral("quick_stage"));
        auto* status = h.find<QLineEdit>(QStringLiteral("connectionStatus"));
        QElapsedTimer clock;
        clock.start();
        h.find<QPushButton>(QStringLiteral("quickConnect"))->click();

        QString lastStage;
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (stage->text() != lastStage) {
                lastStage = stage->text();
                out << QStringLiteral("%1 ms  stage %2\n").arg(clock.elapsed(), 6).arg(lastStage);
                out.flush();
            }
            if (status->text() == QLatin1String("connected") || !h.boxes.isEmpty() ||
                clock.elapsed() > 180000)
                loop.quit();
        });
        poll.start(10);
        loop.exec();

        const qint64 total = clock.elapsed();
        if (status->text() == QLatin1String("connected") && stage->text() == QLatin1String("0")) {
            out << QStringLiteral("connected to %1 after %2 ms (%3 dials)\n")
                       .arg(h.text(QStringLiteral("server_name")))
                       .arg(total)
                       .arg(dial.entryCalls().size());
        } else {
            out << QStringLiteral("run did not connect after %1 ms: %2\n")
                       .arg(total)
                       .arg(h.boxTitles().join(", "));
            result = 1;
        }
    }
    setDialUpOverride(nullptr);
    return result;
}
