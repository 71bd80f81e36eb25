#ifndef CORVANE_SERVICESIM_DOCUMENTS_H
#define CORVANE_SERVICESIM_DOCUMENTS_H

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// Writers of the documents the Corvane service answers with. Plain functions of their
// inputs, so benchmarks and tests can produce documents without running a server.
namespace servicesim {

// Whitespace layout of the login document. Both keep the token layout the client's
// stepping readers rely on; OneLine has no whitespace anywhere except the single blank
// between the pptp start tag and its enabled start tag.
enum class Layout
{
    Lines,
    OneLine
};

// Parses "lines" / "oneline"; anything else gives Lines.
Layout layoutFromName(const QString& name);
QString layoutName(Layout layout);

// The answer to the login request: a response verdict and, when accepted, the server
// entries. Each server is an object with id, shortname, ip, country, assignedIP, pptp,
// l2tp, pskey, openvpn and profiles [{name, config, certificate}].
QByteArray loginDocument(const QJsonArray& servers, bool accepted, Layout layout = Layout::Lines);

// The answer to the account-details request: the verdict followed by the fourteen
// positional elements, written without whitespace between tags.
QByteArray accountDocument(const QJsonObject& account, bool accepted);

// The answer to the version check: a root whose first three children hold the latest
// version, the installer URL and a note.
QByteArray versionDocument(const QString& latest, const QString& installerUrl, const QString& note);

// A generated server list of the given size, spread over the flag countries, every
// server offering PPTP, L2TP and OpenVPN with two profiles whose URLs start with baseUrl.
QJsonArray sampleServers(int count, const QString& baseUrl);

// A flag read from data written by hand: true, "1", "true" or a non-zero number.
bool flagValue(const QJsonValue& value);

} // namespace servicesim

#endif
