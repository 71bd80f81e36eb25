#include "connection/connectionengine.h"

#include "connection/managementchannel.h"
#include "connection/managementprotocol.h"
#include "connection/openvpnconfig.h"
#include "connection/openvpnprocess.h"
#include "connection/pathsafety.h"
#include "connection/pppworker.h"
#include "connection/systemvpn.h"
#include "core/logging.h"
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
// A server that does not answer is given up after this long, well inside the attempt allowance.
const QString serverPollSeconds = QStringLiteral("10");

// The body of a finished download, or nothing with the reason in `detail`.
std::optional<QByteArray> downloadBody(QNetworkReply* reply, int* httpStatus, QString* detail)
{
    *httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) {
        *detail = *httpStatus ? QStringLiteral("HTTP %1").arg(*httpStatus) : reply->errorString();
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

QString stamped(const QString& text)
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + text;
}
} // namespace

ConnectionEngine::ConnectionEngine(const QString& baseFolder, QObject* parent)
    : QObject(parent), base(baseFolder), openVpnFiles(openVpnPlaces(baseFolder))
{
    pppThread = new QThread;
    pppWorker = new PPPWorker;
    pppWorker->setStatus(QString());
    pppWorker->moveToThread(pppThread);
    connect(pppWorker, SIGNAL(PPPStart()), pppThread, SLOT(start()));
    connect(pppThread, SIGNAL(started()), pppWorker, SLOT(VPNStart()));
    connect(
        pppWorker, &PPPWorker::changed, this,
        [this] {
            const QString status = pppWorker->statusText();
            const QString result = pppWorker->resultCodeText();
            emit logLine(
                QStringLiteral("Dial: ") + (status.isEmpty() ? QStringLiteral("ended") : status) +
                (result.isEmpty() ? QString() : QStringLiteral(" (result ") + result + QLatin1Char(')')));
            emit dialChanged();
        },
        Qt::QueuedConnection);

    openVpnProcess = makeOpenVpnProcess(this);
    openVpnStage1Manager = new QNetworkAccessManager(this);
    openVpnStage1Manager->setObjectName(QStringLiteral("openVpnStage1Manager"));
    openVpnStage2Manager = new QNetworkAccessManager(this);
    openVpnStage2Manager->setObjectName(QStringLiteral("openVpnStage2Manager"));

    // A program an earlier run left behind would keep its tunnel up beside ours.
    if (openVpnFiles.error.isEmpty())
        endLeftoverOpenVpn(openVpnFiles.privateFolder);
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

bool ConnectionEngine::startDial()
{
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
    setState(State::Downloading);
    fetch(openVpnStage1Manager, current.certificateUrl);
    emit stepReached(Step::CertificateRequested);
}

bool ConnectionEngine::downloadIsCurrent(QNetworkReply* reply) const
{
    return currentState == State::Downloading && reply->property(attemptProperty).toULongLong() == attempt;
}

QNetworkReply* ConnectionEngine::fetch(QNetworkAccessManager* manager, const QString& address)
{
    const QUrl url(address, QUrl::TolerantMode);
    // A tampered list must not copy local files (file:, qrc:) into the tunnel set-up.
    const QUrl target = isWebUrl(url) ? url : QUrl(QStringLiteral("invalid:refused"));
    QNetworkRequest request = noCacheRequest(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = getCapped(manager, request);
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
    if (!writeWorkFile(openVpnFiles.workFolder + QLatin1Char('/') + certificateName, *body)) {
        fail(Reason::FilesNotWritten,
             QCoreApplication::translate("LumtarMain", "cannot write the certificate"));
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
    // The configuration comes over plain HTTP and the program runs with administrator rights.
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(*body);
    if (!verdict.accepted) {
        removeWorkFiles();
        fail(Reason::ConfigRefused, verdict.reason);
        return;
    }
    if (!writeWorkFile(openVpnFiles.workFolder + QLatin1Char('/') + configName, *body)) {
        removeWorkFiles();
        fail(Reason::FilesNotWritten,
             QCoreApplication::translate("LumtarMain", "cannot write the configuration"));
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

    if (openVpnProcess->state() == QProcess::NotRunning)
        delete openVpnProcess;
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
    QFile::remove(logPath);
    logFile = std::make_unique<QFile>(logPath);
    if (!logFile->open(QIODevice::WriteOnly | QIODevice::NewOnly))
        logFile.reset();

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
    setState(State::Starting);
    emit logLine(QStringLiteral("Starting ") + openVpnFiles.program);
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
                emit logLine(QStringLiteral("NetworkManager: ") + QVariant::fromValue(progress).toString() +
                             (detail.isEmpty() ? QString() : QStringLiteral(" - ") + detail));
                switch (progress) {
                case SystemOpenVpn::Progress::Connecting:
                    if (currentState == State::Starting)
                        setState(State::Connecting);
                    break;
                case SystemOpenVpn::Progress::Up:
                    setState(State::TunnelUp);
                    emit tunnelUp();
                    break;
                case SystemOpenVpn::Progress::Ended:
                    fail(loginFailed ? Reason::AuthFailed : Reason::Fatal, detail);
                    break;
                }
            });
    setState(State::Starting);
    emit logLine(QStringLiteral("Starting OpenVPN through NetworkManager"));
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
    reader.append(channel->device()->readAll());
    QByteArray line;
    const quint64 thisAttempt = attempt;
    while (thisAttempt == attempt && channel && reader.nextLine(&line))
        handleLine(line);
}

void ConnectionEngine::handleLine(const QByteArray& line)
{
    const ManagementMessage message = readManagementLine(line);
    switch (message.kind) {
    case ManagementMessage::Kind::Log:
        writeLog(message.text);
        emit logLine(message.text);
        lastLog = message.text;
        if (message.detail.contains(QLatin1Char('N')) || message.detail.contains(QLatin1Char('F')))
            lastProblem = message.text;
        break;
    case ManagementMessage::Kind::State: {
        const QString text =
            QStringLiteral("State: ") + message.state +
            (message.detail.isEmpty() ? QString() : QStringLiteral(" (") + message.detail + QLatin1Char(')'));
        writeLog(text);
        emit logLine(text);
        if (message.state == QLatin1String("CONNECTED")) {
            if (message.detail == QLatin1String("SUCCESS")) {
                setState(State::TunnelUp);
                emit tunnelUp();
            } else {
                fail(Reason::ConnectError, lastRelevantLog());
            }
        } else if (message.state == QLatin1String("RECONNECTING") && currentState == State::TunnelUp) {
            fail(Reason::Reconnecting, message.detail);
        } else if (currentState == State::Starting && message.state != QLatin1String("EXITING")) {
            setState(State::Connecting);
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
    if (currentState == State::Idle)
        return;
    if (lastProblem.contains(QLatin1String("AUTH_FAILED")) || lastLog.contains(QLatin1String("AUTH_FAILED")))
        fail(Reason::AuthFailed, QString());
    else
        fail(Reason::ProgramEnded, lastRelevantLog());
}

void ConnectionEngine::fail(Reason reason, const QString& detail)
{
    if (currentState == State::Idle)
        return;
    const bool wasUp = currentState == State::TunnelUp;
    ++attempt;
    stopProgram();
    setState(State::Idle);
    qCInfo(lcConnection) << "attempt ended:" << reason << detail;
    if (wasUp)
        emit tunnelDropped(reason, detail);
    else
        emit attemptFailed(reason, detail);
}

void ConnectionEngine::setState(State state)
{
    if (state == currentState)
        return;
    currentState = state;
    emit stateChanged(state);
}

void ConnectionEngine::stopProgram()
{
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
        channel.reset();
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
    setState(State::Idle);
}

void ConnectionEngine::removeWorkFiles()
{
    // Older versions wrote the password into include/auth.conf beside the client, whichever
    // folder this run works in; none may stay behind.
    for (const QString& folder : {base + QStringLiteral("/include"), openVpnFiles.workFolder}) {
        QFile::remove(folder + QStringLiteral("/auth.conf"));
        QFile::remove(folder + QLatin1Char('/') + certificateName);
        QFile::remove(folder + QLatin1Char('/') + configName);
    }
}

void ConnectionEngine::writeLog(const QString& text)
{
    if (!logFile)
        return;
    logFile->write(stamped(text).toUtf8() + '\n');
    // Read by others while the program runs, and kept whole should the client die.
    logFile->flush();
}

QString ConnectionEngine::lastRelevantLog() const
{
    return lastProblem.isEmpty() ? lastLog : lastProblem;
}
