#include "connection/openvpnconfig.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>

#include <iterator>

namespace {

// OpenVPN reads a line in pieces of at most 255 bytes (256 outside blocks, which it then
// rejects). A longer line would be cut where we cannot follow it reliably on every platform,
// so such a file is refused instead.
constexpr int maxLineBytes = 254;
// OpenVPN keeps at most this many words of a line.
constexpr int maxWords = 16;
const QByteArray byteOrderMark("\xEF\xBB\xBF");

struct Line
{
    QByteArray text;
    int number = 0;
};

// isspace() of the C locale, which is what OpenVPN uses.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isNonAscii(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}

bool isControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && !isBlank(c)) || u == 0x7F;
}

// Every directive a downloaded configuration may hold, from the client options of OpenVPN
// 2.6's manual. None runs a program, loads code, or names a file or folder that OpenVPN would
// use. Everything else (scripts, plugins, engines and providers, PKCS#11, management, logs and
// status files, files of keys and certificates, server and standalone operations) is refused.
constexpr int anyArguments = maxWords;
constexpr int inlineOnly = -1;
const AllowedOpenVpnDirective allowList[] = {
    // Role and session.
    {"client", 0, false, false, "client mode: pull and tls-client"},
    {"tls-client", 0, false, false, "takes the client side of TLS"},
    {"pull", 0, false, false, "accepts options the server pushes, which OpenVPN limits to safe ones"},
    {"pull-filter", anyArguments, false, false, "filters pushed options by text"},
    {"route-nopull", 0, false, false, "ignores pushed routes"},
    {"push-peer-info", 0, false, false, "sends version and platform to the server"},
    {"auth-user-pass", 0, true, false,
     "without a file it reads the credentials our command line names; inline it is overridden too"},
    {"auth-nocache", 0, false, false, "forgets credentials after use"},
    {"auth-retry", 1, false, false, "what to do after a refused login"},
    {"static-challenge", 2, false, false, "a prompt text for a second factor"},
    {"compat-mode", 1, false, false, "defaults of an older OpenVPN version"},
    {"disable-dco", 0, false, false, "no data channel offload"},
    {"ignore-unknown-option", anyArguments, false, false,
     "names other options, which are checked here like any other"},
    {"setenv", 2, false, false, "only the variables named in setenvVariableAllowed"},
    {"setenv-safe", 2, false, false, "the variable gets the OPENVPN_ prefix, so it cannot steer a loader"},
    // Servers and the way to them.
    {"remote", 3, false, false, "host, port and protocol"},
    {"remote-random", 0, false, false, "picks a random remote"},
    {"remote-random-hostname", 0, false, false, "prefixes the host name with random bytes"},
    {"resolv-retry", 1, false, false, "how long to retry name resolution"},
    {"connect-retry", 2, false, false, "pause between connection attempts"},
    {"connect-retry-max", 1, false, false, "number of connection attempts"},
    {"connect-timeout", 1, false, false, "time limit of a connection attempt"},
    {"server-poll-timeout", 1, false, false, "time limit to reach a server"},
    {"explicit-exit-notify", 1, false, false, "tells the server when the client leaves"},
    {"proto", 1, false, false, "transport protocol"},
    {"port", 1, false, false, "port number"},
    {"rport", 1, false, false, "remote port number"},
    {"lport", 1, false, false, "local port number"},
    {"local", 2, false, false, "local address to bind"},
    {"bind", 1, false, false, "binds the local port"},
    {"nobind", 0, false, false, "does not bind a local port"},
    {"float", 0, false, false, "accepts packets from a changed server address"},
    {"http-proxy", 2, false, false, "host and port; a third argument would name a credentials file"},
    {"http-proxy-user-pass", inlineOnly, true, false, "proxy credentials, inline only"},
    {"http-proxy-option", 3, false, false, "HTTP version, agent and extra headers for the proxy"},
    {"socks-proxy", 2, false, false, "host and port; a third argument would name a credentials file"},
    // The tunnel device and routes.
    {"dev", 1, false, false, "tun or tap device"},
    {"dev-type", 1, false, false, "tun or tap"},
    {"topology", 1, false, false, "address layout of the tunnel"},
    {"tun-mtu", 1, false, false, "tunnel MTU"},
    {"tun-mtu-extra", 1, false, false, "extra room in the tunnel buffers"},
    {"link-mtu", 1, false, false, "link MTU"},
    {"mtu-disc", 1, false, false, "path MTU discovery"},
    {"mssfix", 2, false, false, "clamps TCP segment sizes"},
    {"fragment", 2, false, false, "fragments large packets"},
    {"tun-ipv6", 0, false, false, "old option that 2.6 ignores"},
    {"persist-tun", 0, false, false, "keeps the device across restarts"},
    {"persist-key", 0, false, false, "keeps keys across restarts"},
    {"persist-remote-ip", 0, false, false, "keeps the resolved server address across restarts"},
    {"persist-local-ip", 0, false, false, "keeps the local address across restarts"},
    {"redirect-gateway", anyArguments, false, false, "sends all traffic through the tunnel"},
    {"redirect-private", anyArguments, false, false, "like redirect-gateway, without the default route"},
    {"route", 4, false, false, "a route through the tunnel"},
    {"route-ipv6", 3, false, false, "an IPv6 route through the tunnel"},
    {"route-gateway", 1, false, false, "gateway of the routes"},
    {"route-ipv6-gateway", 1, false, false, "gateway of the IPv6 routes"},
    {"route-metric", 1, false, false, "metric of the routes"},
    {"route-delay", 2, false, false, "waits before adding routes"},
    {"route-method", 1, false, false, "how Windows adds routes"},
    {"block-ipv6", 0, false, false, "drops IPv6 outside the tunnel"},
    {"dhcp-option", 2, false, false, "DNS and other settings for the device"},
    {"dns", anyArguments, false, false, "DNS servers and domains"},
    {"allow-pull-fqdn", 0, false, false, "accepts host names in pushed routes"},
    {"block-outside-dns", 0, false, true, "keeps Windows from asking DNS servers outside the tunnel"},
    {"register-dns", 0, false, true, "registers the device's DNS with Windows"},
    {"ip-win32", 3, false, true, "how Windows sets the device's address"},
    {"windows-driver", 1, false, true, "which Windows tunnel driver to use"},
    // Liveness.
    {"keepalive", 2, false, false, "ping and restart times"},
    {"ping", 1, false, false, "ping interval"},
    {"ping-restart", 1, false, false, "restarts when pings stop"},
    {"ping-exit", 1, false, false, "exits when pings stop"},
    {"ping-timer-rem", 0, false, false, "pings only with a remote"},
    {"inactive", 2, false, false, "exits after inactivity"},
    {"sndbuf", 1, false, false, "socket send buffer"},
    {"rcvbuf", 1, false, false, "socket receive buffer"},
    {"socket-flags", anyArguments, false, false, "socket flags such as TCP_NODELAY"},
    {"fast-io", 0, false, false, "writes without waiting for poll"},
    {"mlock", 0, false, false, "keeps memory out of swap"},
    {"nice", 1, false, false, "process priority"},
    {"remap-usr1", 1, false, false, "turns one signal into another"},
    // Encryption.
    {"cipher", 1, false, false, "data channel cipher"},
    {"data-ciphers", 1, false, false, "data channel ciphers to negotiate"},
    {"data-ciphers-fallback", 1, false, false, "cipher for servers that do not negotiate"},
    {"ncp-ciphers", 1, false, false, "old name of data-ciphers"},
    {"auth", 1, false, false, "HMAC digest"},
    {"compress", 1, false, false, "compression framing"},
    {"comp-lzo", 1, false, false, "LZO compression framing"},
    {"allow-compression", 1, false, false, "whether compression is used"},
    {"key-direction", 1, false, false, "direction of an inline static key"},
    {"reneg-sec", 2, false, false, "key renegotiation interval"},
    {"reneg-bytes", 1, false, false, "key renegotiation after bytes"},
    {"reneg-pkts", 1, false, false, "key renegotiation after packets"},
    {"replay-window", 2, false, false, "replay protection window"},
    {"mute-replay-warnings", 0, false, false, "quiets replay warnings"},
    {"tran-window", 1, false, false, "key transition window"},
    {"hand-window", 1, false, false, "TLS handshake time limit"},
    {"tls-timeout", 1, false, false, "TLS retransmit timeout"},
    {"tls-exit", 0, false, false, "exits on TLS errors"},
    {"tls-version-min", 2, false, false, "lowest TLS version"},
    {"tls-version-max", 1, false, false, "highest TLS version"},
    {"tls-cipher", 1, false, false, "TLS 1.2 cipher list"},
    {"tls-ciphersuites", 1, false, false, "TLS 1.3 cipher suites"},
    {"tls-groups", 1, false, false, "key exchange groups"},
    {"tls-cert-profile", 1, false, false, "certificate strength profile"},
    {"ecdh-curve", 1, false, false, "elliptic curve for key exchange"},
    // Who the server is, and who the client is.
    {"ca", 1, true, false,
     "our command line's --ca comes later and wins; OpenVPN opens no file while it reads options"},
    {"cert", inlineOnly, true, false, "client certificate, inline only"},
    {"key", inlineOnly, true, false, "client key, inline only"},
    {"pkcs12", inlineOnly, true, false, "client certificate and key, inline only"},
    {"extra-certs", inlineOnly, true, false, "intermediate certificates, inline only"},
    {"crl-verify", inlineOnly, true, false, "revocation list, inline only"},
    {"tls-auth", inlineOnly, true, false, "HMAC key of the control channel, inline only"},
    {"tls-crypt", inlineOnly, true, false, "key of the control channel, inline only"},
    {"tls-crypt-v2", inlineOnly, true, false, "client key of the control channel, inline only"},
    {"peer-fingerprint", 1, true, false, "fingerprints of the server certificate"},
    {"verify-hash", 2, true, false, "fingerprint of a certificate in the chain"},
    {"verify-x509-name", 2, false, false, "name the server certificate must carry"},
    {"remote-cert-tls", 1, false, false, "server certificate must be for a server"},
    {"remote-cert-ku", anyArguments, false, false, "key usage of the server certificate"},
    {"remote-cert-eku", 1, false, false, "extended key usage of the server certificate"},
    {"ns-cert-type", 1, false, false, "old spelling of remote-cert-tls"},
    // Logging; where the log goes stays on our command line.
    {"verb", 1, false, false, "log detail"},
    {"mute", 1, false, false, "quiets repeated log lines"},
    {"suppress-timestamps", 0, false, false, "log lines without time"},
};

