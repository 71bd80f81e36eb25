// NetworkManager over the system bus: VPN connections added in memory for one attempt, whose
// secrets NetworkManager gets only from the client's own secret agent.
#ifndef CORVANE_NETWORKMANAGER_LINUX_H
#define CORVANE_NETWORKMANAGER_LINUX_H

#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>

#include <cstdint>

class QDBusMessage;

namespace nm {

using StringMap = QMap<QString, QString>;

// Whether NetworkManager answers on the system bus. CORVANE_NETWORKMANAGER=0 keeps the client
// off it (the direct OpenVPN program, the unavailable dial-up).
bool available();

// The routing table the kill switch's block keeps its routes in while one is up, 0 otherwise:
// a VPN connection started meanwhile puts its own routes there, where they come before the block.
uint blockingTable();
void setBlockingTable(uint table);

// What one VPN connection is made of.
struct VpnProfile
{
    QString name;        // shown in the desktop's network menu
    QString serviceType; // org.freedesktop.NetworkManager.pptp, ...
    StringMap data;      // the plugin's settings, secret flags included
    StringMap secrets;   // handed out by the agent only
};

// One attempt: the in-memory connection, its activation and the states NetworkManager reports.
// Removing the connection ends the tunnel; the destructor does it too.
class VpnSession : public QObject
{
    Q_OBJECT

public:
    explicit VpnSession(QObject* parent = nullptr);
    ~VpnSession() override;

    // Adds the connection and activates it. False with the reason in `error` when NetworkManager
    // refuses either step; the states arrive through vpnStateChanged.
    bool start(const VpnProfile& profile, QString* error);
    // Deactivates and removes the connection; harmless when there is none. Callable from any
    // thread.
    void stop();

    QString connectionPath() const { return settingsPath; }
    QString activePath() const { return activeConnection; }

    // The bytes through the tunnel's device as NetworkManager last counted them (its device
    // statistics), and asks it for fresh ones without waiting. False until the tunnel's device
    // is known and counted once.
    bool traffic(std::uint64_t& received, std::uint64_t& sent);

signals:
    void vpnStateChanged(uint state, uint reason);

private slots:
    void onVpnState(const QDBusMessage& message);
    void onPluginFailure(const QDBusMessage& message);
    void onPluginConfig(const QDBusMessage& message);
    void onNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& owner);

private:
    QString pluginService;      // the service type of the attempt's plugin
    QSet<QString> pluginOwners; // the unique bus names that held its names during the attempt
    QString settingsPath;
    QString activeConnection;
    QString uuid;
    // Connections of a daemon that left before they could be removed; a daemon that comes back
    // loads them again, so they are removed from it.
    QSet<QString> orphanUuids;
    void removeOrphans();
    uint pluginFailure;

    // The tunnel's device, as the plugin named it, and its counts.
    struct Counted
    {
        QString device;
        QString devicePath;
        bool asking = false;
        bool known = false;
        std::uint64_t received = 0;
        std::uint64_t sent = 0;
    };
    Counted counted;
    uint countedGeneration = 0; // replies for an earlier tunnel are dropped
    void askForCounts();
};

} // namespace nm

#endif
