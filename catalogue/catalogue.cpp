#include "catalogue/catalogue.h"

#include "service/boundedxml.h"

#include <algorithm>

namespace {

using service::BoundedXmlReader;

bool isNamed(const BoundedXmlReader& xml, const char* name)
{
    return xml.name() == QLatin1String(name);
}

// The character data directly inside the element whose start tag the reader is at;
// reads through its end tag. Whitespace is kept: " 1" is not "1".
QString elementText(BoundedXmlReader& xml)
{
    QString text;
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            if (depth == 0)
                text.append(xml.text().constData(), xml.text().size());
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            if (depth == 0)
                return text;
            --depth;
            break;
        default:
            break;
        }
    }
    return text;
}

bool enabledText(BoundedXmlReader& xml)
{
    return elementText(xml) == QLatin1String("1");
}

Profile readProfile(BoundedXmlReader& xml)
{
    Profile profile;
    while (xml.readNextStartElement()) {
        if (isNamed(xml, "name"))
            profile.name = elementText(xml);
        else if (isNamed(xml, "config"))
            profile.config = elementText(xml);
        else if (isNamed(xml, "certificate"))
            profile.certificate = elementText(xml);
        else
            xml.skipCurrentElement();
    }
    return profile;
}

// `count` announces how many profiles follow; no more than that are taken, and a
// profile before the count is not taken at all.
void readProfiles(BoundedXmlReader& xml, ServerEntry& entry)
{
    int count = 0;
    while (xml.readNextStartElement()) {
        if (isNamed(xml, "count")) {
            count = elementText(xml).toInt();
        } else if (isNamed(xml, "profile") && entry.profiles.size() < count) {
            entry.profiles.append(readProfile(xml));
        } else {
            xml.skipCurrentElement();
        }
    }
}

void readPptp(BoundedXmlReader& xml, ServerEntry& entry)
{
    while (xml.readNextStartElement()) {
        if (isNamed(xml, "enabled"))
            entry.pptp = enabledText(xml);
        else
            xml.skipCurrentElement();
    }
}

void readL2tp(BoundedXmlReader& xml, ServerEntry& entry)
{
    while (xml.readNextStartElement()) {
        if (isNamed(xml, "enabled")) {
            entry.l2tp = enabledText(xml);
        } else if (isNamed(xml, "pskey")) {
            entry.pskey = elementText(xml);
            entry.hasPskey = true;
        } else {
            xml.skipCurrentElement();
        }
    }
}

void readOpenVpn(BoundedXmlReader& xml, ServerEntry& entry)
{
    while (xml.readNextStartElement()) {
        if (isNamed(xml, "enabled"))
            entry.openVpn = enabledText(xml);
        else if (isNamed(xml, "profiles"))
            readProfiles(xml, entry);
        else
            xml.skipCurrentElement();
    }
}

} // namespace

Catalogue readCatalogue(const QString& document)
{
    Catalogue catalogue;
    BoundedXmlReader xml(document, BoundedXmlReader::InPieces());
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && isNamed(xml, "server"))
            break;
    }

    QVector<ServerEntry>& entries = catalogue.entries;
    // An entry takes some hundred characters or more; the guess saves regrowing a large list.
    entries.reserve(int(std::min<qsizetype>(document.size() / 400, 200000)));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (isNamed(xml, "id")) {
            entries.append(ServerEntry());
            xml.skipCurrentElement();
            continue;
        }
        // Anything before the first id belongs to no entry.
        if (entries.isEmpty())
            continue;
        ServerEntry& entry = entries.last();
        if (isNamed(xml, "shortname")) {
            entry.name = elementText(xml);
        } else if (isNamed(xml, "IP")) {
            entry.ip = elementText(xml);
        } else if (isNamed(xml, "country")) {
            entry.country = elementText(xml);
            entry.hasCountry = true;
        } else if (isNamed(xml, "assignedIP")) {
            entry.assignedIp = elementText(xml);
        } else if (isNamed(xml, "pptp")) {
            readPptp(xml, entry);
        } else if (isNamed(xml, "l2tp")) {
            readL2tp(xml, entry);
        } else if (isNamed(xml, "openvpn")) {
            readOpenVpn(xml, entry);
        }
    }

    catalogue.rows.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).hasCountry)
            catalogue.rows.append(i);
    }
    return catalogue;
}

void CatalogueReader::start(const QString& document)
{
    ready.reset();
    // A document too short to hold a server is not worth a thread.
    if (document.size() < 64) {
        pending = std::future<Catalogue>();
        ready = std::make_unique<Catalogue>(readCatalogue(document));
        return;
    }
    pending = std::async(std::launch::async, readCatalogue, document);
}

