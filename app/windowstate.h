// The window's state as values. Each setter also writes the value's text into the hidden field
// the form keeps for it, so anyone reading the form by object name sees the state, but the
// client itself never reads a field back.
#ifndef CORVANE_WINDOWSTATE_H
#define CORVANE_WINDOWSTATE_H

#include "connection/connectioncontroller.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace Ui {
class LumtarMain;
}

class WindowState : public QObject
{
    Q_OBJECT

public:
    // The pages that replace one another; exactly one is shown.
    enum class Page
    {
        Login,
        NewAccount,
        Tabs,
        Connecting,
        Connected,
        PaymentInProgress,
        About,
    };
    Q_ENUM(Page)

    // The chosen server, protocol and profile.
    using Server = ConnectionController::Server;

    explicit WindowState(Ui::LumtarMain* form, QObject* parent = nullptr);

    // The connection controller's state, written into the hidden field in the design's words.
    ConnectionController::State connection() const { return connectionState; }
    void setConnection(ConnectionController::State state);
    static QString connectionText(ConnectionController::State state);

    // The Quick Connect run: 0 when none runs, otherwise the 1-based entry being tried.
    int quickStage() const { return stage; }
    void setQuickStage(int entry);
    bool quickRunning() const { return stage > 0; }
    // The service's list of ready-made entries, as it sent it.
    const QString& quickServers() const { return quickList; }
    void setQuickServers(const QString& entries);

    const Server& server() const { return chosen; }
    void setServer(const Server& server);
    void setServerName(const QString& value);
    void setServerIp(const QString& value);
    void setServerAssignedIp(const QString& value);
    void setServerProtocol(const QString& value);
    void setServerPreSharedKey(const QString& value);
    void setServerCertificate(const QString& value);
    void setServerConfig(const QString& value);

    // What the account details said of the account's right to connect, verbatim.
    const QString& accountFlag() const { return enabledFlag; }
    bool accountEnabled() const { return !enabledFlag.isEmpty() && enabledFlag != QLatin1String("0"); }
    void setAccountFlag(const QString& flag);

    bool paymentInProgress() const { return paying; }
    void setPaymentInProgress(bool inProgress);

    int elapsedSeconds() const { return seconds; }
    void setElapsedSeconds(int value);

    Page page() const { return shown; }
    void showPage(Page page);

private:
    Ui::LumtarMain* ui;
    ConnectionController::State connectionState = ConnectionController::State::Idle;
    int stage = 0;
    QString quickList;
    Server chosen;
    QString enabledFlag;
    bool paying = false;
    int seconds = 0;
    Page shown = Page::Login;
};

#endif
