#include "catalogue/catalogue.h"

#include "service/boundedxml.h"

#include <algorithm>
#include <functional>
#include <future>
#include <system_error>

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
                text.append(xml.text());
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

namespace {

// Handles the start element the reader is at, as the walk down the list meets it.
void readStart(BoundedXmlReader& xml, QVector<ServerEntry>& entries)
{
    if (isNamed(xml, "id")) {
        entries.append(ServerEntry());
        xml.skipCurrentElement();
        return;
    }
    // Anything before the first id belongs to no entry.
    if (entries.isEmpty())
        return;
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

// Elements that fill in the entry begun last.
bool isEntryField(const BoundedXmlReader& xml)
{
    for (const char* name : {"shortname", "IP", "country", "assignedIP", "pptp", "l2tp", "openvpn"}) {
        if (isNamed(xml, name))
            return true;
    }
    return false;
}

// Reads up to the first server; false when there is none.
bool findList(BoundedXmlReader& xml)
{
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && isNamed(xml, "server"))
            return true;
    }
    return false;
}

const QLatin1String serverTag("<server>");

// Walks the list to the end of the document or its first error. With a split, stops right
// after the server start tag at that character offset and returns true; when the walk passes
// the offset without meeting such a tag there, it reads on alone.
bool readList(BoundedXmlReader& xml, QVector<ServerEntry>& entries, qint64 split = -1)
{
    while (!xml.atEnd()) {
        const qint64 before = xml.characterOffset();
        const QXmlStreamReader::TokenType token = xml.readNext();
        // The stream reader may have taken a tag's "<" with the text before it.
        if (split >= 0 && before >= split) {
            if (before <= split + 1 && token == QXmlStreamReader::StartElement && isNamed(xml, "server") &&
                xml.characterOffset() == split + serverTag.size())
                return true;
            split = -1;
        }
        if (token == QXmlStreamReader::StartElement)
            readStart(xml, entries);
    }
    return false;
}

// The second half of a list, read on its own thread from a server start tag on, inside a
// stand-in for the elements around the list. It reads only what it would read the same way
// in place: it stops between servers at anything that could close the list (the rest is read
// in place, see readRest), and gives up when fields come before its first id (they belong to
// the entry before the split).
struct Part
{
    QVector<ServerEntry> entries;
    qint64 stoppedAt = -1; // where the rest begins; -1 when the document ended inside a server
    int deepest = 0;       // levels below the stand-in, which stands for the list's enclosing elements
    bool usable = true;
};

const QString standIn = QStringLiteral("<corvane-part>");

// The start of the document and then the given number of start tags.
bool readLead(BoundedXmlReader& xml, int elements)
{
    if (xml.readNext() != QXmlStreamReader::StartDocument)
        return false;
    for (int i = 0; i < elements; ++i) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            return false;
    }
    return true;
}

// Where the markup the stream reader was about to read at a character offset begins: there, or
// one before, when the reader took its "<" with the text before it (text holds no bare "<").
qint64 tagStart(const QString& document, qint64 at)
{
    if (at > 0 && at <= document.size() && document.at(int(at) - 1) == QLatin1Char('<'))
        return at - 1;
    return at;
}

Part readPart(const QString& document, int split)
{
    Part part;
    BoundedXmlReader xml(document, BoundedXmlReader::InPieces(), split, standIn);
    const qint64 lead = standIn.size();
    if (!readLead(xml, 2) || !isNamed(xml, "server") || xml.characterOffset() != lead + serverTag.size()) {
        part.usable = false;
        return part;
    }
    bool begun = false;
    for (;;) {
        const qint64 before = xml.characterOffset();
        const int level = xml.depth();
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (level == 1 && (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::Invalid)) {
            part.stoppedAt = tagStart(document, split + before - lead);
            break;
        }
        if (token == QXmlStreamReader::Invalid)
            break;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (isNamed(xml, "id")) {
            begun = true;
        } else if (!begun && isEntryField(xml)) {
            part.usable = false;
            break;
        }
        readStart(xml, part.entries);
    }
    part.deepest = xml.deepest() - 1;
    return part;
}

// The name in the start tag that begins at (or after blanks from) a character offset.
QString tagName(const QString& document, qint64 at)
{
    int i = int(tagStart(document, at));
    while (i < document.size() && document.at(i).isSpace())
        ++i;
    if (i >= document.size() || document.at(i) != QLatin1Char('<'))
        return QString();
    const int begin = ++i;
    while (i < document.size() && !document.at(i).isSpace() && document.at(i) != QLatin1Char('>') &&
           document.at(i) != QLatin1Char('/'))
        ++i;
    return document.mid(begin, i - begin);
}