// setenv hands the variable to every program OpenVPN starts, including the system's own
// tools for routes and addresses: LD_PRELOAD, PATH and their kind must never come from a
// server. Only variables that clients set for the server's sake pass.
bool setenvVariableAllowed(const QByteArray& name)
{
    return name == "CLIENT_CERT" || (name.startsWith("UV_") && name.size() > 3);
}

const AllowedOpenVpnDirective* findAllowed(const QByteArray& name)
{
    for (const AllowedOpenVpnDirective& entry : allowList) {
        if (name == entry.name)
            return &entry;
    }
    return nullptr;
}

OpenVpnConfigVerdict refusedDirective(const QByteArray& name, int line)
{
    OpenVpnConfigVerdict verdict;
    verdict.accepted = false;
    verdict.directive = QString::fromUtf8(name);
    verdict.line = line;
    verdict.reason = QCoreApplication::translate("LumtarMain", "directive '%1' on line %2")
                         .arg(verdict.directive)
                         .arg(line);
    return verdict;
}

OpenVpnConfigVerdict refusedLine(const QString& why, int line)
{
    OpenVpnConfigVerdict verdict;
    verdict.accepted = false;
    verdict.line = line;
    verdict.reason = QCoreApplication::translate("LumtarMain", "%1 on line %2").arg(why).arg(line);
    return verdict;
}

