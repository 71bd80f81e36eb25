// The settings page, the about page and the connection log: the user's choices are stored under
// their own keys and applied at once; the about page offers the version check.
#include "app/connectionlog.h"
#include "app/desktopintegration.h"
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/translations.h"
#include "app/windowstate.h"
#include "connection/killswitch.h"
#include "connection/trafficrules.h"
#include "core/clientsettings.h"
#include "core/settingsfile.h"
#include "core/settingskeys.h"
#include "ui_lumtarmain.h"
#include "update/updater.h"

#include <QApplication>
#include <QComboBox>
#include <QSettings>

namespace {

void fill(QComboBox* list, const QList<QPair<QString, QString>>& items, const QString& current)
{
    const QSignalBlocker blocker(list);
    list->clear();
    for (const auto& item : items)
        list->addItem(item.first, item.second);
    list->setCurrentIndex(qMax(0, list->findData(current)));
    list->setToolTip(list->currentText());
}

} // namespace

void LumtarMain::setUpSettings()
{
    ui->about_version->setText(tr("Version %1").arg(appVersion));
    showSettings();
}

void LumtarMain::showSettings()
{
    ui->startAtLogin->setChecked(startsAtLogin());
    ui->connectAtStart->setChecked(ClientSettings::connectAtStart());
    fill(ui->killSwitch,
         {{tr("Block the internet while reconnecting"), killSwitchSettingText(KillSwitchMode::Reconnect)},
          {tr("Block the internet unless connected"), killSwitchSettingText(KillSwitchMode::Always)},
          {tr("Never block the internet"), killSwitchSettingText(KillSwitchMode::Off)}},
         killSwitchSettingText(connection->killSwitch()->mode()));
    fill(ui->preferredProtocol,
         {{tr("Automatic"), QString()},
          {QStringLiteral("PPTP"), QStringLiteral("PPTP")},
          {QStringLiteral("L2TP"), QStringLiteral("L2TP")},
          {QStringLiteral("OpenVPN"), QStringLiteral("OpenVPN")}},
         ClientSettings::preferredProtocol());
    // Each language in its own words, so a user who cannot read the current one finds theirs.
    fill(ui->language,
         {{tr("System language"), QString()},
          {QStringLiteral("English"), QStringLiteral("en")},
          {QStringLiteral("Deutsch"), QStringLiteral("de")}},
         ClientSettings::language());
}

// Every change of the settings page ends here.
void LumtarMain::settingsChanged()
{
    showSettings();
    QString path;
    const SettingsSaved saved = saveSettings(&path);
    if (saved != SettingsSaved::Yes)
        messageBox(QMessageBox::Warning, tr("Settings not saved"),
                   tr("Your choice could not be saved in %1 (%2). It applies while Corvane runs and is saved "
                      "with the next change that can be written.")
                       .arg(path, saved == SettingsSaved::DiskFull ? tr("the disk is full")
                                                                   : tr("the file cannot be written")));
}

void LumtarMain::on_startAtLogin_clicked()
{
    if (!setStartAtLogin(ui->startAtLogin->isChecked()))
        view->setStatus(tr("The start at login could not be changed."));
    settingsChanged();
}

void LumtarMain::on_connectAtStart_clicked()
{
    ClientSettings::setConnectAtStart(ui->connectAtStart->isChecked());
    settingsChanged();
}

void LumtarMain::on_killSwitch_activated(int index)
{
    // The kill switch stores its mode and applies it to what is in force now.
    connection->killSwitch()->setMode(killSwitchModeFromSetting(ui->killSwitch->itemData(index)));
    settingsChanged();
}

void LumtarMain::on_preferredProtocol_activated(int index)
{
    ClientSettings::setPreferredProtocol(ui->preferredProtocol->itemData(index).toString());
    settingsChanged();
}

void LumtarMain::on_language_activated(int index)
{
    const QString code = ui->language->itemData(index).toString();
    ClientSettings::setLanguage(code);
    // The window retranslates itself on the change this sends.
    replaceTranslations(*QCoreApplication::instance(), code.isEmpty() ? QLocale::system() : QLocale(code));
    settingsChanged();
}

void LumtarMain::on_showLog_clicked()
{
    showConnectionLog(this, view->logText());
}

void LumtarMain::on_showAbout_clicked()
{
    model->showPage(WindowState::Page::About);
    view->setBranding(true);
}

void LumtarMain::on_about_back_clicked()
{
    model->showPage(WindowState::Page::Tabs);
}

void LumtarMain::on_checkUpdates_clicked()
{
    updateAsked = true;
    view->setStatus(tr("checking for updates..."));
    updater->check();
}

void LumtarMain::on_aboutQt_clicked()
{
    QApplication::aboutQt();
}

// Once the automatic login has brought the account, the last server the user chose, if they
// asked for it on the settings page.
void LumtarMain::connectAtStartIfChosen()
{
    if (!autoLoginRunning)
        return;
    autoLoginRunning = false;
    const QString server = QSettings().value(SettingsKeys::lastServer).toString();
    if (!ClientSettings::connectAtStart() || server.isEmpty() || !model->accountEnabled() ||
        connection->state() != ConnectionController::State::Idle)
        return;
    if (ui->servers->currentText() != server)
        return;
    view->showTab(1);
    on_connect_clicked();
}
