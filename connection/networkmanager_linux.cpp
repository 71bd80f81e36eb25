#include "connection/networkmanager_linux.h"

#include "connection/nmvpnstate.h"
#include "core/logging.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QLoggingCategory>
#include <QMutex>
#include <QThread>
#include <QUuid>

#include <pwd.h>
#include <unistd.h>

#include <functional>

// No Q_DECLARE_METATYPE for the alias: another one for the same map elsewhere in the program wins
// at link time, "SettingsMap" is then never named, the agent's slots are not found and
// NetworkManager hears "No such method". The name is given at run time instead (registerTypes).
using SettingsMap = QMap<QString, QVariantMap>;

namespace nm {
namespace {

const QString service = QStringLiteral("org.freedesktop.NetworkManager");
const QString rootPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString agentPath = QStringLiteral("/org/freedesktop/NetworkManager/SecretAgent");
const QString agentId = QStringLiteral("org.corvane.client");
// NM_SETTINGS_ADD_CONNECTION2_FLAG_IN_MEMORY | _BLOCK_AUTOCONNECT: never on disk, never by itself.
constexpr uint addInMemory = 0x2 | 0x20;
// NM_SETTING_SECRET_FLAG_AGENT_OWNED: NetworkManager asks the agent each time and keeps nothing.
const QString agentOwned = QStringLiteral("1");
// NM_SECRET_AGENT_GET_SECRETS_FLAG_REQUEST_NEW: the secrets given were refused.
constexpr uint requestNew = 0x2;

QDBusConnection bus()
{
    return QDBusConnection::systemBus();
}

void registerTypes()
{
    static const bool done = [] {
        qRegisterMetaType<SettingsMap>("SettingsMap");
        qDBusRegisterMetaType<SettingsMap>();
        qDBusRegisterMetaType<StringMap>();
        return true;
    }();
    Q_UNUSED(done)
}

// Answers NetworkManager's requests for the secrets of the client's own connections, from
// memory. Lives on the application's thread, which never blocks for long.
class SecretAgent : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager.SecretAgent")

public:
    static SecretAgent& instance()
    {
        static SecretAgent* agent = [] {
            // Before the bus can deliver a call: its slots are matched by their parameters' types.
            registerTypes();
            auto* created = new SecretAgent;
            if (QCoreApplication::instance())
                created->moveToThread(QCoreApplication::instance()->thread());
            bus().registerObject(agentPath, created, QDBusConnection::ExportAllSlots);
            return created;
        }();
        return *agent;
    }

    // Registers with the daemon that runs now, waiting for its answer, so that activation never
    // comes first. A restarted daemon has forgotten the agent and gets it again.
    void provide(const QString& uuid, const StringMap& secrets)
    {
        {
            QMutexLocker locker(&lock);
            table.insert(uuid, secrets);
        }
        QMutexLocker locker(&registration);
        const QString daemon = bus().interface()->serviceOwner(service).value();
        if (!daemon.isEmpty() && daemon == registeredDaemon())
            return;
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, rootPath + QStringLiteral("/AgentManager"), service + QStringLiteral(".AgentManager"),
            QStringLiteral("Register"));
        call << agentId;
        const QDBusMessage reply = bus().call(call);
        if (reply.type() == QDBusMessage::ErrorMessage) {
            // NetworkManager will then find no one to ask and end the attempt with "no secrets".
            qCWarning(lcConnection) << "secret agent not registered:" << reply.errorMessage();
            return;
        }
        QMutexLocker tableLocker(&lock);
        registeredWith = daemon;
    }