// Splits a line into words with OpenVPN's rules: blanks separate words, "..." and '...'
// quote, a backslash escapes a backslash, a double quote or a blank, and '#' or ';' at the
// start of a word ends the line. Returns false for a line OpenVPN rejects, and for a line
// where OpenVPN would ask isspace() about a non-ASCII byte: the answer to that depends on
// the platform and locale, so what the line means is not certain.
bool splitWords(const QByteArray& line, QList<QByteArray>& words)
{
    enum class State
    {
        Between,
        Plain,
        DoubleQuoted,
        SingleQuoted
    };
    State state = State::Between;
    bool backslash = false;
    QByteArray word;
    // The terminating NUL takes part, as in OpenVPN: it ends an unquoted word.
    for (int i = 0; i <= line.size(); ++i) {
        const char in = i < line.size() ? line.at(i) : '\0';
        if (!backslash && in == '\\' && state != State::SingleQuoted) {
            backslash = true;
            continue;
        }
        if (isNonAscii(in) &&
            (state == State::Between || state == State::Plain || (state == State::DoubleQuoted && backslash)))
            return false;
        const bool blank = in == '\0' || isBlank(in);
        char out = 0;
        bool done = false;
        switch (state) {
        case State::Between:
            if (!blank) {
                // OpenVPN takes "\#" for a comment, other readers of the file (NetworkManager's
                // importer) for a word: such a line has no one meaning.
                if (in == ';' || in == '#')
                    return !backslash;
                if (!backslash && in == '"') {
                    state = State::DoubleQuoted;
                } else if (!backslash && in == '\'') {
                    state = State::SingleQuoted;
                } else {
                    out = in;
                    state = State::Plain;
                }
            }
            break;
        case State::Plain:
            if (!backslash && blank)
                done = true;
            else
                out = in;
            break;
        case State::DoubleQuoted:
            if (!backslash && in == '"')
                done = true;
            else
                out = in;
            break;
        case State::SingleQuoted:
            if (in == '\'')
                done = true;
            else
                out = in;
            break;
        }
        if (done) {
            words.append(word);
            word.clear();
            state = State::Between;
        }
        if (backslash && out && !(out == '\\' || out == '"' || isBlank(out)))
            return false;
        backslash = false;
        if (out)
            word.append(out);
        if (words.size() >= maxWords)
            return true;
    }
    return state == State::Between;
}

