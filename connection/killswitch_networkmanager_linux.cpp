// The block through NetworkManager, without root: an in-memory connection on a bridge of its own
// without ports (a kernel may lack dummy devices; none lacks bridges) holds blackhole default routes for IPv4
// and IPv6 in a table of the client's, which one rule per family consults before the main table. The VPN
// connection puts its routes in that table too, with better metrics, so they win while it is up; "throw"
// routes send the VPN server and the service on to the main table. The connection outlives a crash of the
// client (NetworkManager keeps it until it restarts), which keeps the user protected; the next start removes
// it.
#include "connection/killswitchblock.h"
#include "connection/networkmanager_linux.h"
#include "core/logging.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>
#include <QUuid>

#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

using BlockSettings = QMap<QString, QVariantMap>;

namespace {

const QString service = QStringLiteral("org.freedesktop.NetworkManager");
const QString rootPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString blockId = QStringLiteral("Corvane block");
const QString blockDevice = QStringLiteral("corvane-block");
// The table and the rule's priority: before the main table (32766), after the local one (0).
constexpr uint blockTable = 7301;
constexpr uint rulePriority = 7300;
// Worse than any VPN route (NetworkManager gives them 50), so a tunnel that is up wins.
constexpr uint blockMetric = 4000;
constexpr uint addInMemory = 0x2 | 0x20;
constexpr int activatedState = 2;
constexpr int activationTimeoutMs = 10000;
// Addresses of the bridge: a host route each, reaching nothing.
const QString deviceIpv4 = QStringLiteral("169.254.73.1");
const QString deviceIpv6 = QStringLiteral("fd63:6f72:7661:6e65::1");

QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    return QDBusConnection::systemBus().call(message, QDBus::Block, 15000);
}

QVariant property(const QString& path, const QString& interface, const QString& name)
{
    const QDBusMessage reply = call(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {interface, name});
    return reply.arguments().isEmpty() ? QVariant() : reply.arguments().at(0).value<QDBusVariant>().variant();
}

QVariantMap route(const QString& dest, uint prefix, const QString& type, uint metric)
{
    QVariantMap entry{{QStringLiteral("dest"), dest},
                      {QStringLiteral("prefix"), prefix},
                      {QStringLiteral("type"), type},
                      {QStringLiteral("table"), blockTable}};
    if (metric)
        entry.insert(QStringLiteral("metric"), metric);
    return entry;
}

QVariantMap ipSettings(bool v6, const BlockRules& rules)
{
    QList<QVariantMap> routes;
    // IPv6 outside the tunnel is blocked whatever the setting; IPv4 only by the kill switch.
    if (v6 || rules.everything)
        routes << route(v6 ? QStringLiteral("::") : QStringLiteral("0.0.0.0"), 0, QStringLiteral("blackhole"),
                        blockMetric);
    for (const AllowedEndpoint& endpoint : rules.allowed) {
        const bool isV6 = endpoint.address.protocol() == QAbstractSocket::IPv6Protocol;
        if (isV6 == v6 && !endpoint.address.isNull())
            routes << route(endpoint.address.toString(), v6 ? 128 : 32, QStringLiteral("throw"), 0);
    }
    const QList<QVariantMap> rulesList{{{QStringLiteral("family"), v6 ? AF_INET6 : AF_INET},
                                        {QStringLiteral("priority"), rulePriority},
                                        {QStringLiteral("table"), blockTable}}};
    const QList<QVariantMap> addresses{{{QStringLiteral("address"), v6 ? deviceIpv6 : deviceIpv4},
                                        {QStringLiteral("prefix"), v6 ? 128u : 32u}}};
    return {{QStringLiteral("method"), QStringLiteral("manual")},
            {QStringLiteral("address-data"), QVariant::fromValue(addresses)},
            {QStringLiteral("route-data"), QVariant::fromValue(routes)},
            {QStringLiteral("routing-rules"), QVariant::fromValue(rulesList)},
            {QStringLiteral("never-default"), true},
            {QStringLiteral("ignore-auto-dns"), true}};
}

class NetworkManagerBlock : public KillSwitchBlock
{
public:
    NetworkManagerBlock()
    {
        qDBusRegisterMetaType<BlockSettings>();
        qDBusRegisterMetaType<QVariantMap>();
        qDBusRegisterMetaType<QList<QVariantMap>>();
    }
    ~NetworkManagerBlock() override { lift(); }

    QString means() const override { return QStringLiteral("NetworkManager"); }

