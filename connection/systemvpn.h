// The system's own VPN service, where there is one the client may use (NetworkManager on
// Linux): it runs OpenVPN with the privileges, DNS and routes the system manages.
#ifndef CORVANE_SYSTEMVPN_H
#define CORVANE_SYSTEMVPN_H

#include <QObject>
#include <QString>

#include <cstdint>

class SystemOpenVpn : public QObject
{
    Q_OBJECT

public:
    enum class Progress
    {
        Connecting, // the service talks to the server
        Up,         // the tunnel is up
        Ended,      // the attempt failed or the tunnel went down
    };
    Q_ENUM(Progress)

    using QObject::QObject;

    // Hands the checked configuration and the CA file to the service and starts the tunnel.
    // False with the reason in `error` when the service refuses.
    virtual bool start(const QString& configPath, const QString& caPath, const QString& userName,
                       const QString& password, QString* error) = 0;
    // Ends the tunnel and removes every trace of it from the service.
    virtual void stop() = 0;
    // The bytes through the tunnel as the service last counted them; false while it has not.
    virtual bool traffic(std::uint64_t& received, std::uint64_t& sent) = 0;

signals:
    // `loginFailed` when the server refused the credentials; `detail` says why in words.
    void progressed(SystemOpenVpn::Progress progress, bool loginFailed, const QString& detail);
};

// The service when it answers now, otherwise null (the client then runs the program itself).
SystemOpenVpn* makeSystemOpenVpn(QObject* parent);

#endif