// "--up" in a file means "up", as on the command line.
QByteArray withoutDoubleDash(const QByteArray& word)
{
    return word.size() >= 3 && word.startsWith("--") ? word.mid(2) : word;
}

enum class CloseTag
{
    No,
    Yes,
    Unsure
};

// OpenVPN ends a block at the first line that starts with the closing tag after blanks, and
// ignores the rest of that line.
CloseTag closesBlock(const QByteArray& line, const QByteArray& tag)
{
    int i = 0;
    bool nonAscii = false;
    while (i < line.size() && (isBlank(line.at(i)) || isNonAscii(line.at(i)))) {
        nonAscii = nonAscii || isNonAscii(line.at(i));
        ++i;
    }
    if (line.mid(i, tag.size()) != tag)
        return CloseTag::No;
    return nonAscii ? CloseTag::Unsure : CloseTag::Yes;
}

OpenVpnConfigVerdict checkLines(const QList<Line>& lines, int from, int to, OpenVpnConfigVerdict& accepted)
{
    for (int i = from; i < to; ++i) {
        const Line& line = lines.at(i);
        QByteArray text = line.text;
        if (line.number == 1 && text.startsWith(byteOrderMark))
            text.remove(0, byteOrderMark.size());
        QList<QByteArray> words;
        if (!splitWords(text, words))
            return refusedLine(QCoreApplication::translate("LumtarMain", "unreadable line"), line.number);
        if (words.isEmpty())
            continue;
        words[0] = withoutDoubleDash(words.at(0));

        const QByteArray& first = words.at(0);
        if (words.size() == 1 && first.startsWith('<') && first.endsWith('>') && first.size() >= 2) {
            const QByteArray name = first.mid(1, first.size() - 2);
            const QByteArray tag = "</" + name + '>';
            int end = i + 1;
            for (; end < to; ++end) {
                const CloseTag closed = closesBlock(lines.at(end).text, tag);
                if (closed == CloseTag::Unsure)
                    return refusedLine(QCoreApplication::translate("LumtarMain", "unreadable line"),
                                       lines.at(end).number);
                if (closed == CloseTag::Yes)
                    break;
            }
            if (end == to)
                return refusedLine(QCoreApplication::translate("LumtarMain", "unclosed block"), line.number);
            // The lines of a <connection> block are directives; other blocks hold data.
            if (name == "connection") {
                accepted.directives.append({{first}, false, QByteArray(), line.number});
                const OpenVpnConfigVerdict inner = checkLines(lines, i + 1, end, accepted);
                if (!inner.accepted)
                    return inner;
                accepted.directives.append({{tag}, false, QByteArray(), lines.at(end).number});
            } else {
                const AllowedOpenVpnDirective* entry = findAllowed(name);
                if (!entry || !entry->inlineBlock)
                    return refusedDirective(name, line.number);
                QByteArray data;
                for (int inside = i + 1; inside < end; ++inside)
                    data += lines.at(inside).text + '\n';
                accepted.directives.append({{name}, true, data, line.number});
            }
            i = end;
            continue;
        }

        accepted.directives.append({words, false, QByteArray(), line.number});
        // "setenv opt X ..." is the directive X. Only one level counts to OpenVPN, and the
        // "--" stays; peeling every level is the safer reading.
        while (words.size() >= 3 && words.at(0) == "setenv" && words.at(1) == "opt") {
            words.erase(words.begin(), words.begin() + 2);
            words[0] = withoutDoubleDash(words.at(0));
        }
        if (!isAllowedOpenVpnDirective(words))
            return refusedDirective(words.at(0), line.number);
        if (words.at(0) == "verb")
            accepted.verbosity = words.value(1);
    }
    return {};
}

