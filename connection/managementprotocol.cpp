#include "connection/managementprotocol.h"

#include <algorithm>

namespace {
const QByteArray passwordPrompt = QByteArrayLiteral("ENTER PASSWORD:");

// The text after "<prefix>", or a null array when the line does not start with it.
QByteArray after(const QByteArray& line, const char* prefix)
{
    return line.startsWith(prefix) ? line.mid(int(qstrlen(prefix))) : QByteArray();
}
} // namespace

void ManagementLineReader::append(const QByteArray& bytes)
{
    pending += bytes;
}

bool ManagementLineReader::nextLine(QByteArray* line)
{
    if (dropping) {
        const int end = pending.indexOf('\n');
        if (end < 0) {
            pending.clear();
            return false;
        }
        pending.remove(0, end + 1);
        dropping = false;
    }
    if (pending.startsWith(passwordPrompt)) {
        *line = passwordPrompt;
        pending.remove(0, passwordPrompt.size());
        return true;
    }
    const int end = pending.indexOf('\n');
    if (end < 0 ? pending.size() > maxLineLength : end > maxLineLength) {
        *line = pending.left(maxLineLength);
        pending.remove(0, maxLineLength);
        dropping = true;
        return true;
    }
    if (end < 0)
        return false;
    *line = pending.left(end);
    pending.remove(0, end + 1);
    if (line->endsWith('\r'))
        line->chop(1);
    return true;
}

ManagementMessage readManagementLine(const QByteArray& line)
{
    ManagementMessage message;
    if (line.startsWith(">STATE:")) {
        // >STATE:<time>,<state>,<detail>,<local address>,...
        const QList<QByteArray> fields = after(line, ">STATE:").split(',');
        message.kind = ManagementMessage::Kind::State;
        message.state = QString::fromUtf8(fields.value(1));
        message.detail = QString::fromUtf8(fields.value(2));
        return message;
    }
    QByteArray log = after(line, ">LOG:");
    // `log on all` first replays the history as plain lines in the same form.
    if (log.isNull() && !line.startsWith('>') && line.count(',') >= 2 && !line.isEmpty() &&
        line.at(0) >= '0' && line.at(0) <= '9')
        log = line;
    if (!log.isNull()) {
        // <time>,<flags>,<message>; the message may hold commas itself.
        const int first = log.indexOf(',');
        const int second = first < 0 ? -1 : log.indexOf(',', first + 1);
        message.kind = ManagementMessage::Kind::Log;
        message.detail =
            QString::fromUtf8(second < 0 ? QByteArray() : log.mid(first + 1, second - first - 1));
        message.text = QString::fromUtf8(second < 0 ? log : log.mid(second + 1));
        return message;
    }
    const QByteArray password = after(line, ">PASSWORD:");
    if (!password.isNull()) {
        if (password.startsWith("Verification Failed"))
            message.kind = ManagementMessage::Kind::AuthFailed;
        else if (password.startsWith("Need 'Auth'"))
            message.kind = ManagementMessage::Kind::NeedPassword;
        message.text = QString::fromUtf8(password);
        return message;
    }
    const QByteArray fatal = after(line, ">FATAL:");
    if (!fatal.isNull()) {
        message.kind = ManagementMessage::Kind::Fatal;
        message.text = QString::fromUtf8(fatal);
        return message;
    }
    const QByteArray bytes = after(line, ">BYTECOUNT:");
    if (!bytes.isNull()) {
        const QList<QByteArray> counts = bytes.split(',');
        bool inOk = false;
        bool outOk = false;
        const quint64 received = counts.value(0).toULongLong(&inOk, 10);
        const quint64 sent = counts.value(1).toULongLong(&outOk, 10);
        // Only two plain decimal numbers: no sign, no blank, nothing after them.
        const auto plain = [](const QByteArray& number) {
            return !number.isEmpty() &&
                   std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
        };
        if (counts.size() == 2 && inOk && outOk && plain(counts.at(0)) && plain(counts.at(1))) {
            message.kind = ManagementMessage::Kind::ByteCount;
            message.received = received;
            message.sent = sent;
            return message;
        }
    }
    if (line.startsWith(">HOLD:"))
        message.kind = ManagementMessage::Kind::Hold;
    else if (line == passwordPrompt)
        message.kind = ManagementMessage::Kind::PasswordPrompt;
    message.text = QString::fromUtf8(line);
    return message;
}

QByteArray quoteManagementValue(const QString& value, bool* ok)
{
    const QByteArray utf8 = value.toUtf8();
    const bool fits = !utf8.contains('\n') && !utf8.contains('\r') && !utf8.contains('\0');
    if (ok)
        *ok = fits;
    if (!fits)
        return QByteArray();
    QByteArray quoted = "\"";
    for (const char c : utf8) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

QList<QByteArray> credentialCommands(const QString& userName, const QString& password, bool* ok)
{
    bool nameOk = false;
    bool passwordOk = false;
    const QByteArray name = quoteManagementValue(userName, &nameOk);
    const QByteArray secret = quoteManagementValue(password, &passwordOk);
    *ok = nameOk && passwordOk;
    if (!*ok)
        return {};
    return {QByteArrayLiteral("username \"Auth\" ") + name, QByteArrayLiteral("password \"Auth\" ") + secret};
}
