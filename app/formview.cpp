#include "app/formview.h"

#include "app/elidedlabel.h"
#include "ui_lumtarmain.h"

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSet>
#include <QSignalBlocker>
#include <QStyle>
#include <QStylePainter>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>

#include <cmath>

namespace {

const QLatin1String neutralFlag(":/resources/flags/none.png");

QComboBox* widget(Ui::LumtarMain* ui, FormView::List list)
{
    switch (list) {
    case FormView::List::Servers:
        return ui->servers;
    case FormView::List::Protocols:
        return ui->protocols;
    case FormView::List::Types:
        break;
    }
    return ui->type;
}

bool holds(const QComboBox* list, const QStringList& items)
{
    if (list->count() != items.size())
        return false;
    for (int i = 0; i < items.size(); ++i) {
        if (list->itemText(i) != items.at(i))
            return false;
    }
    return true;
}

QRect textField(const QComboBox* list)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    return list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
}

bool fits(const QWidget* widget, const QString& text, int room)
{
    return widget->fontMetrics().horizontalAdvance(text) <= room;
}

// A text drawn cut is there whole in the tooltip.
void updateToolTip(QComboBox* list)
{
    const QString text = list->currentText();
    list->setToolTip(fits(list, text, textField(list).width() - 2) ? QString() : plainToolTip(text));
}

// Draws a list's current text cut with "…" when it does not fit, where the style would cut
// it off without a sign, and gives the popup's cut items their whole text as a tooltip.
class ElidedText : public QObject
{
public:
    ElidedText(QComboBox* list) : QObject(list), list(list), viewport(list->view()->viewport()) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Compared by address only: while the list is being destroyed it is no combo box any more.
        if (watched == viewport && event->type() == QEvent::ToolTip)
            return itemToolTip(static_cast<QHelpEvent*>(event));
        if (watched != list || event->type() != QEvent::Paint)
            return false;
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        option.frame = list->hasFrame();
        option.subControls = QStyle::SC_All;
        option.iconSize = list->iconSize();
        option.currentIcon = list->itemIcon(list->currentIndex());
        if (list->view()->isVisible())
            option.state |= QStyle::State_On;
        QStylePainter painter(list);
        option.currentText =
            list->fontMetrics().elidedText(list->currentText(), Qt::ElideRight, textField(list).width() - 2);
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
        return true;
    }

private:
    bool itemToolTip(QHelpEvent* event)
    {
        QAbstractItemView* view = list->view();
        const QModelIndex index = view->indexAt(event->pos());
        const QString text = index.data().toString();
        if (!index.isValid() || fits(view, text, view->visualRect(index).width() - 8)) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(event->globalPos(), plainToolTip(text), view->viewport());
        }
        return true;
    }

    QComboBox* list;
    QObject* viewport;
};

// Documents are stored as plain text, never guessed as rich text. Line ends are stored as line
// separators, which keep the document one paragraph (thousands of paragraphs make storing a
// large catalogue slow) and read back as the same line ends.
void storeDocument(QTextBrowser* store, const QString& text)
{
    // One pass over the text: a catalogue of thousands of servers is megabytes long.
    QString kept(text.size(), Qt::Uninitialized);
    const QChar* in = text.constData();
    const QChar* const end = in + text.size();
    QChar* out = kept.data();
    for (; in != end; ++in) {
        if (*in == QLatin1Char('\r')) {
            if (in + 1 != end && in[1] == QLatin1Char('\n'))
                ++in;
            *out++ = QChar::LineSeparator;
        } else if (*in == QLatin1Char('\n')) {
            *out++ = QChar::LineSeparator;
        } else {
            *out++ = *in;
        }
    }
    kept.truncate(int(out - kept.constData()));
    // Straight into the document: the widget's own cursor would lay the text out to place itself.
    store->document()->setPlainText(kept);
}