    void forget(const QString& uuid)
    {
        QMutexLocker locker(&lock);
        table.remove(uuid);
    }

public slots:
    SettingsMap GetSecrets(const SettingsMap& connection, const QDBusObjectPath&, const QString& settingName,
                           const QStringList&, uint flags)
    {
        // The bus lets every root process call here: only the daemon the agent registered with
        // is answered.
        if (message().service() != registeredDaemon() || registeredDaemon().isEmpty()) {
            qCWarning(lcConnection) << "refused a request for secrets from" << message().service();
            sendErrorReply(QStringLiteral("org.freedesktop.NetworkManager.SecretAgent.PermissionDenied"),
                           QStringLiteral("only NetworkManager may ask"));
            return {};
        }
        const QString uuid =
            connection.value(QStringLiteral("connection")).value(QStringLiteral("uuid")).toString();
        StringMap secrets;
        bool known = false;
        {
            QMutexLocker locker(&lock);
            known = table.contains(uuid);
            secrets = table.value(uuid);
        }
        if (!known || settingName != QLatin1String("vpn") || (flags & requestNew)) {
            // Asking again means the server refused them: no other answer is better.
            sendErrorReply(QStringLiteral("org.freedesktop.NetworkManager.SecretAgent.NoSecrets"),
                           QStringLiteral("no secrets for this connection"));
            return {};
        }
        QVariantMap vpn;
        vpn.insert(QStringLiteral("secrets"), QVariant::fromValue(secrets));
        return {{QStringLiteral("vpn"), vpn}};
    }
    void CancelGetSecrets(const QDBusObjectPath&, const QString&) {}
    // Nothing is kept anywhere but in this table.
    void SaveSecrets(const SettingsMap&, const QDBusObjectPath&) {}
    void DeleteSecrets(const SettingsMap&, const QDBusObjectPath&) {}

private:
    SecretAgent() = default;

    QString registeredDaemon()
    {
        QMutexLocker locker(&lock);
        return registeredWith;
    }

    QMutex lock;
    QMap<QString, StringMap> table;
    QMutex registration;
    QString registeredWith; // the daemon's unique bus name, guarded by `lock`
};

QString userPermission()
{
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? QStringLiteral("user:") + QString::fromLocal8Bit(entry->pw_name) : QString();
}

QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    return bus().call(message, QDBus::Block, 15000);
}

// Without waiting: `answered` gets the reply (or the error) in `owner`'s thread, unless the owner
// is gone by then.
void callLater(QObject* owner, const QString& path, const QString& interface, const QString& method,
               const QVariantList& args, std::function<void(const QDBusMessage&)> answered)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(message, 5000), owner);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, owner,
                     [watcher, answered = std::move(answered)] {
                         watcher->deleteLater();
                         answered(watcher->reply());
                     });
}

// A kernel's interface name: at most 15 bytes, none of them a separator or a control character.
bool isInterfaceName(const QString& name)
{
    if (name.isEmpty() || name.size() > 15 || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f || c == QLatin1Char('/') || c == QLatin1Char(':'))
            return false;
    return true;
}

} // namespace

namespace {
// A negative priority keeps every other connection's name servers out while the VPN is up;
// "~." sends every domain to the VPN's.
constexpr int vpnDnsPriority = -50;
QAtomicInt heldTable;
} // namespace

uint blockingTable()
{
    return uint(heldTable.loadAcquire());
}

void setBlockingTable(uint table)
{
    heldTable.storeRelease(int(table));
}

bool available()
{
    if (qgetenv("CORVANE_NETWORKMANAGER") == "0")
        return false;
    const QDBusConnection connection = bus();
    return connection.isConnected() && connection.interface()->isServiceRegistered(service).value();
}

