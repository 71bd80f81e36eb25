#include "openvpnsupport.h"

#include "app/lumtarmain.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QJsonArray>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

LabelHistory::LabelHistory(QLabel* label) : label(label)
{
    seen << label->text();
    QCoreApplication::instance()->installEventFilter(this);
}

LabelHistory::~LabelHistory()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

QStringList LabelHistory::texts() const
{
    sample();
    return seen;
}

void LabelHistory::sample() const
{
    if (label && label->text() != seen.last())
        seen << label->text();
}

bool LabelHistory::eventFilter(QObject* watched, QEvent* event)
{
    sample();
    return QObject::eventFilter(watched, event);
}

ReplyWatch::ReplyWatch(LumtarMain* window) : QObject(window)
{
    for (QNetworkAccessManager* manager : window->findChildren<QNetworkAccessManager*>())
        connect(manager, &QNetworkAccessManager::finished, this, &ReplyWatch::replyFinished);
}

void ReplyWatch::replyFinished(QNetworkReply* reply)
{
    ++counts[reply->url().path()];
}

bool writeStandInOpenVpn(const QString& workDir, const QString& recordFile)
{
    if (!QDir(workDir).mkpath(QStringLiteral("openvpn")))
        return false;
    QFile script(workDir + QStringLiteral("/openvpn/openvpn"));
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // Written to a temporary name and moved, so a reader never sees half a record. exec keeps
    // the process id, so killing the child ends the wait too.
    const QByteArray record = QFile::encodeName(recordFile);
    script.write(
        "#!/bin/sh\n"
        "{ printf '%s\\n' \"$0\"; pwd -P; echo $$; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" +
        record +
        ".tmp'\n"
        "mv '" +
        record + ".tmp' '" + record +
        "'\n"
        "exec sleep 600\n");
    script.close();
    return script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

RecordedStart readStandInRecord(const QString& recordFile)
{
    RecordedStart start;
    QFile file(recordFile);
    if (!file.open(QIODevice::ReadOnly))
        return start;
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (lines.size() < 4)
        return start;
    lines.removeLast(); // after the last line end
    start.program = lines.takeFirst();
    start.workingDirectory = lines.takeFirst();
    start.pid = lines.takeFirst().toLongLong();
    start.arguments = lines;
    start.valid = true;
    return start;
}

QHash<QString, QString> readLabEnvironment(const QString& envFile, QString* error)
{
    QHash<QString, QString> values;
    QFile file(envFile);
    if (envFile.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        *error =
            QStringLiteral("cannot read the lab file '%1'; run this through CTest, which builds the lab, "
                           "or set CORVANE_LAB_ENV")
                .arg(envFile);
        return values;
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1));
    }
    return values;
}

QJsonObject labServiceData(const LabAccount& lab, const QString& configPath, const QString& certificatePath)
{
    QJsonObject data = standardTestData();
    QJsonObject account = data.value(QStringLiteral("accounts")).toArray().at(0).toObject();
    account[QStringLiteral("username")] = lab.user;
    account[QStringLiteral("password")] = lab.password;
    account[QStringLiteral("enabled")] = QStringLiteral("1");
    account[QStringLiteral("quickServers")] = QString();
    data[QStringLiteral("accounts")] = QJsonArray{account};
    const QJsonArray profiles{QJsonObject{{"name", "UDP 1194"},
                                          {"config", QStringLiteral("{base}") + configPath},
                                          {"certificate", QStringLiteral("{base}") + certificatePath}}};
    data[QStringLiteral("servers")] = QJsonArray{QJsonObject{{"id", 1},
                                                             {"shortname", "LAB1"},
                                                             {"ip", lab.serverIp},
                                                             {"country", "nl"},
                                                             {"assignedIP", lab.tunnelIp},
                                                             {"pptp", false},
                                                             {"l2tp", false},
                                                             {"pskey", ""},
                                                             {"openvpn", true},
                                                             {"profiles", profiles}}};
    data[QStringLiteral("files")] = QJsonObject{};
    return data;
}

