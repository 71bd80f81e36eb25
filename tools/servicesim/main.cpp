// corvane-servicesim: the Corvane service simulator as a program, for the demo and for
// tests that need it in another network namespace.

#include "tools/servicesim/controlserver.h"
#include "tools/servicesim/servicesim.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <pthread.h>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
    // Block the stop signals before any thread starts, so that they reach sigwait below
    // and not one of the server's threads.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-servicesim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulates the Corvane web service over HTTP, or HTTPS with --cert and --key."));
    parser.addHelpOption();
    const QCommandLineOption hostOption(QStringLiteral("host"), QStringLiteral("Address to listen on."),
                                        QStringLiteral("H"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on; 0 lets the system choose."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption dataOption(QStringLiteral("data"), QStringLiteral("JSON data file."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption certOption(QStringLiteral("cert"),
                                        QStringLiteral("PEM certificate (chain) to serve HTTPS with."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption keyOption(QStringLiteral("key"), QStringLiteral("PEM key of the certificate."),
                                       QStringLiteral("FILE"));
    parser.addOption(hostOption);
    parser.addOption(certOption);
    parser.addOption(keyOption);
    parser.addOption(portOption);
    const QCommandLineOption controlOption(
        QStringLiteral("control"),
        QStringLiteral("Serve simulators that tests in another process (Wine) control; ends when "
                       "standard input closes."));
    parser.addOption(dataOption);
    parser.addOption(controlOption);
    parser.process(app);
    if (parser.isSet(controlOption)) {
        // Nothing waits for the stop signals here: they end the program as usual.
        pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
        return runControlServer(app);
    }

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "corvane-servicesim: bad port %s\n", qPrintable(parser.value(portOption)));
        return 2;
    }

    ServiceSimulator simulator;
    if (parser.isSet(dataOption) && !simulator.loadDataFile(parser.value(dataOption))) {
        std::fprintf(stderr, "corvane-servicesim: cannot read data file %s\n",
                     qPrintable(parser.value(dataOption)));
        return 2;
    }
    if (parser.isSet(certOption) != parser.isSet(keyOption)) {
        std::fprintf(stderr, "corvane-servicesim: --cert and --key go together\n");
        return 2;
    }
    simulator.useTls(parser.value(certOption), parser.value(keyOption));
    if (!simulator.start(static_cast<quint16>(port), parser.value(hostOption))) {
        std::fprintf(stderr, "corvane-servicesim: cannot listen on %s port %u\n",
                     qPrintable(parser.value(hostOption)), port);
        return 1;
    }
    std::printf("corvane-servicesim listening on %s\n", qPrintable(simulator.baseUrl()));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    simulator.stop();
    return 0;
}