    bool apply(const BlockRules& rules, QString* error) override
    {
        const BlockSettings settings = settingsFor(rules);
        if (!devicePath.isEmpty() && !isStillOurs()) {
            activePath.clear();
            devicePath.clear();
        }
        if (!devicePath.isEmpty()) {
            // In place: the routes change, the device never goes down in between.
            const QDBusMessage reapplied =
                call(devicePath, service + QStringLiteral(".Device"), QStringLiteral("Reapply"),
                     {QVariant::fromValue(settings), quint64(0), 0u});
            if (reapplied.type() != QDBusMessage::ErrorMessage)
                return true;
            qCInfo(lcConnection).noquote()
                << "the block's routes were not reapplied:" << reapplied.errorMessage();
        }
        lift();
        const QDBusMessage added = call(
            rootPath + QStringLiteral("/Settings"), service + QStringLiteral(".Settings"),
            QStringLiteral("AddConnection2"), {QVariant::fromValue(settings), addInMemory, QVariantMap()});
        if (added.type() == QDBusMessage::ErrorMessage || added.arguments().isEmpty()) {
            *error = added.errorMessage();
            return false;
        }
        settingsPath = qdbus_cast<QDBusObjectPath>(added.arguments().at(0)).path();
        const QDBusMessage activated =
            call(rootPath, service, QStringLiteral("ActivateConnection"),
                 {QVariant::fromValue(QDBusObjectPath(settingsPath)),
                  QVariant::fromValue(QDBusObjectPath("/")), QVariant::fromValue(QDBusObjectPath("/"))});
        if (activated.type() == QDBusMessage::ErrorMessage || activated.arguments().isEmpty()) {
            *error = activated.errorMessage();
            lift();
            return false;
        }
        activePath = qdbus_cast<QDBusObjectPath>(activated.arguments().at(0)).path();
        // The routes are in force once the connection is active; until then nothing may dial.
        const QDeadlineTimer deadline(activationTimeoutMs);
        const QString active = service + QStringLiteral(".Connection.Active");
        while (property(activePath, active, QStringLiteral("State")).toInt() != activatedState) {
            if (deadline.hasExpired()) {
                *error = QStringLiteral("NetworkManager did not bring the block up in time");
                lift();
                return false;
            }
            QThread::msleep(10);
        }
        const auto devices = qdbus_cast<QList<QDBusObjectPath>>(
            property(activePath, active, QStringLiteral("Devices")).value<QDBusArgument>());
        devicePath = devices.isEmpty() ? QString() : devices.first().path();
        nm::setBlockingTable(blockTable);
        return true;
    }

    void lift() override
    {
        // The connection itself is found by its uuid, its paths may be another's by now.
        if (!activePath.isEmpty() && isStillOurs())
            call(rootPath, service, QStringLiteral("DeactivateConnection"),
                 {QVariant::fromValue(QDBusObjectPath(activePath))});
        if (!settingsPath.isEmpty()) {
            const QDBusMessage found =
                call(rootPath + QStringLiteral("/Settings"), service + QStringLiteral(".Settings"),
                     QStringLiteral("GetConnectionByUuid"), {uuid});
            if (found.type() == QDBusMessage::ReplyMessage && !found.arguments().isEmpty())
                call(qdbus_cast<QDBusObjectPath>(found.arguments().at(0)).path(),
                     service + QStringLiteral(".Settings.Connection"), QStringLiteral("Delete"), {});
        }
        if (!settingsPath.isEmpty())
            nm::setBlockingTable(0);
        activePath.clear();
        settingsPath.clear();
        devicePath.clear();
    }

    bool removeLeftover() override
    {
        bool found = false;
        const QDBusMessage listed =
            call(rootPath + QStringLiteral("/Settings"), service + QStringLiteral(".Settings"),
                 QStringLiteral("ListConnections"), {});
        for (const QDBusObjectPath& path : qdbus_cast<QList<QDBusObjectPath>>(listed.arguments().value(0))) {
            const QDBusMessage got = call(path.path(), service + QStringLiteral(".Settings.Connection"),
                                          QStringLiteral("GetSettings"), {});
            const BlockSettings settings = got.arguments().isEmpty()
                                               ? BlockSettings()
                                               : qdbus_cast<BlockSettings>(got.arguments().at(0));
            const QVariantMap connection = settings.value(QStringLiteral("connection"));
            if (connection.value(QStringLiteral("id")).toString() != blockId ||
                connection.value(QStringLiteral("type")).toString() != QLatin1String("bridge"))
                continue;
            call(path.path(), service + QStringLiteral(".Settings.Connection"), QStringLiteral("Delete"), {});
            found = true;
        }
        return found;
    }

private:
    // A daemon restarted since numbers its objects afresh: a path is ours only while it still
    // carries our connection's uuid.
    bool isStillOurs() const
    {
        return property(activePath, service + QStringLiteral(".Connection.Active"), QStringLiteral("Uuid"))
                   .toString() == uuid;
    }

    BlockSettings settingsFor(const BlockRules& rules)
    {
        if (uuid.isEmpty())
            uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        QVariantMap connection{{QStringLiteral("id"), blockId},
                               {QStringLiteral("uuid"), uuid},
                               {QStringLiteral("type"), QStringLiteral("bridge")},
                               {QStringLiteral("interface-name"), blockDevice},
                               {QStringLiteral("autoconnect"), false}};
        if (const passwd* entry = ::getpwuid(::getuid()))
            connection.insert(QStringLiteral("permissions"),
                              QStringList{QStringLiteral("user:") + QString::fromLocal8Bit(entry->pw_name)});
        return {{QStringLiteral("connection"), connection},
                {QStringLiteral("bridge"), QVariantMap{{QStringLiteral("stp"), false}}},
                {QStringLiteral("ipv4"), ipSettings(false, rules)},
                {QStringLiteral("ipv6"), ipSettings(true, rules)}};
    }

    QString uuid;
    QString settingsPath;
    QString activePath;
    QString devicePath;
};

} // namespace

std::unique_ptr<KillSwitchBlock> makeNetworkManagerBlock()
{
    return std::make_unique<NetworkManagerBlock>();
}