// Whether a word reads the same to every reader without quotes.
bool isPlainWord(const QByteArray& word)
{
    if (word.isEmpty())
        return false;
    for (const char c : word) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           QByteArray("._:/=,+@%-").contains(c);
        if (!plain)
            return false;
    }
    return true;
}

// Appends `word` as every reader reads it: bare when it is plain, else in single quotes (read
// literally by all), else in double quotes when nothing in it is escaped. False when no spelling
// is safe: readers disagree on backslashes inside double quotes.
bool spelled(const QByteArray& word, QByteArray* line)
{
    if (isPlainWord(word))
        *line += word;
    else if (!word.contains('\''))
        *line += '\'' + word + '\'';
    else if (!word.contains('"') && !word.contains('\\'))
        *line += '"' + word + '"';
    else
        return false;
    return true;
}

// The directives whose inline block the importer would copy into a file of its own.
const char* const fileBlocks[] = {"cert",        "key",          "pkcs12",
                                  "extra-certs", "crl-verify",   "tls-auth",
                                  "tls-crypt",   "tls-crypt-v2", "http-proxy-user-pass"};

bool takesFile(const QByteArray& name)
{
    for (const char* block : fileBlocks) {
        if (name == block)
            return true;
    }
    return false;
}

QString blockFileName(const QByteArray& name)
{
    return QStringLiteral("block-") + QString::fromLatin1(name) + QStringLiteral(".pem");
}

} // namespace

const QList<AllowedOpenVpnDirective>& allowedOpenVpnDirectives()
{
    static const QList<AllowedOpenVpnDirective> list(std::begin(allowList), std::end(allowList));
    return list;
}

