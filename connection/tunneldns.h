// The tunnel's name servers for the client's own openvpn, which applies none itself on Linux:
// systemd-resolved's per-link servers where it answers, otherwise, where nothing manages the
// name servers and the client has root's rights, /etc/resolv.conf for the connection's length.
#ifndef CORVANE_TUNNELDNS_H
#define CORVANE_TUNNELDNS_H

#include <QString>
#include <QStringList>

#include <memory>

class TunnelDns
{
public:
    virtual ~TunnelDns() = default;

    // Makes `servers` the only name servers, for every domain, on the tunnel's `device`. False
    // with the reason in `error`.
    virtual bool apply(const QString& device, const QStringList& servers, QString* error) = 0;
    // Gives back what apply() replaced; harmless when it replaced nothing.
    virtual void restore() = 0;
    // Gives back what a run that ended without restoring left (a replaced resolv.conf). True
    // when there was something.
    virtual bool restoreLeftover() = 0;
    // How it applies them, for the log.
    virtual QString means() const = 0;
};

// `stateFolder` keeps what a replaced file held, so that the next start can give it back.
std::unique_ptr<TunnelDns> makeTunnelDns(const QString& stateFolder);

#endif
