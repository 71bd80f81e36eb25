// OpenVPN attempts: the window's stage slots hand the downloads to the connection engine and
// show what it reports. The engine follows the program over its management channel; the
// address check confirms the tunnel.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "connection/connectionengine.h"
#include "core/installationfolder.h"

#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QNetworkAccessManager>
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

struct LumtarMain::AttemptFailure
{
    // The engine's reason by name, and what it said, for the connection log.
    QString reason;
    QString detail;
    // The status line, and the box's title and text.
    QString status;
    QString title;
    QString text;
};

namespace {
LumtarMain::AttemptFailure describe(ConnectionEngine::Reason reason, const QString& detail)
{
    LumtarMain::AttemptFailure failure{QVariant::fromValue(reason).toString(), detail, QString(),
                                       LumtarMain::tr("Cannot connect"), QString()};
    switch (reason) {
    case ConnectionEngine::Reason::CertificateDownload:
    case ConnectionEngine::Reason::ConfigDownload: {
        const bool certificate = reason == ConnectionEngine::Reason::CertificateDownload;
        failure.status = certificate ? LumtarMain::tr("certificate download error")
                                     : LumtarMain::tr("config download error");
        failure.title = LumtarMain::tr("OpenVPN download failed");
        failure.text =
            LumtarMain::tr("The OpenVPN %1 of this server could not be downloaded (%2). Please try "
                           "again later or choose another server.")
                .arg(certificate ? LumtarMain::tr("certificate") : LumtarMain::tr("configuration"), detail);
        break;
    }
    case ConnectionEngine::Reason::ConfigRefused:
        failure.status = LumtarMain::tr("OpenVPN configuration refused: ") + detail;
        failure.title = LumtarMain::tr("OpenVPN configuration refused");
        failure.text =
            LumtarMain::tr("The configuration of this server holds a setting that could run programs "
                           "or change files on this computer (") +
            detail + LumtarMain::tr("), so it was not used. Please choose another server or protocol.");
        break;
    case ConnectionEngine::Reason::AuthFailed:
        failure.status = LumtarMain::tr("user name or password refused");
        failure.text =
            LumtarMain::tr("The VPN server refused the user name or password. Please check them, log "
                           "in again and connect again.");
        break;
    default:
        failure.status = LumtarMain::tr("cannot establish connection");
        failure.text = LumtarMain::tr("The OpenVPN connection could not be set up: ") + detail;
        break;
    }
    return failure;
}

QString logged(const QString& what, const LumtarMain::AttemptFailure& failure)
{
    return what + failure.reason +
           (failure.detail.isEmpty() ? QString() : QStringLiteral(" - ") + failure.detail);
}
} // namespace

void LumtarMain::setUpConnection()
{
    connection = new ConnectionEngine(installationFolder(), this);
    connection->setObjectName(QStringLiteral("connection"));
    pppWorker = connection->worker();
    pppThread = connection->workerThread();
    connect(connection, &ConnectionEngine::stepReached, this, [this](ConnectionEngine::Step step) {
        const QString stage = quickStageLabel();
        switch (step) {
        case ConnectionEngine::Step::CertificateRequested:
            view->setStatus(withStage(stage, QStringLiteral(" "), tr("downloading OpenVPN certificate...")));
            break;
        case ConnectionEngine::Step::ConfigRequested:
            view->setStatus(
                withStage(stage, QStringLiteral(" "), tr("downloading OpenVPN profile config...")));
            break;
        case ConnectionEngine::Step::ProgramStarting:
            view->setStatus(withStage(stage, QStringLiteral(": "), tr("starting connection")));
            break;
        }
        processPendingEvents();
    });
    connect(connection, &ConnectionEngine::stateChanged, this, [this](ConnectionEngine::State state) {
        if (state == ConnectionEngine::State::Starting)
            view->setCancelEnabled(true);
    });
    connect(connection, &ConnectionEngine::attemptFailed, this,
            [this](ConnectionEngine::Reason reason, const QString& detail) {
                openVpnAttemptFailed(describe(reason, detail));
            });
    connect(connection, &ConnectionEngine::tunnelUp, this, &LumtarMain::openVpnTunnelUp);
    connect(connection, &ConnectionEngine::tunnelDropped, this,
            [this](ConnectionEngine::Reason reason, const QString& detail) {
                openVpnTunnelDropped(describe(reason, detail));
            });
    connect(connection, &ConnectionEngine::logLine, this, &LumtarMain::appendConnectionLog);
    connect(connection, &ConnectionEngine::dialChanged, this, &LumtarMain::followWorker);
    connect(connection->certificateManager(), SIGNAL(finished(QNetworkReply*)), this,
            SLOT(OpenVPNConnectStage1(QNetworkReply*)));
    connect(connection->configManager(), SIGNAL(finished(QNetworkReply*)), this,
            SLOT(OpenVPNConnectStage2(QNetworkReply*)));
}

void LumtarMain::openVpnAttemptFailed(const AttemptFailure& failure)
{
    appendConnectionLog(logged(QStringLiteral("Attempt failed: "), failure));
    if (model->quickStage() > 0) {
        QuickConnectNextStage();
        return;
    }
    view->setStatus(failure.status);
    view->setBusy(false);
    on_disconnect_clicked();
    // The status line is soon rewritten by the account refresh; the box says it for good.
    view->setStatus(failure.status);
    processPendingEvents();
    offerConnectionLog = true;
    messageBox(QMessageBox::Critical, failure.title, failure.text);
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

void LumtarMain::openVpnTunnelDropped(const AttemptFailure& failure)
{
    stopWatchingTunnel();
    appendConnectionLog(logged(QStringLiteral("Tunnel lost: "), failure));
    if (model->connection() == WindowState::Connection::Connected)
        handleDrop();
    else if (model->connection() == WindowState::Connection::InProgress)
        openVpnAttemptFailed(failure); // lost before the address check confirmed it
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