void fillPaymentList(QComboBox* list, const QList<QPair<QString, int>>& items)
{
    const QVariant chosen = list->currentData();
    list->clear();
    for (const auto& item : items)
        list->addItem(item.first, item.second);
    const int row = chosen.isValid() ? list->findData(chosen) : -1;
    if (row >= 0)
        list->setCurrentIndex(row);
}

// The server list's rows: every server of the catalogue, of which the search shows some, in the
// order it ranks them. Showing another set resets the model, which costs nothing per row.
class ServerListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    const QStringList& items() const { return names; }

    void setItems(const QStringList& items)
    {
        beginResetModel();
        names = items;
        shown.resize(items.size());
        for (int i = 0; i < shown.size(); ++i)
            shown[i] = i;
        favourites.clear();
        endResetModel();
    }

    void show(const QVector<int>& rows, const QStringList& starred)
    {
        beginResetModel();
        shown.clear();
        shown.reserve(rows.size());
        for (int row : rows) {
            if (row >= 0 && row < names.size())
                shown.append(row);
        }
        favourites = QSet<QString>(starred.begin(), starred.end());
        endResetModel();
    }

    // The list row shown at a line of the combo box, and back; -1 where there is none.
    int listRow(int line) const { return line >= 0 && line < shown.size() ? shown.at(line) : -1; }
    int line(int listRow) const { return int(shown.indexOf(listRow)); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(shown.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const int row = listRow(index.row());
        if (row < 0)
            return QVariant();
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return names.at(row);
        if (role == Qt::DecorationRole && !favourites.isEmpty() && favourites.contains(names.at(row)))
            return star();
        return QVariant();
    }

private:
    static QIcon star()
    {
        static const QIcon icon = [] {
            QPixmap pixmap(32, 32);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            QPainterPath path;
            for (int i = 0; i < 10; ++i) {
                const qreal radius = i % 2 ? 6.5 : 15.0;
                const qreal angle = M_PI / 2 + i * M_PI / 5;
                const QPointF point(16 + radius * std::cos(angle), 17 - radius * std::sin(angle));
                i == 0 ? path.moveTo(point) : path.lineTo(point);
            }
            path.closeSubpath();
            painter.fillPath(path, QColor(0xe0, 0xa0, 0x00));
            return QIcon(pixmap);
        }();
        return icon;
    }

    QStringList names;
    QVector<int> shown;
    QSet<QString> favourites;
};

ServerListModel* serverList(QAbstractListModel* model)
{
    return static_cast<ServerListModel*>(model);
}

// Typing into the closed server list searches: the keys go to the search field above it.
class TypeToSearch : public QObject
{
public:
    TypeToSearch(QComboBox* list, QLineEdit* search) : QObject(list), search(search) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.isEmpty() || !text.at(0).isPrint() || (key->modifiers() & ~Qt::ShiftModifier) != 0)
            return false;
        search->setFocus(Qt::OtherFocusReason);
        search->insert(text);
        return true;
    }

private:
    QLineEdit* search;
};

// Enter and Return tick the box as Space does.
class EnterTicks : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        static_cast<QCheckBox*>(watched)->click();
        return true;
    }
};

} // namespace

FormView::FormView(Ui::LumtarMain* form, QObject* parent) : QObject(parent), ui(form)
{
    for (QLineEdit* field : {ui->username, ui->password})
        connect(field, &QLineEdit::textEdited, this, &FormView::credentialsEdited);
    // The search's clear button without the fade of the built-in one, whose frames repaint the
    // whole translucent window for a sixth of a second after the first key of a search.
    QLineEdit* search = ui->serverSearch;
    search->setClearButtonEnabled(false);
    QAction* clear = search->addAction(search->style()->standardIcon(QStyle::SP_LineEditClearButton),
                                       QLineEdit::TrailingPosition);
    clear->setObjectName(QStringLiteral("serverSearchClear"));
    clear->setVisible(!search->text().isEmpty());
    connect(clear, &QAction::triggered, search, [search] {
        search->clear();
        search->setFocus(Qt::OtherFocusReason);
    });
    connect(search, &QLineEdit::textChanged, clear,
            [clear](const QString& text) { clear->setVisible(!text.isEmpty()); });
}

