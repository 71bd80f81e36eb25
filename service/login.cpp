// Login and logout: the session is the user name and password in the login fields.
#include "app/lumtarmain.h"

#include "app/settingskeys.h"
#include "service/documents.h"
#include "service/endpoints.h"
#include "service/network.h"
#include "service/requests.h"
#include "ui_lumtarmain.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSettings>
#include <QTextBrowser>
#include <QTextDocument>

using namespace service;

void LumtarMain::on_login_clicked()
{
    Login();
}

void LumtarMain::on_username_returnPressed()
{
    Login();
}

void LumtarMain::on_password_returnPressed()
{
    Login();
}

void LumtarMain::on_autologin_clicked()
{
    // The box's state takes effect at the next login.
}

void LumtarMain::on_logout_clicked()
{
    Logout();
}

void LumtarMain::Login()
{
    QSettings settings;
    if (ui->autologin->isChecked()) {
        settings.setValue(SettingsKeys::user, ui->username->text().toUtf8());
        settings.setValue(SettingsKeys::password, ui->password->text().toUtf8());
        settings.setValue(SettingsKeys::remember, QStringLiteral("1"));
    } else {
        settings.setValue(SettingsKeys::user, QString());
        settings.setValue(SettingsKeys::password, QString());
        settings.setValue(SettingsKeys::remember, QStringLiteral("0"));
    }
    ui->username->setText(ui->username->text().trimmed());
    ui->password->setText(ui->password->text().trimmed());
    if (!ui->username->text().isEmpty() && !ui->password->text().isEmpty()) {
        ui->statuslabel->setText(tr("Starting auth process..."));
        ui->progressBar->setValue(15);
        DoHttpGet();
    } else {
        showInformation(tr("Empty Authentication"), tr("Username and/or password missing."));
    }
}

void LumtarMain::DoHttpGet()
{
    ui->authstatus->setText(tr("Wait... login in progress!"));
    const QUrl url = loginUrl(ui->username->text(), passwordKey(ui->password->text()), appVersion);
    getCapped(loginManager, noCacheRequest(url));
}

void LumtarMain::HasFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    const std::optional<QByteArray> body =
        reply->error() == QNetworkReply::NoError ? readCappedBody(reply) : std::nullopt;
    if (!body) {
        setLoginDocument(reply->errorString());
        ui->progressBar->setValue(99);
        ui->authstatus->setText(tr("Not connected!"));
        showCritical(QString(),
                     QStringLiteral("Cannot communicate with Corvane servers. Try temporarily disabling "
                                    "your firewall to see if that helps. If you have any proxy set up, "
                                    "disable it."));
        return;
    }
    setLoginDocument(decodeBody(*body));
    ui->progressBar->setValue(100);
    ui->statuslabel->setText(tr("Login complete!"));

    ui->statuslabel->setText(tr("start XML parse..."));
    for (const LoginVerdict verdict : loginVerdicts(loginDocument)) {
        ui->statuslabel->setText(tr("Getting response!"));
        if (verdict == LoginVerdict::Refused) {
            ui->authstatus->setText(tr("Not connected!"));
            showInformation(tr("Bad username/password"), tr("Wrong username or password. Please try again."));
        } else {
            enterSession();
        }
        ui->statuslabel->setText(tr("start XML parse..."));
    }
}

void LumtarMain::enterSession()
{
    ui->authstatus->setText(tr("Authenticated!"));
    ui->WingetLogin->hide();
    ui->WidgetNewAccount->hide();
    ui->WingetConnected->show();
    ui->WingetConnected->setCurrentIndex(0);
    ui->cancel->hide();
    ui->connect->show();
    ui->disconnect->hide();
    QSettings().setValue(SettingsKeys::usedTrial, QStringLiteral("1"));
    ui->buy->setText(tr("buy package"));
    PopulateServers();
    GetUserData();
}

void LumtarMain::Logout()
{
    QSettings settings;
    ui->autologin->setChecked(false);
    ui->autologin->show();
    settings.setValue(SettingsKeys::user, QString());
    settings.setValue(SettingsKeys::password, QString());
    settings.setValue(SettingsKeys::remember, QStringLiteral("0"));
    ui->user_enabled->clear();
    ui->username->clear();
    ui->password->clear();
    setLoginDocument(QString());
    setUserDataDocument(QStringLiteral("0"));
    ui->authstatus->setText(tr("ready to connect"));
    ui->LogoSmall->hide();
    ui->application_version->hide();
    ui->WidgetNewAccount->hide();
    ui->WingetConnected->hide();
    ui->WingetLogin->show();
    elapsedSeconds = 0;
    processPendingEvents();
}

namespace {
// Documents are stored as plain text, never guessed as rich text. Line ends are stored as line
// separators, which keep the document one paragraph (thousands of paragraphs make storing a
// large catalogue slow) and read back as the same line ends.
void storeDocument(QTextBrowser* store, const QString& text)
{
    QString kept = text;
    kept.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    kept.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    kept.replace(QLatin1Char('\n'), QChar::LineSeparator);
    // Straight into the document: the widget's own cursor would lay the text out to place itself.
    store->document()->setPlainText(kept);
}
} // namespace

// The readers work on the text as it came, kept beside the widget.
void LumtarMain::setLoginDocument(const QString& text)
{
    storeDocument(ui->textBrowser, text);
    loginDocument = text;
    parsedCatalogue.reset();
}

void LumtarMain::setUserDataDocument(const QString& text)
{
    storeDocument(ui->userdatatext, text);
    userDataDocument = text;
}
