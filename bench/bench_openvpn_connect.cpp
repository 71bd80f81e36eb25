// Time from the connect click to the connected page over a real OpenVPN tunnel, with the
// window's own 3-second status timer running (nothing drives the tick but the event loop).
// Each run builds a fresh window, logs in, waits a random part of a tick period so that clicks
// fall at every phase of the timer, clicks connect and waits for the connected page. Beside it,
// in the same run: plain openvpn from its start to "Initialization Sequence Completed" with the
// same configuration, and the client's time from the click to the box after a wrong password.
//
// Needs the OpenVPN lab and root; tests/openvpn/in-lab.sh builds a lab, runs this in
// its client namespace and tears the lab down:
//
//   tests/openvpn/in-lab.sh <build folder> bench_openvpn_connect [runs]
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
#include <QTemporaryDir>
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

// Plain openvpn with the lab's configuration: start to "Initialization Sequence Completed".
qint64 measurePlain(const QHash<QString, QString>& lab, const QString& program, QString* why)
{
    QTemporaryDir dir;
    QFile credentials(dir.filePath(QStringLiteral("auth")));
    credentials.open(QIODevice::WriteOnly);
    credentials.write(lab.value(QStringLiteral("LAB_USER_ALICE")).toUtf8() + '\n' +
                      lab.value(QStringLiteral("LAB_PASSWORD_ALICE")).toUtf8() + '\n');
    credentials.close();
    const QString labDir = lab.value(QStringLiteral("LAB_DIR"));
    QProcess openvpn;
    openvpn.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    openvpn.start(program, {QStringLiteral("--config"), labDir + QStringLiteral("/client.ovpn"),
                            QStringLiteral("--ca"), labDir + QStringLiteral("/ca.crt"),
                            QStringLiteral("--auth-user-pass"), credentials.fileName()});
    QByteArray output;
    while (!output.contains("Initialization Sequence Completed")) {
        if (clock.elapsed() > attemptLimitMs ||
            (openvpn.state() == QProcess::NotRunning && clock.elapsed() > 100)) {
            *why = QStringLiteral("plain openvpn did not connect");
            return -1;
        }
        openvpn.waitForReadyRead(5);
        output += openvpn.readAll();
    }
    const qint64 elapsed = clock.elapsed();
    openvpn.terminate();
    openvpn.waitForFinished(5000);
    return elapsed;
}

// One run of the client; the time in ms to the connected page, or with a wrong password to the
// box that says so; -1 with the reason in `why`.
qint64 measureOnce(const QHash<QString, QString>& lab, const QString& program, bool wrongPassword,
                   QString* why)
{
    WindowHarness harness;
    const QString password =
        wrongPassword ? QStringLiteral("not-the-password") : lab.value(QStringLiteral("LAB_PASSWORD_ALICE"));
    serveLab(harness.sim, lab, password);
    qputenv("CORVANE_IPECHO_URL", lab.value(QStringLiteral("LAB_ECHO_URL")).toUtf8());
    QDir(harness.workDir.path()).mkpath(QStringLiteral("openvpn"));
    QFile::link(program, harness.workDir.filePath(QStringLiteral("openvpn/openvpn")));
    harness.create();
    if (!harness.login(lab.value(QStringLiteral("LAB_USER_ALICE")), password)) {
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
    if (wrongPassword) {
        while (harness.boxes.isEmpty()) {
            if (clock.elapsed() > attemptLimitMs) {
                *why = QStringLiteral("no refusal");
                return -1;
            }
            QTest::qWait(2);
        }
        return clock.elapsed();
    }
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

    std::vector<qint64> client;
    std::vector<qint64> plain;
    std::vector<qint64> refused;
    const auto median = [](std::vector<qint64> times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    for (int i = 1; i <= runs; ++i) {
        clearSettings();
        QString why;
        const qint64 alone = measurePlain(lab, program, &why);
        const qint64 ms = alone < 0 ? -1 : measureOnce(lab, program, false, &why);
        const qint64 refusal = ms < 0 ? -1 : measureOnce(lab, program, true, &why);
        if (refusal < 0)
            return fail(QStringLiteral("run %1: %2").arg(i).arg(why));
        plain.push_back(alone);
        client.push_back(ms);
        refused.push_back(refusal);
        out() << "run " << i << ": client " << ms << " ms, plain openvpn " << alone << " ms, wrong password "
              << refusal << " ms" << Qt::endl;
    }
    out() << runs << " runs, medians: connect click to connected page " << median(client)
          << " ms; plain openvpn start to Initialization Sequence Completed " << median(plain)
          << " ms; difference " << median(client) - median(plain) << " ms; wrong password to its box "
          << median(refused) << " ms" << Qt::endl;
    return 0;
}