void serveLab(ServiceSimulator& sim, const QHash<QString, QString>& lab, const QString& password)
{
    QFile ca(lab.value(QStringLiteral("LAB_DIR")) + QStringLiteral("/ca.crt"));
    QFile config(lab.value(QStringLiteral("LAB_DIR")) + QStringLiteral("/client.ovpn"));
    ca.open(QIODevice::ReadOnly);
    config.open(QIODevice::ReadOnly);
    sim.loadData(labServiceData(
        {lab.value(QStringLiteral("LAB_USER_ALICE")),
         password.isEmpty() ? lab.value(QStringLiteral("LAB_PASSWORD_ALICE")) : password,
         lab.value(QStringLiteral("LAB_SERVER_IP")), lab.value(QStringLiteral("LAB_TUNNEL_IP_ALICE"))},
        QStringLiteral("/files/lab/client.ovpn"), QStringLiteral("/files/lab/ca.crt")));
    sim.setFile(QStringLiteral("/files/lab/ca.crt"), ca.readAll());
    sim.setFile(QStringLiteral("/files/lab/client.ovpn"), config.readAll());
}

namespace {
// Prints "ready", then one line per datagram or connection: "<proto> <address> <port> <tag>",
// the tag being the payload's first word or a DNS query's name.
const char arrivalListenerScript[] = R"(
import socket, select, sys
socks = {}
for listener in sys.argv[1:]:
    proto, address, port = listener.split(',')
    family = socket.AF_INET6 if ':' in address else socket.AF_INET
    s = socket.socket(family, socket.SOCK_DGRAM if proto == 'udp' else socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind((address, int(port)))
    if proto == 'tcp':
        s.listen(8)
    socks[s] = (proto, address, port)
print('ready', flush=True)
def tag(data, port):
    if port == '53' and len(data) > 12:
        labels, i = [], 12
        while i < len(data) and data[i]:
            labels.append(data[i + 1:i + 1 + data[i]].decode('ascii', 'replace'))
            i += 1 + data[i]
        return '.'.join(labels)
    return data.split()[0].decode('ascii', 'replace') if data.split() else '-'
while True:
    for s in select.select(list(socks), [], [])[0]:
        proto, address, port = socks[s]
        if proto == 'udp':
            data = s.recv(512)
        else:
            c, _ = s.accept()
            c.settimeout(2)
            try:
                data = c.recv(512)
            except OSError:
                data = b''
            c.close()
        print(proto, address, port, tag(data, port), flush=True)
)";

} // namespace

ArrivalListener::~ArrivalListener()
{
    process.kill();
    process.waitForFinished();
}

bool ArrivalListener::start(const QString& labNamespace, const QStringList& places)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("ip"),
                  QStringList{QStringLiteral("netns"), QStringLiteral("exec"), labNamespace,
                              QStringLiteral("python3"), QStringLiteral("-c"),
                              QString::fromLatin1(arrivalListenerScript)} +
                      places);
    return process.waitForReadyRead(10000) && process.readLine().trimmed() == "ready";
}

bool ArrivalListener::arrived(const QString& place, const QString& tag)
{
    while (process.canReadLine())
        heard << QString::fromLatin1(process.readLine().trimmed());
    return heard.contains(place + QLatin1Char(' ') + tag);
}

bool filterServerPort(const QHash<QString, QString>& lab, const QByteArray& table, const QByteArray& verdict)
{
    const QByteArray name = "table inet " + table;
    const QByteArray script =
        verdict.isEmpty()
            ? "delete " + name + "\n"
            : name + " {\n chain input {\n type filter hook input priority 0;\n udp dport " +
                  lab.value(QStringLiteral("LAB_SERVER_PORT")).toLatin1() + " " + verdict + "\n }\n}\n";
    QProcess nft;
    nft.start(QStringLiteral("ip"),
              {QStringLiteral("netns"), QStringLiteral("exec"), lab.value(QStringLiteral("LAB_SERVER_NS")),
               QStringLiteral("nft"), QStringLiteral("-f"), QStringLiteral("-")});
    nft.write(script);
    nft.closeWriteChannel();
    return nft.waitForFinished() && nft.exitCode() == 0;
}
