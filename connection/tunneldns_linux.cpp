#include "connection/tunneldns.h"

#include "connection/networkmanager_linux.h"
#include "connection/trafficrules.h"
#include "core/logging.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QSaveFile>
#include <QtEndian>

#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString resolvConfPath = QStringLiteral("/etc/resolv.conf");
const QByteArray ourHeader = "# Written by Corvane";
const QString resolved = QStringLiteral("org.freedesktop.resolve1");
const QString resolvedPath = QStringLiteral("/org/freedesktop/resolve1");
const QString resolvedManager = QStringLiteral("org.freedesktop.resolve1.Manager");

struct LinkAddress
{
    int family = 0;
    QByteArray address;
};

QDBusArgument& operator<<(QDBusArgument& argument, const LinkAddress& value)
{
    argument.beginStructure();
    argument << value.family << value.address;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, LinkAddress& value)
{
    argument.beginStructure();
    argument >> value.family >> value.address;
    argument.endStructure();
    return argument;
}

struct LinkDomain
{
    QString domain;
    bool routingOnly = false;
};

QDBusArgument& operator<<(QDBusArgument& argument, const LinkDomain& value)
{
    argument.beginStructure();
    argument << value.domain << value.routingOnly;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, LinkDomain& value)
{
    argument.beginStructure();
    argument >> value.domain >> value.routingOnly;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(LinkAddress)
Q_DECLARE_METATYPE(LinkDomain)

namespace {

bool resolvedAnswers()
{
    const QDBusConnection bus = QDBusConnection::systemBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(resolved).value();
}

// The tests that run on this machine's own network, not in a namespace of their own.
bool turnedOff()
{
    return qgetenv("CORVANE_TRAFFIC_GUARD") == "0";
}

bool writeInPlace(const QString& path, const QByteArray& text)
{
    // In place: a bind-mounted or linked file must stay the one the system reads.
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size() &&
           file.flush();
}

class LinuxTunnelDns : public TunnelDns
{
public:
    explicit LinuxTunnelDns(const QString& stateFolder)
        : savedPath(stateFolder.isEmpty() ? QString() : stateFolder + QStringLiteral("/resolv.conf.replaced"))
    {
    }

    QString means() const override { return way; }

    bool apply(const QString& device, const QStringList& servers, QString* error) override
    {
        restore();
        if (turnedOff()) {
            *error = QStringLiteral("turned off by CORVANE_TRAFFIC_GUARD=0");
            return false;
        }
        if (servers.isEmpty()) {
            *error = QStringLiteral("the server pushed no name server");
            return false;
        }
        if (resolvedAnswers()) {
            way = QStringLiteral("systemd-resolved");
            return applyThroughResolved(device, servers, error);
        }
        way = QStringLiteral("/etc/resolv.conf");
        if (nm::available()) {
            *error = QStringLiteral("NetworkManager manages the name servers, and does not run this tunnel");
            return false;
        }
        if (::geteuid() != 0) {
            *error = QStringLiteral("only root may change /etc/resolv.conf");
            return false;
        }
        if (QFileInfo(resolvConfPath).isSymLink()) {
            *error = QStringLiteral("/etc/resolv.conf is a link to a file another program manages");
            return false;
        }
        if (savedPath.isEmpty()) {
            *error = QStringLiteral("no private folder to keep the replaced file in");
            return false;
        }
        QFile current(resolvConfPath);
        const QByteArray before = current.open(QIODevice::ReadOnly) ? current.readAll() : QByteArray();
        current.close();
        // Kept first: a crash after the write still finds what to give back.
        QSaveFile saved(savedPath);
        if (!saved.open(QIODevice::WriteOnly) || saved.write(before) != before.size() || !saved.commit()) {
            *error = QStringLiteral("cannot keep the old /etc/resolv.conf");
            return false;
        }
        if (!writeInPlace(resolvConfPath, tunnelResolvConf(servers))) {
            *error = QStringLiteral("cannot write /etc/resolv.conf: ") + current.errorString();
            writeInPlace(resolvConfPath, before);
            QFile::remove(savedPath);
            return false;
        }
        replacedFile = true;
        return true;
    }

    void restore() override
    {
        if (linkIndex > 0) {
            QDBusMessage revert = QDBusMessage::createMethodCall(resolved, resolvedPath, resolvedManager,
                                                                 QStringLiteral("RevertLink"));
            revert << linkIndex;
            QDBusConnection::systemBus().call(revert, QDBus::Block, 5000);
            linkIndex = 0;
        }
        if (replacedFile) {
            giveBack();
            replacedFile = false;
        }
    }

    bool restoreLeftover() override
    {
        return !turnedOff() && !savedPath.isEmpty() && QFile::exists(savedPath) && giveBack();
    }

private:
    bool applyThroughResolved(const QString& device, const QStringList& servers, QString* error)
    {
        qDBusRegisterMetaType<LinkAddress>();
        qDBusRegisterMetaType<QList<LinkAddress>>();
        qDBusRegisterMetaType<LinkDomain>();
        qDBusRegisterMetaType<QList<LinkDomain>>();
        const int index = int(::if_nametoindex(QFile::encodeName(device).constData()));
        if (index <= 0) {
            *error = QStringLiteral("the tunnel's device %1 is not there").arg(device);
            return false;
        }
        QList<LinkAddress> addresses;
        for (const QString& server : servers) {
            const QHostAddress address(server);
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                const quint32 v4 = qToBigEndian(address.toIPv4Address());
                addresses.append({AF_INET, QByteArray(reinterpret_cast<const char*>(&v4), 4)});
            } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
                const Q_IPV6ADDR v6 = address.toIPv6Address();
                addresses.append({AF_INET6, QByteArray(reinterpret_cast<const char*>(v6.c), 16)});
            }
        }
        // Every domain goes to these servers ("~." routes the root domain), and this link is
        // the default route for lookups.
        const auto call = [&](const QString& method, const QVariant& argument) {
            QDBusMessage message =
                QDBusMessage::createMethodCall(resolved, resolvedPath, resolvedManager, method);
            message << index << argument;
            const QDBusMessage reply = QDBusConnection::systemBus().call(message, QDBus::Block, 5000);
            if (reply.type() == QDBusMessage::ErrorMessage) {
                *error = method + QStringLiteral(": ") + reply.errorMessage();
                return false;
            }
            return true;
        };
        linkIndex = index;
        if (!call(QStringLiteral("SetLinkDNS"), QVariant::fromValue(addresses)) ||
            !call(QStringLiteral("SetLinkDomains"),
                  QVariant::fromValue(QList<LinkDomain>{{QStringLiteral("."), true}}))) {
            restore();
            return false;
        }
        if (!call(QStringLiteral("SetLinkDefaultRoute"), QVariant(true)))
            qCInfo(lcConnection).noquote() << "systemd-resolved:" << *error;
        return true;
    }

    bool giveBack()
    {
        QFile saved(savedPath);
        if (!saved.open(QIODevice::ReadOnly))
            return false;
        const QByteArray before = saved.readAll();
        QFile current(resolvConfPath);
        const QByteArray now = current.open(QIODevice::ReadOnly) ? current.readAll() : QByteArray();
        current.close();
        // Someone wrote it since: theirs is newer than what we kept.
        const bool ours = now.startsWith(ourHeader);
        if (ours && !writeInPlace(resolvConfPath, before)) {
            qCWarning(lcConnection) << "cannot give /etc/resolv.conf back";
            return false;
        }
        QFile::remove(savedPath);
        return ours;
    }

    QString savedPath;
    QString way = QStringLiteral("none");
    int linkIndex = 0;
    bool replacedFile = false;
};

} // namespace

std::unique_ptr<TunnelDns> makeTunnelDns(const QString& stateFolder)
{
    return std::make_unique<LinuxTunnelDns>(stateFolder);
}
