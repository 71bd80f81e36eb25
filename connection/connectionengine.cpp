#include "connection/connectionengine.h"

#include "connection/managementchannel.h"
#include "connection/managementprotocol.h"
#include "connection/openvpnconfig.h"
#include "connection/openvpnprocess.h"
#include "connection/pathsafety.h"
#include "connection/pppworker.h"
#include "connection/systemvpn.h"
#include "connection/tunneldns.h"
#include "core/clock.h"
#include "core/logging.h"
#include "monitor/statustexts.h"
#include "service/network.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

namespace {
const char attemptProperty[] = "corvaneOpenVpnAttempt";
const QString certificateName = QStringLiteral("certificate.crt");
const QString configName = QStringLiteral("config.ovpn");
const QString logName = QStringLiteral("openvpn.log");
// How long a dial may take to return after its hang-up before the next one is refused.
constexpr unsigned long dialThreadStopMs = 5000;
// How long the program gets to end on its own after it has been asked to.
constexpr int programStopMs = 3000;
// Five byte counts missed in a row: the program hangs.
constexpr int programSilenceLimitMs = 6000;
// How often the dial-up layer or the system's service is asked for the tunnel's byte counts.
constexpr int trafficCountMs = 1000;
// A server that does not answer is given up after this long, well inside the attempt allowance.
const QString serverPollSeconds = QStringLiteral("10");
// Past this size the log starts afresh, the one before kept beside it: a chatty program must
// not fill the disk.
constexpr qint64 logLimitBytes = 4 * 1024 * 1024;
const QString previousLogSuffix = QStringLiteral(".1");

// The connection log's lines of our own, in the user's language.
QString dialLogLine(const QString& status, const QString& result)
{
    QString said = QCoreApplication::translate("ConnectionEngine", "ended");
    if (status == QLatin1String("in progress"))
        said = QCoreApplication::translate("ConnectionEngine", "in progress");
    else if (status == QLatin1String("connected"))
        said = QCoreApplication::translate("ConnectionEngine", "connected");
    else if (status == QLatin1String("error"))
        said = QCoreApplication::translate("ConnectionEngine", "failed");
    else if (status == QLatin1String("stop"))
        said = QCoreApplication::translate("ConnectionEngine", "stopped");
    return result.isEmpty()
               ? QCoreApplication::translate("ConnectionEngine", "Dial: %1").arg(said)
               : QCoreApplication::translate("ConnectionEngine", "Dial: %1 (result %2)").arg(said, result);
}

QString systemLogLine(SystemOpenVpn::Progress progress, const QString& detail)
{
    QString said = QCoreApplication::translate("ConnectionEngine", "NetworkManager: the attempt ended");
    if (progress == SystemOpenVpn::Progress::Connecting)
        said = QCoreApplication::translate("ConnectionEngine", "NetworkManager: talking to the server");
    else if (progress == SystemOpenVpn::Progress::Up)
        said = QCoreApplication::translate("ConnectionEngine", "NetworkManager: the tunnel is up");
    return detail.isEmpty() ? said : said + QStringLiteral(" - ") + detail;
}

// The body of a finished download, or nothing with the reason in `detail`.
std::optional<QByteArray> downloadBody(QNetworkReply* reply, int* httpStatus, QString* detail)
{
    *httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) {
        const RequestProblem problem = requestProblem(reply);
        const bool unreached = problem == RequestProblem::Network || problem == RequestProblem::ServiceDown ||
                               problem == RequestProblem::ServerError;
        *detail = !unreached    ? requestProblemText(reply)
                  : *httpStatus ? QStringLiteral("HTTP %1").arg(*httpStatus)
                                : reply->errorString();
        return std::nullopt;
    }
    // A redirect is not the file, whatever its body holds.
    if (*httpStatus && (*httpStatus < 200 || *httpStatus > 299)) {
        *detail = QStringLiteral("HTTP %1").arg(*httpStatus);
        return std::nullopt;
    }
    std::optional<QByteArray> body = readCappedBody(reply);
    if (!body)
        *detail = QCoreApplication::translate("LumtarMain", "the file is too large");
    return body;
}

// openvpn's note of a datagram the server's address refused: ECONNREFUSED on POSIX systems,
// WSAECONNRESET (10054) on Windows.
bool isRefusal(const QString& text)
{
    return text.startsWith(QLatin1String("read UDP")) &&
           (text.contains(QLatin1String("[ECONNREFUSED]")) || text.contains(QLatin1String("code=10054")));
}

