// Connects and disconnects over a real OpenVPN tunnel again and again, as a user does: one
// window, logged in once; each cycle clicks Connect, waits for the connected page, clicks
// Disconnect and waits for the tabs with openvpn ended. Every `every` cycles it writes what the
// process holds: resident memory, open descriptors, threads, child processes, tun devices in
// the namespace, files in the work and private folders, and the lines of the connection log.
//
// With --networkmanager the tunnels go through the system's NetworkManager (the lab's, on the bus
// DBUS_SYSTEM_BUS_ADDRESS names), and each report also counts the daemon's VPN connections.
//
// With --check it fails when, after the first report, a thread, a child, a device or a file is
// more than the first report had, the descriptors are more than a few more, or a cycle fails:
// the short run in the test suite.
//
// Needs the OpenVPN lab and root; tests/openvpn/in-lab.sh builds a lab and runs this in it:
//
//   tests/openvpn/in-lab.sh <build folder> bench_soak [cycles [every]]
//   tests/openvpn/in-lab.sh --networkmanager <build folder> bench_soak [cycles [every]] --networkmanager
//
// By hand, inside the client namespace of a running lab:
//   CORVANE_LAB_ENV=<lab>/lab.env bench_soak [cycles [every [--check]]]

#include "benchfigures.h"
#include "connection/connectioncontroller.h"
#include "connection/connectionengine.h"
#include "core/freedmemory.h"
#include "nmsupport.h"
#include "openvpnsupport.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextStream>

#include <unistd.h>

#include <cstdio>
#include <functional>

