#include "app/logging.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "catalogue/catalogue.h"
#include "ui_lumtarmain.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QSettings>
#include <QSignalBlocker>
#include <QStylePainter>
#include <QToolTip>

namespace {

// The server last connected to from the lists, offered again at the next start.
const QLatin1String lastServerKey("lastServer");
const QLatin1String neutralFlag(":/resources/flags/none.png");

// The choice shown in the lists before they are built again.
struct ListChoice
{
    QString server;
    int serverRow = -1;
    QString protocol;
    int protocolRow = -1;
    QString type;
    int typeRow = -1;
};

ListChoice currentChoice(const Ui::LumtarMain* ui)
{
    return {ui->servers->currentText(),    ui->servers->currentIndex(), ui->protocols->currentText(),
            ui->protocols->currentIndex(), ui->type->currentText(),     ui->type->currentIndex()};
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

// Puts the items in at once. The list's own signals stay quiet: the caller selects the row it
// wants and fills what follows once, instead of once per intermediate state.
void refill(QComboBox* list, const QStringList& items)
{
    if (holds(list, items))
        return;
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(items);
}

// The row showing text, preferring the row it had, so of two equal names the same one stays.
int rowOf(const QComboBox* list, const QString& text, int previousRow)
{
    if (previousRow >= 0 && previousRow < list->count() && list->itemText(previousRow) == text)
        return previousRow;
    return list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
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
    list->setToolTip(fits(list, text, textField(list).width() - 2) ? QString() : text);
}

void select(QComboBox* list, int row)
{
    if (row < 0 && list->count() > 0)
        row = 0;
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(row);
    updateToolTip(list);
}

void setIfGiven(WindowState* model, void (WindowState::*setter)(const QString&),
                const std::optional<QString>& value)
{
    if (value)
        (model->*setter)(*value);
}

void showFlag(QLabel* icon, const QString& resource)
{
    icon->setPixmap(QPixmap(QFile::exists(resource) ? resource : QString(neutralFlag)));
}

void applyDetails(Ui::LumtarMain* ui, WindowState* model, const DetailUpdate& details)
{
    if (details.flag)
        showFlag(ui->server_icon, *details.flag);
    setIfGiven(model, &WindowState::setServerName, details.name);
    setIfGiven(model, &WindowState::setServerIp, details.ip);
    setIfGiven(model, &WindowState::setServerAssignedIp, details.assignedIp);
    setIfGiven(model, &WindowState::setServerProtocol, details.protocol);
    setIfGiven(model, &WindowState::setServerPreSharedKey, details.pskey);
    setIfGiven(model, &WindowState::setServerConfig, details.config);
    setIfGiven(model, &WindowState::setServerCertificate, details.certificate);
}

// Builds `type` for the chosen server and protocol, selects the wanted type (or the first)
// and writes the detail fields for that choice.
void fillType(Ui::LumtarMain* ui, WindowState* model, const Catalogue& catalogue, const QString& type,
              int typeRow)
{
    const int serverRow = ui->servers->currentIndex();
    const int protocolRow = ui->protocols->currentIndex();
    const TypeFill fill = typeFill(catalogue, serverRow, protocolRow);
    refill(ui->type, fill.items);
    select(ui->type, rowOf(ui->type, type, typeRow));
    applyDetails(ui, model, fill.details);
    applyDetails(ui, model, typeChoice(catalogue, serverRow, protocolRow, ui->type->currentIndex()));
}

void fillProtocols(Ui::LumtarMain* ui, WindowState* model, const Catalogue& catalogue,
                   const ListChoice& wanted)
{
    refill(ui->protocols, protocolItems(catalogue, ui->servers->currentIndex()));
    select(ui->protocols, rowOf(ui->protocols, wanted.protocol, wanted.protocolRow));
    fillType(ui, model, catalogue, wanted.type, wanted.typeRow);
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
            QToolTip::showText(event->globalPos(), text, view->viewport());
        }
        return true;
    }

    QComboBox* list;
    QObject* viewport;
};

// Sizes come from one item, not from measuring thousands; the popup needs nothing else.
// Once a server chosen in the list is connected to, it is the one offered at the next start.
void prepareLists(Ui::LumtarMain* ui, WindowState* model)
{
    QComboBox* list = ui->servers;
    if (list->property("corvanePrepared").toBool())
        return;
    list->setProperty("corvanePrepared", true);
    QObject::connect(model, &WindowState::connectionChanged, list,
                     [ui, model](WindowState::Connection state) {
                         if (state == WindowState::Connection::Connected && !model->quickRunning() &&
                             ui->servers->currentIndex() >= 0)
                             QSettings().setValue(lastServerKey, ui->servers->currentText());
                     });
    auto* elided = new ElidedText(list);
    list->installEventFilter(elided);
    list->view()->viewport()->installEventFilter(elided);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* view = qobject_cast<QListView*>(list->view())) {
        view->setUniformItemSizes(true);
        view->setTextElideMode(Qt::ElideRight);
    }
}

} // namespace

const Catalogue& LumtarMain::catalogue()
{
    return catalogueReader.catalogue();
}

// The lists keep the user's server, protocol and type when the new lists still hold them;
// before the first fill, the server chosen last time is offered.
void LumtarMain::PopulateServers()
{
    prepareLists(ui, model);
    ListChoice wanted = currentChoice(ui);
    const QStringList items = serverItems(catalogue());
    qCDebug(lcCatalogue) << items.size() << "servers";
    refill(ui->servers, items);
    int row = rowOf(ui->servers, wanted.server, wanted.serverRow);
    if (row < 0) {
        wanted = ListChoice();
        row = rowOf(ui->servers, QSettings().value(lastServerKey).toString(), -1);
    }
    select(ui->servers, row);
    fillProtocols(ui, model, catalogue(), wanted);
}

void LumtarMain::PopulateProtocols()
{
    fillProtocols(ui, model, catalogue(), ListChoice());
}

void LumtarMain::PopulateType()
{
    fillType(ui, model, catalogue(), QString(), -1);
}

void LumtarMain::ExtractType()
{
    applyDetails(ui, model,
                 typeChoice(catalogue(), ui->servers->currentIndex(), ui->protocols->currentIndex(),
                            ui->type->currentIndex()));
}

void LumtarMain::on_servers_currentIndexChanged(QString)
{
    updateToolTip(ui->servers);
    PopulateProtocols();
}

void LumtarMain::on_protocols_currentIndexChanged(QString)
{
    PopulateType();
}

void LumtarMain::on_type_currentIndexChanged(QString)
{
    ExtractType();
}
