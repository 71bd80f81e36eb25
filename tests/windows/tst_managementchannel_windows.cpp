// The Windows management channel: the client listens on 127.0.0.1, the program connects, and
// only the program the client started gets in. Against a stand-in openvpn.exe that speaks the
// channel as a client, and against the engine that follows it, as the Linux engine test does.
#include "connection/connectionengine.h"
#include "connection/managementchannel.h"
#include "connection/workfiles.h"
#include "testcertificates.h"
#include "tools/servicesim/servicesim.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <winsock2.h>

#include <memory>

namespace {
const QString password = QString::fromUtf8("p\xc3\xa4ss \"w\\rd");

QString standIn()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-standin-openvpn.exe");
}

quint16 portOf(const QStringList& arguments)
{
    return quint16(arguments.value(arguments.indexOf(QStringLiteral("--management")) + 2).toUInt());
}

// Connects from this test process, as a local program that found the port would; returns
// what it was sent before the channel closed it (or after a second).
QByteArray squat(quint16 port, bool* closed)
{
    QTcpSocket squatter;
    squatter.connectToHost(QHostAddress::LocalHost, port);
    if (!squatter.waitForConnected(3000)) {
        *closed = true;
        return QByteArray();
    }
    QByteArray heard;
    QElapsedTimer clock;
    clock.start();
    while (squatter.state() == QAbstractSocket::ConnectedState && clock.elapsed() < 3000) {
        QCoreApplication::processEvents();
        squatter.waitForReadyRead(20);
        heard += squatter.readAll();
    }
    *closed = squatter.state() != QAbstractSocket::ConnectedState;
    return heard;
}
} // namespace

class TestManagementChannelWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void onlyTheStartedProgramGetsIn();
    void programOfAnotherIdIsRefused();
    void portCannotBeSharedByAnotherSocket();
    void outcomeIsKnownAtOnce_data();
    void outcomeIsKnownAtOnce();

private:
    QProcess* startStandIn(const std::unique_ptr<ManagementChannel>& channel);

    ServiceSimulator sim;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<QProcess> program;
};

void TestManagementChannelWindows::initTestCase()
{
    QVERIFY2(QFile::exists(standIn()), qPrintable(standIn()));
    trustTestAuthority();
    sim.useTls(testCertificates().trusted.certificate, testCertificates().trusted.key);
    QVERIFY(sim.start());
    sim.setFile(QStringLiteral("/files/ca.crt"), "certificate");
    sim.setFile(QStringLiteral("/files/udp.ovpn"), "client\ndev tun\nremote 198.18.0.1 1194\n");
    qRegisterMetaType<ConnectionEngine::Reason>();
}

void TestManagementChannelWindows::init()
{
    folder = std::make_unique<QTemporaryDir>();
    qputenv("FAKE_SCENARIO", "connect");
}

void TestManagementChannelWindows::cleanup()
{
    if (program) {
        program->kill();
        program->waitForFinished(5000);
    }
    program.reset();
    folder.reset();
}

QProcess* TestManagementChannelWindows::startStandIn(const std::unique_ptr<ManagementChannel>& channel)
{
    program = std::make_unique<QProcess>();
    program->setWorkingDirectory(folder->path());
    program->start(standIn(), channel->programArguments());
    if (!program->waitForStarted(10000))
        return nullptr;
    program->write(channel->programInput());
    return program->waitForBytesWritten(5000) ? program.get() : nullptr;
}

