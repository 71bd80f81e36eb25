#include "tools/servicesim/controlserver.h"

#include "tools/servicesim/remoteprotocol.h"
#include "tools/servicesim/servicesim.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <thread>

QJsonObject answerControlCommand(ServiceSimulator& sim, const QJsonObject& command)
{
    const QString op = command.value(QStringLiteral("op")).toString();
    const auto text = [&](const char* key) { return command.value(QLatin1String(key)).toString(); };
    QJsonObject answer{{QStringLiteral("ok"), true}};
    const auto where = [&] {
        answer.insert(QStringLiteral("port"), sim.port());
        answer.insert(QStringLiteral("host"), sim.host());
        answer.insert(QStringLiteral("base"), sim.baseUrl());
        answer.insert(QStringLiteral("running"), sim.isRunning());
    };
    if (op == QLatin1String("useTls")) {
        sim.useTls(text("certificate"), text("key"));
    } else if (op == QLatin1String("usesTls")) {
        answer.insert(QStringLiteral("result"), sim.usesTls());
    } else if (op == QLatin1String("keepConnectionsAlive")) {
        sim.keepConnectionsAlive(command.value(QStringLiteral("keep")).toBool());
    } else if (op == QLatin1String("handshakes")) {
        answer.insert(QStringLiteral("result"), sim.handshakes());
    } else if (op == QLatin1String("start")) {
        answer.insert(QStringLiteral("result"),
                      sim.start(quint16(command.value(QStringLiteral("port")).toInt()), text("host")));
        where();
    } else if (op == QLatin1String("stop")) {
        sim.stop();
        where();
    } else if (op == QLatin1String("loadDataFile")) {
        answer.insert(QStringLiteral("result"), sim.loadDataFile(text("path")));
    } else if (op == QLatin1String("loadData")) {
        sim.loadData(command.value(QStringLiteral("data")).toObject());
    } else if (op == QLatin1String("data")) {
        answer.insert(QStringLiteral("result"), sim.data());
    } else if (op == QLatin1String("setLayout")) {
        sim.setLayout(servicesim::layoutFromName(text("layout")));
    } else if (op == QLatin1String("layout")) {
        answer.insert(QStringLiteral("result"), servicesim::layoutName(sim.layout()));
    } else if (op == QLatin1String("addAccount")) {
        sim.addAccount(command.value(QStringLiteral("account")).toObject());
    } else if (op == QLatin1String("account")) {
        answer.insert(QStringLiteral("result"), sim.account(text("username")));
    } else if (op == QLatin1String("setAccountValue")) {
        sim.setAccountValue(text("username"), text("key"), command.value(QStringLiteral("value")));
    } else if (op == QLatin1String("setServers")) {
        sim.setServers(command.value(QStringLiteral("servers")).toArray());
    } else if (op == QLatin1String("setVersion")) {
        sim.setVersion(text("latest"), text("installer"));
    } else if (op == QLatin1String("setFile")) {
        sim.setFile(text("path"), QByteArray::fromBase64(text("body").toLatin1()));
    } else if (op == QLatin1String("setEchoAddress")) {
        sim.setEchoAddress(text("address"));
    } else if (op == QLatin1String("requests")) {
        answer.insert(QStringLiteral("result"),
                      servicesim::requestsToJson(command.contains(QStringLiteral("path"))
                                                     ? sim.requests(text("path"))
                                                     : sim.requests()));
    } else if (op == QLatin1String("clearRequests")) {
        sim.clearRequests();
    } else if (op == QLatin1String("setFault")) {
        sim.setFault(text("prefix"),
                     servicesim::faultFromJson(command.value(QStringLiteral("fault")).toObject()));
    } else if (op == QLatin1String("clearFault")) {
        sim.clearFault(text("prefix"));
    } else if (op == QLatin1String("clearFaults")) {
        sim.clearFaults();
    } else {
        answer = QJsonObject{{QStringLiteral("ok"), false},
                             {QStringLiteral("error"), QStringLiteral("unknown op ") + op}};
    }
    return answer;
}

int runControlServer(QCoreApplication& application)
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "corvane-servicesim: cannot listen for control: %s\n",
                     qPrintable(server.errorString()));
        return 1;
    }
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            auto sim = std::make_shared<ServiceSimulator>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, sim] {
                while (socket->canReadLine()) {
                    const QJsonObject command = QJsonDocument::fromJson(socket->readLine()).object();
                    socket->write(
                        QJsonDocument(answerControlCommand(*sim, command)).toJson(QJsonDocument::Compact) +
                        '\n');
                }
            });
            // The simulator goes with the connection: the test that owned it has ended.
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    std::printf("control port %u\n", unsigned(server.serverPort()));
    std::fflush(stdout);
    // Whoever started us holds our standard input; when it goes, so do we.
    std::thread([&application] {
        char buffer[256];
        while (::read(0, buffer, sizeof(buffer)) > 0) {
        }
        QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
    }).detach();
    return application.exec();
}
