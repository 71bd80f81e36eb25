// The OpenVPN program's management channel: its byte stream cut into lines, each line read into
// a message, and the credentials we send back, quoted for the program's option parser.
// The first byte of an input chooses how the stream is cut into pieces on the way, and whether
// long lines are tried too; the rest is the stream.
#include "connection/managementprotocol.h"
#include "mutator.h"

#include <sanitizer/allocator_interface.h>

#include <random>

namespace {

using Lines = QList<QByteArray>;

// Mostly pieces up to `longest`, now and then one long enough to hold a whole over-long line.
int pieceSize(std::minstd_rand& random, int longest)
{
    return random() % 16 == 0 ? 1 + int(random() % (2 * ManagementLineReader::maxLineLength))
                              : 1 + int(random() % longest);
}

void drain(ManagementLineReader& reader, Lines& lines)
{
    QByteArray line;
    while (reader.nextLine(&line))
        lines.append(line);
}

Lines inOnePiece(const QByteArray& stream)
{
    ManagementLineReader reader;
    reader.append(stream);
    Lines lines;
    drain(reader, lines);
    return lines;
}

Lines inPieces(const QByteArray& stream, unsigned split, int longest)
{
    std::minstd_rand random(split + 1);
    ManagementLineReader reader;
    Lines lines;
    for (int at = 0; at < stream.size();) {
        const int size = pieceSize(random, longest);
        reader.append(stream.mid(at, size));
        at += size;
        drain(reader, lines);
    }
    return lines;
}

// A stream that never ends its line, fed a piece at a time: what the reader keeps must stay
// about one line long however much arrives.
void keepsLittle(const QByteArray& stream)
{
    QByteArray piece = QByteArray(stream).replace('\n', ' ');
    if (piece.isEmpty())
        return;
    constexpr int pieceBytes = 16 * 1024;
    piece = piece.repeated(pieceBytes / piece.size() + 1).left(pieceBytes);
    ManagementLineReader reader;
    QByteArray line;
    const std::size_t before = __sanitizer_get_current_allocated_bytes();
    for (int i = 0; i < 16; ++i) {
        reader.append(piece);
        while (reader.nextLine(&line))
            FUZZ_EXPECT(line.size() <= ManagementLineReader::maxLineLength);
        const std::size_t now = __sanitizer_get_current_allocated_bytes();
        FUZZ_EXPECT(now <= before + 4 * std::size_t(ManagementLineReader::maxLineLength + pieceBytes));
    }
}

// The lines of a stream come out the same however it is split on the way, and only the
// program's own notifications make the client act: the text of a log line, which may quote the
// server, never does.
Lines checkLines(const QByteArray& stream, unsigned split, int longestPiece)
{
    const Lines lines = inOnePiece(stream);
    FUZZ_EXPECT(inPieces(stream, split, longestPiece) == lines);
    for (const QByteArray& line : lines) {
        FUZZ_EXPECT(!line.contains('\n') && line.size() <= ManagementLineReader::maxLineLength);
        switch (readManagementLine(line).kind) {
        case ManagementMessage::Kind::State:
        case ManagementMessage::Kind::NeedPassword:
        case ManagementMessage::Kind::AuthFailed:
        case ManagementMessage::Kind::Fatal:
        case ManagementMessage::Kind::Hold:
        case ManagementMessage::Kind::ByteCount:
            FUZZ_EXPECT(line.startsWith('>') && !line.startsWith(">LOG:"));
            break;
        case ManagementMessage::Kind::Log:
        case ManagementMessage::Kind::PasswordPrompt:
        case ManagementMessage::Kind::Other:
            break;
        }
    }
    return lines;
}

// The words of a command as the program's option parser reads them: blanks separate words,
// double or single quotes group them, a backslash outside single quotes escapes a backslash, a
// double quote or a blank and nothing else. False for a line the parser refuses.
bool parsedWords(const QByteArray& command, Lines& words)
{
    enum
    {
        Between,
        Plain,
        Quoted,
        SingleQuoted
    } state = Between;
    bool escaped = false;
    QByteArray word;
    for (int i = 0; i <= command.size(); ++i) {
        const char in = i < command.size() ? command.at(i) : '\0';
        if (in == '\0' && i < command.size())
            return false; // the parser reads a C string: everything after a NUL is lost
        const bool blank =
            in == '\0' || in == ' ' || in == '\t' || in == '\r' || in == '\n' || in == '\v' || in == '\f';
        if (!escaped && in == '\\' && state != SingleQuoted) {
            escaped = true;
            continue;
        }
        char out = 0;
        bool done = false;
        switch (state) {
        case Between:
            if (blank)
                break;
            if (in == '#' || in == ';')
                return true;
            if (!escaped && in == '"')
                state = Quoted;
            else if (!escaped && in == '\'')
                state = SingleQuoted;
            else {
                out = in;
                state = Plain;
            }
            break;
        case Plain:
            done = !escaped && blank;
            out = done ? 0 : in;
            break;
        case Quoted:
            done = !escaped && in == '"';
            out = done ? 0 : in;
            break;
        case SingleQuoted:
            done = in == '\'';
            out = done ? 0 : in;
            break;
        }
        if (escaped && out && out != '\\' && out != '"' && !blank)
            return false;
        escaped = false;
        if (out)
            word.append(out);
        if (done) {
            words.append(word);
            word.clear();
            state = Between;
        }
    }
    return state == Between;
}

bool canTravel(const QByteArray& value)
{
    return !value.contains('\n') && !value.contains('\r') && !value.contains('\0');
}

// The program gets the account's name and password exactly, as the third word of a command of
// three, and nothing in them can end the command and start another.
void credentialsArriveWhole(const QString& userName, const QString& password)
{
    bool ok = false;
    const Lines commands = credentialCommands(userName, password, &ok);
    FUZZ_EXPECT(ok == (canTravel(userName.toUtf8()) && canTravel(password.toUtf8())));
    if (!ok) {
        FUZZ_EXPECT(commands.isEmpty());
        return;
    }
    FUZZ_EXPECT(commands.size() == 2);
    const QByteArray expected[][3] = {{"username", "Auth", userName.toUtf8()},
                                      {"password", "Auth", password.toUtf8()}};
    for (int i = 0; i < 2; ++i) {
        FUZZ_EXPECT(canTravel(commands.at(i)));
        Lines words;
        FUZZ_EXPECT(parsedWords(commands.at(i), words));
        FUZZ_EXPECT(words == (Lines{expected[i][0], expected[i][1], expected[i][2]}));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray stream = fuzzBytes(data + 1, size - 1);
    const Lines lines = checkLines(stream, data[0], 64);

    // Inputs whose first byte asks for it go on with lines of 16 KB and more, which take longer:
    // the first line drawn out to about the length limit, and a line that never ends.
    if (data[0] >= 0xc0) {
        const int end = stream.indexOf('\n');
        const QByteArray head = stream.left(end < 0 ? stream.size() : end);
        if (!head.isEmpty()) {
            const int copies = ManagementLineReader::maxLineLength / head.size() - 1 + data[0] % 4;
            checkLines(head.repeated(copies) + stream.mid(head.size()), data[0], 4096);
        }
        keepsLittle(stream);
    }

    // A name as the user types it, and a password of any UTF-16 (no longer than 128 units:
    // length changes nothing in the quoting, and reading it back goes a byte at a time).
    const QByteArray first = lines.value(0);
    credentialsArriveWhole(
        QString::fromUtf8(first.constData(), first.size()),
        QString(reinterpret_cast<const QChar*>(stream.constData()), qMin(stream.size() / 2, 128)));
    return 0;
}
