// What the client costs beside a bare Qt Widgets program built with the same Qt, in the same run:
//
//   first request  from building the window to its first request reaching the service
//   resident       resident memory once logged in with the catalogue shown (the bare program:
//                  once its one GET of the same document has been read and kept)
//
// Each figure comes from a process of its own, so no heap is shared; both processes serve the
// same catalogue from a simulator in the process, whose memory they therefore share alike.
//
//   bench_lean [runs [servers,...]]   (QT_QPA_PLATFORM=offscreen)
//
// And resident memory over many logins and logouts with one window, as over days of use:
//
//   bench_lean --logins [count [servers [every]]]   (default 200 logins, 10,000 servers, every 50)

#include "benchfigures.h"
#include "benchservers.h"
#include "core/freedmemory.h"
#include "testcertificates.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QSslConfiguration>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextStream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

void waitFor(const std::function<bool()>& done, const char* what)
{
    QElapsedTimer timeout;
    timeout.start();
    while (!done()) {
        if (timeout.elapsed() > 60000)
            qFatal("%s not reached", what);
        QTest::qWait(5);
    }
}

// Stands for the service's address and notes the moment the first connection reaches it, from a
// thread of its own so the event loop under measure is not disturbed.
class FirstContact
{
public:
    FirstContact()
    {
        listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener, 4) != 0 ||
            getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            qFatal("cannot listen on 127.0.0.1");
        port = ntohs(address.sin_port);
        clock.start();
        watcher = std::thread([this] {
            const int peer = accept(listener, nullptr, nullptr);
            at = clock.nsecsElapsed();
            if (peer >= 0)
                close(peer);
        });
    }
    ~FirstContact()
    {
        shutdown(listener, SHUT_RDWR);
        watcher.join();
        close(listener);
    }
    QString url() const { return QStringLiteral("https://127.0.0.1:%1").arg(port); }
    qint64 now() const { return clock.nsecsElapsed(); }
    // Milliseconds from start to the first connection, once one has come.
    double since(qint64 start) const
    {
        waitFor([this] { return at >= 0; }, "the first connection");
        return ms(at - start);
    }

private:
    int listener = -1;
    quint16 port = 0;
    QElapsedTimer clock;
    std::atomic<qint64> at{-1};
    std::thread watcher;
};

// A window and one GET of the login document, the least a program of this kind does.
void runBare(int servers)
{
    ServiceSimulator sim;
    sim.loadData(standardTestData());
    sim.useTls(testCertificates().trusted.certificate, testCertificates().trusted.key);
    if (!sim.start())
        qFatal("the simulator did not start");
    sim.setServers(benchServers(servers, sim.baseUrl()));

    FirstContact first;
    const qint64 start = first.now();
    // Trusting the test's authority reads the system's too, as the client does with it.
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(testCertificates().authority);
    QSslConfiguration::setDefaultConfiguration(tls);
    QWidget window;
    window.resize(340, 350);
    window.show();
    QNetworkAccessManager network;
    // Its first request asks for the version, as the client's does.
    network.get(QNetworkRequest(QUrl(first.url() + QStringLiteral("/AppVer2/4.0.2"))));
    const double firstRequest = first.since(start);
    QNetworkReply* reply = network.get(QNetworkRequest(
        QUrl(sim.baseUrl() + QStringLiteral("/AppServersV2?username=alice&appver=4.0.2&key=") +
             ServiceSimulator::passwordKey(QStringLiteral("secret")))));
    QByteArray document;
    QObject::connect(reply, &QNetworkReply::finished, [&] { document = reply->readAll(); });
    waitFor([&] { return reply->isFinished(); }, "the bare program's reply");
    if (document.size() < servers * 100)
        qFatal("the bare program read %d bytes", int(document.size()));
    QTest::qWait(200);
    QTextStream(stdout) << firstRequest << ' ' << residentMb() << '\n';
}

// From building the window to its first request, trusting only the system's authorities as
// the installed program does: the test's authority would have the system's read in full first.
void runClientStart(int servers)
{
    isolateSettings();
    clearSettings();
    WindowHarness h;
    h.sim.setServers(benchServers(servers, h.sim.baseUrl()));
    qunsetenv("CORVANE_CA_CERTIFICATES");
    FirstContact first;
    for (const char* name : {"CORVANE_SERVICE_URL", "CORVANE_WEBSITE_URL", "CORVANE_IPECHO_URL"})
        qputenv(name, first.url().toUtf8());
    const qint64 start = first.now();
    h.create()->show();
    QTextStream(stdout) << first.since(start) << " -1\n";
}

// The client's window shown, its simulator serving `servers` servers, nobody logged in.
std::unique_ptr<WindowHarness> shownClient(int servers)
{
    isolateSettings();
    clearSettings();
    auto harness = std::make_unique<WindowHarness>();
    harness->sim.setServers(benchServers(servers, harness->sim.baseUrl()));
    harness->create()->show();
    harness->settle(3000);
    return harness;
}

void runClientLoggedIn(int servers)
{
    const std::unique_ptr<WindowHarness> client = shownClient(servers);
    WindowHarness& h = *client;
    h.find<QLineEdit>(QStringLiteral("username"))->setText(QStringLiteral("alice"));
    h.find<QLineEdit>(QStringLiteral("password"))->setText(QStringLiteral("secret"));
    h.invoke("on_login_clicked");
    auto* list = h.find<QComboBox>(QStringLiteral("servers"));
    waitFor([&] { return list->count() == servers; }, "the logged-in catalogue");
    h.settle(3000);
    QTest::qWait(200);
    QTextStream(stdout) << "-1 " << residentMb() << '\n';
}