void TestManagementChannelWindows::onlyTheStartedProgramGetsIn()
{
    std::unique_ptr<ManagementChannel> channel = makeManagementChannel();
    QString error;
    QVERIFY2(channel->open(folder->path(), &error), qPrintable(error));
    QSignalSpy connected(channel.get(), &ManagementChannel::connected);
    const quint16 port = portOf(channel->programArguments());
    QVERIFY(port != 0);

    // Whoever is first at the port before the program runs hears nothing and is shut out.
    const QRegularExpression refusal(QStringLiteral("^management channel: closed a connection"));
    QTest::ignoreMessage(QtWarningMsg, refusal);
    bool closed = false;
    QCOMPARE(squat(port, &closed), QByteArray());
    QVERIFY(closed);
    QCOMPARE(connected.size(), 0);

    QProcess* standInProgram = startStandIn(channel);
    QVERIFY(standInProgram);
    channel->setExpectedPeer(standInProgram->processId());
    channel->programStarted();
    QTRY_COMPARE_WITH_TIMEOUT(connected.size(), 1, 10000);
    QVERIFY(channel->device());
    // The program asked for the one-time password and took what the channel sent.
    QTRY_VERIFY_WITH_TIMEOUT(channel->device()->bytesAvailable() > 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(channel->device()->canReadLine(), 5000);
    QCOMPARE(channel->device()->readLine(), QByteArray("ENTER PASSWORD:\n"));
    QTRY_VERIFY_WITH_TIMEOUT(channel->device()->canReadLine(), 5000);
    QCOMPARE(channel->device()->readLine(), QByteArray("SUCCESS: password is correct\n"));

    // Once the program is in, the port is closed to everyone.
    QCOMPARE(squat(port, &closed), QByteArray());
    QVERIFY(closed);
    QCOMPARE(connected.size(), 1);
}

void TestManagementChannelWindows::programOfAnotherIdIsRefused()
{
    std::unique_ptr<ManagementChannel> channel = makeManagementChannel();
    QString error;
    QVERIFY2(channel->open(folder->path(), &error), qPrintable(error));
    QSignalSpy connected(channel.get(), &ManagementChannel::connected);
    QProcess* standInProgram = startStandIn(channel);
    QVERIFY(standInProgram);
    // The channel waits for this very process; the stand-in is another one.
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^management channel: closed a connection")));
    channel->setExpectedPeer(QCoreApplication::applicationPid());
    channel->programStarted();
    // The refusal runs on the event loop, as in the client.
    QTRY_VERIFY_WITH_TIMEOUT(standInProgram->state() == QProcess::NotRunning, 10000);
    QCOMPARE(standInProgram->exitCode(), 3); // its connection was closed before a word
    QCOMPARE(connected.size(), 0);

    // The process that is expected does get in: the check tells processes apart.
    QTcpSocket self;
    self.connectToHost(QHostAddress::LocalHost, portOf(channel->programArguments()));
    QVERIFY(self.waitForConnected(3000));
    QTRY_COMPARE_WITH_TIMEOUT(connected.size(), 1, 5000);
}

void TestManagementChannelWindows::portCannotBeSharedByAnotherSocket()
{
    std::unique_ptr<ManagementChannel> channel = makeManagementChannel();
    QString error;
    QVERIFY2(channel->open(folder->path(), &error), qPrintable(error));
    const quint16 port = portOf(channel->programArguments());

    SOCKET other = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    QVERIFY(other != INVALID_SOCKET);
    BOOL reuse = TRUE;
    setsockopt(other, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const int bound = bind(other, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    closesocket(other);
    QVERIFY(bound != 0);
}

void TestManagementChannelWindows::outcomeIsKnownAtOnce_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<bool>("up");
    QTest::newRow("success") << "connect" << true;
    QTest::newRow("password refused") << "authfail" << false;
}

void TestManagementChannelWindows::outcomeIsKnownAtOnce()
{
    QFETCH(QString, scenario);
    QFETCH(bool, up);
    QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("openvpn")));
    QVERIFY(QFile::copy(standIn(), folder->filePath(QStringLiteral("openvpn/openvpn.exe"))));
    auto engine = std::make_unique<ConnectionEngine>(folder->path());
    connect(engine->certificateManager(), &QNetworkAccessManager::finished, engine.get(),
            &ConnectionEngine::certificateArrived);
    connect(engine->configManager(), &QNetworkAccessManager::finished, engine.get(),
            &ConnectionEngine::configArrived);
    QSignalSpy tunnelUp(engine.get(), &ConnectionEngine::tunnelUp);
    QSignalSpy failed(engine.get(), &ConnectionEngine::attemptFailed);
    qputenv("FAKE_SCENARIO", scenario.toUtf8());
    engine->startOpenVpn({sim.baseUrl() + QStringLiteral("/files/ca.crt"),
                          sim.baseUrl() + QStringLiteral("/files/udp.ovpn"), QStringLiteral("alice"),
                          password});
    QTRY_VERIFY_WITH_TIMEOUT(tunnelUp.size() + failed.size() > 0, 15000);
    const QString programFolder = folder->filePath(QStringLiteral("openvpn"));
    if (runningAsAdministrator()) {
        // Wine gives every program an administrator's token, and the user owns every file:
        // an elevated client runs no program its user could have put there.
        QCOMPARE(tunnelUp.size(), 0);
        QCOMPARE(failed.at(0).at(0).value<ConnectionEngine::Reason>(),
                 ConnectionEngine::Reason::UnsafeInstallation);
        QVERIFY2(failed.at(0).at(1).toString().contains(QStringLiteral("not to the administrators")),
                 qPrintable(failed.at(0).at(1).toString()));
        QVERIFY(!QFile::exists(programFolder + QStringLiteral("/arguments")));
        return;
    }
    QCOMPARE(tunnelUp.size(), up ? 1 : 0);
    if (!up)
        QCOMPARE(failed.at(0).at(0).value<ConnectionEngine::Reason>(), ConnectionEngine::Reason::AuthFailed);
    QFile credentials(programFolder + QStringLiteral("/credentials"));
    QVERIFY(credentials.open(QIODevice::ReadOnly));
    QCOMPARE(credentials.readAll(), QByteArray("username \"Auth\" \"alice\"\npassword \"Auth\" "
                                               "\"p\xc3\xa4ss \\\"w\\\\rd\"\n"));
    QFile arguments(programFolder + QStringLiteral("/arguments"));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    const QByteArray started = arguments.readAll();
    QVERIFY(started.contains("--management-client"));
    QVERIFY(!started.contains(password.toUtf8()));
    engine->endAttempt();
    QTRY_VERIFY_WITH_TIMEOUT(engine->process()->state() == QProcess::NotRunning, 6000);
}

QTEST_GUILESS_MAIN(TestManagementChannelWindows)
#include "tst_managementchannel_windows.moc"
