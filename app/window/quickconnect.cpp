// Quick Connect: the run tries the service's ready-made entries one after another until one
// connects; the window shows the entry being tried and how the run ended.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"

#include <QStringList>

using State = QuickConnectRun::State;

namespace {
// What the run tried, for its closing box: the protocols in the order first met, and how many
// servers.
QString triedSummary(const QVector<QuickConnectRun::Tried>& tried)
{
    QStringList protocols;
    QStringList servers;
    for (const QuickConnectRun::Tried& attempt : tried) {
        if (!protocols.contains(attempt.entry.protocol))
            protocols << attempt.entry.protocol;
        if (!servers.contains(attempt.entry.address))
            servers << attempt.entry.address;
    }
    if (protocols.size() == 3 && servers.size() > 1)
        return QString();
    const QString list =
        protocols.size() <= 1
            ? protocols.value(0)
            : QStringList(protocols.mid(0, protocols.size() - 1)).join(QStringLiteral(", ")) +
                  LumtarMain::tr(" and ") + protocols.last();
    return servers.size() == 1 ? LumtarMain::tr("We tried %1 on one server").arg(list)
                               : LumtarMain::tr("We tried %1 on %2 servers").arg(list).arg(servers.size());
}
} // namespace

void LumtarMain::setUpQuickConnect()
{
    quickConnectRun = new QuickConnectRun(connection, this);
    quickConnectRun->setObjectName(QStringLiteral("quickConnectRun"));
    connect(quickConnectRun, &QuickConnectRun::stateChanged, this, [this](State state) {
        model->setQuickStage(quickConnectRun->stage());
        showConnectionPage();
        if (state == State::Pausing)
            view->setStatus(tr("Initiating another method. Please wait..."));
    });
    connect(quickConnectRun, &QuickConnectRun::finished, this, &LumtarMain::quickConnectEnded);
}

void LumtarMain::on_quickConnect_clicked()
{
    model->setElapsedSeconds(0);
    view->setQuickConnectEnabled(false);
    quickConnectRun->start(model->quickServers(), view->userName(), view->password(),
                           model->accountEnabled());
}

void LumtarMain::QuickConnectNextStage()
{
    quickConnectRun->next();
}

void LumtarMain::quickConnectDial()
{
    quickConnectRun->dial();
}

void LumtarMain::quickConnectEnded(QuickConnectRun::End end)
{
    switch (end) {
    case QuickConnectRun::End::Connected:
    case QuickConnectRun::End::Cancelled:
        return;
    case QuickConnectRun::End::AccountDisabled:
        messageBox(QMessageBox::Critical, tr("Your account is disabled"),
                   tr("VPN connections are not available for your account. You need to subscribe to a "
                      "plan to make account enabled. \nFor more details please visit our site."));
        return;
    case QuickConnectRun::End::AllFailed:
        break;
    }
    const QString tried = triedSummary(quickConnectRun->tried());
    appendConnectionLog(tr("Quick Connect ended: none of the %n entries connected", nullptr,
                           int(quickConnectRun->tried().size())));
    offerConnectionLog = true;
    if (tried.isEmpty())
        messageBox(QMessageBox::Critical, tr("Connection Error"),
                   tr("We tested all available protocols (PPTP, L2TP and OpenVPN) on multiple "
                      "servers and it was not possible to connect to any VPN Server. Please check "
                      "your internet connection and set your computer firewall/security to allow "
                      "this application to access internet on all ports and try to connect "
                      "again. Also make sure to disable any proxy setting if you have installed a "
                      "proxy.") +
                       blockNote());
    else
        messageBox(QMessageBox::Critical, tr("Connection Error"),
                   tried +
                       tr(" and it was not possible to connect to any VPN Server. Please check "
                          "your internet connection and set your computer firewall/security to allow "
                          "this application to access internet on all ports and try to connect "
                          "again. Also make sure to disable any proxy setting if you have installed a "
                          "proxy.") +
                       blockNote());
    offerConnectionLog = false;
}
