// Time from the connect click to the connected page over a real OpenVPN tunnel, with the
// window's own 3-second status timer running (nothing drives the tick but the event loop).
// Each run builds a fresh window, logs in, waits a random part of a tick period so that clicks
// fall at every phase of the timer, clicks connect and waits for the connected page.
//
// Needs the OpenVPN lab and root; tests/openvpn/bench_connect.sh builds a lab, runs this in
// its client namespace and tears the lab down:
//
//   tests/openvpn/bench_connect.sh <build folder> [runs]
//
// By hand, inside the client namespace of a running lab:
//   CORVANE_LAB_ENV=<lab>/lab.env bench_openvpn_connect [runs]

#include "openvpnsupport.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int attemptLimitMs = 60000;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

int fail(const QString& why)
{
    std::fprintf(stderr, "bench_openvpn_connect: %s\n", qPrintable(why));
    return 1;
}

void serveLab(ServiceSimulator& sim, const QHash<QString, QString>& lab)
{
    QFile ca(lab.value(QStringLiteral("LAB_DIR")) + QStringLiteral("/ca.crt"));
    QFile config(lab.value(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
    ca.open(QIODevice::ReadOnly);
    config.open(QIODevice::ReadOnly);
    QJsonObject data = standardTestData();
    QJsonObject account = data.value(QStringLiteral("accounts")).toArray().at(0).toObject();
    account[QStringLiteral("username")] = lab.value(QStringLiteral("LAB_USER_ALICE"));
    account[QStringLiteral("password")] = lab.value(QStringLiteral("LAB_PASSWORD_ALICE"));
    account[QStringLiteral("quickServers")] = QString();
    data[QStringLiteral("accounts")] = QJsonArray{account};
    const QJsonArray profiles{QJsonObject{{"name", "UDP 1194"},
                                          {"config", "{base}/files/lab/client.ovpn"},
                                          {"certificate", "{base}/files/lab/ca.crt"}}};
    data[QStringLiteral("servers")] =
        QJsonArray{QJsonObject{{"id", 1},
                               {"shortname", "LAB1"},
                               {"ip", lab.value(QStringLiteral("LAB_SERVER_IP"))},
                               {"country", "nl"},
                               {"assignedIP", lab.value(QStringLiteral("LAB_TUNNEL_IP_ALICE"))},
                               {"pptp", false},
                               {"l2tp", false},
                               {"pskey", ""},
                               {"openvpn", true},
                               {"profiles", profiles}}};
    data[QStringLiteral("files")] = QJsonObject{};
    sim.loadData(data);
    sim.setFile(QStringLiteral("/files/lab/ca.crt"), ca.readAll());
    sim.setFile(QStringLiteral("/files/lab/client.ovpn"), config.readAll());
}

// One run; the time in ms, or -1 with the reason in `why`.
qint64 measureOnce(const QHash<QString, QString>& lab, const QString& program, QString* why)
{
    WindowHarness harness;
    serveLab(harness.sim, lab);
    qputenv("CORVANE_IPECHO_URL", lab.value(QStringLiteral("LAB_ECHO_URL")).toUtf8());
    QDir(harness.workDir.path()).mkpath(QStringLiteral("openvpn"));
    QFile::link(program, harness.workDir.filePath(QStringLiteral("openvpn/openvpn")));
    harness.create();
    if (!harness.login(lab.value(QStringLiteral("LAB_USER_ALICE")),
                       lab.value(QStringLiteral("LAB_PASSWORD_ALICE")))) {
        *why = QStringLiteral("login failed");
        return -1;
    }
    auto* connect = harness.find<QPushButton>(QStringLiteral("connect"));
    QElapsedTimer clock;
    clock.start();
    while (!connect->isEnabled() && clock.elapsed() < 10000)
        QTest::qWait(10);
    QTest::qWait(static_cast<int>(QRandomGenerator::global()->bounded(3000)));

    clock.restart();
    connect->click();
    while (harness.text(QStringLiteral("connectionStatus")) != QLatin1String("connected") ||
           !harness.shown(QStringLiteral("WidgetConnectedVPN"))) {
        if (clock.elapsed() > attemptLimitMs || !harness.boxes.isEmpty()) {
            *why =
                QStringLiteral("no connection; status '%1'").arg(harness.text(QStringLiteral("authstatus")));
            return -1;
        }
        QTest::qWait(2);
    }
    const qint64 elapsed = clock.elapsed();
    harness.invoke("on_disconnect_clicked");
    harness.window->openVpnChild()->waitForFinished(5000);
    return elapsed;
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;

    QString error;
    const QHash<QString, QString> lab = readLabEnvironment(qEnvironmentVariable("CORVANE_LAB_ENV"), &error);
    if (!error.isEmpty())
        return fail(error);
    const QString program = QStandardPaths::findExecutable(
        QStringLiteral("openvpn"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (program.isEmpty())
        return fail(QStringLiteral("the openvpn program is not installed"));
    isolateSettings();

    std::vector<qint64> times;
    for (int i = 1; i <= runs; ++i) {
        clearSettings();
        QString why;
        const qint64 ms = measureOnce(lab, program, &why);
        if (ms < 0)
            return fail(QStringLiteral("run %1: %2").arg(i).arg(why));
        times.push_back(ms);
        out() << "run " << i << ": " << ms << " ms" << Qt::endl;
    }
    std::sort(times.begin(), times.end());
    out() << "connect click to connected page over the real tunnel, real 3 s status timer, " << runs
          << " runs: median " << times[times.size() / 2] << " ms, min " << times.front() << " ms, max "
          << times.back() << " ms" << Qt::endl;
    return 0;
}