QString stamped(const QString& text)
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + text;
}
} // namespace

ConnectionEngine::ConnectionEngine(const QString& installation, QObject* parent)
    : QObject(parent), base(installation), openVpnFiles(openVpnPlaces(installation))
{
    pppThread = new QThread;
    pppWorker = new PPPWorker;
    pppWorker->setStatus(QString());
    pppWorker->moveToThread(pppThread);
    connect(pppWorker, SIGNAL(PPPStart()), pppThread, SLOT(start()));
    connect(pppThread, SIGNAL(started()), pppWorker, SLOT(VPNStart()));
    // Both come from the worker's thread; they are taken here, on the window's.
    connect(pppWorker, &PPPWorker::changed, this, &ConnectionEngine::takeDialStatus, Qt::QueuedConnection);
    connect(pppThread, &QThread::finished, this, &ConnectionEngine::dialThreadEnded, Qt::QueuedConnection);

    renewSilenceTimer();
    trafficTimer = Clock::current().newTimer(this);
    connect(trafficTimer, &ClockTimer::timeout, this, &ConnectionEngine::countTraffic);

    openVpnProcess = makeOpenVpnProcess(this);
    openVpnStage1Manager = new QNetworkAccessManager(this);
    openVpnStage1Manager->setObjectName(QStringLiteral("openVpnStage1Manager"));
    openVpnStage2Manager = new QNetworkAccessManager(this);
    openVpnStage2Manager->setObjectName(QStringLiteral("openVpnStage2Manager"));
    connect(openVpnStage1Manager, &QNetworkAccessManager::finished, this,
            &ConnectionEngine::certificateArrived);
    connect(openVpnStage2Manager, &QNetworkAccessManager::finished, this, &ConnectionEngine::configArrived);

    // A program an earlier run left behind would keep its tunnel up beside ours.
    if (openVpnFiles.error.isEmpty())
        endLeftoverOpenVpn(openVpnFiles.privateFolder);
    tunnelDns = makeTunnelDns(openVpnFiles.privateFolder);
    if (tunnelDns->restoreLeftover())
        qCWarning(lcConnection) << "gave back the name servers a run that ended left replaced";
}

ConnectionEngine::~ConnectionEngine()
{
    pppWorker->hangUp();
    pppWorker->setStatus(QStringLiteral("stop"));
    if (pppThread->isRunning())
        pppThread->quit();
    ++attempt;
    if (systemVpn)
        systemVpn->stop();
    // Here the client may wait: each program gets its polite stop, then the kill.
    if (channel && channel->device())
        send(QByteArrayLiteral("signal SIGTERM"));
    for (QProcess* program : findChildren<QProcess*>()) {
        disconnect(program, nullptr, this, nullptr);
        if (program->state() == QProcess::NotRunning)
            continue;
        if (program != openVpnProcess || !channel || !channel->device())
            program->terminate();
        if (!program->waitForFinished(programStopMs)) {
            program->kill();
            program->waitForFinished(programStopMs);
        }
    }
    channel.reset();
    tunnelDns->restore();
    pppThread->wait();
    delete pppThread;
    delete pppWorker;
    removeWorkFiles();
    QFile::remove(openVpnPidFile(openVpnFiles.privateFolder));
}

void ConnectionEngine::hangUp()
{
    // Marked first: a dial that the hang-up ends then always reads as stopped, never as failed.
    pppWorker->setStatus(QStringLiteral("stop"));
    pppWorker->hangUp();
}

bool ConnectionEngine::dialStillEnding() const
{
    return pppThread->isRunning();
}

void ConnectionEngine::takeDialStatus()
{
    const QString status = pppWorker->statusText();
    const QString result = pppWorker->resultCodeText();
    emit logLine(dialLogLine(status, result));
    // Each outcome is taken once; a dial that the hang-up ended reads as stopped, not failed.
    if (status == QLatin1String("connected")) {
        pppWorker->setStatus(QString());
        trafficTimer->start(trafficCountMs);
        emit dialConnected();
    } else if (status == QLatin1String("error")) {
        pppWorker->setStatus(QString());
        emit dialFailed(fieldNumber(result));
    }
}

