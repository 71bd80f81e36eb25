#ifndef CORVANE_OPENVPNCONFIG_H
#define CORVANE_OPENVPNCONFIG_H

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One directive of an accepted configuration, its words as OpenVPN reads them.
struct OpenVpnDirective
{
    // The name first, without "--"; a <connection> block is the words "<connection>" and
    // "</connection>" around its own directives.
    QList<QByteArray> words;
    // An inline <name> ... </name> block, whose lines `data` holds.
    bool block = false;
    QByteArray data;
    int line = 0;
};

// The outcome of checking a downloaded OpenVPN configuration before the program is started.
struct OpenVpnConfigVerdict
{
    bool accepted = true;
    // The directive as OpenVPN would read it (quotes, "--" and "setenv opt" taken away);
    // empty when the file was refused because a line cannot be read safely.
    QString directive;
    // 1-based line of the file that was refused, 0 when accepted.
    int line = 0;
    // A short human text, e.g. "directive 'up' on line 3".
    QString reason;
    // Every directive of an accepted file, in order.
    QList<OpenVpnDirective> directives;
    // The argument of the file's last 'verb', empty when it sets none.
    QByteArray verbosity;
};

// The most log detail the program runs with: above it OpenVPN logs every packet, megabytes a
// second.
constexpr int maxOpenVpnVerbosity = 4;

// One directive a downloaded configuration may hold.
struct AllowedOpenVpnDirective
{
    const char* name;
    // The most arguments the line form may carry; -1 when only the inline <name> block is
    // allowed, because the line form names a file.
    int maxArguments;
    // The data may come inline as a <name> ... </name> block.
    bool inlineBlock;
    // Known to OpenVPN on Windows only; OpenVPN elsewhere calls it unrecognized.
    bool windowsOnly;
    // Why it is safe.
    const char* reason;
};

// Accepts a configuration only when every directive in it is on the allow-list: client options
// that neither run a program, load code, nor name a file or folder. Lines are read the way
// OpenVPN 2.6 reads them, so no other spelling gets past. Anything OpenVPN itself would reject,
// or that it might read differently on another platform or locale (NUL and control bytes,
// over-long lines, stray backslashes, unclosed quotes or blocks, non-ASCII bytes where they
// could separate words), is refused too.
OpenVpnConfigVerdict checkOpenVpnConfig(const QByteArray& config);

// Options for the program's command line after the file that bring what an accepted file asks
// for within bounds: a 'verb' above maxOpenVpnVerbosity is lowered to it (the last one wins).
QStringList openVpnBoundingOptions(const OpenVpnConfigVerdict& verdict);

// An accepted configuration written again for another reader than OpenVPN (NetworkManager's
// importer), so that it cannot read other words than the check did: each word spelled the one way
// both read alike, the file's own CA and credentials left out (`caPath` is named instead), and
// every inline block of a directive that takes a file moved into a file of `folder`, which the
// caller writes.
struct OpenVpnRewrite
{
    QByteArray config;
    QList<QPair<QString, QByteArray>> files; // path, contents
    QString error;                           // a word no spelling carries safely; config is empty
};
OpenVpnRewrite rewriteOpenVpnConfig(const QList<OpenVpnDirective>& directives, const QString& folder,
                                    const QString& caPath);
// The names of every file rewriteOpenVpnConfig() may ask for, for their removal.
QStringList openVpnBlockFileNames();

// The allow-list, one entry per directive name.
const QList<AllowedOpenVpnDirective>& allowedOpenVpnDirectives();

// True when a line of these words (the directive name first, as OpenVPN reads it) is allowed.
bool isAllowedOpenVpnDirective(const QList<QByteArray>& words);

#endif
