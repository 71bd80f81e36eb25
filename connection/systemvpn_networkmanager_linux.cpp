// OpenVPN through NetworkManager: its plugin's importer reads the checked configuration, and
// the connection lives in memory for one attempt.
#include "connection/networkmanager_linux.h"
#include "connection/nmimport_linux.h"
#include "connection/nmvpnstate.h"
#include "connection/systemvpn.h"

#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryFile>

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
        const nm::ImportedVpn imported = importWithCa(configPath, caPath);
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
    // The importer wants the CA named in the file; ours comes apart from the configuration, which
    // has passed the check already, so the copy that is read names it at the end.
    static nm::ImportedVpn importWithCa(const QString& configPath, const QString& caPath)
    {
        QFile config(configPath);
        QTemporaryFile copy(configPath + QStringLiteral(".XXXXXX"));
        if (!config.open(QIODevice::ReadOnly) || !copy.open()) {
            nm::ImportedVpn failed;
            failed.error = "cannot read the configuration";
            return failed;
        }
        copy.write(config.readAll() + "\nca " + QFile::encodeName(caPath) + '\n');
        copy.flush();
        return nm::importOpenVpnConfig(QFile::encodeName(copy.fileName()).toStdString());
    }

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
