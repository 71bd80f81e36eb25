#include "connection/openvpnprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

namespace {
const QString pidFilePrefix = QStringLiteral("openvpn-");
const QString pidFileSuffix = QStringLiteral(".pid");

// Runs in the child before exec: a client that dies, however it dies, takes the tunnel with it.
// SIGTERM lets the program tell the server it is leaving.
void dieWithTheClient()
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

#if QT_VERSION_MAJOR < 6
// Qt 5 runs code in the child only through this override; Qt 6 takes a function instead.
class OpenVpnProcess : public QProcess
{
public:
    using QProcess::QProcess;

protected:
    void setupChildProcess() override { dieWithTheClient(); }
};
#endif

bool alive(pid_t pid)
{
    return ::kill(pid, 0) == 0;
}

void endProgram(pid_t pid, const QByteArray& marker)
{
    QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (pid <= 1 || marker.isEmpty() || !commandLine.open(QIODevice::ReadOnly) ||
        !commandLine.readAll().contains(marker))
        return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 30 && alive(pid); ++i)
        QThread::msleep(100);
    if (alive(pid))
        ::kill(pid, SIGKILL);
}
} // namespace

QProcess* makeOpenVpnProcess(QObject* parent)
{
#if QT_VERSION_MAJOR >= 6
    auto* process = new QProcess(parent);
    process->setChildProcessModifier(dieWithTheClient);
    return process;
#else
    return new OpenVpnProcess(parent);
#endif
}

QString openVpnPidFile(const QString& privateFolder)
{
    return privateFolder + QLatin1Char('/') + pidFilePrefix +
           QString::number(QCoreApplication::applicationPid()) + pidFileSuffix;
}

void writeOpenVpnPidFile(const QString& privateFolder, qint64 pid, const QString& marker)
{
    QFile file(openVpnPidFile(privateFolder));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray::number(pid) + '\n' + QFile::encodeName(marker) + '\n');
}

void endLeftoverOpenVpn(const QString& privateFolder)
{
    const QStringList records =
        QDir(privateFolder).entryList({pidFilePrefix + QLatin1Char('*') + pidFileSuffix}, QDir::Files);
    for (const QString& name : records) {
        const pid_t client = pid_t(name.mid(pidFilePrefix.size()).chopped(pidFileSuffix.size()).toLongLong());
        if (client != pid_t(QCoreApplication::applicationPid()) && client > 1 && alive(client))
            continue; // another copy of the client, still running
        QFile file(privateFolder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> lines = file.readAll().split('\n');
        file.close();
        endProgram(pid_t(lines.value(0).toLongLong()), lines.value(1));
        QFile::remove(file.fileName());
    }
}
