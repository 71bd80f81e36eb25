// Where the system offers the client no means of blocking: every attempt says why.
#include "connection/killswitchblock.h"

namespace {

class UnavailableBlock : public KillSwitchBlock
{
public:
    explicit UnavailableBlock(const QString& why) : reason(why) {}

    QString means() const override { return QStringLiteral("none"); }
    bool apply(const BlockRules&, QString* error) override
    {
        *error = reason;
        return false;
    }
    void lift() override {}
    bool removeLeftover() override { return false; }

private:
    QString reason;
};

} // namespace

std::unique_ptr<KillSwitchBlock> makeUnavailableBlock(const QString& reason)
{
    return std::make_unique<UnavailableBlock>(reason);
}
