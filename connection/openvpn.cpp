// OpenVPN attempts: the window's stage slots hand the downloads to the connection engine and
// show what it reports. The engine follows the program over its management channel; the
// address check confirms the tunnel.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "quickconnect/quicklist.h"

#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// The connection log keeps this many lines; older ones go.
constexpr int connectionLogLines = 2000;

QString withStage(const QString& stage, const QString& separator, const QString& text)
{
    return stage.isEmpty() ? text : stage + separator + text;
}
} // namespace

void LumtarMain::OpenVPNConnectStage0()
{
    view->setCancelEnabled(false);
    connection->startOpenVpn(
        {model->server().certificate, model->server().config, view->userName(), view->password()});
}

void LumtarMain::OpenVPNConnectStage1(QNetworkReply* reply)
{
    connection->certificateArrived(reply);
}

void LumtarMain::OpenVPNConnectStage2(QNetworkReply* reply)
{
    connection->configArrived(reply);
}

void LumtarMain::removeOpenVPNfiles()
{
    connection->removeWorkFiles();
}

void LumtarMain::openVpnStepReached(ConnectionEngine::Step step)
{
    const QString stage = quickStageText(model->quickStage(), model->quickServers());
    switch (step) {
    case ConnectionEngine::Step::CertificateRequested:
        view->setStatus(withStage(stage, QStringLiteral(" "), tr("downloading OpenVPN certificate...")));
        break;
    case ConnectionEngine::Step::ConfigRequested:
        view->setStatus(withStage(stage, QStringLiteral(" "), tr("downloading OpenVPN profile config...")));
        break;
    case ConnectionEngine::Step::ProgramStarting:
        view->setStatus(withStage(stage, QStringLiteral(": "), tr("starting connection")));
        break;
    }
    processPendingEvents();
}

void LumtarMain::openVpnStateChanged(ConnectionEngine::State state)
{
    if (state == ConnectionEngine::State::Starting)
        view->setCancelEnabled(true);
}

void LumtarMain::openVpnAttemptFailed(ConnectionEngine::Reason reason, const QString& detail)
{
    appendConnectionLog(QStringLiteral("Attempt failed: ") + QVariant::fromValue(reason).toString() +
                        (detail.isEmpty() ? QString() : QStringLiteral(" - ") + detail));
    if (model->quickStage() > 0) {
        QuickConnectNextStage();
        return;
    }
    QString statusText;
    QString title = tr("Cannot connect");
    QString text;
    switch (reason) {
    case ConnectionEngine::Reason::CertificateDownload:
    case ConnectionEngine::Reason::ConfigDownload: {
        const bool certificate = reason == ConnectionEngine::Reason::CertificateDownload;
        statusText = certificate ? tr("certificate download error") : tr("config download error");
        title = tr("OpenVPN download failed");
        text = tr("The OpenVPN %1 of this server could not be downloaded (%2). Please try again "
                  "later or choose another server.")
                   .arg(certificate ? tr("certificate") : tr("configuration"), detail);
        break;
    }
    case ConnectionEngine::Reason::ConfigRefused:
        statusText = tr("OpenVPN configuration refused: ") + detail;
        title = tr("OpenVPN configuration refused");
        text = tr("The configuration of this server holds a setting that could run programs or change "
                  "files on this computer (") +
               detail + tr("), so it was not used. Please choose another server or protocol.");
        break;
    case ConnectionEngine::Reason::AuthFailed:
        statusText = tr("user name or password refused");
        text = tr("The VPN server refused the user name or password. Please check them, log in again "
                  "and connect again.");
        break;
    default:
        statusText = tr("cannot establish connection");
        text = tr("The OpenVPN connection could not be set up: ") + detail;
        break;
    }
    view->setStatus(statusText);
    view->setBusy(false);
    on_disconnect_clicked();
    // The status line is soon rewritten by the account refresh; the box says it for good.
    view->setStatus(statusText);
    processPendingEvents();
    offerConnectionLog = true;
    messageBox(QMessageBox::Critical, title, text);
    offerConnectionLog = false;
}

void LumtarMain::openVpnTunnelUp()
{
    // The tunnel is up now; the address check confirms it at once and then every half second.
    checkTunnelAddress();
    watchTunnel();
}

void LumtarMain::checkTunnelAddress()
{
    if (model->connection() != WindowState::Connection::InProgress ||
        connection->state() != ConnectionEngine::State::TunnelUp) {
        stopWatchingTunnel();
        return;
    }
    GetCurrentIP();
}

void LumtarMain::openVpnTunnelDropped(ConnectionEngine::Reason reason, const QString& detail)
{
    stopWatchingTunnel();
    appendConnectionLog(QStringLiteral("Tunnel lost: ") + QVariant::fromValue(reason).toString() +
                        (detail.isEmpty() ? QString() : QStringLiteral(" - ") + detail));
    if (model->connection() == WindowState::Connection::Connected)
        handleDrop();
    else if (model->connection() == WindowState::Connection::InProgress)
        openVpnAttemptFailed(reason, detail); // lost before the address check confirmed it
}

void LumtarMain::appendConnectionLog(const QString& text)
{
    view->appendLog(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss ")) + text,
                    connectionLogLines);
}

void LumtarMain::showConnectionLog()
{
    auto* dialog = findChild<QDialog*>(QStringLiteral("connectionLog"));
    if (!dialog) {
        dialog = new QDialog(this);
        dialog->setObjectName(QStringLiteral("connectionLog"));
        dialog->setWindowTitle(tr("Connection log"));
        dialog->resize(520, 360);
        auto* layout = new QVBoxLayout(dialog);
        auto* view = new QPlainTextEdit(dialog);
        view->setObjectName(QStringLiteral("connectionLogText"));
        view->setReadOnly(true);
        view->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(view);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
        QPushButton* copy = buttons->addButton(tr("Copy"), QDialogButtonBox::ActionRole);
        connect(copy, &QPushButton::clicked, view,
                [view] { QGuiApplication::clipboard()->setText(view->toPlainText()); });
        connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::hide);
        layout->addWidget(buttons);
    }
    auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("connectionLogText"));
    text->setPlainText(view->logText());
    text->moveCursor(QTextCursor::End);
    dialog->show();
    dialog->raise();
}
