// Where the OpenVPN program applies the pushed name servers to its adapter itself (Windows).
#include "connection/tunneldns.h"

namespace {

class ProgramAppliesDns : public TunnelDns
{
public:
    bool apply(const QString&, const QStringList&, QString*) override { return true; }
    void restore() override {}
    bool restoreLeftover() override { return false; }
    QString means() const override { return QStringLiteral("the OpenVPN program"); }
};

} // namespace

std::unique_ptr<TunnelDns> makeTunnelDns(const QString&)
{
    return std::make_unique<ProgramAppliesDns>();
}
