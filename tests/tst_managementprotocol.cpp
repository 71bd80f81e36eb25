// The management channel's lines as a real openvpn 2.6 sends them (transcripts recorded in the
// OpenVPN lab), and the quoting of the credentials we send back.
#include "connection/managementprotocol.h"

#include <QFile>
#include <QtTest>

class TestManagementProtocol : public QObject
{
    Q_OBJECT

private slots:
    void transcriptsEndAsTheProgramSaid_data();
    void transcriptsEndAsTheProgramSaid();
    void linesReadTheSameHoweverTheyArrive_data();
    void linesReadTheSameHoweverTheyArrive();
    void credentialsAreQuotedForTheOptionParser_data();
    void credentialsAreQuotedForTheOptionParser();
    void lineEndsInCredentialsAreRefused();
    void byteCountsAreReadOnlyWhenPlainNumbers_data();
    void byteCountsAreReadOnlyWhenPlainNumbers();
};

namespace {
// The first line that decides an attempt, in words: "STATE CONNECTED SUCCESS", "AUTH FAILED",
// "FATAL <text>"; or "" when the transcript holds none.
QString outcome(const QByteArray& transcript, int chunk, QStringList* logs, bool* askedForPassword)
{
    ManagementLineReader reader;
    QString decided;
    for (int at = 0; at < transcript.size(); at += chunk) {
        reader.append(transcript.mid(at, chunk));
        QByteArray line;
        while (reader.nextLine(&line)) {
            const ManagementMessage message = readManagementLine(line);
            if (message.kind == ManagementMessage::Kind::Log)
                *logs << message.text;
            if (message.kind == ManagementMessage::Kind::NeedPassword)
                *askedForPassword = true;
            if (!decided.isEmpty())
                continue;
            if (message.kind == ManagementMessage::Kind::AuthFailed)
                decided = QStringLiteral("AUTH FAILED");
            else if (message.kind == ManagementMessage::Kind::Fatal)
                decided = QStringLiteral("FATAL ") + message.text;
            else if (message.kind == ManagementMessage::Kind::State &&
                     message.state == QLatin1String("CONNECTED"))
                decided = QStringLiteral("STATE CONNECTED ") + message.detail;
        }
    }
    return decided;
}
} // namespace

void TestManagementProtocol::transcriptsEndAsTheProgramSaid_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("logged");
    QTest::newRow("connected") << "connected.txt"
                               << "STATE CONNECTED SUCCESS"
                               << "Initialization Sequence Completed";
    QTest::newRow("wrong password") << "wrong-password.txt"
                                    << "AUTH FAILED"
                                    << "AUTH_FAILED";
    QTest::newRow("unreachable server")
        << "unreachable.txt"
        << "FATAL All connections have been connect-retry-max (1) times unsuccessful, exiting"
        << "Server poll timeout";
}

void TestManagementProtocol::transcriptsEndAsTheProgramSaid()
{
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QFETCH(QString, logged);
    QFile transcript(QStringLiteral(CORVANE_TEST_DATA "/openvpn/") + file);
    QVERIFY2(transcript.open(QIODevice::ReadOnly), qPrintable(transcript.fileName()));
    const QByteArray bytes = transcript.readAll();
    // However the bytes are split on the way, the lines read the same.
    for (int chunk : {1, 7, 4096}) {
        QStringList logs;
        bool askedForPassword = false;
        QCOMPARE(outcome(bytes, chunk, &logs, &askedForPassword), expected);
        QVERIFY(askedForPassword);
        QVERIFY2(!logs.filter(logged).isEmpty(), qPrintable(logs.join(QLatin1Char('\n'))));
    }
}

void TestManagementProtocol::linesReadTheSameHoweverTheyArrive_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<QByteArray>>("lines");
    // The channel's password is sent at once, so its prompt and the answer may come together.
    QTest::newRow("prompt and answer")
        << QByteArray("ENTER PASSWORD:SUCCESS: password is correct\r\n>HOLD:x\r\n")
        << QList<QByteArray>{"ENTER PASSWORD:", "SUCCESS: password is correct", ">HOLD:x"};
    const QByteArray longLine(ManagementLineReader::maxLineLength, 'x');
    QTest::newRow("over-long line") << longLine +
                                           ">FATAL:the middle of a line\r\n>STATE:1,CONNECTED,SUCCESS\r\n"
                                    << QList<QByteArray>{longLine, ">STATE:1,CONNECTED,SUCCESS"};
    QTest::newRow("over-long by its line end") << longLine + "\r\n>HOLD:x\n"
                                               << QList<QByteArray>{longLine, ">HOLD:x"};
}

