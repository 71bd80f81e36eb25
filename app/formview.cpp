#include "app/formview.h"

#include "app/elidedlabel.h"
#include "ui_lumtarmain.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QHelpEvent>
#include <QListView>
#include <QPixmap>
#include <QSignalBlocker>
#include <QStylePainter>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>

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
    list->clear();
    for (const auto& item : items)
        list->addItem(item.first, item.second);
}

} // namespace

FormView::FormView(Ui::LumtarMain* form, QObject* parent) : QObject(parent), ui(form)
{
    for (QLineEdit* field : {ui->username, ui->password})
        connect(field, &QLineEdit::textEdited, this, &FormView::credentialsEdited);
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
    ui->connect->setEnabled(enabled);
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
    return {ui->servers->currentText(),    ui->servers->currentIndex(), ui->protocols->currentText(),
            ui->protocols->currentIndex(), ui->type->currentText(),     ui->type->currentIndex()};
}

void FormView::fillList(List which, const QStringList& items)
{
    QComboBox* list = widget(ui, which);
    if (holds(list, items))
        return;
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(items);
}

int FormView::rowOf(List which, const QString& text, int previousRow) const
{
    const QComboBox* list = widget(ui, which);
    if (previousRow >= 0 && previousRow < list->count() && list->itemText(previousRow) == text)
        return previousRow;
    return list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void FormView::selectRow(List which, int row)
{
    QComboBox* list = widget(ui, which);
    if (row < 0 && list->count() > 0)
        row = 0;
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(row);
    updateToolTip(list);
}

int FormView::currentRow(List list) const
{
    return widget(ui, list)->currentIndex();
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
