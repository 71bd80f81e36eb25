// The status timer: every tick follows the running attempt or connection to its end.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "connection/pppworker.h"
#include "core/settingskeys.h"
#include "monitor/addresscheck.h"
#include "monitor/statustexts.h"

#include <QDateTime>
#include <QSettings>
#include <QTimer>

void LumtarMain::UpdateTimer()
{
    model->setElapsedSeconds(model->elapsedSeconds() + 3);
    const int elapsedSeconds = model->elapsedSeconds();
    if (elapsedSeconds > 3) {
        view->setConnectEnabled(true);
        if (model->quickStage() <= 0)
            view->setQuickConnectEnabled(true);
    }

    {
        QSettings settings;
        const QVariant request = settings.value(SettingsKeys::maximize);
        if (request.userType() == QMetaType::QString && request.toString() == QLatin1String("1")) {
            settings.setValue(SettingsKeys::maximize, QStringLiteral("0"));
            settings.setValue(SettingsKeys::running, QStringLiteral("1"));
            application_maximize();
        }
    }

    if (model->paymentInProgress() && elapsedSeconds % 15 == 0)
        GetUserData();

    if (takeWorkerOutcome())
        return;
    if (model->connection() == WindowState::Connection::InProgress)
        progressStep();
    else if (model->connection() == WindowState::Connection::Connected)
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
                                        model->connection() == WindowState::Connection::Connected;
    // The worker's words for an attempt under way or failed are the connection's own.
    const std::optional<WindowState::Connection> mirrored = WindowState::connectionFromText(workerStatus);
    if (mirrored && *mirrored != WindowState::Connection::None &&
        *mirrored != WindowState::Connection::Connected && !confirmedWhileDialling)
        model->setConnection(*mirrored);

    if (workerStatus == QLatin1String("connected")) {
        const WindowState::Connection state = model->connection();
        // A dial can succeed before any tick has mirrored "in progress"; the attempt is still
        // the one on the connecting page, so it is taken as well.
        const bool earlySuccess =
            model->page() == WindowState::Page::Connecting &&
            (state == WindowState::Connection::None || state == WindowState::Connection::Disconnected);
        if (state == WindowState::Connection::InProgress || earlySuccess) {
            rasConnectedTransition();
            return true;
        }
        if (state != WindowState::Connection::Connected && model->page() != WindowState::Page::Connecting) {
            // The user ended this attempt while its dial was completing: do not keep an
            // unseen connection up.
            PPPDisconnect();
        }
    }

    if (model->connection() != WindowState::Connection::Error)
        return false;
    if (model->quickStage() > 0)
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
    model->setQuickStage(0);
    model->setConnection(WindowState::Connection::Connected);
    view->setListsEnabled(false);
    view->setLogoutEnabled(false);
    view->setLogoutShown(false);
    view->setStatus(statusLine);
    view->setDisconnectEnabled(true);
    view->setDisconnectShown(true);
    view->setConnectShown(false);
    view->setCancelShown(false);
    view->setBusy(false);
    setWindowState(Qt::WindowMinimized);
    addressCheck->connectionConfirmed(QDateTime::currentMSecsSinceEpoch());
    trayBalloon(tr("Corvane is now connected!"),
                tr("You are now connected to ") + model->server().name + QLatin1Char('.'));
    model->setElapsedSeconds(0);
}

void LumtarMain::showConnectedPage()
{
    model->showPage(WindowState::Page::Connected);
    view->setConnectedTexts(tr("Connected to ") + model->server().name + tr(" Server!"),
                            tr("You are now connected to ") + model->server().name +
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
    view->setBusy(false);
}

void LumtarMain::progressStep()
{
    const int elapsedSeconds = model->elapsedSeconds();
    GetCurrentIP();
    const QString stage = quickStageLabel();
    const QString prefix = stage.isEmpty() ? QString() : stage + QStringLiteral(": ");
    if (elapsedSeconds > 3)
        view->setStatus(prefix + progressText(elapsedSeconds));
    if (elapsedSeconds > 30) {
        if (model->quickStage() > 0) {
            QuickConnectNextStage();
            return;
        }
        on_disconnect_clicked();
        view->setStatus(tr("cannot establish connection"));
        messageBox(QMessageBox::Information, tr("Cannot connect"),
                   tr("Cannot connect to this server. You can try again to connect using another "
                      "available configuration for this server or can use another one."));
    }
}

void LumtarMain::connectedUpkeep()
{
    const int elapsedSeconds = model->elapsedSeconds();
    if (elapsedSeconds % 15 == 0)
        GetCurrentIP();
    if (elapsedSeconds % 30 > 14)
        view->setStatus(tr("connected for ") + QString::number(elapsedSeconds / 60) + tr(" minutes"));
    else
        view->setStatus(tr("using IP ") + model->server().assignedIp);
    if (elapsedSeconds % 300 == 0)
        GetUserData();
    if (model->accountFlag() == QLatin1String("0")) {
        application_maximize();
        on_disconnect_clicked();
        trayBalloon(tr("Corvane - Account Expired"),
                    tr("Your account has expired! In order to continue using our services, you "
                       "need to update your subscription."));
    }
}
