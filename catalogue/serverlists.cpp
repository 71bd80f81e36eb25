#include "app/lumtarmain.h"
#include "ui_lumtarmain.h"

#include "catalogue/catalogue.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>

namespace {

void setIfGiven(QLineEdit* field, const std::optional<QString>& value)
{
    if (value)
        field->setText(*value);
}

// Appends items as one by one appending would: the first item into an empty list makes
// it current and emits once; the rest go in with a single insertion.
void appendItems(QComboBox* list, const QStringList& items)
{
    if (items.isEmpty())
        return;
    list->addItem(items.first());
    list->addItems(items.mid(1));
}

} // namespace

const Catalogue& LumtarMain::catalogue()
{
    if (!parsedCatalogue)
        parsedCatalogue = std::make_unique<Catalogue>(readCatalogue(loginDocument));
    return *parsedCatalogue;
}

void LumtarMain::PopulateServers()
{
    ui->servers->clear();
    const QStringList items = serverItems(catalogue());
    appendItems(ui->servers, items);
    if (const ServerEntry* first = serverAtRow(catalogue(), 0))
        ui->server_icon->setPixmap(QPixmap(flagResource(first->country)));
    PopulateProtocols();
}

void LumtarMain::PopulateProtocols()
{
    const int serverRow = ui->servers->currentIndex();
    ui->protocols->clear();
    appendItems(ui->protocols, protocolItems(catalogue(), serverRow));
    PopulateType();
}

void LumtarMain::PopulateType()
{
    const int protocolRow = ui->protocols->currentIndex();
    const int serverRow = ui->servers->currentIndex();
    ui->type->clear();
    const TypeFill fill = typeFill(catalogue(), serverRow, protocolRow);
    if (fill.details.flag)
        ui->server_icon->setPixmap(QPixmap(*fill.details.flag));
    setIfGiven(ui->server_name, fill.details.name);
    setIfGiven(ui->server_ip, fill.details.ip);
    appendItems(ui->type, fill.items);
    setIfGiven(ui->server_assignedIP, fill.details.assignedIp);
    setIfGiven(ui->server_protocol, fill.details.protocol);
    setIfGiven(ui->server_pskey, fill.details.pskey);
    setIfGiven(ui->server_config, fill.details.config);
    setIfGiven(ui->server_certificate, fill.details.certificate);
}

void LumtarMain::ExtractType()
{
    const DetailUpdate details = typeChoice(catalogue(), ui->servers->currentIndex(),
                                            ui->protocols->currentIndex(), ui->type->currentIndex());
    setIfGiven(ui->server_name, details.name);
    setIfGiven(ui->server_ip, details.ip);
    setIfGiven(ui->server_assignedIP, details.assignedIp);
    setIfGiven(ui->server_config, details.config);
    setIfGiven(ui->server_certificate, details.certificate);
}

void LumtarMain::on_servers_currentIndexChanged(QString)
{
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
