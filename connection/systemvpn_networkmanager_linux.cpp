// OpenVPN through NetworkManager: its plugin's importer reads the words of the checked
// configuration, and the connection lives in memory for one attempt.
#include "connection/networkmanager_linux.h"
#include "connection/nmimport_linux.h"
#include "connection/nmvpnstate.h"
#include "connection/openvpnconfig.h"
#include "connection/systemvpn.h"
#include "connection/workfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
        removeEarlierCopies();
        const nm::ImportedVpn imported = importChecked(configPath, caPath);
        if (!imported.ok) {
            removeBlockFiles();
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

    bool traffic(std::uint64_t& received, std::uint64_t& sent) override
    {
        return session.traffic(received, sent);
    }

    void stop() override
    {
        session.stop();
        removeBlockFiles();
    }

private:
    // The importer is handed the words the check accepted, written again so that it cannot read
    // others, and no inline block: it would copy each into the home folder, where they stayed. The
    // blocks go into files beside the configuration instead, which go when the attempt ends.
    nm::ImportedVpn importChecked(const QString& configPath, const QString& caPath)
    {
        nm::ImportedVpn failed;
        QFile config(configPath);
        if (!config.open(QIODevice::ReadOnly)) {
            failed.error = "cannot read the configuration";
            return failed;
        }
        const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(config.readAll());
        const QString folder = QFileInfo(configPath).absolutePath();
        const OpenVpnRewrite rewrite =
            verdict.accepted ? rewriteOpenVpnConfig(verdict.directives, folder, caPath) : OpenVpnRewrite();
        if (!verdict.accepted || !rewrite.error.isEmpty()) {
            failed.error = (verdict.accepted ? rewrite.error : verdict.reason).toStdString();
            return failed;
        }
        for (const auto& file : rewrite.files) {
            blockFiles << file.first;
            if (!writeWorkFile(file.first, file.second)) {
                failed.error = "cannot write " + QFile::encodeName(file.first).toStdString();
                return failed;
            }
        }
        const QString importPath = folder + QStringLiteral("/import.ovpn");
        if (!writeWorkFile(importPath, rewrite.config)) {
            failed.error = "cannot write the configuration";
            return failed;
        }
        const nm::ImportedVpn imported = nm::importOpenVpnConfig(QFile::encodeName(importPath).toStdString());
        QFile::remove(importPath);
        return imported;
    }

    void removeBlockFiles()
    {
        for (const QString& path : blockFiles)
            QFile::remove(path);
        blockFiles.clear();
    }

    // Earlier versions let the importer copy the inline blocks of their config.ovpn.XXXXXX into
    // the home folder, and nothing removed them.
    static void removeEarlierCopies()
    {
        const QDir copies(QDir::homePath() + QStringLiteral("/.cert/nm-openvpn"));
        for (const char* tag : {"ca", "cert", "key", "pkcs12", "extra-certs", "crl-verify", "tls-auth",
                                "tls-crypt", "tls-crypt-v2", "http-proxy-user-pass"})
            QFile::remove(copies.filePath(QStringLiteral("config.ovpn-%1.pem").arg(QLatin1String(tag))));
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
    QStringList blockFiles;
};

} // namespace

SystemOpenVpn* makeSystemOpenVpn(QObject* parent)
{
    return nm::available() ? new NetworkManagerOpenVpn(parent) : nullptr;
}