VpnSession::VpnSession(QObject* parent) : QObject(parent), pluginFailure(noPluginFailure)
{
    registerTypes();
    // Any path: the active connection's path is known only once activation has begun, and its
    // first states may come before that answer.
    bus().connect(service, QString(), service + QStringLiteral(".VPN.Connection"),
                  QStringLiteral("VpnStateChanged"), this, SLOT(onVpnState(QDBusMessage)));
    // A plugin says why it failed only here; the client runs one attempt at a time. Any process
    // on the bus may send that signal, so the senders that own the plugin's names are followed.
    bus().connect(QString(), QStringLiteral("/org/freedesktop/NetworkManager/VPN/Plugin"),
                  service + QStringLiteral(".VPN.Plugin"), QStringLiteral("Failure"), this,
                  SLOT(onPluginFailure(QDBusMessage)));
    // The plugin names the tunnel's device in its configuration, whose statistics are its traffic.
    bus().connect(QString(), QStringLiteral("/org/freedesktop/NetworkManager/VPN/Plugin"),
                  service + QStringLiteral(".VPN.Plugin"), QStringLiteral("Config"), this,
                  SLOT(onPluginConfig(QDBusMessage)));
    bus().connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                  QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"), this,
                  SLOT(onNameOwnerChanged(QString, QString, QString)));
}

VpnSession::~VpnSession()
{
    stop();
}

bool VpnSession::start(const VpnProfile& profile, QString* error)
{
    stop();
    removeOrphans();
    pluginFailure = noPluginFailure;
    counted = Counted();
    ++countedGeneration;
    pluginService = profile.serviceType;
    pluginOwners.clear();
    QDBusConnectionInterface* names = bus().interface();
    for (const QString& name : names->registeredServiceNames().value())
        onNameOwnerChanged(name, QString(), names->serviceOwner(name).value());
    uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QVariantMap connection{{QStringLiteral("id"), profile.name},
                           {QStringLiteral("uuid"), uuid},
                           {QStringLiteral("type"), QStringLiteral("vpn")},
                           {QStringLiteral("autoconnect"), false}};
    const QString permission = userPermission();
    // Only this user sees it and only this user's agent is asked for its secrets.
    if (!permission.isEmpty())
        connection.insert(QStringLiteral("permissions"), QStringList{permission});
    StringMap data = profile.data;
    for (auto it = profile.secrets.cbegin(); it != profile.secrets.cend(); ++it)
        data.insert(it.key() + QStringLiteral("-flags"), agentOwned);
    const QVariantMap vpn{{QStringLiteral("service-type"), profile.serviceType},
                          {QStringLiteral("data"), QVariant::fromValue(data)}};
    // The tunnel's name servers alone, for every domain; IPv6 through the tunnel where the server
    // offers it, and blocked around it by the kill switch's block otherwise.
    QVariantMap ipv4{{QStringLiteral("method"), QStringLiteral("auto")},
                     {QStringLiteral("dns-priority"), vpnDnsPriority},
                     {QStringLiteral("dns-search"), QStringList{QStringLiteral("~.")}}};
    QVariantMap ipv6{{QStringLiteral("method"), QStringLiteral("auto")},
                     {QStringLiteral("dns-priority"), vpnDnsPriority},
                     {QStringLiteral("dns-search"), QStringList{QStringLiteral("~.")}}};
    if (const uint table = blockingTable()) {
        ipv4.insert(QStringLiteral("route-table"), table);
        ipv6.insert(QStringLiteral("route-table"), table);
    }
    const SettingsMap settings{{QStringLiteral("connection"), connection},
                               {QStringLiteral("vpn"), vpn},
                               {QStringLiteral("ipv4"), ipv4},
                               {QStringLiteral("ipv6"), ipv6}};

    SecretAgent::instance().provide(uuid, profile.secrets);
    const QDBusMessage added =
        call(rootPath + QStringLiteral("/Settings"), service + QStringLiteral(".Settings"),
             QStringLiteral("AddConnection2"), {QVariant::fromValue(settings), addInMemory, QVariantMap()});
    if (added.type() == QDBusMessage::ErrorMessage || added.arguments().isEmpty()) {
        *error = added.errorMessage();
        SecretAgent::instance().forget(uuid);
        return false;
    }
    settingsPath = qdbus_cast<QDBusObjectPath>(added.arguments().at(0)).path();
    const QDBusMessage activated =
        call(rootPath, service, QStringLiteral("ActivateConnection"),
             {QVariant::fromValue(QDBusObjectPath(settingsPath)), QVariant::fromValue(QDBusObjectPath("/")),
              QVariant::fromValue(QDBusObjectPath("/"))});
    if (activated.type() == QDBusMessage::ErrorMessage || activated.arguments().isEmpty()) {
        *error = activated.errorMessage();
        stop();
        return false;
    }
    activeConnection = qdbus_cast<QDBusObjectPath>(activated.arguments().at(0)).path();
    qCDebug(lcConnection) << "activating" << settingsPath << "as" << activeConnection;
    return true;
}

