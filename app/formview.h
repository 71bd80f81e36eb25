// The visible widgets of the window, changed by what they mean to the user. The window's slots,
// spread over the subsystems' folders, go through this instead of the form, so only app/ knows
// the form's widgets. State the client reads back lives in WindowState, not here.
#ifndef CORVANE_FORMVIEW_H
#define CORVANE_FORMVIEW_H

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class QAbstractListModel;

namespace Ui {
class LumtarMain;
}

class FormView : public QObject
{
    Q_OBJECT

public:
    // The three lists that choose the server, its protocol and the protocol's profile.
    enum class List
    {
        Servers,
        Protocols,
        Types,
    };

    // The choice shown in the lists, by text and row.
    struct ListChoice
    {
        QString server;
        int serverRow = -1;
        QString protocol;
        int protocolRow = -1;
        QString type;
        int typeRow = -1;
    };

    // The service's numbers of the plan and payment method chosen; 0 for none.
    struct PaymentChoice
    {
        int plan = 0;
        int processor = 0;
    };

    struct NewAccountEntry
    {
        QString firstName;
        QString lastName;
        QString email;
    };

    explicit FormView(Ui::LumtarMain* form, QObject* parent = nullptr);

    // The status line and the busy animation beside it.
    void setStatus(const QString& text);
    void setBusy(bool busy);
    // The address the echo page last reported.
    void setAddress(const QString& text);
    // The small logo and version shown once past the login page.
    void setBranding(bool shown);

    // The login page.
    QString userName() const;
    QString password() const;
    void setUserName(const QString& text);
    void setPassword(const QString& text);
    void clearCredentials();
    // Off, the user name, password and login button take nothing.
    void setLoginEnabled(bool enabled);
    // While a login is under way its button cancels it.
    void setLoginBusy(bool busy);
    void focusUserName();
    void focusPassword();
    bool rememberLogin() const;
    void setRememberLogin(bool remember);
    void showRememberLogin();
    void setLoginStep(const QString& text);
    void setLoginProgress(int percent);
    void setBuyText(const QString& text);

    // The new-account page.
    NewAccountEntry newAccountEntry() const;
    void focusNewAccount();
    void focusNewAccountEmail();
    void setCreateAccountEnabled(bool enabled);

    // The account tab and the tabs that need an enabled account.
    void setAccountInfo(const QString& email, const QString& plan, const QString& expiry);
    // A refill keeps the user's choice where the new lists still hold it.
    void setPaymentChoices(const QList<QPair<QString, int>>& processors,
                           const QList<QPair<QString, int>>& plans);
    PaymentChoice paymentChoice() const;
    void setAccountTabs(bool enabled);
    void showTab(int index);
    void showUserArea();

    // The buttons and pages of a connection.
    void setConnectEnabled(bool enabled);
    void setConnectShown(bool shown);
    void setConnectText(const QString& text);
    void setQuickConnectEnabled(bool enabled);
    void setCancelEnabled(bool enabled);
    void setCancelShown(bool shown);
    void setDisconnectEnabled(bool enabled);
    void setDisconnectShown(bool shown);
    void setLogoutEnabled(bool enabled);
    void setLogoutShown(bool shown);
    void setListsEnabled(bool enabled);
    void setConnectingTexts(const QString& title, const QString& message);
    void setConnectedTexts(const QString& title, const QString& message);

    // The connection log, kept to its last `lines` lines.
    void appendLog(const QString& line, int lines);
    QString logText() const;

    // The hidden copies of the service's documents.
    void storeLoginDocument(const QString& text);
    void storeUserDataDocument(const QString& text);

    // The server lists. Filling keeps the lists' signals quiet; the caller selects and fills
    // what follows once.
    void prepareLists();
    ListChoice listChoice() const;
    void fillList(List list, const QStringList& items);
    // The row showing `text`, preferring `previousRow` when it still shows it; -1 when none does.
    int rowOf(List list, const QString& text, int previousRow) const;
    // Selects `row`, or the first row when `row` is -1 and the list is not empty.
    void selectRow(List list, int row);
    int currentRow(List list) const;
    QString currentText(List list) const;
    void refreshServerToolTip();
    void showFlag(const QString& resource);

    // The search above the server list: the rows of `servers` it shows, in the order given
    // (row numbers of the whole list), and the typed text. Rows not shown cannot be selected.
    QString serverQuery() const;
    void showServerRows(const QVector<int>& rows, const QStringList& favourites);
    // The star beside the list: whether the current server is a favourite.
    void setFavourite(bool favourite);
    // Why connect cannot start for the current choice; empty enables the button.
    void setConnectRefusal(const QString& reason);

    // The connected page: what the connection is and how it goes.
    void setConnectedDetails(const QString& server, const QString& protocol);
    void setConnectedTime(const QString& text);
    void setConnectedAddress(const QString& text);
    void setConnectedTraffic(const QString& text);

    // Focus is drawn on every control the keyboard reaches; Enter on the auto-login box ticks it.
    void markKeyboardFocus();

signals:
    // The user typed into the user name or the password.
    void credentialsEdited();

private:
    Ui::LumtarMain* ui;
    // The server list's rows, of which the search shows some.
    QAbstractListModel* serverModel = nullptr;
    QString connectRefusal;
};

#endif
