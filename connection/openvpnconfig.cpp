#include "connection/openvpnconfig.h"

#include <QCoreApplication>
#include <QList>

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
                if (in == ';' || in == '#')
                    return true;
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

OpenVpnConfigVerdict checkLines(const QList<Line>& lines, int from, int to)
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
            if (isForbiddenOpenVpnDirective(name))
                return refusedDirective(name, line.number);
            // The lines of a <connection> block are directives; other blocks hold data.
            if (name == "connection") {
                const OpenVpnConfigVerdict inner = checkLines(lines, i + 1, end);
                if (!inner.accepted)
                    return inner;
            }
            i = end;
            continue;
        }

        // "setenv opt X ..." is the directive X. Only one level counts to OpenVPN, and the
        // "--" stays; peeling every level is the safer reading.
        while (words.size() >= 3 && words.at(0) == "setenv" && words.at(1) == "opt") {
            words.erase(words.begin(), words.begin() + 2);
            words[0] = withoutDoubleDash(words.at(0));
        }
        if (isForbiddenOpenVpnDirective(words.at(0)))
            return refusedDirective(words.at(0), line.number);
    }
    return {};
}

} // namespace

bool isForbiddenOpenVpnDirective(const QByteArray& name)
{
    static const QList<QByteArray> forbidden = {
        // Run programs, or choose which program runs.
        "up", "down", "route-up", "route-pre-down", "ipchange", "tls-verify", "tls-crypt-v2-verify",
        "auth-user-pass-verify", "learn-address", "client-connect", "client-crresponse", "client-disconnect",
        "iproute", "script-security", "win-sys",
        // Load code.
        "plugin", "providers", "engine", "pkcs11-providers",
        // Read or write other files and folders.
        "config", "cd", "chroot", "tmp-dir", "log", "log-append", "status", "writepid", "daemon", "genkey",
        "tls-export-cert", "replay-persist", "ifconfig-pool-persist"};
    return forbidden.contains(name) || name.startsWith("management");
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
    return checkLines(lines, 0, lines.size());
}
