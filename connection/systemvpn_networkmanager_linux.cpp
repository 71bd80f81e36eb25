// OpenVPN through NetworkManager: its plugin's importer reads the checked configuration, and
// the connection lives in memory for one attempt.
#include "connection/networkmanager_linux.h"
#include "connection/nmimport_linux.h"
#include "connection/nmvpnstate.h"
#include "connection/systemvpn.h"

#include <QFile>
#include <QLoggingCategory>

namespace {

class NetworkManagerOpenVpn : public SystemOpenVpn
{
public:
    explicit NetworkManagerOpenVpn(QObject* parent) : SystemOpenVpn(parent)
    {
        connect(&session, &nm::VpnSession::vpnStateChanged, this, &NetworkManagerOpenVpn::vpnState);
    }

    bool start(const QString& configPath, const QString& caPath, const QString& userName,
               const QString& password, QString* error) override
    {
        const nm::ImportedVpn imported = nm::importOpenVpnConfig(QFile::encodeName(configPath).toStdString());
        if (!imported.ok) {
            *error = QString::fromStdString(imported.error);
            return false;
        }
        nm::VpnProfile profile;
        profile.name = QStringLiteral("Corvane");
        profile.serviceType = QString::fromStdString(imported.serviceType);
        for (const auto& item : imported.data)
            profile.data.insert(QString::fromStdString(item.first), QString::fromStdString(item.second));
        // The CA comes apart from the configuration, and the account signs in with its password.
        profile.data.insert(QStringLiteral("ca"), caPath);
        if (!profile.data.contains(QStringLiteral("connection-type")))
            profile.data.insert(QStringLiteral("connection-type"), QStringLiteral("password"));
        profile.data.insert(QStringLiteral("username"), userName);
        profile.secrets.insert(QStringLiteral("password"), password);
        return session.start(profile, error);
    }

    void stop() override { session.stop(); }

private:
    void vpnState(uint state, uint reason)
    {
        switch (nm::vpnOutcome(state)) {
        case nm::Outcome::Progress:
            if (state >= nm::VpnConnect)
                emit progressed(Progress::Connecting, false, QString());
            break;
        case nm::Outcome::Up:
            emit progressed(Progress::Up, false, QString());
            break;
        case nm::Outcome::Ended:
            emit progressed(Progress::Ended, reason == nm::ReasonLoginFailed, nm::vpnReasonText(reason));
            break;
        }
    }

    nm::VpnSession session;
};

} // namespace

SystemOpenVpn* makeSystemOpenVpn(QObject* parent)
{
    return nm::available() ? new NetworkManagerOpenVpn(parent) : nullptr;
}
