// OpenVPN attempts and what an ended attempt tells the user: the stage slots hand the work to the
// connection controller's engine; the failure box and the connection log are shown here.
#include "app/connectionlog.h"
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "connection/errortexts.h"
#include "connection/killswitch.h"
#include "core/clock.h"

#include <QVariant>

using Reason = ConnectionController::Reason;

namespace {
// The connection log keeps this many lines; older ones go.
constexpr int connectionLogLines = 2000;

struct FailureTexts
{
    QString status;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Critical;
};

} // namespace

// Why an attempt or a connection ended, in words.
QString reasonText(Reason reason)
{
    switch (reason) {
    case Reason::None:
        return QString();
    case Reason::UserRequest:
        return LumtarMain::tr("the user ended it");
    case Reason::AccountDisabled:
        return LumtarMain::tr("the account may not use VPN connections");
    case Reason::NoProfile:
        return LumtarMain::tr("the server offers no OpenVPN profile");
    case Reason::NoProtocol:
        return LumtarMain::tr("the server offers no protocol this application can use");
    case Reason::PreviousDialEnding:
        return LumtarMain::tr("the previous attempt was still ending");
    case Reason::DialFailed:
        return LumtarMain::tr("the dial failed");
    case Reason::TimedOut:
        return LumtarMain::tr("no tunnel within 30 seconds");
    case Reason::CertificateDownload:
        return LumtarMain::tr("the certificate could not be downloaded");
    case Reason::ConfigDownload:
        return LumtarMain::tr("the configuration could not be downloaded");
    case Reason::ConfigRefused:
        return LumtarMain::tr("the configuration asks for something not allowed");
    case Reason::FilesNotWritten:
        return LumtarMain::tr("the work files could not be written");
    case Reason::UnsafeInstallation:
        return LumtarMain::tr("others may change the OpenVPN program or its folder");
    case Reason::ProgramNotStarted:
        return LumtarMain::tr("the OpenVPN program could not be started");
    case Reason::CredentialsUnusable:
        return LumtarMain::tr("the user name or password holds a line break");
    case Reason::AuthFailed:
        return LumtarMain::tr("the VPN server refused the user name or password");
    case Reason::ProgramFailed:
        return LumtarMain::tr("the OpenVPN program gave up");
    case Reason::TunnelLost:
        return LumtarMain::tr("the tunnel went down");
    case Reason::AddressChanged:
        return LumtarMain::tr("the public address is no longer the server's");
    case Reason::KeptDropping:
        return LumtarMain::tr("the connection kept dropping");
    case Reason::AccountExpired:
        return LumtarMain::tr("the account has expired");
    case Reason::ComputerSlept:
        return LumtarMain::tr("the computer was asleep");
    }
    return QString();
}