void FormView::setStatus(const QString& text)
{
    ui->authstatus->setText(text);
}

void FormView::setBusy(bool busy)
{
    ui->loading->setVisible(busy);
}

void FormView::setAddress(const QString& text)
{
    ui->ipCurrent->setText(text);
}

void FormView::setBranding(bool shown)
{
    ui->LogoSmall->setVisible(shown);
    ui->application_version->setVisible(shown);
}

QString FormView::userName() const
{
    return ui->username->text();
}

QString FormView::password() const
{
    return ui->password->text();
}

void FormView::setUserName(const QString& text)
{
    ui->username->setText(text);
}

void FormView::setPassword(const QString& text)
{
    ui->password->setText(text);
}

void FormView::clearCredentials()
{
    ui->username->clear();
    ui->password->clear();
}

void FormView::setLoginEnabled(bool enabled)
{
    ui->username->setEnabled(enabled);
    ui->password->setEnabled(enabled);
    ui->autologin->setEnabled(enabled);
    ui->login->setEnabled(enabled);
}

void FormView::setLoginBusy(bool busy)
{
    ui->login->setText(busy ? tr("cancel") : tr("login"));
}

void FormView::focusUserName()
{
    ui->username->setFocus(Qt::OtherFocusReason);
}

void FormView::focusPassword()
{
    ui->password->setFocus(Qt::OtherFocusReason);
}

bool FormView::rememberLogin() const
{
    return ui->autologin->isChecked();
}

void FormView::setRememberLogin(bool remember)
{
    ui->autologin->setChecked(remember);
}

void FormView::showRememberLogin()
{
    ui->autologin->show();
}

void FormView::setLoginStep(const QString& text)
{
    ui->statuslabel->setText(text);
}

void FormView::setLoginProgress(int percent)
{
    ui->progressBar->setValue(percent);
}

void FormView::setBuyText(const QString& text)
{
    ui->buy->setText(text);
}

FormView::NewAccountEntry FormView::newAccountEntry() const
{
    return {ui->NewFirstname->text(), ui->NewLastname->text(), ui->NewEmail->text()};
}

void FormView::focusNewAccount()
{
    ui->NewFirstname->setFocus(Qt::OtherFocusReason);
}

void FormView::focusNewAccountEmail()
{
    ui->NewEmail->setFocus(Qt::OtherFocusReason);
}

FormView::PaymentChoice FormView::paymentChoice() const
{
    return {ui->payment_plan->currentData().toInt(), ui->payment_processor->currentData().toInt()};
}

void FormView::setCreateAccountEnabled(bool enabled)
{
    ui->CreateAccountBtn->setEnabled(enabled);
}

void FormView::setAccountInfo(const QString& email, const QString& plan, const QString& expiry)
{
    ui->user_email->setText(email);
    ui->user_plan->setText(plan);
    ui->user_expire->setText(expiry);
}

void FormView::setPaymentChoices(const QList<QPair<QString, int>>& processors,
                                 const QList<QPair<QString, int>>& plans)
{
    fillPaymentList(ui->payment_processor, processors);
    fillPaymentList(ui->payment_plan, plans);
}

// The account's own tab shows its details or, for a disabled account, the payment offer; the
// server and Quick Connect tabs need an enabled account.
void FormView::setAccountTabs(bool enabled)
{
    ui->tabAccountZoneInfo->setVisible(enabled);
    ui->tabAccountZonePayment->setVisible(!enabled);
    ui->WingetConnected->setTabEnabled(0, enabled);
    ui->WingetConnected->setTabEnabled(1, enabled);
}

void FormView::showTab(int index)
{
    ui->WingetConnected->setCurrentIndex(index);
}