bool isAllowedOpenVpnDirective(const QList<QByteArray>& words)
{
    if (words.isEmpty())
        return false;
    const AllowedOpenVpnDirective* entry = findAllowed(words.at(0));
    if (!entry || words.size() - 1 > entry->maxArguments)
        return false;
    if (words.at(0) == "setenv")
        return words.size() >= 2 && setenvVariableAllowed(words.at(1));
    return true;
}

QStringList openVpnBoundingOptions(const OpenVpnConfigVerdict& verdict)
{
    if (verdict.verbosity.isEmpty())
        return {};
    // OpenVPN reads the number as atoi() does; anything but a small plain number is lowered.
    bool number = true;
    for (const char c : verdict.verbosity)
        number = number && c >= '0' && c <= '9';
    if (number && verdict.verbosity.size() <= 2 && verdict.verbosity.toInt() <= maxOpenVpnVerbosity)
        return {};
    return {QStringLiteral("--verb"), QString::number(maxOpenVpnVerbosity)};
}

OpenVpnRewrite rewriteOpenVpnConfig(const QList<OpenVpnDirective>& directives, const QString& folder,
                                    const QString& caPath)
{
    OpenVpnRewrite rewrite;
    const auto unspellable = [](int line) {
        OpenVpnRewrite refused;
        refused.error =
            QCoreApplication::translate("LumtarMain", "a word on line %1 cannot be passed on").arg(line);
        return refused;
    };
    for (const OpenVpnDirective& directive : directives) {
        const QByteArray& name = directive.words.at(0);
        if (name == "ca" || (directive.block && name == "auth-user-pass"))
            continue;
        if (directive.block) {
            if (takesFile(name)) {
                const QString path = folder + QLatin1Char('/') + blockFileName(name);
                QByteArray line = name + ' ';
                if (!spelled(QFile::encodeName(path), &line))
                    return unspellable(directive.line);
                rewrite.files.append({path, directive.data});
                rewrite.config += line + '\n';
            } else {
                rewrite.config += '<' + name + ">\n" + directive.data + "</" + name + ">\n";
            }
            continue;
        }
        // The <connection> markers are the one word that is not spelled.
        const bool marker = directive.words.size() == 1 && name.startsWith('<');
        QByteArray line = marker ? name : QByteArray();
        for (int i = 0; !marker && i < directive.words.size(); ++i) {
            if (i > 0)
                line += ' ';
            if (!spelled(directive.words.at(i), &line))
                return unspellable(directive.line);
        }
        // Quotes lengthen a line; past OpenVPN's length no reader is sure to read it whole.
        if (line.size() > maxLineBytes)
            return unspellable(directive.line);
        rewrite.config += line + '\n';
    }
    QByteArray ca = "ca ";
    if (!spelled(QFile::encodeName(caPath), &ca))
        return unspellable(0);
    rewrite.config += ca + '\n';
    return rewrite;
}

QStringList openVpnBlockFileNames()
{
    QStringList names;
    for (const char* block : fileBlocks)
        names << blockFileName(block);
    return names;
}

OpenVpnConfigVerdict checkOpenVpnConfig(const QByteArray& config)
{
    QList<Line> lines;
    int number = 0;
    int start = 0;
    while (start < config.size()) {
        int end = config.indexOf('\n', start);
        if (end < 0)
            end = config.size();
        ++number;
        const QByteArray text = config.mid(start, end - start);
        if (text.size() > maxLineBytes)
            return refusedLine(QCoreApplication::translate("LumtarMain", "line too long"), number);
        for (const char c : text) {
            if (isControl(c))
                return refusedLine(QCoreApplication::translate("LumtarMain", "control character"), number);
        }
        lines.append({text, number});
        start = end + 1;
    }
    OpenVpnConfigVerdict accepted;
    const OpenVpnConfigVerdict verdict = checkLines(lines, 0, lines.size(), accepted);
    return verdict.accepted ? accepted : verdict;
}
