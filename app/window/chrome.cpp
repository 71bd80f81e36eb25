// Window chrome: dragging the frameless window, the title-strip buttons, the tray and closing.
#include "app/lumtarmain.h"
#include "app/qtcompat.h"
#include "app/trayview.h"
#include "core/settingskeys.h"
#include "ui_lumtarmain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>

#include <initializer_list>

void LumtarMain::setUpTray()
{
    showAction = new QAction(tr("&Show Application"), this);
    connect(showAction, SIGNAL(triggered()), this, SLOT(application_maximize()));
    quitAction = new QAction(tr("&Quit"), this);
    connect(quitAction, SIGNAL(triggered()), this, SLOT(on_application_close_clicked()));
    trayMenu = new QMenu(this);
    trayMenu->addAction(showAction);
    trayMenu->addAction(quitAction);
    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setContextMenu(trayMenu);
    trayIcon->setIcon(QIcon(QStringLiteral(":/lumtar.png")));
    trayIcon->setVisible(true);
    connect(trayIcon, SIGNAL(activated(QSystemTrayIcon::ActivationReason)), this,
            SLOT(trayIconClicked(QSystemTrayIcon::ActivationReason)));

    tray = new TrayView(trayIcon, trayMenu, this);
    tray->setObjectName(QStringLiteral("trayView"));
    // Connect goes to the server the user last connected to, chosen in the lists again.
    connect(tray, &TrayView::connectRequested, this, [this] {
        const QString server = QSettings().value(SettingsKeys::lastServer).toString();
        if (ui->servers->currentText() != server) {
            ui->serverSearch->clear();
            const int line = ui->servers->findText(server, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (line < 0)
                return;
            ui->servers->setCurrentIndex(line);
        }
        on_connect_clicked();
    });
    connect(tray, &TrayView::disconnectRequested, this, &LumtarMain::on_disconnect_clicked);
}

namespace {
// Quitting ends the tunnel: the user is told before they confirm.
QString exitQuestion(const ConnectionController* connection)
{
    using State = ConnectionController::State;
    const State state = connection->state();
    if (state == State::Connected || state == State::Reconnecting)
        return LumtarMain::tr("You are connected to %1. Quitting closes the VPN connection.\n\nAre you sure "
                              "you want to exit?")
            .arg(connection->server().name);
    if (state == State::Preparing || state == State::Connecting)
        return LumtarMain::tr("A connection to %1 is being made. Quitting stops it.\n\nAre you sure you want "
                              "to exit?")
            .arg(connection->server().name);
    return LumtarMain::tr("Are you sure you want to exit?");
}
} // namespace

void LumtarMain::mousePressEvent(QMouseEvent* event)
{
    dragOffsetX = event->pos().x();
    dragOffsetY = event->pos().y();
}

void LumtarMain::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = globalPointerPosition(event);
    move(at.x() - dragOffsetX, at.y() - dragOffsetY);
}

void LumtarMain::on_application_minimize_clicked()
{
    setWindowState(Qt::WindowMinimized);
}

void LumtarMain::on_application_close_clicked()
{
    // exit(), not quit(): Qt 6's quit() first closes the window, whose close event would ask again.
    if (questionBox(tr("Close Confirmation?"), exitQuestion(connection)) == QMessageBox::Yes)
        QApplication::exit(0);
}

void LumtarMain::application_maximize()
{
    show();
    showNormal();
    activateWindow();
}

void LumtarMain::trayIconClicked(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        application_maximize();
}

void LumtarMain::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (questionBox(tr("Application close"), exitQuestion(connection)) == QMessageBox::Yes)
        event->accept();
}

void LumtarMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslateKeepingLists();
}

// Retranslating resets the lists to their placeholder items and every text to the form's own;
// the lists filled from the service, the state store and the texts the client wrote must
// survive a language change, so they are put back afterwards.
void LumtarMain::retranslateKeepingLists()
{
    QList<QPair<QLineEdit*, QString>> fields;
    for (QLineEdit* field : findChildren<QLineEdit*>())
        fields << qMakePair(field, field->text());
    QList<QPair<QLabel*, QString>> labels;
    for (QLabel* label : std::initializer_list<QLabel*>{
             ui->authstatus, ui->statuslabel, ui->application_version, ui->application_version_2,
             ui->connecting_title, ui->connecting_message, ui->connected_title, ui->connected_message,
             ui->user_email, ui->user_plan, ui->user_expire, ui->connected_server, ui->connected_protocol,
             ui->connected_time, ui->connected_address, ui->connected_traffic, ui->about_version})
        labels << qMakePair(label, label->text());
    QList<QPair<QAbstractButton*, QString>> buttons;
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(ui->buy), static_cast<QAbstractButton*>(ui->connect)})
        buttons << qMakePair(button, button->text());

    struct Saved
    {
        QComboBox* box;
        QStringList texts;
        QVariantList data;
        int current;
    };
    QList<Saved> saved;
    for (QComboBox* box : {ui->servers, ui->protocols, ui->type, ui->payment_processor, ui->payment_plan}) {
        Saved s{box, {}, {}, box->currentIndex()};
        for (int i = 0; i < box->count(); ++i) {
            s.texts << box->itemText(i);
            s.data << box->itemData(i);
        }
        saved << s;
    }
    ui->retranslateUi(this);
    for (const Saved& s : saved) {
        const QSignalBlocker blocker(s.box);
        s.box->clear();
        for (int i = 0; i < s.texts.size(); ++i)
            s.box->addItem(s.texts.at(i), s.data.at(i));
        s.box->setCurrentIndex(s.current);
    }
    for (const auto& field : qAsConst(fields))
        field.first->setText(field.second);
    for (const auto& label : qAsConst(labels))
        label.first->setText(label.second);
    for (const auto& button : qAsConst(buttons))
        button.first->setText(button.second);
    showAction->setText(tr("&Show Application"));
    quitAction->setText(tr("&Quit"));
    tray->retranslate();
    showSettings();
}