bool ConnectionEngine::startDial(const DialRequest& request)
{
    pppWorker->protocol = request.protocol;
    pppWorker->preSharedKey = request.preSharedKey;
    pppWorker->serverAddress = request.serverAddress;
    pppWorker->userName = request.userName;
    pppWorker->password = request.password;
    pppWorker->serverName = request.serverName;
    if (pppThread->isRunning()) {
        // A running thread ignores the next start, and its dial would silently not happen.
        pppThread->quit();
        pppWorker->hangUp();
        if (!pppThread->wait(dialThreadStopMs)) {
            qCWarning(lcConnection) << "the previous dial did not end in time";
            return false;
        }
    }
    // The stop mark of the teardown before this dial is cleared; a stop from now on cancels it.
    pppWorker->setStatus(QString());
    pppThread->start(QThread::InheritPriority);
    return true;
}

void ConnectionEngine::startOpenVpn(const OpenVpnRequest& request)
{
    ++attempt;
    current = request;
    failedHttpStatus = 0;
    lastLog.clear();
    lastProblem.clear();
    openVpnFiles = openVpnPlaces(base);
    setStage(Stage::Downloading);
    fetch(openVpnStage1Manager, current.certificateUrl);
    emit stepReached(Step::CertificateRequested);
}

bool ConnectionEngine::downloadIsCurrent(QNetworkReply* reply) const
{
    return stage == Stage::Downloading && reply->property(attemptProperty).toULongLong() == attempt;
}

QNetworkReply* ConnectionEngine::fetch(QNetworkAccessManager* manager, const QString& address)
{
    // A tampered list must not copy local files (file:, qrc:) into the tunnel set-up, nor have
    // the files come over plain HTTP.
    QNetworkReply* reply =
        requests.get(manager, noCacheRequest(QUrl(address, QUrl::TolerantMode)), RequestPurpose::Download);
    reply->setProperty(attemptProperty, attempt);
    return reply;
}

void ConnectionEngine::certificateArrived(QNetworkReply* reply)
{
    reply->deleteLater();
    // A reply of an attempt that has already ended writes nothing and starts nothing.
    if (!downloadIsCurrent(reply))
        return;
    removeWorkFiles();
    QString detail;
    const std::optional<QByteArray> body = downloadBody(reply, &failedHttpStatus, &detail);
    if (!body) {
        fail(Reason::CertificateDownload, detail);
        return;
    }
    if (!openVpnFiles.error.isEmpty()) {
        fail(Reason::FilesNotWritten, openVpnFiles.error);
        return;
    }
    QString writeError;
    if (!writeWorkFile(openVpnFiles.workFolder + QLatin1Char('/') + certificateName, *body, &writeError)) {
        fail(Reason::FilesNotWritten,
             QCoreApplication::translate("LumtarMain", "cannot write the certificate (%1)").arg(writeError));
        return;
    }
    emit stepReached(Step::ConfigRequested);
    if (!downloadIsCurrent(reply))
        return;
    fetch(openVpnStage2Manager, current.configUrl);
}

void ConnectionEngine::configArrived(QNetworkReply* reply)
{
    reply->deleteLater();
    if (!downloadIsCurrent(reply))
        return;
    QString detail;
    const std::optional<QByteArray> body = downloadBody(reply, &failedHttpStatus, &detail);
    if (!body) {
        fail(Reason::ConfigDownload, detail);
        return;
    }
    // Whoever serves the configuration decides what the program, run with administrator rights, does.
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(*body);
    if (!verdict.accepted) {
        removeWorkFiles();
        fail(Reason::ConfigRefused, verdict.reason);
        return;
    }
    boundingOptions = openVpnBoundingOptions(verdict);
    // Below this verbosity the program's log does not show the pushed name servers.
    if (boundingOptions.isEmpty() && verdict.verbosity.toInt() < 3)
        boundingOptions << QStringLiteral("--verb") << QStringLiteral("3");
    emit serversChosen(openVpnServerEndpoints(verdict.directives));
    if (!downloadIsCurrent(reply))
        return;
    QString writeError;
    if (!writeWorkFile(openVpnFiles.workFolder + QLatin1Char('/') + configName, *body, &writeError)) {
        removeWorkFiles();
        fail(
            Reason::FilesNotWritten,
            QCoreApplication::translate("LumtarMain", "cannot write the configuration (%1)").arg(writeError));
        return;
    }
    emit stepReached(Step::ProgramStarting);
    if (!downloadIsCurrent(reply))
        return;
    launchProgram();
}

