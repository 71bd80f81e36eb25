// PPTP and L2TP through NetworkManager's plugins, behind the dial-up seam: the phone-book entry
// and the pre-shared key are kept for the dial, which becomes an in-memory VPN connection.
#include "connection/dialup.h"
#include "connection/networkmanager_linux.h"
#include "connection/nmvpnstate.h"
#include "core/logging.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QPointer>

#include <map>
#include <mutex>

namespace {

class NetworkManagerDialUp : public DialUp
{
public:
    // The seam asks for a system it can dial; NetworkManager runs on any.
    OsVersion version(std::uint32_t) override
    {
        OsVersion version;
        version.ok = true;
        version.major = 10;
        version.platformId = ras::platformWin32Nt;
        return version;
    }

    std::uint32_t setEntryProperties(const char16_t*, const std::u16string&, const PhoneBookEntry& entry,
                                     std::uint32_t, const void*, std::uint32_t) override
    {
        std::lock_guard<std::mutex> locker(lock);
        gateway = QString::fromStdU16String(entry.szLocalPhoneNumber);
        strategy = entry.dwVpnStrategy;
        return ras::success;
    }

    std::uint32_t setCredentials(const char16_t*, const std::u16string&, const Credentials& credentials,
                                 bool) override
    {
        std::lock_guard<std::mutex> locker(lock);
        preSharedKey = QString::fromStdU16String(credentials.szPassword);
        return ras::success;
    }

    std::uint32_t dial(const void*, const char16_t*, const DialParams& params, std::uint32_t, const void*,
                       std::atomic<RasHandle>& connection) override
    {
        const nm::VpnProfile profile = profileFor(params);
        auto* session = new nm::VpnSession;
        QEventLoop loop;
        std::uint32_t result = ras::errorUserDisconnection;
        QObject::connect(session, &nm::VpnSession::vpnStateChanged, &loop, [&](uint state, uint reason) {
            const nm::Outcome outcome = nm::vpnOutcome(state);
            if (outcome == nm::Outcome::Progress)
                return;
            result = outcome == nm::Outcome::Up ? ras::success : nm::vpnResult(reason);
            loop.quit();
        });
        RasHandle handle = 0;
        {
            std::lock_guard<std::mutex> locker(lock);
            handle = ++lastHandle;
            dials[handle] = {session, &loop, false};
        }
        RasHandle unissued = 0;
        const bool hungUpEarly = !connection.compare_exchange_strong(unissued, handle);

        QString error;
        if (hungUpEarly) {
            // result stays errorUserDisconnection; nothing was asked of the daemon.
        } else if (!session->start(profile, &error)) {
            qCWarning(lcConnection) << "NetworkManager did not start the connection:" << error;
            result = nm::resultNotStarted;
        } else if (!hungUp(handle)) {
            loop.exec();
        }

        {
            std::lock_guard<std::mutex> locker(lock);
            Dial& dial = dials[handle];
            dial.loop = nullptr;
            if (dial.hungUp && result == ras::success)
                result = ras::errorUserDisconnection;
            if (result != ras::success)
                dials.erase(handle);
            else if (QCoreApplication::instance())
                // The hang-up comes from the window's thread; this thread may be gone by then.
                session->moveToThread(QCoreApplication::instance()->thread());
        }
        if (result != ras::success) {
            // Outside the lock: the daemon's answers may take a while, and a hang-up must not wait.
            session->stop();
            delete session;
        }
        return result;
    }

    std::uint32_t hangUp(RasHandle connection) override
    {
        nm::VpnSession* up = nullptr;
        {
            std::lock_guard<std::mutex> locker(lock);
            auto found = dials.find(connection);
            if (found == dials.end())
                return ras::errorInvalidHandle;
            if (found->second.loop) {
                // The dial ends it in its own thread.
                found->second.hungUp = true;
                QMetaObject::invokeMethod(found->second.loop, "quit", Qt::QueuedConnection);
                return ras::success;
            }
            up = found->second.session;
            dials.erase(found);
        }
        up->stop();
        delete up;
        return ras::success;
    }

    // The window's thread alone asks and hangs up, so the session stays while it is asked.
    bool statistics(RasHandle connection, std::uint64_t& received, std::uint64_t& sent) override
    {
        nm::VpnSession* up = nullptr;
        {
            std::lock_guard<std::mutex> locker(lock);
            auto found = dials.find(connection);
            if (found == dials.end() || found->second.loop)
                return false;
            up = found->second.session;
        }
        return up->traffic(received, sent);
    }

private:
    struct Dial
    {
        nm::VpnSession* session = nullptr;
        QEventLoop* loop = nullptr; // while the dial waits
        bool hungUp = false;
    };

    bool hungUp(RasHandle handle)
    {
        std::lock_guard<std::mutex> locker(lock);
        return dials[handle].hungUp;
    }

    nm::VpnProfile profileFor(const DialParams& params)
    {
        std::lock_guard<std::mutex> locker(lock);
        nm::VpnProfile profile;
        profile.name = QStringLiteral("Corvane");
        const QString user = QString::fromStdU16String(params.szUserName);
        profile.data = {{QStringLiteral("gateway"), gateway}, {QStringLiteral("user"), user}};
        profile.secrets = {{QStringLiteral("password"), QString::fromStdU16String(params.szPassword)}};
        if (strategy == ras::vpnL2tpOnly) {
            profile.serviceType = QStringLiteral("org.freedesktop.NetworkManager.l2tp");
            profile.data.insert(QStringLiteral("ipsec-enabled"), QStringLiteral("yes"));
            profile.secrets.insert(QStringLiteral("ipsec-psk"), preSharedKey);
        } else {
            profile.serviceType = QStringLiteral("org.freedesktop.NetworkManager.pptp");
        }
        return profile;
    }

    std::mutex lock;
    QString gateway;
    std::uint32_t strategy = 0;
    QString preSharedKey;
    RasHandle lastHandle = 0;
    std::map<RasHandle, Dial> dials;
};

} // namespace

std::unique_ptr<DialUp> makeSystemDialUp()
{
    if (!nm::available())
        return nullptr;
    return std::make_unique<NetworkManagerDialUp>();
}