namespace {
constexpr int stepLimitMs = 60000;
constexpr int keptAlive = 3;

int fail(const QString& why)
{
    std::fprintf(stderr, "bench_soak: %s\n", qPrintable(why));
    return 1;
}

int entries(const QString& folder)
{
    return int(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

int files(const QString& folder)
{
    if (folder.isEmpty())
        return 0;
    int count = 0;
    QDirIterator it(folder, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

int children()
{
    const QByteArray me = QByteArray::number(qint64(getpid()));
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:") && line.mid(5).trimmed() == me)
                ++count;
        }
    }
    return count;
}

int tunDevices()
{
    int count = 0;
    for (const QString& name :
         QDir(QStringLiteral("/sys/class/net")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        count += QFile::exists(QStringLiteral("/sys/class/net/%1/tun_flags").arg(name));
    return count;
}

struct Holding
{
    double resident = 0;
    int descriptors = 0;
    int threads = 0;
    int children = 0;
    int tunDevices = 0;
    int files = 0;
    int nmConnections = 0;
    int logLines = 0;
};

int vpnConnections(bool viaNm)
{
    int count = 0;
    for (const QString& path : viaNm ? nmConnections() : QStringList())
        count += nmSettings(path).value(QStringLiteral("connection")).value(QStringLiteral("type")) ==
                 QStringLiteral("vpn");
    return count;
}

bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > stepLimitMs)
            return false;
        QTest::qWait(2);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program does.
    keepFreedMemoryReturnable();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int cycles = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 1000;
    const int every = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 100;
    const bool check = args.contains(QStringLiteral("--check"));
    const bool viaNm = args.contains(QStringLiteral("--networkmanager"));
    if (viaNm && !nmTestEnvironmentProblem().isEmpty())
        return fail(nmTestEnvironmentProblem());
    qputenv("CORVANE_NETWORKMANAGER", viaNm ? "1" : "0");
    // The work files in a folder of this process alone, and a home of its own for GLib's reader.
    QTemporaryDir runtime, home;
    if (viaNm) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("HOME", QFile::encodeName(home.path()));
    }

    QString error;
    const QHash<QString, QString> lab = readLabEnvironment(qEnvironmentVariable("CORVANE_LAB_ENV"), &error);
    if (!error.isEmpty())
        return fail(error);
    const QString program = QStandardPaths::findExecutable(
        QStringLiteral("openvpn"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (program.isEmpty())
        return fail(QStringLiteral("the openvpn program is not installed"));
    isolateSettings();
    clearSettings();

    // In real time, as a user lives it: the status tick and every other timer run as they fall due.
    WindowHarness harness(WindowHarness::Time::Real);
    serveLab(harness.sim, lab);
    qputenv("CORVANE_IPECHO_URL", lab.value(QStringLiteral("LAB_ECHO_URL")).toUtf8());
    QDir(harness.workDir.path()).mkpath(QStringLiteral("openvpn"));
    QFile::link(program, harness.workDir.filePath(QStringLiteral("openvpn/openvpn")));
    harness.create();
    if (!harness.login(lab.value(QStringLiteral("LAB_USER_ALICE")),
                       lab.value(QStringLiteral("LAB_PASSWORD_ALICE"))))
        return fail(QStringLiteral("login failed"));
    const QString privateFolder = harness.window->connectionController()->engine()->places().privateFolder;
    auto* connect = harness.find<QPushButton>(QStringLiteral("connect"));
    auto* controller = harness.window->connectionController();
    // The connection log grows until it holds its last lines, and with it the memory.
    const QTextDocument* log = harness.find<QTextBrowser>(QStringLiteral("logBrowser"))->document();

    const auto holding = [&] {
        return Holding{residentMb(),
                       entries(QStringLiteral("/proc/self/fd")),
                       entries(QStringLiteral("/proc/self/task")),
                       children(),
                       tunDevices(),
                       files(harness.workDir.path()) + files(privateFolder),
                       vpnConnections(viaNm),
                       log->blockCount()};
    };
    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10\n")
               .arg(QStringLiteral("cycles"), 7)
               .arg(QStringLiteral("MB"), 7)
               .arg(QStringLiteral("fds"), 5)
               .arg(QStringLiteral("threads"), 8)
               .arg(QStringLiteral("children"), 9)
               .arg(QStringLiteral("tun"), 4)
               .arg(QStringLiteral("files"), 6)
               .arg(QStringLiteral("nm-vpn"), 7)
               .arg(QStringLiteral("log"), 5)
               .arg(QStringLiteral("s/cycle"), 8);
    Holding first;
    QElapsedTimer stretch;
    stretch.start();
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        // The simulator lives in this process and records every request, and the harness every
        // balloon: that is not the client's.
        harness.sim.clearRequests();
        harness.balloons.clear();
        if (!waitFor([&] { return connect->isEnabled(); }))
            return fail(QStringLiteral("cycle %1: connect never became usable").arg(cycle));
        connect->click();
        const bool connected = waitFor([&] {
            return !harness.boxes.isEmpty() ||
                   (controller->state() == ConnectionController::State::Connected &&
                    harness.shown(QStringLiteral("WidgetConnectedVPN")));
        });
        if (!connected || !harness.boxes.isEmpty()) {
            QFile log(harness.workDir.filePath(QStringLiteral("include/openvpn.log")));
            if (log.open(QIODevice::ReadOnly))
                std::fprintf(stderr, "%s", log.readAll().right(3000).constData());
            return fail(QStringLiteral("cycle %1: no connection; status '%2'")
                            .arg(cycle)
                            .arg(harness.text(QStringLiteral("authstatus"))));
        }
        harness.invoke("on_disconnect_clicked");
        const bool ended = waitFor([&] {
            QProcess* child = harness.window->openVpnChild();
            return controller->state() == ConnectionController::State::Idle &&
                   harness.shown(QStringLiteral("WingetConnected")) &&
                   (!child || child->state() == QProcess::NotRunning) && tunDevices() == 0 &&
                   vpnConnections(viaNm) == 0;
        });
        if (!ended)
            return fail(QStringLiteral("cycle %1: the tunnel did not end").arg(cycle));
        if (cycle % every != 0 && cycle != cycles)
            continue;
        // Deleted objects and ended threads are gone once the loop has run; the program of the
        // last attempt may still be ending, which it must do within the limit.
        QTest::qWait(100);
        if (!waitFor([] { return children() == 0; }))
            return fail(QStringLiteral("cycle %1: a child process did not end").arg(cycle));
        const Holding now = holding();
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10\n")
                   .arg(cycle, 7)
                   .arg(now.resident, 7, 'f', 1)
                   .arg(now.descriptors, 5)
                   .arg(now.threads, 8)
                   .arg(now.children, 9)
                   .arg(now.tunDevices, 4)
                   .arg(now.files, 6)
                   .arg(now.nmConnections, 7)
                   .arg(now.logLines, 5)
                   .arg(double(stretch.restart()) / 1000.0 / every, 8, 'f', 2);
        out.flush();
        if (cycle == every) {
            first = now;
            continue;
        }
        // Kept-alive connections to the service and the echo page come and go by a few; a leak
        // grows by one or more every cycle.
        if (check && (now.descriptors > first.descriptors + keptAlive || now.threads > first.threads ||
                      now.children > first.children || now.tunDevices > 0 || now.files > first.files ||
                      now.nmConnections > 0))
            return fail(QStringLiteral("cycle %1 holds more than cycle %2").arg(cycle).arg(every));
    }
    return 0;
}