void ConnectionEngine::launchProgram()
{
    if (runningAsAdministrator()) {
        // Whoever may replace these runs code with our rights.
        for (const QString& path : {openVpnFiles.program, openVpnFiles.workFolder}) {
            const QString reason = unsafePathReason(path);
            if (!reason.isEmpty()) {
                removeWorkFiles();
                fail(Reason::UnsafeInstallation, reason);
                return;
            }
        }
    }
    bool credentialsFit = false;
    credentialCommands(current.userName, current.password, &credentialsFit);
    if (!credentialsFit) {
        removeWorkFiles();
        fail(Reason::CredentialsUnusable,
             QCoreApplication::translate("LumtarMain", "the user name or password holds a line end"));
        return;
    }
    // The system's service runs it with the system's rights, DNS and routes where it answers.
    if (SystemOpenVpn* service = makeSystemOpenVpn(this)) {
        launchThroughSystem(service);
        return;
    }
    endLeftoverOpenVpn(openVpnFiles.privateFolder);

    pushedDns.clear();
    tunnelDevice.clear();
    refusalsInARow = 0;
    receivedSoFar = 0;
    dnsProblem.clear();
    if (openVpnProcess->state() == QProcess::NotRunning)
        delete openVpnProcess;
    renewSilenceTimer();

    openVpnProcess = makeOpenVpnProcess(this);
    channel = makeManagementChannel();
    lineReader = ManagementLineReader();
    QString error;
    if (!channel->open(openVpnFiles.privateFolder, &error)) {
        removeWorkFiles();
        fail(Reason::ProgramNotStarted, error);
        return;
    }
    connect(channel.get(), &ManagementChannel::connected, this, &ConnectionEngine::channelConnected);

    // The client writes the log itself: a link put at its path is replaced, never followed.
    const QString logPath = openVpnFiles.workFolder + QLatin1Char('/') + logName;
    QFile::remove(logPath + previousLogSuffix);
    openLog(logPath);

    const QDir programFolder(openVpnFiles.programFolder);
    const auto file = [&](const QString& name) {
        return programFolder.relativeFilePath(openVpnFiles.workFolder + QLatin1Char('/') + name);
    };
    // The late --script-security wins over anything in the file. The credentials are asked
    // for on the channel; none is on the command line or on disk.
    QStringList arguments{QStringLiteral("--config"),
                          file(configName),
                          QStringLiteral("--script-security"),
                          QStringLiteral("1"),
                          QStringLiteral("--ca"),
                          file(certificateName),
                          QStringLiteral("--auth-user-pass"),
                          QStringLiteral("--management-query-passwords"),
                          QStringLiteral("--management-hold"),
                          QStringLiteral("--auth-retry"),
                          QStringLiteral("none"),
                          QStringLiteral("--connect-retry-max"),
                          QStringLiteral("1"),
                          QStringLiteral("--server-poll-timeout"),
                          serverPollSeconds,
                          QStringLiteral("--resolv-retry"),
                          QStringLiteral("0")};
    arguments += channel->programArguments();
    arguments += boundingOptions;

    const quint64 thisAttempt = attempt;
    QProcess* program = openVpnProcess;
    connect(program, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this, thisAttempt] {
                if (thisAttempt == attempt)
                    programFinished();
            });
    connect(program, &QProcess::errorOccurred, this, [this, thisAttempt](QProcess::ProcessError error) {
        if (thisAttempt == attempt && error == QProcess::FailedToStart)
            fail(Reason::ProgramNotStarted, openVpnProcess->errorString());
    });
    // Its log comes over the channel; an unread pipe would stall the program once full.
    program->setStandardOutputFile(QProcess::nullDevice());
    program->setStandardErrorFile(QProcess::nullDevice());
    program->setWorkingDirectory(openVpnFiles.programFolder);
    setStage(Stage::Starting);
    emit logLine(tr("Starting %1").arg(openVpnFiles.program));
    program->start(openVpnFiles.program, arguments, QIODevice::ReadWrite);
    if (thisAttempt != attempt || program->processId() <= 0)
        return;
    const QByteArray input = channel->programInput();
    if (!input.isEmpty())
        program->write(input);
    writeOpenVpnPidFile(openVpnFiles.privateFolder, program->processId(), openVpnFiles.privateFolder);
    channel->setExpectedPeer(program->processId());
    channel->programStarted();
}