const Catalogue& CatalogueReader::catalogue()
{
    if (!ready)
        ready = std::make_unique<Catalogue>(pending.valid() ? pending.get() : Catalogue());
    return *ready;
}

QStringList serverItems(const Catalogue& catalogue)
{
    QStringList items;
    items.reserve(catalogue.rows.size());
    for (int index : catalogue.rows) {
        const ServerEntry& entry = catalogue.entries.at(index);
        items.append(entry.name.trimmed().isEmpty() ? entry.ip : entry.name);
    }
    return items;
}

const ServerEntry* serverAtRow(const Catalogue& catalogue, int serverRow)
{
    if (serverRow < 0 || serverRow >= catalogue.rows.size())
        return nullptr;
    return &catalogue.entries.at(catalogue.rows.at(serverRow));
}

QVector<Protocol> offeredProtocols(const ServerEntry& entry)
{
    QVector<Protocol> protocols;
    if (entry.pptp)
        protocols.append(Protocol::Pptp);
    if (entry.l2tp)
        protocols.append(Protocol::L2tp);
    if (entry.openVpn)
        protocols.append(Protocol::OpenVpn);
    return protocols;
}

QString protocolText(Protocol protocol)
{
    switch (protocol) {
    case Protocol::Pptp:
        return QStringLiteral("PPTP");
    case Protocol::L2tp:
        return QStringLiteral("L2TP");
    case Protocol::OpenVpn:
        return QStringLiteral("OpenVPN");
    }
    return QString();
}

QStringList protocolItems(const Catalogue& catalogue, int serverRow)
{
    QStringList items;
    if (const ServerEntry* entry = serverAtRow(catalogue, serverRow)) {
        for (Protocol protocol : offeredProtocols(*entry))
            items.append(protocolText(protocol));
    }
    return items;
}

std::optional<Protocol> protocolAtRow(const ServerEntry& entry, int protocolRow)
{
    const QVector<Protocol> protocols = offeredProtocols(entry);
    if (protocolRow < 0 || protocolRow >= protocols.size())
        return std::nullopt;
    return protocols.at(protocolRow);
}

TypeFill typeFill(const Catalogue& catalogue, int serverRow, int protocolRow)
{
    TypeFill fill;
    const ServerEntry* entry = serverAtRow(catalogue, serverRow);
    if (!entry)
        return fill;

    DetailUpdate& details = fill.details;
    details.name = entry->name;
    details.ip = entry->ip;
    details.assignedIp = entry->assignedIp;
    details.flag = flagResource(entry->country);

    // The key is taken while the protocol row equals the number of offered protocols up
    // to and including L2TP, less one: L2TP chosen, or PPTP chosen where L2TP is not
    // offered. Otherwise an earlier key stays; only L2TP dials use it.
    const int rowAfterL2tp = int(entry->pptp) + int(entry->l2tp) - 1;
    if (entry->hasPskey && protocolRow == rowAfterL2tp)
        details.pskey = entry->pskey;

    // A server that offers nothing must not be dialled with what an earlier one offered.
    if (offeredProtocols(*entry).isEmpty()) {
        details.protocol = QString();
        details.config = QString();
        details.certificate = QString();
        if (!details.pskey)
            details.pskey = QString();
        return fill;
    }

    const std::optional<Protocol> protocol = protocolAtRow(*entry, protocolRow);
    if (!protocol)
        return fill;
    details.protocol = protocolText(*protocol);
    if (*protocol != Protocol::OpenVpn) {
        fill.items.append(QStringLiteral("Auto"));
        return fill;
    }

    for (const Profile& profile : entry->profiles)
        fill.items.append(profile.name);
    // The first profile becomes the current type. With no profile the URLs of an earlier
    // server must not be connected to.
    const Profile first = entry->profiles.isEmpty() ? Profile() : entry->profiles.first();
    details.config = first.config;
    details.certificate = first.certificate;
    return fill;
}

DetailUpdate typeChoice(const Catalogue& catalogue, int serverRow, int protocolRow, int typeRow)
{
    DetailUpdate details;
    const ServerEntry* entry = serverAtRow(catalogue, serverRow);
    if (!entry)
        return details;

    details.name = entry->name;
    details.ip = entry->ip;
    details.assignedIp = entry->assignedIp;
    if (protocolAtRow(*entry, protocolRow) == Protocol::OpenVpn && typeRow >= 0 &&
        typeRow < entry->profiles.size()) {
        const Profile& profile = entry->profiles.at(typeRow);
        details.config = profile.config;
        details.certificate = profile.certificate;
    }
    return details;
}

QString flagResource(const QString& country)
{
    return QStringLiteral(":/resources/flags/") + country.toLower() + QStringLiteral(".png");
}
