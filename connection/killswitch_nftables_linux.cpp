// The client's own nftables table, for the client's own openvpn run with root's rights: one
// script replaces it in one transaction, so no moment passes without a block once one is up.
// It outlives a crash of the client, which keeps the user protected; the next start removes it.
#include "connection/killswitchblock.h"
#include "core/logging.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr int nftTimeoutMs = 10000;

class NftablesBlock : public KillSwitchBlock
{
public:
    explicit NftablesBlock(const QString& nftProgram) : program(nftProgram) {}

    QString means() const override { return QStringLiteral("nftables"); }

    bool apply(const BlockRules& rules, QString* error) override
    {
        if (!run({QStringLiteral("-f"), QStringLiteral("-")}, nftablesScript(rules), error))
            return false;
        holding = true;
        return true;
    }

    void lift() override
    {
        if (!holding)
            return;
        QString error;
        if (!run({QStringLiteral("-f"), QStringLiteral("-")}, nftablesRemovalScript(), &error))
            qCWarning(lcConnection).noquote() << "the nftables table was not removed:" << error;
        holding = false;
    }

    bool removeLeftover() override
    {
        QString error;
        if (!run({QStringLiteral("list"), QStringLiteral("table"), QStringLiteral("inet"),
                  QString::fromLatin1(nftablesTableName)},
                 QByteArray(), &error))
            return false;
        if (!run({QStringLiteral("-f"), QStringLiteral("-")}, nftablesRemovalScript(), &error)) {
            qCWarning(lcConnection).noquote() << "the table an earlier run left was not removed:" << error;
            return false;
        }
        return true;
    }

private:
    bool run(const QStringList& arguments, const QByteArray& input, QString* error) const
    {
        QProcess nft;
        nft.setProgram(program);
        nft.setArguments(arguments);
        nft.start();
        if (!nft.waitForStarted(nftTimeoutMs)) {
            *error = nft.errorString();
            return false;
        }
        nft.write(input);
        nft.closeWriteChannel();
        if (!nft.waitForFinished(nftTimeoutMs)) {
            nft.kill();
            nft.waitForFinished();
            *error = QStringLiteral("nft did not answer");
            return false;
        }
        if (nft.exitStatus() != QProcess::NormalExit || nft.exitCode() != 0) {
            *error = QString::fromLocal8Bit(nft.readAllStandardError()).trimmed();
            if (error->isEmpty())
                *error = QStringLiteral("nft failed");
            return false;
        }
        return true;
    }

    QString program;
    bool holding = false;
};

} // namespace

std::unique_ptr<KillSwitchBlock> makeNftablesBlock()
{
    const QString nft = QStandardPaths::findExecutable(
        QStringLiteral("nft"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (nft.isEmpty())
        return makeUnavailableBlock(QStringLiteral("nft is not installed (Debian's package nftables)"));
    return std::make_unique<NftablesBlock>(nft);
}
