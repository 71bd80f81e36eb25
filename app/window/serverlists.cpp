#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "catalogue/cataloguereader.h"
#include "core/logging.h"

#include <QSettings>

namespace {

// The server last connected to from the lists, offered again at the next start.
const QLatin1String lastServerKey("lastServer");

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

void fillProtocols(FormView* view, WindowState* model, const Catalogue& catalogue,
                   const FormView::ListChoice& wanted)
{
    view->fillList(List::Protocols, protocolItems(catalogue, view->currentRow(List::Servers)));
    view->selectRow(List::Protocols, view->rowOf(List::Protocols, wanted.protocol, wanted.protocolRow));
    fillType(view, model, catalogue, wanted.type, wanted.typeRow);
}

} // namespace

// Once a server chosen in the lists is connected to, it is the one offered at the next start.
void LumtarMain::setUpServerLists()
{
    catalogueReader = std::make_shared<CatalogueReader>();
    connect(connection, &ConnectionController::stateChanged, this, [this](ConnectionController::State state) {
        if (state == ConnectionController::State::Connected &&
            connection->origin() == ConnectionController::Origin::User &&
            view->currentRow(List::Servers) >= 0)
            QSettings().setValue(lastServerKey, view->currentText(List::Servers));
    });
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
    int row = view->rowOf(List::Servers, wanted.server, wanted.serverRow);
    if (row < 0) {
        wanted = FormView::ListChoice();
        row = view->rowOf(List::Servers, QSettings().value(lastServerKey).toString(), -1);
    }
    view->selectRow(List::Servers, row);
    fillProtocols(view, model, catalogueReader->catalogue(), wanted);
}

void LumtarMain::PopulateProtocols()
{
    fillProtocols(view, model, catalogueReader->catalogue(), FormView::ListChoice());
}

void LumtarMain::PopulateType()
{
    fillType(view, model, catalogueReader->catalogue(), QString(), -1);
}

void LumtarMain::ExtractType()
{
    applyDetails(view, model,
                 typeChoice(catalogueReader->catalogue(), view->currentRow(List::Servers),
                            view->currentRow(List::Protocols), view->currentRow(List::Types)));
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