void VpnSession::stop()
{
    if (!activeConnection.isEmpty())
        call(rootPath, service, QStringLiteral("DeactivateConnection"),
             {QVariant::fromValue(QDBusObjectPath(activeConnection))});
    if (!settingsPath.isEmpty())
        call(settingsPath, service + QStringLiteral(".Settings.Connection"), QStringLiteral("Delete"), {});
    if (!uuid.isEmpty())
        SecretAgent::instance().forget(uuid);
    activeConnection.clear();
    settingsPath.clear();
    uuid.clear();
    counted = Counted();
    ++countedGeneration;
}

bool VpnSession::traffic(std::uint64_t& received, std::uint64_t& sent)
{
    askForCounts();
    if (!counted.known)
        return false;
    received = counted.received;
    sent = counted.sent;
    return true;
}

void VpnSession::askForCounts()
{
    if (activeConnection.isEmpty() || counted.device.isEmpty() || counted.asking)
        return;
    counted.asking = true;
    const uint generation = countedGeneration;
    const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
    const QString statistics = service + QStringLiteral(".Device.Statistics");
    if (counted.devicePath.isEmpty()) {
        callLater(this, rootPath, service, QStringLiteral("GetDeviceByIpIface"), {counted.device},
                  [this, generation, properties, statistics](const QDBusMessage& reply) {
                      if (generation != countedGeneration)
                          return;
                      counted.asking = false;
                      if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                          qCDebug(lcConnection) << "no device for" << counted.device << reply.errorMessage();
                          return;
                      }
                      counted.devicePath = qdbus_cast<QDBusObjectPath>(reply.arguments().at(0)).path();
                      // The daemon counts only at a rate someone asked for; once a second, like
                      // openvpn's own count.
                      callLater(this, counted.devicePath, properties, QStringLiteral("Set"),
                                {statistics, QStringLiteral("RefreshRateMs"),
                                 QVariant::fromValue(QDBusVariant(QVariant::fromValue(uint(1000))))},
                                [](const QDBusMessage& set) {
                                    if (set.type() == QDBusMessage::ErrorMessage)
                                        qCWarning(lcConnection)
                                            << "NetworkManager does not count the tunnel's traffic:"
                                            << set.errorMessage();
                                });
                  });
        return;
    }
    callLater(this, counted.devicePath, properties, QStringLiteral("GetAll"), {statistics},
              [this, generation](const QDBusMessage& reply) {
                  if (generation != countedGeneration)
                      return;
                  counted.asking = false;
                  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                      qCDebug(lcConnection) << "no statistics:" << reply.errorMessage();
                      return;
                  }
                  const QVariantMap values = qdbus_cast<QVariantMap>(reply.arguments().at(0));
                  const QVariant rx = values.value(QStringLiteral("RxBytes"));
                  const QVariant tx = values.value(QStringLiteral("TxBytes"));
                  // Counting only once the daemon does: before that both read 0.
                  if (!rx.canConvert<quint64>() || !tx.canConvert<quint64>() ||
                      values.value(QStringLiteral("RefreshRateMs")).toUInt() == 0)
                      return;
                  counted.received = rx.toULongLong();
                  counted.sent = tx.toULongLong();
                  counted.known = true;
              });
}