void TestManagementProtocol::linesReadTheSameHoweverTheyArrive()
{
    QFETCH(QByteArray, stream);
    QFETCH(QList<QByteArray>, lines);
    for (int chunk : {1, 7, 16, 4096, int(stream.size())}) {
        ManagementLineReader reader;
        QList<QByteArray> read;
        for (int at = 0; at < stream.size(); at += chunk) {
            reader.append(stream.mid(at, chunk));
            QByteArray line;
            while (reader.nextLine(&line))
                read << line;
        }
        QCOMPARE(read, lines);
    }
}

void TestManagementProtocol::credentialsAreQuotedForTheOptionParser_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("plain") << "secret" << QByteArray("password \"Auth\" \"secret\"");
    QTest::newRow("blank") << "two words" << QByteArray("password \"Auth\" \"two words\"");
    QTest::newRow("quote and backslash") << "a\"b\\c" << QByteArray("password \"Auth\" \"a\\\"b\\\\c\"");
    QTest::newRow("utf-8") << QString::fromUtf8("p\xc3\xa4ssw\xc3\xb6rd")
                           << QByteArray("password \"Auth\" \"p\xc3\xa4ssw\xc3\xb6rd\"");
}

void TestManagementProtocol::credentialsAreQuotedForTheOptionParser()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, command);
    bool ok = false;
    const QList<QByteArray> commands = credentialCommands(QStringLiteral("al ice"), password, &ok);
    QVERIFY(ok);
    QCOMPARE(commands, (QList<QByteArray>{"username \"Auth\" \"al ice\"", command}));
}

void TestManagementProtocol::lineEndsInCredentialsAreRefused()
{
    bool ok = true;
    QVERIFY(
        credentialCommands(QStringLiteral("alice"), QStringLiteral("pass\nsignal SIGTERM"), &ok).isEmpty());
    QVERIFY(!ok);
}

void TestManagementProtocol::byteCountsAreReadOnlyWhenPlainNumbers_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("counted");
    QTest::addColumn<quint64>("received");
    QTest::addColumn<quint64>("sent");

    QTest::newRow("counts") << QByteArray(">BYTECOUNT:12345,678") << true << quint64(12345) << quint64(678);
    QTest::newRow("zero") << QByteArray(">BYTECOUNT:0,0") << true << quint64(0) << quint64(0);
    QTest::newRow("past four gigabytes")
        << QByteArray(">BYTECOUNT:5000000000,42") << true << quint64(5000000000ULL) << quint64(42);
    QTest::newRow("negative") << QByteArray(">BYTECOUNT:-1,5") << false << quint64(0) << quint64(0);
    QTest::newRow("blank") << QByteArray(">BYTECOUNT: 1,5") << false << quint64(0) << quint64(0);
    QTest::newRow("one number") << QByteArray(">BYTECOUNT:15") << false << quint64(0) << quint64(0);
    QTest::newRow("three numbers") << QByteArray(">BYTECOUNT:1,2,3") << false << quint64(0) << quint64(0);
    QTest::newRow("too large") << QByteArray(">BYTECOUNT:99999999999999999999999,1") << false << quint64(0)
                               << quint64(0);
    QTest::newRow("the per-client form of a server")
        << QByteArray(">BYTECOUNT_CLI:1,2,3") << false << quint64(0) << quint64(0);
}

void TestManagementProtocol::byteCountsAreReadOnlyWhenPlainNumbers()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, counted);
    QFETCH(quint64, received);
    QFETCH(quint64, sent);
    const ManagementMessage message = readManagementLine(line);
    QCOMPARE(message.kind == ManagementMessage::Kind::ByteCount, counted);
    QCOMPARE(message.received, received);
    QCOMPARE(message.sent, sent);
}

QTEST_GUILESS_MAIN(TestManagementProtocol)
#include "tst_managementprotocol.moc"
