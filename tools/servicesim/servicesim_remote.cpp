// The simulator of a test that runs under Wine: the real one runs on the build machine, in the
// control server named by CORVANE_SERVICESIM_CONTROL, and each call here is one command to it.
// The calls block without an event loop, as the in-process simulator's do.
#include "tools/servicesim/servicesim.h"

#include "tools/servicesim/remoteprotocol.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonDocument>
#include <QTcpSocket>

#include <windows.h>

#include <cstdio>
#include <cstdlib>

struct ServiceSimulator::Private
{
    QTcpSocket socket;
    quint16 port = 0;
    QString host = QStringLiteral("127.0.0.1");
    QString base;
    bool running = false;

    QJsonObject call(QJsonObject command);
    void takePlace(const QJsonObject& answer);
};

QJsonObject ServiceSimulator::Private::call(QJsonObject command)
{
    if (socket.state() != QAbstractSocket::ConnectedState) {
        const QByteArray where = qgetenv(servicesim::controlVariable);
        const int colon = where.lastIndexOf(':');
        socket.connectToHost(QString::fromLatin1(where.left(colon)), quint16(where.mid(colon + 1).toUInt()));
        if (colon < 0 || !socket.waitForConnected(10000)) {
            // A test without its simulator cannot mean anything: stop it loudly.
            std::fprintf(stderr, "no service simulator: %s=\"%s\" (%s)\n", servicesim::controlVariable,
                         where.constData(), qPrintable(socket.errorString()));
            std::abort();
        }
    }
    socket.write(QJsonDocument(command).toJson(QJsonDocument::Compact) + '\n');
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(30000)) {
            std::fprintf(stderr, "the service simulator stopped answering: %s\n",
                         qPrintable(socket.errorString()));
            std::abort();
        }
    }
    return QJsonDocument::fromJson(socket.readLine()).object();
}

namespace {
// The path as the build machine reaches it: Wine says where each of its drives lies.
QString unixPath(const QString& path)
{
    using Translate = char* (*)(const wchar_t*);
    const auto translate = reinterpret_cast<Translate>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    char* translated = translate ? translate(reinterpret_cast<const wchar_t*>(native.utf16())) : nullptr;
    if (!translated)
        return path;
    const QString result = QString::fromLocal8Bit(translated);
    HeapFree(GetProcessHeap(), 0, translated);
    return result;
}
} // namespace

void ServiceSimulator::Private::takePlace(const QJsonObject& answer)
{
    port = quint16(answer.value(QStringLiteral("port")).toInt());
    host = answer.value(QStringLiteral("host")).toString();
    base = answer.value(QStringLiteral("base")).toString();
    running = answer.value(QStringLiteral("running")).toBool();
}

ServiceSimulator::ServiceSimulator() : d(new Private) {}

ServiceSimulator::~ServiceSimulator()
{
    // Closing the connection ends the simulator on the other side.
    d->socket.disconnectFromHost();
}

void ServiceSimulator::useTls(const QString& certificatePath, const QString& keyPath)
{
    // Empty paths stay empty: they mean plain HTTP.
    const auto onBuildMachine = [](const QString& path) { return path.isEmpty() ? path : unixPath(path); };
    d->call({{QStringLiteral("op"), QStringLiteral("useTls")},
             {QStringLiteral("certificate"), onBuildMachine(certificatePath)},
             {QStringLiteral("key"), onBuildMachine(keyPath)}});
}

bool ServiceSimulator::usesTls() const
{
    return d->call({{QStringLiteral("op"), QStringLiteral("usesTls")}})
        .value(QStringLiteral("result"))
        .toBool();
}

void ServiceSimulator::keepConnectionsAlive(bool keep)
{
    d->call({{QStringLiteral("op"), QStringLiteral("keepConnectionsAlive")}, {QStringLiteral("keep"), keep}});
}

int ServiceSimulator::handshakes() const
{
    return d->call({{QStringLiteral("op"), QStringLiteral("handshakes")}})
        .value(QStringLiteral("result"))
        .toInt();
}

bool ServiceSimulator::start(quint16 port, const QString& host)
{
    const QJsonObject answer = d->call({{QStringLiteral("op"), QStringLiteral("start")},
                                        {QStringLiteral("port"), port},
                                        {QStringLiteral("host"), host}});
    d->takePlace(answer);
    return answer.value(QStringLiteral("result")).toBool();
}

void ServiceSimulator::stop()
{
    if (d->socket.state() == QAbstractSocket::ConnectedState)
        d->takePlace(d->call({{QStringLiteral("op"), QStringLiteral("stop")}}));
}

