// The tray icon as the user sees it: an icon for each state of the connection, a tooltip with the
// server and the time connected, and a menu to connect, disconnect, show the window and quit.
#ifndef CORVANE_TRAYVIEW_H
#define CORVANE_TRAYVIEW_H

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QSystemTrayIcon;

class TrayView : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Disconnected,
        Connecting, // an attempt or a redial runs
        Connected,
        Blocked, // the internet is blocked outside the tunnel
    };
    Q_ENUM(State)

    // Puts Connect and Disconnect above the menu's entries.
    TrayView(QSystemTrayIcon* icon, QMenu* menu, QObject* parent = nullptr);

    State state() const { return current; }
    // `server` is the one connected or being connected to.
    void setState(State state, const QString& server = QString());
    // While connected: how long, for the tooltip.
    void setConnectedTime(const QString& text);
    // The server Connect goes to; empty leaves Connect off.
    void setConnectTarget(const QString& server);

    // The texts again, in the language now installed.
    void retranslate() { refresh(); }

    QString toolTip() const;
    QAction* connectAction() const { return connectEntry; }
    QAction* disconnectAction() const { return disconnectEntry; }
    // The icon's resource for a state.
    static QString iconResource(State state);

signals:
    void connectRequested();
    void disconnectRequested();

private:
    void refresh();

    QSystemTrayIcon* icon;
    QAction* connectEntry;
    QAction* disconnectEntry;
    State current = State::Disconnected;
    QString server;
    QString target;
    QString time;
};

#endif
