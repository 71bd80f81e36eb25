// The OpenVPN management channel's lines: splitting the byte stream, reading each line and
// quoting what we send back.
#ifndef CORVANE_MANAGEMENTPROTOCOL_H
#define CORVANE_MANAGEMENTPROTOCOL_H

#include <QByteArray>
#include <QList>
#include <QString>

// One line the program sent, read into what the connection cares about.
struct ManagementMessage
{
    enum class Kind
    {
        Other,          // command answers, >INFO: and the like
        State,          // >STATE: with `state` and `detail` (CONNECTED and SUCCESS, ...)
        Log,            // >LOG: or a history line `log on all` replays; `text`, flags in `detail`
        NeedPassword,   // >PASSWORD:Need 'Auth' username/password
        AuthFailed,     // >PASSWORD:Verification Failed: 'Auth'
        Fatal,          // >FATAL: with `text`
        Hold,           // >HOLD: the program waits for `hold release`
        PasswordPrompt, // ENTER PASSWORD: (the channel's own password, asked for on connect)
        ByteCount       // >BYTECOUNT:<received>,<sent>, every second after `bytecount 1`
    };
    Kind kind = Kind::Other;
    QString state;
    QString detail;
    QString text;
    // For ByteCount: the bytes through the tunnel since it came up.
    quint64 received = 0;
    quint64 sent = 0;
};

// Collects bytes as they arrive and hands out whole lines without their line end. The prompt
// for the channel's password comes without a line end and is handed out as a line of its own
// as soon as it is seen at the start of a line. However the bytes are split on the way, the
// same lines come out.
class ManagementLineReader
{
public:
    // A line longer than this is cut here and the rest of it, up to its line end, is dropped,
    // so that no part of it reads as a line of its own; the program's lines are far shorter.
    static constexpr int maxLineLength = 16384;

    void append(const QByteArray& bytes);
    // The next whole line, or false when none is complete yet.
    bool nextLine(QByteArray* line);

private:
    QByteArray pending;
    bool dropping = false; // the rest of a cut line is still arriving
};

ManagementMessage readManagementLine(const QByteArray& line);

// A value as the program's option parser reads it back: in double quotes, with backslash and
// double quote escaped. UTF-8 passes unchanged. Empty when the value holds a line end or NUL,
// which no command line can carry; `ok` then says so.
QByteArray quoteManagementValue(const QString& value, bool* ok = nullptr);

// The two commands that answer the program's request for the account's name and password.
QList<QByteArray> credentialCommands(const QString& userName, const QString& password, bool* ok);

#endif
