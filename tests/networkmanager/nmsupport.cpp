#include "nmsupport.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <unistd.h>

#include <csignal>

namespace {
const QString service = QStringLiteral("org.freedesktop.NetworkManager");

QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& args = {})
{
    qDBusRegisterMetaType<NmSettings>();
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    return QDBusConnection::systemBus().call(message);
}

QVariant property(const QString& path, const QString& interface, const QString& name)
{
    const QDBusMessage reply = call(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {interface, name});
    return reply.arguments().isEmpty() ? QVariant() : reply.arguments().at(0).value<QDBusVariant>().variant();
}
} // namespace

QString nmTestEnvironmentProblem()
{
    if (::geteuid() != 0)
        return QStringLiteral(
            "The NetworkManager tests need root (namespaces, bind mounts); they do not skip.");
    if (qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS").isEmpty() ||
        qEnvironmentVariable("CORVANE_NM_DIR").isEmpty())
        return QStringLiteral(
            "Run through CTest: the lab's NetworkManager (tests/networkmanager/nm.sh) is not set.");
    if (!QDBusConnection::systemBus().interface()->isServiceRegistered(service).value())
        return QStringLiteral("NetworkManager does not answer on the lab's bus.");
    return QString();
}

QStringList nmConnections()
{
    QStringList paths;
    const QDBusMessage reply = call(QStringLiteral("/org/freedesktop/NetworkManager/Settings"),
                                    service + QStringLiteral(".Settings"), QStringLiteral("ListConnections"));
    for (const QDBusObjectPath& path : qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().value(0)))
        paths << path.path();
    return paths;
}

NmSettings nmSettings(const QString& path)
{
    const QDBusMessage reply =
        call(path, service + QStringLiteral(".Settings.Connection"), QStringLiteral("GetSettings"));
    return reply.arguments().isEmpty() ? NmSettings() : qdbus_cast<NmSettings>(reply.arguments().at(0));
}

uint nmConnectionFlags(const QString& path)
{
    return property(path, service + QStringLiteral(".Settings.Connection"), QStringLiteral("Flags")).toUInt();
}

QMap<QString, QString> nmVpnData(const NmSettings& settings)
{
    return qdbus_cast<QMap<QString, QString>>(
        settings.value(QStringLiteral("vpn")).value(QStringLiteral("data")));
}

QStringList nmAppliedNameServers()
{
    QStringList servers;
    const QVariant configuration =
        property(QStringLiteral("/org/freedesktop/NetworkManager/DnsManager"),
                 service + QStringLiteral(".DnsManager"), QStringLiteral("Configuration"));
    for (const QVariantMap& entry : qdbus_cast<QList<QVariantMap>>(configuration))
        for (const QString& server : entry.value(QStringLiteral("nameservers")).toStringList())
            servers << entry.value(QStringLiteral("interface")).toString() + QLatin1Char(' ') + server;
    return servers;
}

QStringList nmFilesHolding(const QByteArray& secret)
{
    QStringList found;
    QDirIterator it(qEnvironmentVariable("CORVANE_NM_DIR"), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.size() < 16 * 1024 * 1024 && file.open(QIODevice::ReadOnly) &&
            file.readAll().contains(secret))
            found << file.fileName();
    }
    return found;
}

bool restartNetworkManager()
{
    const QFileInfo labDir(qEnvironmentVariable("CORVANE_LAB_DIR"));
    QProcess restart;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVANE_LAB_ROOT"), labDir.path());
    restart.setProcessEnvironment(environment);
    restart.setProcessChannelMode(QProcess::ForwardedChannels);
    restart.start(QStringLiteral("bash"),
                  {qEnvironmentVariable("CORVANE_NM_SCRIPT"), QStringLiteral("restart"),
                   labDir.fileName().remove(QStringLiteral("corvane-lab-"))});
    return restart.waitForFinished(60000) && restart.exitStatus() == QProcess::NormalExit &&
           restart.exitCode() == 0;
}

bool killVpnPlugin(const QString& serviceType)
{
    QDBusConnectionInterface* names = QDBusConnection::systemBus().interface();
    bool killed = false;
    for (const QString& name : names->registeredServiceNames().value()) {
        if (name != serviceType && !name.startsWith(serviceType + QLatin1Char('.')))
            continue;
        const uint pid = names->servicePid(name).value();
        killed = pid > 1 && ::kill(pid_t(pid), SIGKILL) == 0;
    }
    return killed;
}
