#include "app/windowstate.h"

#include "ui_lumtarmain.h"

WindowState::WindowState(Ui::LumtarMain* form, QObject* parent) : QObject(parent), ui(form)
{
    setConnection(ConnectionController::State::Idle);
    setQuickStage(0);
    setPaymentInProgress(false);
}

QString WindowState::connectionText(ConnectionController::State state)
{
    using State = ConnectionController::State;
    switch (state) {
    case State::Preparing:
    case State::Connecting:
        return QStringLiteral("in progress");
    case State::Connected:
        return QStringLiteral("connected");
    case State::Idle:
    case State::Failed:
    case State::Reconnecting:
    case State::Disconnecting:
        break;
    }
    return QStringLiteral("disconnected");
}

void WindowState::setConnection(ConnectionController::State state)
{
    connectionState = state;
    ui->connectionStatus->setText(connectionText(state));
}

void WindowState::setQuickStage(int entry)
{
    stage = entry;
    ui->quick_stage->setText(QString::number(entry));
}

void WindowState::setQuickServers(const QString& entries)
{
    quickList = entries;
    ui->quick_servers->setText(entries);
}

void WindowState::setServer(const Server& server)
{
    setServerName(server.name);
    setServerIp(server.ip);
    setServerAssignedIp(server.assignedIp);
    setServerProtocol(server.protocol);
    setServerPreSharedKey(server.preSharedKey);
    setServerCertificate(server.certificate);
    setServerConfig(server.config);
}

void WindowState::setServerName(const QString& value)
{
    chosen.name = value;
    ui->server_name->setText(value);
}

void WindowState::setServerIp(const QString& value)
{
    chosen.ip = value;
    ui->server_ip->setText(value);
}

void WindowState::setServerAssignedIp(const QString& value)
{
    chosen.assignedIp = value;
    ui->server_assignedIP->setText(value);
}

void WindowState::setServerProtocol(const QString& value)
{
    chosen.protocol = value;
    ui->server_protocol->setText(value);
}

void WindowState::setServerPreSharedKey(const QString& value)
{
    chosen.preSharedKey = value;
    ui->server_pskey->setText(value);
}

void WindowState::setServerCertificate(const QString& value)
{
    chosen.certificate = value;
    ui->server_certificate->setText(value);
}

void WindowState::setServerConfig(const QString& value)
{
    chosen.config = value;
    ui->server_config->setText(value);
}

void WindowState::setAccountFlag(const QString& flag)
{
    enabledFlag = flag;
    ui->user_enabled->setText(flag);
}

void WindowState::setPaymentInProgress(bool inProgress)
{
    paying = inProgress;
    ui->paymentInProgress->setText(inProgress ? QStringLiteral("1") : QStringLiteral("0"));
}

void WindowState::setElapsedSeconds(int value)
{
    seconds = value;
    ui->seconds->setText(QString::number(value));
}

void WindowState::showPage(Page page)
{
    shown = page;
    // Hidden first, so two pages are never shown together, even for one paint.
    QWidget* const pages[] = {ui->WingetLogin,         ui->WidgetNewAccount,   ui->WingetConnected,
                              ui->WidgetConnectingVPN, ui->WidgetConnectedVPN, ui->WidgetPaymentInProgress,
                              ui->WidgetAbout};
    QWidget* const target = pages[int(page)];
    for (QWidget* other : pages) {
        if (other != target)
            other->hide();
    }
    target->show();
}
