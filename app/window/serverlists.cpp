#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/trayview.h"
#include "app/windowstate.h"
#include "catalogue/cataloguereader.h"
#include "catalogue/serversearch.h"
#include "core/clientsettings.h"
#include "core/logging.h"
#include "core/settingskeys.h"
#include "ui_lumtarmain.h"

#include <QComboBox>
#include <QSettings>

namespace {

using List = FormView::List;

void setIfGiven(WindowState* model, void (WindowState::*setter)(const QString&),
                const std::optional<QString>& value)
{
    if (value)
        (model->*setter)(*value);
}

void applyDetails(FormView* view, WindowState* model, const DetailUpdate& details)
{
    if (details.flag)
        view->showFlag(*details.flag);
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
void fillType(FormView* view, WindowState* model, const Catalogue& catalogue, const QString& type,
              int typeRow)
{
    const int serverRow = view->currentRow(List::Servers);
    const int protocolRow = view->currentRow(List::Protocols);
    const TypeFill fill = typeFill(catalogue, serverRow, protocolRow);
    view->fillList(List::Types, fill.items);
    view->selectRow(List::Types, view->rowOf(List::Types, type, typeRow));
    applyDetails(view, model, fill.details);
    applyDetails(view, model, typeChoice(catalogue, serverRow, protocolRow, view->currentRow(List::Types)));
}

// Why the chosen server cannot be connected to as it stands; empty when it can.
QString connectRefusal(const Catalogue& catalogue, const FormView* view)
{
    const ServerEntry* entry = serverAtRow(catalogue, view->currentRow(List::Servers));
    if (!entry)
        return LumtarMain::tr("Choose a server to connect to.");
    const std::optional<Protocol> protocol = protocolAtRow(*entry, view->currentRow(List::Protocols));
    if (!protocol)
        return LumtarMain::tr("This server offers no connection protocol.");
    if (*protocol == Protocol::OpenVpn) {
        const int typeRow = view->currentRow(List::Types);
        if (typeRow < 0 || typeRow >= entry->profiles.size() ||
            entry->profiles.at(typeRow).config.isEmpty() || entry->profiles.at(typeRow).certificate.isEmpty())
            return LumtarMain::tr("This server offers no OpenVPN profile.");
    }
    return QString();
}

void fillProtocols(FormView* view, WindowState* model, const Catalogue& catalogue,
                   const FormView::ListChoice& wanted)
{
    view->fillList(List::Protocols, protocolItems(catalogue, view->currentRow(List::Servers)));
    int row = view->rowOf(List::Protocols, wanted.protocol, wanted.protocolRow);
    // Without an earlier choice, the protocol the user prefers where the server offers it.
    if (row < 0)
        row = view->rowOf(List::Protocols, ClientSettings::preferredProtocol(), -1);
    view->selectRow(List::Protocols, row);
    fillType(view, model, catalogue, wanted.type, wanted.typeRow);
}

void showChoice(FormView* view, const Catalogue& catalogue)
{
    const QString server = view->currentText(List::Servers);
    view->setFavourite(!server.isEmpty() && ClientSettings::favouriteServers().contains(server));
    view->setConnectRefusal(connectRefusal(catalogue, view));
}

} // namespace

// Once a server chosen in the lists is connected to, it is the one offered at the next start,
// and it comes first among the servers used last.
void LumtarMain::setUpServerLists()
{
    catalogueReader = std::make_shared<CatalogueReader>();
#if QT_VERSION_MAJOR >= 6
    // Qt 6 has no QComboBox::currentIndexChanged(QString), the signal these slots are named
    // after, so nothing connects them by name: here the text comes with the new index.
    using TextSlot = void (LumtarMain::*)(QString);
    const std::pair<QComboBox*, TextSlot> lists[] = {
        {ui->servers, &LumtarMain::on_servers_currentIndexChanged},
        {ui->protocols, &LumtarMain::on_protocols_currentIndexChanged},
        {ui->type, &LumtarMain::on_type_currentIndexChanged}};
    for (const auto& [list, slot] : lists) {
        connect(list, &QComboBox::currentIndexChanged, this,
                [this, list = list, slot = slot](int index) { (this->*slot)(list->itemText(index)); });
    }
#endif
    connect(connection, &ConnectionController::stateChanged, this, [this](ConnectionController::State state) {
        if (state == ConnectionController::State::Connected &&
            connection->origin() == ConnectionController::Origin::User &&
            view->currentRow(List::Servers) >= 0 &&
            view->currentText(List::Servers) == connection->server().name) {
            ClientSettings::noteConnected(view->currentText(List::Servers));
            tray->setConnectTarget(view->currentText(List::Servers));
        }
    });
}

// The search shows the servers that match, favourites and the latest used first; the choice
// stays where it is still shown, and moves to the first match where it is not.
void LumtarMain::showServerSearch(int wantedRow)
{
    const Catalogue& catalogue = catalogueReader->catalogue();
    if (!serverSearch || serverSearch->size() != catalogue.rows.size())
        serverSearch = std::make_shared<ServerSearch>(catalogue);
    const QStringList favourites = ClientSettings::favouriteServers();
    const QVector<int> rows =
        serverSearch->rows(view->serverQuery(), favourites, ClientSettings::recentServers());
    view->showServerRows(rows, favourites);
    view->selectRow(List::Servers, rows.contains(wantedRow) ? wantedRow : rows.value(0, -1));
}

void LumtarMain::on_serverSearch_textChanged(QString)
{
    const int before = view->currentRow(List::Servers);
    showServerSearch(before);
    if (view->currentRow(List::Servers) != before)
        on_servers_currentIndexChanged(QString());
}

void LumtarMain::on_serverFavourite_clicked()
{
    const QString server = view->currentText(List::Servers);
    if (server.isEmpty())
        return;
    ClientSettings::setFavourite(server, !ClientSettings::favouriteServers().contains(server));
    showServerSearch(view->currentRow(List::Servers));
    showChoice(view, catalogueReader->catalogue());
}

// The lists keep the user's server, protocol and type when the new lists still hold them;
// before the first fill, the server chosen last time is offered.
void LumtarMain::PopulateServers()
{
    view->prepareLists();
    FormView::ListChoice wanted = view->listChoice();
    const QStringList items = serverItems(catalogueReader->catalogue());
    qCDebug(lcCatalogue) << items.size() << "servers";
    view->fillList(List::Servers, items);
    serverSearch.reset();
    int row = view->rowOf(List::Servers, wanted.server, wanted.serverRow);
    if (row < 0) {
        wanted = FormView::ListChoice();
        row = view->rowOf(List::Servers, QSettings().value(SettingsKeys::lastServer).toString(), -1);
    }
    // Without an earlier choice, the first server shown: a favourite or the one used last.
    showServerSearch(row);
    fillProtocols(view, model, catalogueReader->catalogue(), wanted);
    showChoice(view, catalogueReader->catalogue());
    const QString last = QSettings().value(SettingsKeys::lastServer).toString();
    tray->setConnectTarget(view->rowOf(List::Servers, last, -1) >= 0 ? last : QString());
}

void LumtarMain::PopulateProtocols()
{
    fillProtocols(view, model, catalogueReader->catalogue(), FormView::ListChoice());
    showChoice(view, catalogueReader->catalogue());
}

void LumtarMain::PopulateType()
{
    fillType(view, model, catalogueReader->catalogue(), QString(), -1);
    showChoice(view, catalogueReader->catalogue());
}

void LumtarMain::ExtractType()
{
    applyDetails(view, model,
                 typeChoice(catalogueReader->catalogue(), view->currentRow(List::Servers),
                            view->currentRow(List::Protocols), view->currentRow(List::Types)));
    showChoice(view, catalogueReader->catalogue());
}

void LumtarMain::on_servers_currentIndexChanged(QString)
{
    // The user's own choice: no redial to the server that dropped.
    connection->cancelRedial();
    view->refreshServerToolTip();
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