// Reads the document from a character offset on as the walk would in place: inside the
// elements that were open there, named as in the document.
bool readRest(const QString& document, const QVector<qint64>& openedAt, qint64 from,
              QVector<ServerEntry>& entries)
{
    QString lead;
    for (qint64 at : openedAt) {
        const QString name = tagName(document, at);
        if (name.isEmpty())
            return false;
        lead += QLatin1Char('<') + name + QLatin1Char('>');
    }
    BoundedXmlReader xml(document, BoundedXmlReader::InPieces(), int(from), lead);
    if (!readLead(xml, openedAt.size()))
        return false;
    readList(xml, entries);
    return true;
}

// An entry with a country or an address is listed, one without a country too: a server the user
// cannot see cannot be chosen. One with neither (a list cut off inside it) is not.
void listRows(Catalogue& catalogue)
{
    const QVector<ServerEntry>& entries = catalogue.entries;
    catalogue.rows.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).hasCountry || !entries.at(i).ip.isEmpty())
            catalogue.rows.append(i);
    }
}

} // namespace

Catalogue readCatalogue(const QString& document)
{
    Catalogue catalogue;
    BoundedXmlReader xml(document, BoundedXmlReader::InPieces());
    if (findList(xml)) {
        // An entry takes some hundred characters or more; the guess saves regrowing a large list.
        catalogue.entries.reserve(int(std::min<qsizetype>(document.size() / 400, 200000)));
        readList(xml, catalogue.entries);
    }
    listRows(catalogue);
    return catalogue;
}

Catalogue readCatalogueInHalves(const QString& document, int minimumSize)
{
    const int split = document.size() >= minimumSize ? document.indexOf(serverTag, document.size() / 2) : -1;
    if (split < 0)
        return readCatalogue(document);
    // Before the split, nothing may change how the rest reads: no namespace and no declaration.
    const QStringView head = QStringView(document).left(split);
    if (head.contains(QLatin1String("xmlns")) || head.contains(QLatin1String("<!")))
        return readCatalogue(document);

    std::future<Part> second;
    try {
        second = std::async(std::launch::async, readPart, std::cref(document), split);
    } catch (const std::system_error&) {
        // No thread to be had: one reader does it all.
        return readCatalogue(document);
    }
    Catalogue catalogue;
    QVector<ServerEntry>& entries = catalogue.entries;
    BoundedXmlReader xml(document, BoundedXmlReader::InPieces());
    xml.keepOpenedAt();
    bool atSplit = false;
    if (findList(xml)) {
        entries.reserve(int(std::min<qsizetype>(document.size() / 400, 200000)));
        atSplit = readList(xml, entries, split);
    }
    Part part = second.get();
    if (!atSplit) {
        listRows(catalogue);
        return catalogue;
    }
    // The split's own server tag is open in the reader; the levels of the part sit below it.
    QVector<qint64> openedAt = xml.openedAt();
    openedAt.removeLast();
    const bool fits = openedAt.size() + part.deepest <= service::maxDocumentDepth;
    if (part.usable && fits && openedAt.size() == xml.depth() - 1) {
        const int before = entries.size();
        entries += part.entries;
        if (part.stoppedAt < 0 || readRest(document, openedAt, part.stoppedAt, entries)) {
            listRows(catalogue);
            return catalogue;
        }
        entries.resize(before);
    }
    readList(xml, entries);
    listRows(catalogue);
    return catalogue;
}

bool operator==(const Profile& a, const Profile& b)
{
    return a.name == b.name && a.config == b.config && a.certificate == b.certificate;
}

bool operator==(const ServerEntry& a, const ServerEntry& b)
{
    return a.name == b.name && a.ip == b.ip && a.country == b.country && a.assignedIp == b.assignedIp &&
           a.pskey == b.pskey && a.hasCountry == b.hasCountry && a.hasPskey == b.hasPskey &&
           a.pptp == b.pptp && a.l2tp == b.l2tp && a.openVpn == b.openVpn && a.profiles == b.profiles;
}

bool operator==(const Catalogue& a, const Catalogue& b)
{
    return a.entries == b.entries && a.rows == b.rows;
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
