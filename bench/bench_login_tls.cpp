// What HTTPS costs a login: the service client's login against the simulator on 127.0.0.1 over
// plain HTTP and over HTTPS (a new connection each time, handshake included), from the request
// to the verdict. bench_login_tls [runs]
#include "benchfigures.h"
#include "service/serviceclient.h"
#include "testcertificates.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTest>

#include <cstdio>

namespace {
std::vector<double> logIns(ServiceSimulator& sim, int runs)
{
    qputenv("CORVANE_SERVICE_URL", sim.baseUrl().toUtf8());
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        // A client of its own each time: nothing is kept from the previous login.
        ServiceClient client(QStringLiteral("4.0.2"));
        QObject::connect(client.loginManager(), &QNetworkAccessManager::finished, &client,
                         &ServiceClient::loginArrived);
        bool answered = false;
        QObject::connect(&client, &ServiceClient::loginAnswered, [&answered] { answered = true; });
        QElapsedTimer clock;
        clock.start();
        client.logIn(QStringLiteral("alice"), QStringLiteral("secret"));
        if (!QTest::qWaitFor([&answered] { return answered; }, 10000))
            qFatal("no answer to login %d", i);
        times.push_back(ms(clock.nsecsElapsed()));
    }
    return times;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 25;
    trustTestAuthority();

    ServiceSimulator plain;
    plain.loadData(standardTestData());
    if (!plain.start())
        qFatal("the simulator did not start");
    ServiceSimulator secure;
    secure.loadData(standardTestData());
    secure.useTls(testCertificates().trusted.certificate, testCertificates().trusted.key);
    if (!secure.start())
        qFatal("the HTTPS simulator did not start");

    // The first HTTPS request also loads the system's authorities; it is timed on its own.
    const std::vector<double> first = logIns(secure, 1);
    const std::vector<double> http = logIns(plain, runs);
    const std::vector<double> https = logIns(secure, runs);
    std::printf("login, median of %d (ms): http %.1f, https %.1f; first https login %.1f\n", runs,
                median(http), median(https), first.front());
    return 0;
}
