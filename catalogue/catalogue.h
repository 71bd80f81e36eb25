#ifndef CORVANE_CATALOGUE_H
#define CORVANE_CATALOGUE_H

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// The server list of a login document, read once per stored document. The window's
// lists and server detail fields are filled from it; nothing walks the text again.

enum class Protocol
{
    Pptp,
    L2tp,
    OpenVpn
};

struct Profile
{
    QString name;
    QString config;
    QString certificate;
};

Q_DECLARE_TYPEINFO(Profile, Q_MOVABLE_TYPE);

struct ServerEntry
{
    QString name;
    QString ip;
    QString country;
    QString assignedIp;
    QString pskey;
    bool hasCountry = false;
    bool hasPskey = false;
    bool pptp = false;
    bool l2tp = false;
    bool openVpn = false;
    QVector<Profile> profiles;
};
// Thousands of entries are appended one by one; moving them as memory keeps that cheap.
Q_DECLARE_TYPEINFO(ServerEntry, Q_MOVABLE_TYPE);

struct Catalogue
{
    // Every entry, in document order; each `id` start tag begins one.
    QVector<ServerEntry> entries;
    // Row of the `servers` list -> index into entries. An entry without a country is listed
    // (with the neutral flag) when it has an address; one with neither is not.
    QVector<int> rows;
};

bool operator==(const Profile& a, const Profile& b);
bool operator==(const ServerEntry& a, const ServerEntry& b);
bool operator==(const Catalogue& a, const Catalogue& b);

// New values for the server detail fields and the flag; an empty optional leaves the
// field as it is.
struct DetailUpdate
{
    std::optional<QString> name;
    std::optional<QString> ip;
    std::optional<QString> assignedIp;
    std::optional<QString> protocol;
    std::optional<QString> pskey;
    std::optional<QString> config;
    std::optional<QString> certificate;
    std::optional<QString> flag; // resource path of the flag image
};

// Items of the `type` list for a selection and the detail fields that go with them.
struct TypeFill
{
    QStringList items;
    DetailUpdate details;
};

// Reads the login document. Reading stops at the first XML error; what was read before
// it is kept.
Catalogue readCatalogue(const QString& document);

// The same catalogue, read by two threads: the second half of a long list on a thread of its
// own. A document where the halves could read differently from the whole is read whole.
Catalogue readCatalogueInHalves(const QString& document, int minimumSize = 1 << 18);

// Item texts of the `servers` list, one per listed entry; an entry without a name shows its
// address.
QStringList serverItems(const Catalogue& catalogue);

// The entry shown at a row of `servers`; nullptr when the row shows none (-1 included).
const ServerEntry* serverAtRow(const Catalogue& catalogue, int serverRow);

// Protocols the entry offers, always in the order PPTP, L2TP, OpenVPN.
QVector<Protocol> offeredProtocols(const ServerEntry& entry);
QString protocolText(Protocol protocol);

// Item texts of the `protocols` list for a row of `servers`.
QStringList protocolItems(const Catalogue& catalogue, int serverRow);

// The protocol shown at a row of `protocols`, if any.
std::optional<Protocol> protocolAtRow(const ServerEntry& entry, int protocolRow);

// The `type` list for a server and protocol row, with the detail fields for the
// selection it leaves: its first item, the one that becomes current.
TypeFill typeFill(const Catalogue& catalogue, int serverRow, int protocolRow);

// The detail fields for a choice in the `type` list.
DetailUpdate typeChoice(const Catalogue& catalogue, int serverRow, int protocolRow, int typeRow);

// ":/resources/flags/" + lower-case country + ".png".
QString flagResource(const QString& country);

#endif