void ConnectionEngine::launchThroughSystem(SystemOpenVpn* service)
{
    systemVpn = service;
    const quint64 thisAttempt = attempt;
    connect(service, &SystemOpenVpn::progressed, this,
            [this, thisAttempt](SystemOpenVpn::Progress progress, bool loginFailed, const QString& detail) {
                if (thisAttempt != attempt)
                    return;
                emit logLine(systemLogLine(progress, detail));
                switch (progress) {
                case SystemOpenVpn::Progress::Connecting:
                    if (stage == Stage::Starting) {
                        setStage(Stage::Running);
                        report([this] { emit programRunning(); });
                    }
                    break;
                case SystemOpenVpn::Progress::Up:
                    setStage(Stage::TunnelUp);
                    report([this] { emit tunnelUp(); });
                    break;
                case SystemOpenVpn::Progress::Ended:
                    fail(loginFailed ? Reason::AuthFailed : Reason::Fatal, detail);
                    break;
                }
            });
    setStage(Stage::Starting);
    emit logLine(tr("Starting OpenVPN through NetworkManager"));
    const auto file = [this](const QString& name) {
        return QFileInfo(openVpnFiles.workFolder + QLatin1Char('/') + name).absoluteFilePath();
    };
    QString error;
    if (!service->start(file(configName), file(certificateName), current.userName, current.password,
                        &error) &&
        thisAttempt == attempt) {
        removeWorkFiles();
        fail(Reason::ProgramNotStarted, error);
    }
}

void ConnectionEngine::channelConnected()
{
    connect(channel->device(), &QIODevice::readyRead, this, &ConnectionEngine::readChannel);
    send(QByteArrayLiteral("log on all"));
    send(QByteArrayLiteral("state on"));
    send(QByteArrayLiteral("bytecount 1"));
    send(QByteArrayLiteral("hold release"));
    readChannel();
}

void ConnectionEngine::send(const QByteArray& command)
{
    if (channel && channel->device())
        channel->device()->write(command + '\n');
}

void ConnectionEngine::readChannel()
{
    if (!channel || !channel->device())
        return;
    ManagementLineReader& reader = lineReader;
    const QByteArray bytes = channel->device()->readAll();
    if (!bytes.isEmpty() && stage == Stage::TunnelUp)
        silenceTimer->start(programSilenceLimitMs);
    reader.append(bytes);
    QByteArray line;
    const quint64 thisAttempt = attempt;
    while (thisAttempt == attempt && channel && reader.nextLine(&line))
        handleLine(line);
}

void ConnectionEngine::handleLine(const QByteArray& line)
{
    const ManagementMessage message = readManagementLine(line);
    switch (message.kind) {
    case ManagementMessage::Kind::Log: {
        writeLog(message.text);
        emit logLine(message.text);
        // Its echo of what goes over the channel says nothing about why it ended.
        if (!message.text.startsWith(QLatin1String("MANAGEMENT: ")))
            lastLog = message.text;
        static const QRegularExpression opened(QStringLiteral("^(?:TUN/TAP|DCO) device (\\S+) opened"));
        const QRegularExpressionMatch device = opened.match(message.text);
        if (message.text.contains(QLatin1String("PUSH_REPLY,"))) {
            pushedDns = pushedNameServers(message.text);
        } else if (device.hasMatch()) {
            tunnelDevice = device.captured(1);
            emit tunnelDeviceOpened(tunnelDevice);
        }
        if (message.detail.contains(QLatin1Char('N')) || message.detail.contains(QLatin1Char('F')))
            lastProblem = message.text;
        // The server's address answers that nothing listens there (ICMP port unreachable):
        // openvpn only notes it and would carry on for a whole keepalive period, showing a
        // tunnel that carries nothing. Twice with nothing received in between is a drop.
        if (stage == Stage::TunnelUp && isRefusal(message.text) && ++refusalsInARow >= 2)
            fail(Reason::Reconnecting, tr("the server's address refuses the connection"));
        break;
    }
    case ManagementMessage::Kind::State: {
        const QString text =
            QStringLiteral("State: ") + message.state +
            (message.detail.isEmpty() ? QString() : QStringLiteral(" (") + message.detail + QLatin1Char(')'));
        writeLog(text);
        emit logLine(text);
        if (message.state == QLatin1String("CONNECTED")) {
            if (message.detail == QLatin1String("SUCCESS")) {
                applyTunnelDns();
                setStage(Stage::TunnelUp);
                report([this] { emit tunnelUp(); });
            } else {
                fail(Reason::ConnectError, lastRelevantLog());
            }
        } else if (message.state == QLatin1String("RECONNECTING") && stage == Stage::TunnelUp) {
            fail(Reason::Reconnecting, message.detail);
        } else if (stage == Stage::Starting && message.state != QLatin1String("EXITING")) {
            setStage(Stage::Running);
            report([this] { emit programRunning(); });
        }
        break;
    }
    case ManagementMessage::Kind::NeedPassword: {
        bool ok = false;
        for (const QByteArray& command : credentialCommands(current.userName, current.password, &ok))
            send(command);
        break;
    }
    case ManagementMessage::Kind::AuthFailed:
        writeLog(QStringLiteral("The server refused the user name or password"));
        fail(Reason::AuthFailed, QString());
        break;
    case ManagementMessage::Kind::Fatal:
        writeLog(message.text);
        emit logLine(message.text);
        fail(Reason::Fatal, message.text);
        break;
    case ManagementMessage::Kind::Hold:
        send(QByteArrayLiteral("hold release"));
        break;
    case ManagementMessage::Kind::ByteCount:
        if (message.received != receivedSoFar)
            refusalsInARow = 0;
        receivedSoFar = message.received;
        if (stage == Stage::TunnelUp)
            report([this, message] { emit trafficCounted(message.received, message.sent); });
        break;
    case ManagementMessage::Kind::PasswordPrompt:
    case ManagementMessage::Kind::Other:
        break;
    }
}