namespace {

FailureTexts describe(const ConnectionController::Server& server,
                      const ConnectionController::Outcome& outcome)
{
    const QString& detail = outcome.detail;
    FailureTexts texts{LumtarMain::tr("cannot establish connection"), LumtarMain::tr("Cannot connect"),
                       QString()};
    switch (outcome.reason) {
    case Reason::DialFailed:
        texts.status.clear();
        texts.icon = QMessageBox::Information;
        texts.title = LumtarMain::tr("Corvane | PPP Error Code ") + QString::number(outcome.dialCode);
        texts.text = pppErrorText(outcome.dialCode) +
                     LumtarMain::tr(" \nTry to connect again. \n\nIf this problem persists, choose to "
                                    "connect using another protocol on ") +
                     server.name + LumtarMain::tr(" server or/and another server.");
        break;
    case Reason::TimedOut:
        texts.icon = QMessageBox::Information;
        texts.text =
            LumtarMain::tr("Cannot connect to this server. You can try again to connect using another "
                           "available configuration for this server or can use another one.");
        break;
    case Reason::CertificateDownload:
    case Reason::ConfigDownload: {
        const bool certificate = outcome.reason == Reason::CertificateDownload;
        texts.status = certificate ? LumtarMain::tr("certificate download error")
                                   : LumtarMain::tr("config download error");
        texts.title = LumtarMain::tr("OpenVPN download failed");
        texts.text =
            LumtarMain::tr("The OpenVPN %1 of this server could not be downloaded (%2). Please try "
                           "again later or choose another server.")
                .arg(certificate ? LumtarMain::tr("certificate") : LumtarMain::tr("configuration"), detail);
        break;
    }
    case Reason::ConfigRefused:
        texts.status = LumtarMain::tr("OpenVPN configuration refused: ") + detail;
        texts.title = LumtarMain::tr("OpenVPN configuration refused");
        texts.text =
            LumtarMain::tr("The configuration of this server holds a setting that could run programs "
                           "or change files on this computer (") +
            detail + LumtarMain::tr("), so it was not used. Please choose another server or protocol.");
        break;
    case Reason::AuthFailed:
        texts.status = LumtarMain::tr("user name or password refused");
        texts.text =
            LumtarMain::tr("The VPN server refused the user name or password. Please check them, log "
                           "in again and connect again.");
        break;
    case Reason::KeptDropping:
        texts.title = LumtarMain::tr("Connection dropped");
        texts.text = LumtarMain::tr("The connection to ") + server.name +
                     LumtarMain::tr(" kept dropping, so no further attempt is made. Please connect again "
                                    "or choose another server.");
        break;
    case Reason::PreviousDialEnding:
        texts.text =
            LumtarMain::tr("The previous connection attempt is still ending. Please wait a moment and "
                           "connect again.");
        break;
    default:
        // The program's own words where it said something, ours where it did not.
        texts.text = LumtarMain::tr("The OpenVPN connection could not be set up: ") +
                     (detail.isEmpty() ? reasonText(outcome.reason) : detail) + QLatin1Char('.');
        break;
    }
    return texts;
}
} // namespace

void LumtarMain::OpenVPNConnectStage0()
{
    on_connect_clicked();
}

void LumtarMain::OpenVPNConnectStage1(QNetworkReply* reply)
{
    connection->engine()->certificateArrived(reply);
}

void LumtarMain::OpenVPNConnectStage2(QNetworkReply* reply)
{
    connection->engine()->configArrived(reply);
}

void LumtarMain::removeOpenVPNfiles()
{
    connection->engine()->removeWorkFiles();
}

// The box for an attempt or connection that ended for good, with the way to the log.
void LumtarMain::showConnectionFailure()
{
    const FailureTexts texts = describe(connection->server(), connection->outcome());
    appendConnectionLog(tr("The attempt to %1 failed: %2")
                            .arg(connection->server().name, outcomeText(connection->outcome())));
    if (!texts.status.isEmpty())
        view->setStatus(texts.status);
    showHeldBlock();
    offerConnectionLog = true;
    messageBox(texts.icon, texts.title, texts.text + blockNote());
    offerConnectionLog = false;
}

// What became of the kill switch's block when a connection ended for good, for its box.
QString LumtarMain::blockNote() const
{
    const KillSwitch* block = connection->killSwitch();
    switch (block->state()) {
    case KillSwitch::State::Lifted:
        // With the setting off only name servers and IPv6 outside the tunnel were held.
        if (block->mode() == KillSwitchMode::Off)
            return QString();
        return tr("\n\nThe internet is no longer blocked.");
    case KillSwitch::State::Blocking:
        return tr("\n\nThe internet stays blocked until the VPN connects or you disconnect.");
    default:
        return QString();
    }
}

void LumtarMain::appendConnectionLog(const QString& text)
{
    const QString line = Clock::current().now().toString(QStringLiteral("HH:mm:ss ")) + text;
    view->appendLog(line, connectionLogLines);
    appendToConnectionLog(this, line);
}

QString outcomeText(const ConnectionController::Outcome& outcome)
{
    QString text = reasonText(outcome.reason);
    if (outcome.reason == Reason::DialFailed)
        text += QStringLiteral(" (%1): %2").arg(outcome.dialCode).arg(pppErrorText(outcome.dialCode));
    else if (!outcome.detail.isEmpty())
        text += QStringLiteral(" (") + outcome.detail + QLatin1Char(')');
    return text;
}
