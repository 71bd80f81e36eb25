#include "app/windowstate.h"

#include "ui_lumtarmain.h"

WindowState::WindowState(Ui::LumtarMain* form, QObject* parent) : QObject(parent), ui(form)
{
    setConnection(Connection::Disconnected);
    setQuickStage(0);
    setPaymentInProgress(false);
}

QString WindowState::connectionText(Connection state)
{
    switch (state) {
    case Connection::None:
        break;
    case Connection::Disconnected:
        return QStringLiteral("disconnected");
    case Connection::InProgress:
        return QStringLiteral("in progress");
    case Connection::Connected:
        return QStringLiteral("connected");
    case Connection::Error:
        return QStringLiteral("error");
    }
    return QString();
}

std::optional<WindowState::Connection> WindowState::connectionFromText(const QString& text)
{
    for (Connection state : {Connection::None, Connection::Disconnected, Connection::InProgress,
                             Connection::Connected, Connection::Error}) {
        if (connectionText(state) == text)
            return state;
    }
    return std::nullopt;
}

void WindowState::setConnection(Connection state)
{
    const bool changed = state != connectionState;
    connectionState = state;
    ui->connectionStatus->setText(connectionText(state));
    if (changed)
        emit connectionChanged(state);
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
                              ui->WidgetConnectingVPN, ui->WidgetConnectedVPN, ui->WidgetPaymentInProgress};
    QWidget* const target = pages[int(page)];
    for (QWidget* other : pages) {
        if (other != target)
            other->hide();
    }
    target->show();
}
