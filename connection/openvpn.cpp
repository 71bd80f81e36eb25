// OpenVPN attempts: download the certificate and configuration, write the work files and
// start the OpenVPN program. The IP-echo check tells when the tunnel is up.
#include "app/lumtarmain.h"

#include "connection/openvpnconfig.h"
#include "connection/workfiles.h"
#include "monitor/addresscut.h"
#include "service/network.h"
#include "ui_lumtarmain.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>

namespace {
const char attemptProperty[] = "corvaneOpenVpnAttempt";
const QString certificateFile = QStringLiteral("include/certificate.crt");
const QString configFile = QStringLiteral("include/config.ovpn");
const QString authFile = QStringLiteral("include/auth.conf");
// A killed program ends at once; this only bounds the wait should the system hang.
constexpr int programEndWaitMs = 3000;

QString withStage(const QString& stage, const QString& separator, const QString& text)
{
    return stage.isEmpty() ? text : stage + separator + text;
}
} // namespace

bool LumtarMain::openVpnReplyIsCurrent(QNetworkReply* reply) const
{
    return reply->property(attemptProperty).toULongLong() == openVpnAttempt;
}

QNetworkReply* LumtarMain::fetchOpenVpnFile(QNetworkAccessManager* manager, const QString& address)
{
    const QUrl url(address, QUrl::TolerantMode);
    // A tampered list must not copy local files (file:, qrc:) into the tunnel set-up.
    const QUrl target = isWebUrl(url) ? url : QUrl(QStringLiteral("invalid:refused"));
    QNetworkReply* reply = getCapped(manager, noCacheRequest(target));
    reply->setProperty(attemptProperty, openVpnAttempt);
    return reply;
}

void LumtarMain::OpenVPNConnectStage0()
{
    ++openVpnAttempt;
    ui->cancel->setEnabled(false);
    fetchOpenVpnFile(openVpnStage1Manager, ui->server_certificate->text());
    const QString stage = quickStageText(ui->quick_stage->text(), ui->quick_servers->text());
    ui->authstatus->setText(withStage(stage, QStringLiteral(" "), tr("downloading OpenVPN certificate...")));
    processPendingEvents();
}

void LumtarMain::OpenVPNConnectStage1(QNetworkReply* reply)
{
    reply->deleteLater();
    // A reply of an attempt that has already ended writes nothing and starts nothing.
    if (!openVpnReplyIsCurrent(reply))
        return;
    removeOpenVPNfiles();
    const std::optional<QByteArray> body =
        reply->error() == QNetworkReply::NoError ? readCappedBody(reply) : std::nullopt;
    if (!body) {
        openVpnAttemptFailed(tr("certificate download error"));
        return;
    }
    QDir().mkpath(QStringLiteral("include"));
    if (!writeWorkFile(certificateFile, *body)) {
        openVpnAttemptFailed(tr("cannot write OpenVPN files"));
        return;
    }
    const QString stage = quickStageText(ui->quick_stage->text(), ui->quick_servers->text());
    ui->authstatus->setText(
        withStage(stage, QStringLiteral(" "), tr("downloading OpenVPN profile config...")));
    processPendingEvents();
    if (!openVpnReplyIsCurrent(reply))
        return;
    fetchOpenVpnFile(openVpnStage2Manager, ui->server_config->text());
}

void LumtarMain::OpenVPNConnectStage2(QNetworkReply* reply)
{
    reply->deleteLater();
    if (!openVpnReplyIsCurrent(reply))
        return;
    const std::optional<QByteArray> body =
        reply->error() == QNetworkReply::NoError ? readCappedBody(reply) : std::nullopt;
    if (!body) {
        openVpnAttemptFailed(tr("config download error"));
        return;
    }
    // The configuration comes over plain HTTP and the program runs with administrator rights:
    // nothing in it may run programs, load code or touch other files.
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(*body);
    if (!verdict.accepted) {
        removeOpenVPNfiles();
        openVpnAttemptFailed(tr("OpenVPN configuration refused: ") + verdict.reason, true);
        // The status line is soon rewritten by the account refresh; a refusal must be seen.
        if (fieldNumber(ui->quick_stage->text()) <= 0)
            showCritical(tr("OpenVPN configuration refused"),
                         tr("The configuration of this server holds a setting that could run "
                            "programs or change files on this computer (") +
                             verdict.reason +
                             tr("), so it was not used. Please choose another server or protocol."));
        return;
    }
    const QByteArray credentials =
        ui->username->text().toUtf8() + textLineEnd() + ui->password->text().toUtf8();
    if (!writeWorkFile(configFile, *body) || !writePrivateFile(authFile, credentials)) {
        removeOpenVPNfiles();
        openVpnAttemptFailed(tr("cannot write OpenVPN files"));
        return;
    }
    const QString stage = quickStageText(ui->quick_stage->text(), ui->quick_servers->text());
    ui->authstatus->setText(withStage(stage, QStringLiteral(": "), tr("starting connection")));
    processPendingEvents();
    if (!openVpnReplyIsCurrent(reply))
        return;

    // The program of an earlier attempt was killed, but its end may not have been handled yet;
    // QProcess would then refuse the new start and this attempt would silently never run.
    if (openVpnProcess->state() != QProcess::NotRunning) {
        openVpnProcess->kill();
        openVpnProcess->waitForFinished(programEndWaitMs);
    }
    const QString base = QDir::currentPath();
    openVpnProcess->setWorkingDirectory(base + QStringLiteral("/openvpn/"));
    // Qt changes into the working directory before it runs the program, so the program is
    // named by its absolute path. The late --script-security wins over anything in the file.
    openVpnProcess->start(base + QLatin1Char('/') + openVpnProgramPath(),
                          {QStringLiteral("--config"), QStringLiteral("../include/config.ovpn"),
                           QStringLiteral("--script-security"), QStringLiteral("1"), QStringLiteral("--ca"),
                           QStringLiteral("../include/certificate.crt"), QStringLiteral("--auth-user-pass"),
                           QStringLiteral("../include/auth.conf"), QStringLiteral("--log"),
                           QStringLiteral("../include/openvpn.log")},
                          QIODevice::ReadWrite);
    ui->cancel->setEnabled(true);
}

void LumtarMain::removeOpenVPNfiles()
{
    QFile::remove(authFile);
    QFile::remove(certificateFile);
    QFile::remove(configFile);
}

void LumtarMain::openVpnAttemptFailed(const QString& statusText, bool keepText)
{
    if (fieldNumber(ui->quick_stage->text()) > 0) {
        QuickConnectNextStage();
        return;
    }
    ui->authstatus->setText(statusText);
    ui->loading->hide();
    on_disconnect_clicked();
    if (keepText)
        ui->authstatus->setText(statusText);
    processPendingEvents();
}