// Each login reads and lists the whole catalogue; each logout drops it. What one cycle keeps
// the next must give back, so after the first stretch the figure stays where it was.
void runLogins(int count, int servers, int every)
{
    const std::unique_ptr<WindowHarness> client = shownClient(servers);
    WindowHarness& h = *client;
    auto* list = h.find<QComboBox>(QStringLiteral("servers"));
    QTextStream out(stdout);
    // The connection log is kept to its last lines: it grows until it has them.
    QTextDocument* log = h.find<QTextBrowser>(QStringLiteral("logBrowser"))->document();
    out << QStringLiteral("%1 %2 %3 %4\n")
               .arg(QStringLiteral("logins"), 7)
               .arg(QStringLiteral("MB"), 7)
               .arg(QStringLiteral("log lines"), 10)
               .arg(QStringLiteral("s/login"), 8);
    QElapsedTimer stretch;
    stretch.start();
    double first = 0;
    for (int login = 1; login <= count; ++login) {
        // The simulator lives in this process and records every request: that is not the client's.
        h.sim.clearRequests();
        if (!h.login())
            qFatal("login %d failed", login);
        waitFor([&] { return list->count() == servers; }, "the logged-in catalogue");
        // A user looks at the lists for a moment: the window stores the document once it is quiet.
        QTest::qWait(1000);
        h.find<QPushButton>(QStringLiteral("logout"))->click();
        waitFor([&] { return h.shown(QStringLiteral("WingetLogin")); }, "the login page after logout");
        if (login % every != 0 && login != count)
            continue;
        h.settle(3000);
        const double now = residentMb();
        if (login == every)
            first = now;
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(login, 7)
                   .arg(now, 7, 'f', 1)
                   .arg(log->blockCount(), 10)
                   .arg(double(stretch.restart()) / 1000.0 / every, 8, 'f', 2);
        out.flush();
        if (login == count)
            out << QStringLiteral("growth after the first %1 logins: %2 MB\n")
                       .arg(every)
                       .arg(now - first, 0, 'f', 1);
    }
}

struct Figures
{
    double firstRequest = 0;
    double resident = 0;
};

Figures measure(const QString& program, const QString& kind, int servers, int runs)
{
    std::vector<double> requests, resident;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(program, {QStringLiteral("--one"), kind, QString::number(servers)});
        if (!child.waitForFinished(120000) || child.exitCode() != 0)
            qFatal("the %s run with %d servers failed", qPrintable(kind), servers);
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        requests.push_back(figures.value(0).toDouble());
        resident.push_back(figures.value(1).toDouble());
    }
    return {median(requests), median(resident)};
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 1 && args.at(1) == QLatin1String("--logins")) {
        keepFreedMemoryReturnable();
        const int every = args.size() > 4 ? std::max(1, args.at(4).toInt()) : 50;
        runLogins(args.size() > 2 ? std::max(1, args.at(2).toInt()) : 200,
                  args.size() > 3 ? std::max(1, args.at(3).toInt()) : 10000, every);
        return 0;
    }
    if (args.size() == 4 && args.at(1) == QLatin1String("--one")) {
        const int servers = args.at(3).toInt();
        // The client's processes set the allocator up as the program does.
        if (args.at(2) != QLatin1String("bare"))
            keepFreedMemoryReturnable();
        if (args.at(2) == QLatin1String("bare"))
            runBare(servers);
        else if (args.at(2) == QLatin1String("start"))
            runClientStart(servers);
        else
            runClientLoggedIn(servers);
        return 0;
    }
    const int runs = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 3;
    QList<int> sizes{100, 10000};
    if (args.size() > 2) {
        sizes.clear();
        for (const QString& size : args.at(2).split(QLatin1Char(',')))
            sizes.append(size.toInt());
    }
    QTextStream out(stdout);
    out << QStringLiteral("platform %1; medians of %2 runs; first request in ms, resident in MB\n")
               .arg(QGuiApplication::platformName())
               .arg(runs);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("servers"), 8)
               .arg(QStringLiteral("bare:first"), 11)
               .arg(QStringLiteral("client:first"), 13)
               .arg(QStringLiteral("bare:MB"), 8)
               .arg(QStringLiteral("client:MB"), 10)
               .arg(QStringLiteral("above"), 7);
    for (int servers : sizes) {
        const Figures bare = measure(app.applicationFilePath(), QStringLiteral("bare"), servers, runs);
        const Figures client{
            measure(app.applicationFilePath(), QStringLiteral("start"), servers, runs).firstRequest,
            measure(app.applicationFilePath(), QStringLiteral("client"), servers, runs).resident};
        out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                   .arg(servers, 8)
                   .arg(bare.firstRequest, 11, 'f', 1)
                   .arg(client.firstRequest, 13, 'f', 1)
                   .arg(bare.resident, 8, 'f', 1)
                   .arg(client.resident, 10, 'f', 1)
                   .arg(client.resident - bare.resident, 7, 'f', 1);
        out.flush();
    }
    return 0;
}
