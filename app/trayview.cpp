#include "app/trayview.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

TrayView::TrayView(QSystemTrayIcon* trayIcon, QMenu* menu, QObject* parent)
    : QObject(parent), icon(trayIcon), connectEntry(new QAction(menu)), disconnectEntry(new QAction(menu))
{
    connectEntry->setObjectName(QStringLiteral("trayConnect"));
    disconnectEntry->setObjectName(QStringLiteral("trayDisconnect"));
    QAction* first = menu->actions().value(0);
    menu->insertAction(first, connectEntry);
    menu->insertAction(first, disconnectEntry);
    menu->insertSeparator(first);
    connect(connectEntry, &QAction::triggered, this, &TrayView::connectRequested);
    connect(disconnectEntry, &QAction::triggered, this, &TrayView::disconnectRequested);
    refresh();
}

QString TrayView::iconResource(State state)
{
    switch (state) {
    case State::Connecting:
        return QStringLiteral(":/resources/tray-connecting.png");
    case State::Connected:
        return QStringLiteral(":/resources/tray-connected.png");
    case State::Blocked:
        return QStringLiteral(":/resources/tray-blocked.png");
    case State::Disconnected:
        break;
    }
    return QStringLiteral(":/resources/tray-disconnected.png");
}

void TrayView::setState(State state, const QString& name)
{
    current = state;
    server = name;
    if (state != State::Connected)
        time.clear();
    refresh();
}

void TrayView::setConnectedTime(const QString& text)
{
    time = text;
    icon->setToolTip(toolTip());
}

void TrayView::setConnectTarget(const QString& name)
{
    target = name;
    refresh();
}

QString TrayView::toolTip() const
{
    switch (current) {
    case State::Connecting:
        return tr("Corvane: connecting to %1").arg(server);
    case State::Connected:
        return time.isEmpty() ? tr("Corvane: connected to %1").arg(server)
                              : tr("Corvane: connected to %1\n%2").arg(server, time);
    case State::Blocked:
        return tr("Corvane: internet blocked until the VPN connects");
    case State::Disconnected:
        break;
    }
    return tr("Corvane: not connected");
}

void TrayView::refresh()
{
    icon->setIcon(QIcon(iconResource(current)));
    icon->setToolTip(toolTip());
    const bool running = current == State::Connecting || current == State::Connected;
    connectEntry->setText(target.isEmpty() ? tr("&Connect") : tr("&Connect to %1").arg(target));
    connectEntry->setEnabled(!running && !target.isEmpty());
    disconnectEntry->setText(tr("&Disconnect"));
    // A block held after a failure is lifted by a disconnect.
    disconnectEntry->setEnabled(running || current == State::Blocked);
}
