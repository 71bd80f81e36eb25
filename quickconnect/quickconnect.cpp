// Quick Connect: tries the service's ready-made entries one after another until one connects.
#include "app/lumtarmain.h"

#include "connection/pppworker.h"
#include "monitor/addresscut.h"
#include "quickconnect/quicklist.h"
#include "ui_lumtarmain.h"

#include <QThread>
#include <QTimer>

void LumtarMain::on_quickConnect_clicked()
{
    elapsedSeconds = 0;
    ui->quickConnect->setEnabled(false);
    ui->connect->setEnabled(false);
    QuickConnectNextStage();
}

void LumtarMain::QuickConnectNextStage()
{
    const QStringList entries = quickEntries(ui->quick_servers->text());
    int k = qMax(0, fieldNumber(ui->quick_stage->text()));
    // An entry of a protocol this client cannot start is passed over.
    while (k < entries.size() && !isKnownProtocol(quickEntry(entries.at(k)).protocol))
        ++k;
    if (k >= entries.size()) {
        tearDownAttempt();
        elapsedSeconds = 0;
        ui->quick_stage->setText(QStringLiteral("0"));
        // Back to the idle page first, so no tick reports the torn-down attempt a second time.
        on_disconnect_clicked();
        showCritical(tr("Connection Error"),
                     tr("We tested all available protocols (PPTP, L2TP and OpenVPN) on multiple "
                        "servers and it was not possible to connect to any VPN Server. Please check "
                        "your internet connection and set your computer firewall/security to allow "
                        "this application to access internet on all ports and try to connect "
                        "again. Also make sure to disable any proxy setting if you have installed a "
                        "proxy."));
        return;
    }
    const QuickEntry entry = quickEntry(entries.at(k));
    ui->server_name->setText(entry.name);
    ui->server_ip->setText(entry.address);
    ui->server_assignedIP->setText(entry.address);
    ui->server_protocol->setText(entry.protocol);
    if (entry.protocol == QLatin1String("OpenVPN")) {
        ui->server_certificate->setText(entry.keyOrCertificate);
        ui->server_config->setText(entry.config);
    } else if (entry.protocol == QLatin1String("L2TP")) {
        ui->server_pskey->setText(entry.keyOrCertificate);
    }
    processPendingEvents();
    ui->quick_stage->setText(QString::number(k + 1));
    quickConnectDial();
}

void LumtarMain::quickConnectDial()
{
    ui->loading->show();
    if (ui->user_enabled->text() == QLatin1String("0") || ui->user_enabled->text().isEmpty()) {
        showCritical(
            tr("Your account is disabled"),
            QStringLiteral("VPN connections are not available for your account. You need to subscribe "
                           "to a plan to make account enabled. \nFor more details please visit our "
                           "site."));
        // The run is over; leaving it open would keep Quick Connect disabled for good. An
        // earlier attempt of the run is still up or failed: the disconnect ends it without a
        // further report of it.
        if (fieldNumber(ui->quick_stage->text()) > 1 && !ui->WidgetConnectingVPN->isHidden()) {
            on_disconnect_clicked();
        } else {
            ui->quick_stage->setText(QStringLiteral("0"));
            ui->loading->hide();
        }
        return;
    }
    // The pause separates two attempts; entries skipped before the first attempt do not count.
    const bool laterAttempt =
        fieldNumber(ui->quick_stage->text()) > 1 && !ui->WidgetConnectingVPN->isHidden();
    tearDownAttempt();
    const int entryCount = quickEntryCount(ui->quick_servers->text());
    ui->ipCurrent->setText(QStringLiteral("updating..."));
    ui->logout->setEnabled(false);
    ui->connect->setText(tr("Connecting..."));
    processPendingEvents();
    ui->connectionStatus->setText(QStringLiteral("disconnected"));
    elapsedSeconds = 0;
    ui->WidgetConnectedVPN->hide();
    ui->WidgetNewAccount->hide();
    ui->WingetConnected->hide();
    ui->WingetLogin->hide();
    ui->WidgetConnectingVPN->show();
    ui->connecting_title->setText(ui->quick_stage->text() + QLatin1Char('/') + QString::number(entryCount) +
                                  tr(" - Connecting to ") + ui->server_name->text());
    ui->connecting_message->setText(ui->server_protocol->text() + tr(" connection to ") +
                                    ui->server_name->text() + tr("\nis in progress"));
    ui->cancel->show();
    ui->cancel->setEnabled(true);
    if (laterAttempt)
        ui->authstatus->setText(tr("Initiating another method. Please wait..."));
    ui->loading->hide();
    processPendingEvents();
    if (!laterAttempt) {
        quickConnectDialAfterPause();
        return;
    }
    // The pause between attempts keeps the window responsive; cancel stops the timer.
    if (!quickConnectPauseTimer) {
        quickConnectPauseTimer = new QTimer(this);
        quickConnectPauseTimer->setObjectName(QStringLiteral("quickConnectPause"));
        quickConnectPauseTimer->setSingleShot(true);
        connect(quickConnectPauseTimer, &QTimer::timeout, this, &LumtarMain::quickConnectDialAfterPause);
    }
    quickConnectPauseTimer->start(quickConnectPauseMs);
}

void LumtarMain::quickConnectDialAfterPause()
{
    ui->loading->show();
    processPendingEvents();
    const int entryCount = quickEntryCount(ui->quick_servers->text());
    ui->authstatus->setText(tr("Stage ") + ui->quick_stage->text() + QLatin1Char('/') +
                            QString::number(entryCount) + tr(" in progress..."));
    // Ticks went on during the pause; the attempt still gets its whole allowance.
    elapsedSeconds = 0;
    startAttempt();
    processPendingEvents();
}

// Stops whatever an earlier attempt left running, whatever its protocol.
void LumtarMain::tearDownAttempt()
{
    tunnelCheckTimer->stop();
    connection->endAttempt();
    pppWorker->setStatus(QStringLiteral("stop"));
}