void ConnectionEngine::programFinished()
{
    // Its last words may still wait in the channel: they say more than the exit code, which
    // is 0 after a refused password too.
    for (int i = 0; i < 10 && channel && channel->device() && channel->device()->waitForReadyRead(50); ++i)
        readChannel();
    readChannel();
    if (stage == Stage::None)
        return;
    if (lastProblem.contains(QLatin1String("AUTH_FAILED")) || lastLog.contains(QLatin1String("AUTH_FAILED")))
        fail(Reason::AuthFailed, QString());
    else if (openVpnProcess->exitStatus() == QProcess::CrashExit)
        // Killed or crashed: its last line was not about this.
        fail(Reason::ProgramEnded, tr("the OpenVPN program was ended unexpectedly"));
    else
        fail(Reason::ProgramEnded, lastRelevantLog());
}

void ConnectionEngine::fail(Reason reason, const QString& detail)
{
    if (stage == Stage::None)
        return;
    const bool wasUp = stage == Stage::TunnelUp;
    ++attempt;
    stopProgram();
    setStage(Stage::None);
    qCInfo(lcConnection) << "attempt ended:" << reason << detail;
    report([this, wasUp, reason, detail] {
        if (wasUp)
            emit tunnelDropped(reason, detail);
        else
            emit attemptFailed(reason, detail);
    });
}

void ConnectionEngine::setStage(Stage next)
{
    stage = next;
    // The system's service watches its own program.
    if (stage == Stage::TunnelUp && !systemVpn)
        silenceTimer->start(programSilenceLimitMs);
    else if (stage != Stage::TunnelUp)
        silenceTimer->stop();
    if (stage == Stage::TunnelUp && systemVpn)
        trafficTimer->start(trafficCountMs);
    else
        trafficTimer->stop();
}

void ConnectionEngine::countTraffic()
{
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    const bool counted =
        systemVpn && stage == Stage::TunnelUp
            ? systemVpn->traffic(received, sent)
            : pppWorker->dialUp().statistics(pppWorker->rasConnection.load(), received, sent);
    if (counted)
        emit trafficCounted(received, sent);
}

void ConnectionEngine::programFellSilent()
{
    if (stage != Stage::TunnelUp)
        return;
    const QString text = tr("The OpenVPN program has not answered for %1 seconds; it is ended")
                             .arg(programSilenceLimitMs / 1000);
    qCWarning(lcConnection).noquote() << text;
    writeLog(text);
    emit logLine(text);
    // A stopped program takes no polite signal: it goes at once, and with it its tunnel.
    openVpnProcess->kill();
    fail(Reason::ProgramSilent, text);
}

void ConnectionEngine::report(std::function<void()> emitOutcome)
{
    const quint64 reportedFor = attempt;
    QMetaObject::invokeMethod(
        this,
        [this, reportedFor, emitOutcome = std::move(emitOutcome)] {
            if (reportedFor == attempt)
                emitOutcome();
        },
        Qt::QueuedConnection);
}