void FormView::showUserArea()
{
    ui->user_area->show();
}

void FormView::setConnectEnabled(bool enabled)
{
    ui->connect->setEnabled(enabled && connectRefusal.isEmpty());
}

void FormView::setConnectShown(bool shown)
{
    ui->connect->setVisible(shown);
}

void FormView::setConnectText(const QString& text)
{
    ui->connect->setText(text);
}

void FormView::setQuickConnectEnabled(bool enabled)
{
    ui->quickConnect->setEnabled(enabled);
}

void FormView::setCancelEnabled(bool enabled)
{
    ui->cancel->setEnabled(enabled);
}

void FormView::setCancelShown(bool shown)
{
    ui->cancel->setVisible(shown);
}

void FormView::setDisconnectEnabled(bool enabled)
{
    ui->disconnect->setEnabled(enabled);
}

void FormView::setDisconnectShown(bool shown)
{
    ui->disconnect->setVisible(shown);
}

void FormView::setLogoutEnabled(bool enabled)
{
    ui->logout->setEnabled(enabled);
}

void FormView::setLogoutShown(bool shown)
{
    ui->logout->setVisible(shown);
}

void FormView::setListsEnabled(bool enabled)
{
    ui->servers->setEnabled(enabled);
    ui->protocols->setEnabled(enabled);
    ui->type->setEnabled(enabled);
}

void FormView::setConnectingTexts(const QString& title, const QString& message)
{
    ui->connecting_title->setText(title);
    ui->connecting_message->setText(message);
}

void FormView::setConnectedTexts(const QString& title, const QString& message)
{
    ui->connected_title->setText(title);
    ui->connected_message->setText(message);
}

void FormView::appendLog(const QString& line, int lines)
{
    // append() would take a line that looks like markup for rich text; lines come from openvpn,
    // NetworkManager and server names, so they go in as text.
    QTextDocument* log = ui->logBrowser->document();
    log->setMaximumBlockCount(lines);
    QTextCursor cursor(log);
    cursor.movePosition(QTextCursor::End);
    if (!log->isEmpty())
        cursor.insertBlock();
    cursor.insertText(line);
}

QString FormView::logText() const
{
    return ui->logBrowser->toPlainText();
}

void FormView::storeLoginDocument(const QString& text)
{
    storeDocument(ui->textBrowser, text);
}

void FormView::storeUserDataDocument(const QString& text)
{
    storeDocument(ui->userdatatext, text);
}

// Sizes come from one item, not from measuring thousands; the popup needs nothing else.
void FormView::prepareLists()
{
    QComboBox* list = ui->servers;
    if (list->property("corvanePrepared").toBool())
        return;
    list->setProperty("corvanePrepared", true);
    serverModel = new ServerListModel(list);
    {
        const QSignalBlocker blocker(list);
        list->setModel(serverModel);
    }
    list->installEventFilter(new TypeToSearch(list, ui->serverSearch));
    auto* elided = new ElidedText(list);
    list->installEventFilter(elided);
    list->view()->viewport()->installEventFilter(elided);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* view = qobject_cast<QListView*>(list->view())) {
        view->setUniformItemSizes(true);
        view->setTextElideMode(Qt::ElideRight);
    }
}

FormView::ListChoice FormView::listChoice() const
{
    return {ui->servers->currentText(),    currentRow(List::Servers), ui->protocols->currentText(),
            ui->protocols->currentIndex(), ui->type->currentText(),   ui->type->currentIndex()};
}

void FormView::fillList(List which, const QStringList& items)
{
    if (which == List::Servers && serverModel) {
        if (serverList(serverModel)->items() != items) {
            const QSignalBlocker blocker(ui->servers);
            serverList(serverModel)->setItems(items);
        }
        return;
    }
    QComboBox* list = widget(ui, which);
    if (holds(list, items))
        return;
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(items);
}

