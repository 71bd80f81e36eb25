// The status timer: every tick follows the running attempt or connection to its end.
#include "app/lumtarmain.h"

#include "app/settingskeys.h"
#include "connection/pppworker.h"
#include "monitor/addresscut.h"
#include "ui_lumtarmain.h"

#include <QDateTime>
#include <QSettings>
#include <QTimer>

void LumtarMain::UpdateTimer()
{
    elapsedSeconds += 3;
    if (elapsedSeconds > 3) {
        ui->connect->setEnabled(true);
        if (fieldNumber(ui->quick_stage->text()) <= 0)
            ui->quickConnect->setEnabled(true);
    }
    ui->seconds->setText(QString::number(elapsedSeconds));

    {
        QSettings settings;
        const QVariant request = settings.value(SettingsKeys::maximize);
        if (request.userType() == QMetaType::QString && request.toString() == QLatin1String("1")) {
            settings.setValue(SettingsKeys::maximize, QStringLiteral("0"));
            settings.setValue(SettingsKeys::running, QStringLiteral("1"));
            application_maximize();
        }
    }

    if (ui->paymentInProgress->text() == QLatin1String("1") && elapsedSeconds % 15 == 0)
        GetUserData();

    if (takeWorkerOutcome())
        return;
    const QString state = ui->connectionStatus->text();
    if (state == QLatin1String("in progress"))
        progressStep();
    else if (state == QLatin1String("connected"))
        connectedUpkeep();
}

// The worker's report: mirrored into the window, a success taken, a failure reported. True
// when that ended the tick's work.
bool LumtarMain::takeWorkerOutcome()
{
    const QString workerStatus = pppWorker->statusText();
    // A tunnel the address check has already confirmed is not put back to "in progress" while
    // its dial is still returning: that would announce the connection again on every tick.
    const bool confirmedWhileDialling = workerStatus == QLatin1String("in progress") &&
                                        ui->connectionStatus->text() == QLatin1String("connected");
    if (!workerStatus.isEmpty() && workerStatus != QLatin1String("connected") &&
        workerStatus != QLatin1String("stop") && !confirmedWhileDialling)
        ui->connectionStatus->setText(workerStatus);

    if (workerStatus == QLatin1String("connected")) {
        const QString state = ui->connectionStatus->text();
        // A dial can succeed before any tick has mirrored "in progress"; the attempt is still
        // the one on the connecting page, so it is taken as well.
        const bool earlySuccess = !ui->WidgetConnectingVPN->isHidden() &&
                                  (state.isEmpty() || state == QLatin1String("disconnected"));
        if (state == QLatin1String("in progress") || earlySuccess) {
            rasConnectedTransition();
            return true;
        }
        if (state != QLatin1String("connected") && ui->WidgetConnectingVPN->isHidden()) {
            // The user ended this attempt while its dial was completing: do not keep an
            // unseen connection up.
            PPPDisconnect();
        }
    }

    if (ui->connectionStatus->text() != QLatin1String("error"))
        return false;
    if (fieldNumber(ui->quick_stage->text()) > 0)
        QuickConnectNextStage();
    else
        reportDialError();
    return true;
}

// A dial's end is taken when the worker reports it, not at the next tick.
void LumtarMain::followWorker()
{
    if (connection && followWorkerAtOnce)
        takeWorkerOutcome();
}

void LumtarMain::rasConnectedTransition()
{
    // The success is taken once.
    pppWorker->setStatus(QString());
    enterConnectedState(tr("connected"));
}

// The connected page and state, whichever way the tunnel was recognised; every attempt and
// any Quick Connect run ends here.
void LumtarMain::enterConnectedState(const QString& statusLine)
{
    showConnectedPage();
    ui->quick_stage->setText(QStringLiteral("0"));
    ui->connectionStatus->setText(QStringLiteral("connected"));
    ui->servers->setEnabled(false);
    ui->protocols->setEnabled(false);
    ui->type->setEnabled(false);
    ui->logout->setEnabled(false);
    ui->logout->hide();
    ui->authstatus->setText(statusLine);
    ui->disconnect->setEnabled(true);
    ui->disconnect->show();
    ui->connect->hide();
    ui->cancel->hide();
    ui->loading->hide();
    setWindowState(Qt::WindowMinimized);
    lastConnectedMs = QDateTime::currentMSecsSinceEpoch();
    tunnelCheckTimer->stop();
    trayBalloon(tr("Corvane is now connected!"),
                tr("You are now connected to ") + ui->server_name->text() + QLatin1Char('.'));
    elapsedSeconds = 0;
}

void LumtarMain::showConnectedPage()
{
    ui->WidgetNewAccount->hide();
    ui->WingetConnected->hide();
    ui->WingetLogin->hide();
    ui->WidgetConnectingVPN->hide();
    ui->WidgetConnectedVPN->show();
    ui->connected_title->setText(tr("Connected to ") + ui->server_name->text() + tr(" Server!"));
    ui->connected_message->setText(tr("You are now connected to ") + ui->server_name->text() +
                                   tr(" Server.\n Your connection is now secured."));
}

void LumtarMain::reportDialError()
{
    // Title and text first: the disconnect clears the worker's result code and server name use.
    const QString code = pppWorker->resultCodeText();
    const QString title = tr("Corvane | PPP Error Code ") + code;
    const QString text = getPPPErrorText(fieldNumber(code)) +
                         tr(" \nTry to connect again. \n\nIf this problem persists, choose to "
                            "connect using another protocol on ") +
                         pppWorker->serverName + tr(" server or/and another server.");
    on_disconnect_clicked();
    messageBox(QMessageBox::Information, title, text);
    ui->loading->hide();
}

void LumtarMain::progressStep()
{
    GetCurrentIP();
    const QString stage = quickStageText(ui->quick_stage->text(), ui->quick_servers->text());
    const QString prefix = stage.isEmpty() ? QString() : stage + QStringLiteral(": ");
    if (elapsedSeconds > 3)
        ui->authstatus->setText(prefix + progressText(elapsedSeconds));
    if (elapsedSeconds > 30) {
        if (fieldNumber(ui->quick_stage->text()) > 0) {
            QuickConnectNextStage();
            return;
        }
        on_disconnect_clicked();
        ui->authstatus->setText(tr("cannot establish connection"));
        messageBox(QMessageBox::Information, tr("Cannot connect"),
                   tr("Cannot connect to this server. You can try again to connect using another "
                      "available configuration for this server or can use another one."));
    }
}

void LumtarMain::connectedUpkeep()
{
    if (elapsedSeconds % 15 == 0)
        GetCurrentIP();
    if (elapsedSeconds % 30 > 14)
        ui->authstatus->setText(tr("connected for ") + QString::number(elapsedSeconds / 60) + tr(" minutes"));
    else
        ui->authstatus->setText(tr("using IP ") + ui->server_assignedIP->text());
    if (elapsedSeconds % 300 == 0)
        GetUserData();
    if (ui->user_enabled->text() == QLatin1String("0")) {
        application_maximize();
        on_disconnect_clicked();
        trayBalloon(tr("Corvane - Account Expired"),
                    tr("Your account has expired! In order to continue using our services, you "
                       "need to update your subscription."));
    }
}