void ConnectionEngine::applyTunnelDns()
{
    QString error;
    if (tunnelDns->apply(tunnelDevice, pushedDns, &error)) {
        emit logLine(QStringLiteral("Name servers %1 applied through %2")
                         .arg(pushedDns.join(QStringLiteral(", ")), tunnelDns->means()));
        return;
    }
    dnsProblem = error;
    const QString text = QStringLiteral("The tunnel's name servers could not be applied: ") + error;
    qCWarning(lcConnection).noquote() << text;
    writeLog(text);
    emit logLine(text);
}

// Each program gets a silence timer of the clock in force; the last one goes once its own signal,
// which may be what ends that program, has returned.
void ConnectionEngine::renewSilenceTimer()
{
    if (silenceTimer) {
        silenceTimer->stop();
        silenceTimer->deleteLater();
    }
    silenceTimer = Clock::current().newTimer(this);
    silenceTimer->setSingleShot(true);
    connect(silenceTimer, &ClockTimer::timeout, this, &ConnectionEngine::programFellSilent);
}

void ConnectionEngine::stopProgram()
{
    tunnelDns->restore();
    if (systemVpn) {
        disconnect(systemVpn, nullptr, this, nullptr);
        systemVpn->stop();
        systemVpn->deleteLater();
        systemVpn = nullptr;
    }
    logFile.reset();
    QProcess* program = openVpnProcess;
    disconnect(program, nullptr, this, nullptr);
    if (program->state() == QProcess::NotRunning) {
        // This may run inside the channel's own readyRead: the socket goes once that has returned.
        if (channel)
            channel.release()->deleteLater();
        return;
    }
    if (channel && channel->device())
        send(QByteArrayLiteral("signal SIGTERM"));
    else
        program->terminate();
    // The channel goes with the program: on Linux its loss alone would end the program too.
    if (channel)
        channel.release()->setParent(program);
    // Precise: a coarse timer may fire up to 5% early, cutting the program's promised time short.
    QTimer::singleShot(programStopMs, Qt::PreciseTimer, program, [program] {
        qCWarning(lcConnection) << "the OpenVPN program did not end in time; killing it";
        program->kill();
    });
    connect(program, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), program,
            &QObject::deleteLater);
    renewSilenceTimer();

    openVpnProcess = makeOpenVpnProcess(this);
    QFile::remove(openVpnPidFile(openVpnFiles.privateFolder));
}

void ConnectionEngine::endAttempt()
{
    ++attempt;
    pppThread->quit();
    hangUp();
    stopProgram();
    removeWorkFiles();
    setStage(Stage::None);
}

void ConnectionEngine::removeWorkFiles()
{
    // Older versions wrote the password into include/auth.conf of the installation, whichever
    // folder this run works in; none may stay behind.
    for (const QString& folder : {base + QStringLiteral("/include"), openVpnFiles.workFolder}) {
        if (folder.isEmpty())
            continue; // no private folder could be had
        QFile::remove(folder + QStringLiteral("/auth.conf"));
        QFile::remove(folder + QLatin1Char('/') + certificateName);
        QFile::remove(folder + QLatin1Char('/') + configName);
    }
    // The inline keys handed to the system's VPN service, left by a run that did not end.
    for (const QString& name : openVpnFiles.workFolder.isEmpty() ? QStringList() : openVpnBlockFileNames())
        QFile::remove(openVpnFiles.workFolder + QLatin1Char('/') + name);
}

void ConnectionEngine::openLog(const QString& path)
{
    QFile::remove(path);
    logFile = std::make_unique<QFile>(path);
    if (!logFile->open(QIODevice::WriteOnly | QIODevice::NewOnly))
        logFile.reset();
}

void ConnectionEngine::writeLog(const QString& text)
{
    if (!logFile)
        return;
    const QByteArray line = stamped(text).toUtf8() + '\n';
    if (logFile->size() + line.size() > logLimitBytes) {
        const QString path = logFile->fileName();
        logFile.reset();
        QFile::remove(path + previousLogSuffix);
        QFile::rename(path, path + previousLogSuffix);
        openLog(path);
        if (!logFile)
            return;
    }
    logFile->write(line);
    // Read by others while the program runs, and kept whole should the client die.
    logFile->flush();
}

QString ConnectionEngine::lastRelevantLog() const
{
    return lastProblem.isEmpty() ? lastLog : lastProblem;
}