int FormView::rowOf(List which, const QString& text, int previousRow) const
{
    if (which == List::Servers && serverModel) {
        const QStringList& items = serverList(serverModel)->items();
        if (previousRow >= 0 && previousRow < items.size() && items.at(previousRow) == text)
            return previousRow;
        return int(items.indexOf(text));
    }
    const QComboBox* list = widget(ui, which);
    if (previousRow >= 0 && previousRow < list->count() && list->itemText(previousRow) == text)
        return previousRow;
    return list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void FormView::selectRow(List which, int row)
{
    QComboBox* list = widget(ui, which);
    if (which == List::Servers && serverModel)
        row = serverList(serverModel)->line(row);
    if (row < 0 && list->count() > 0)
        row = 0;
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(row);
    updateToolTip(list);
}

int FormView::currentRow(List list) const
{
    const int line = widget(ui, list)->currentIndex();
    if (list == List::Servers && serverModel)
        return serverList(serverModel)->listRow(line);
    return line;
}

QString FormView::currentText(List list) const
{
    return widget(ui, list)->currentText();
}

void FormView::refreshServerToolTip()
{
    updateToolTip(ui->servers);
}

void FormView::showFlag(const QString& resource)
{
    ui->server_icon->setPixmap(QPixmap(QFile::exists(resource) ? resource : QString(neutralFlag)));
}

QString FormView::serverQuery() const
{
    return ui->serverSearch->text();
}

void FormView::showServerRows(const QVector<int>& rows, const QStringList& favourites)
{
    if (!serverModel)
        return;
    const QSignalBlocker blocker(ui->servers);
    serverList(serverModel)->show(rows, favourites);
}

void FormView::setFavourite(bool favourite)
{
    ui->serverFavourite->setChecked(favourite);
    ui->serverFavourite->setEnabled(ui->servers->currentIndex() >= 0);
}

void FormView::setConnectRefusal(const QString& reason)
{
    const bool wasRefused = !connectRefusal.isEmpty();
    connectRefusal = reason;
    ui->connect->setToolTip(reason);
    if (!reason.isEmpty())
        ui->connect->setEnabled(false);
    else if (wasRefused)
        ui->connect->setEnabled(true);
}

void FormView::setConnectedDetails(const QString& server, const QString& protocol)
{
    ui->connected_server->setText(tr("Server: %1").arg(server));
    ui->connected_protocol->setText(tr("Protocol: %1").arg(protocol));
}

void FormView::setConnectedTime(const QString& text)
{
    ui->connected_time->setText(text);
}

void FormView::setConnectedAddress(const QString& text)
{
    ui->connected_address->setText(text);
}

void FormView::setConnectedTraffic(const QString& text)
{
    ui->connected_traffic->setText(text);
}

// The form's own style sheets draw no focus; each control the keyboard reaches gets a frame in
// its own sheet (a parent's rule would lose to the control's own).
void FormView::markKeyboardFocus()
{
    QWidget* window = ui->centralWidget->window();
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const bool reachable = (control->focusPolicy() & Qt::TabFocus) && !control->objectName().isEmpty() &&
                               !control->objectName().startsWith(QLatin1String("qt_"));
        if (!reachable || control->inherits("QTextBrowser") || control->inherits("QTabWidget"))
            continue;
        const QString name = control->objectName();
        QString sheet = control->styleSheet();
        // A sheet of bare declarations takes no rule beside it: it becomes the control's own rule.
        if (!sheet.contains(QLatin1Char('{')))
            sheet = QStringLiteral("#%1 { %2 }").arg(name, sheet);
        control->setStyleSheet(sheet +
                               QStringLiteral("\n#%1:focus { border: 2px solid #e08a00; }").arg(name));
    }
    ui->WingetConnected->setStyleSheet(ui->WingetConnected->styleSheet() +
                                       QStringLiteral("\nQTabBar::tab:focus { border: 2px solid #e08a00; }"));
    ui->autologin->installEventFilter(new EnterTicks(ui->autologin));
}