bool ServiceSimulator::isRunning() const
{
    return d->running;
}

quint16 ServiceSimulator::port() const
{
    return d->port;
}

QString ServiceSimulator::host() const
{
    return d->host;
}

QString ServiceSimulator::baseUrl() const
{
    return d->base;
}

bool ServiceSimulator::loadDataFile(const QString& path)
{
    return d
        ->call({{QStringLiteral("op"), QStringLiteral("loadDataFile")},
                {QStringLiteral("path"), unixPath(path)}})
        .value(QStringLiteral("result"))
        .toBool();
}

void ServiceSimulator::loadData(const QJsonObject& data)
{
    d->call({{QStringLiteral("op"), QStringLiteral("loadData")}, {QStringLiteral("data"), data}});
}

QJsonObject ServiceSimulator::data() const
{
    return d->call({{QStringLiteral("op"), QStringLiteral("data")}})
        .value(QStringLiteral("result"))
        .toObject();
}

void ServiceSimulator::setLayout(Layout layout)
{
    d->call({{QStringLiteral("op"), QStringLiteral("setLayout")},
             {QStringLiteral("layout"), servicesim::layoutName(layout)}});
}

ServiceSimulator::Layout ServiceSimulator::layout() const
{
    return servicesim::layoutFromName(d->call({{QStringLiteral("op"), QStringLiteral("layout")}})
                                          .value(QStringLiteral("result"))
                                          .toString());
}

void ServiceSimulator::addAccount(const QJsonObject& account)
{
    d->call({{QStringLiteral("op"), QStringLiteral("addAccount")}, {QStringLiteral("account"), account}});
}

QJsonObject ServiceSimulator::account(const QString& username) const
{
    return d
        ->call({{QStringLiteral("op"), QStringLiteral("account")}, {QStringLiteral("username"), username}})
        .value(QStringLiteral("result"))
        .toObject();
}

void ServiceSimulator::setAccountValue(const QString& username, const QString& key, const QJsonValue& value)
{
    d->call({{QStringLiteral("op"), QStringLiteral("setAccountValue")},
             {QStringLiteral("username"), username},
             {QStringLiteral("key"), key},
             {QStringLiteral("value"), value}});
}

void ServiceSimulator::setServers(const QJsonArray& servers)
{
    d->call({{QStringLiteral("op"), QStringLiteral("setServers")}, {QStringLiteral("servers"), servers}});
}

void ServiceSimulator::setVersion(const QString& latest, const QString& installerUrl)
{
    d->call({{QStringLiteral("op"), QStringLiteral("setVersion")},
             {QStringLiteral("latest"), latest},
             {QStringLiteral("installer"), installerUrl}});
}

void ServiceSimulator::setFile(const QString& path, const QByteArray& body)
{
    d->call({{QStringLiteral("op"), QStringLiteral("setFile")},
             {QStringLiteral("path"), path},
             {QStringLiteral("body"), QString::fromLatin1(body.toBase64())}});
}

void ServiceSimulator::setEchoAddress(const QString& address)
{
    d->call({{QStringLiteral("op"), QStringLiteral("setEchoAddress")}, {QStringLiteral("address"), address}});
}

QList<RecordedRequest> ServiceSimulator::requests() const
{
    return servicesim::requestsFromJson(d->call({{QStringLiteral("op"), QStringLiteral("requests")}})
                                            .value(QStringLiteral("result"))
                                            .toArray());
}

QList<RecordedRequest> ServiceSimulator::requests(const QString& path) const
{
    return servicesim::requestsFromJson(
        d->call({{QStringLiteral("op"), QStringLiteral("requests")}, {QStringLiteral("path"), path}})
            .value(QStringLiteral("result"))
            .toArray());
}

void ServiceSimulator::clearRequests()
{
    d->call({{QStringLiteral("op"), QStringLiteral("clearRequests")}});
}

void ServiceSimulator::setFault(const QString& pathPrefix, const Fault& fault)
{
    d->call({{QStringLiteral("op"), QStringLiteral("setFault")},
             {QStringLiteral("prefix"), pathPrefix},
             {QStringLiteral("fault"), servicesim::faultToJson(fault)}});
}

void ServiceSimulator::clearFault(const QString& pathPrefix)
{
    d->call({{QStringLiteral("op"), QStringLiteral("clearFault")}, {QStringLiteral("prefix"), pathPrefix}});
}

void ServiceSimulator::clearFaults()
{
    d->call({{QStringLiteral("op"), QStringLiteral("clearFaults")}});
}