void VpnSession::onPluginConfig(const QDBusMessage& message)
{
    if (activeConnection.isEmpty() || message.arguments().size() != 1 ||
        !pluginOwners.contains(message.service()))
        return;
    const QVariantMap config = qdbus_cast<QVariantMap>(message.arguments().at(0));
    const QString device = config.value(QStringLiteral("tundev")).toString();
    if (!isInterfaceName(device)) {
        qCWarning(lcConnection) << "the plugin named no usable tunnel device";
        return;
    }
    counted = Counted();
    ++countedGeneration;
    counted.device = device;
    qCDebug(lcConnection) << "tunnel device" << device;
}

void VpnSession::onVpnState(const QDBusMessage& message)
{
    const QVariantList args = message.arguments();
    if (activeConnection.isEmpty() || message.path() != activeConnection || args.size() < 2)
        return;
    const uint state = args.at(0).toUInt();
    const uint reason = args.at(1).toUInt();
    qCDebug(lcConnection) << "VPN state" << state << "reason" << reason << "plugin failure" << pluginFailure;
    emit vpnStateChanged(state,
                         vpnOutcome(state) == Outcome::Ended ? vpnEndReason(reason, pluginFailure) : reason);
}

void VpnSession::onPluginFailure(const QDBusMessage& message)
{
    if (activeConnection.isEmpty() || pluginFailure != noPluginFailure || message.arguments().size() != 1)
        return;
    if (!pluginOwners.contains(message.service())) {
        qCWarning(lcConnection) << "ignored a plugin failure sent by" << message.service();
        return;
    }
    pluginFailure = message.arguments().at(0).toUInt();
}

void VpnSession::onNameOwnerChanged(const QString& name, const QString&, const QString& owner)
{
    // The plugin holds its service's name, or with one process per connection that name followed
    // by ".Connection_<n>"; the bus lets only root own them. An owner is kept after it leaves: its
    // last words may still be on their way.
    const bool plugin = !pluginService.isEmpty() &&
                        (name == pluginService || name.startsWith(pluginService + QLatin1Char('.')));
    if (plugin && !owner.isEmpty())
        pluginOwners.insert(owner);
    // A daemon that leaves takes its connections and their tunnels with it, and says nothing of
    // them any more: the attempt or tunnel has ended.
    if (name == service && owner.isEmpty() && !activeConnection.isEmpty()) {
        qCWarning(lcConnection) << "NetworkManager left the bus during a VPN connection";
        orphanUuids.insert(uuid);
        SecretAgent::instance().forget(uuid);
        activeConnection.clear();
        settingsPath.clear();
        uuid.clear();
        emit vpnStateChanged(VpnDisconnected, vpnEndReason(ReasonServiceStopped, pluginFailure));
    } else if (name == service && !owner.isEmpty()) {
        removeOrphans();
    }
}

void VpnSession::removeOrphans()
{
    for (auto it = orphanUuids.begin(); it != orphanUuids.end();) {
        const QDBusMessage found =
            call(rootPath + QStringLiteral("/Settings"), service + QStringLiteral(".Settings"),
                 QStringLiteral("GetConnectionByUuid"), {*it});
        if (found.type() == QDBusMessage::ReplyMessage && !found.arguments().isEmpty())
            call(qdbus_cast<QDBusObjectPath>(found.arguments().at(0)).path(),
                 service + QStringLiteral(".Settings.Connection"), QStringLiteral("Delete"), {});
        // Kept while no daemon answers at all (the bus's own errors); gone once the daemon knows it not.
        if (found.type() == QDBusMessage::ReplyMessage ||
            !found.errorName().startsWith(QLatin1String("org.freedesktop.DBus.Error.")))
            it = orphanUuids.erase(it);
        else
            ++it;
    }
}

} // namespace nm

#include "networkmanager_linux.moc"
