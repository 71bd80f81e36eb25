// Where systemd-resolved answers, the client's own tunnel hands it the pushed name servers for
// every domain. Runs inside the lab's client namespace with a systemd-resolved of its own on a
// private system bus; the local network's link names the outside host as its name server, as
// DHCP would, so a lookup the tunnel did not take would go there.
#include "core/settingskeys.h"
#include "openvpnsupport.h"
#include "testsupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {
const QString resolvedFolder = QStringLiteral("/opt/corvane-systemd-resolved");
constexpr int arrivalTimeoutMs = 10000;

// Everyone may own and call anything: the bus lives only as long as the test.
const char busConfig[] = "<busconfig><type>system</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>"
                         "<policy context='default'><allow user='*'/><allow own='*'/>"
                         "<allow send_destination='*'/><allow receive_sender='*'/></policy></busconfig>\n";
} // namespace

class TestOpenVpnResolved : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyLookupTakesTheTunnelWhileItIsUp();

private:
    QString lab(const char* key) const { return labValues.value(QString::fromLatin1(key)); }
    // resolvectl's answer, over the private bus.
    QString resolvectl(const QStringList& arguments, bool wait = true);
    void lookUp(const QString& tag)
    {
        resolvectl({QStringLiteral("query"), tag + QStringLiteral(".test")}, false);
    }

    QHash<QString, QString> labValues;
    QTemporaryDir busFolder;
    QProcess bus;
    QProcess resolved;
    QList<QProcess*> lookups;
    ArrivalListener listener;
};

void TestOpenVpnResolved::initTestCase()
{
    QVERIFY2(::geteuid() == 0, "The test needs root (namespaces, TUN). It does not skip.");
    QString error;
    labValues = readLabEnvironment(qEnvironmentVariable("CORVANE_LAB_ENV"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString daemon = resolvedFolder + QStringLiteral("/lib/systemd/systemd-resolved");
    QVERIFY2(QFile::exists(daemon), "systemd-resolved is not unpacked: tools/install-deps.sh");
    isolateSettings();

    // The daemon works as its own user.
    QFile(busFolder.path())
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                        QFileDevice::ReadOther | QFileDevice::ExeOther);
    const QString socket = busFolder.filePath(QStringLiteral("system_bus_socket"));
    QFile config(busFolder.filePath(QStringLiteral("bus.conf")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QString::fromLatin1(busConfig).arg(socket).toUtf8());
    config.close();
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--nofork"), "--config-file=" + config.fileName()});
    QVERIFY(bus.waitForStarted());
    QTRY_VERIFY(QFile::exists(socket));
    // Before the client's first call to the system bus, which it keeps.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + QFile::encodeName(socket));
    // Its own /run/systemd, so the machine's stays as it is.
    resolved.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SYSTEMD_LOG_LEVEL"), QStringLiteral("warning"));
    resolved.setProcessEnvironment(environment);
    resolved.start(QStringLiteral("unshare"),
                   {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                    QStringLiteral("mount -t tmpfs tmpfs /run/systemd && exec \"$0\""), daemon});
    QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::systemBus().interface()->isServiceRegistered(
                                 QStringLiteral("org.freedesktop.resolve1")),
                             10000);

    QProcess route;
    route.start(QStringLiteral("ip"), {QStringLiteral("-o"), QStringLiteral("route"), QStringLiteral("get"),
                                       lab("LAB_OUTSIDE_IP")});
    QVERIFY(route.waitForFinished());
    const QStringList words = QString::fromLatin1(route.readAll()).split(QLatin1Char(' '));
    const int dev = words.indexOf(QStringLiteral("dev"));
    QVERIFY(dev > 0 && dev + 1 < words.size());
    resolvectl({QStringLiteral("dns"), words.at(dev + 1), lab("LAB_OUTSIDE_IP")});

    QVERIFY(listener.start(lab("LAB_SERVER_NS"),
                           {"udp," + lab("LAB_OUTSIDE_IP") + ",53", "udp," + lab("LAB_DNS_IP") + ",53"}));
}

void TestOpenVpnResolved::cleanupTestCase()
{
    for (QProcess* lookup : lookups) {
        lookup->kill();
        lookup->waitForFinished();
        delete lookup;
    }
    resolved.terminate();
    resolved.waitForFinished();
    bus.terminate();
    bus.waitForFinished();
}

QString TestOpenVpnResolved::resolvectl(const QStringList& arguments, bool wait)
{
    auto* process = new QProcess;
    process->start(resolvedFolder + QStringLiteral("/usr/bin/resolvectl"), arguments);
    if (!wait) {
        lookups << process;
        return QString();
    }
    process->waitForFinished();
    const QString answer = QString::fromUtf8(process->readAll());
    delete process;
    return answer;
}

void TestOpenVpnResolved::everyLookupTakesTheTunnelWhileItIsUp()
{
    const QString outside = QStringLiteral("udp ") + lab("LAB_OUTSIDE_IP") + QStringLiteral(" 53");
    const QString tunnel = QStringLiteral("udp ") + lab("LAB_DNS_IP") + QStringLiteral(" 53");
    lookUp(QStringLiteral("before"));
    QTRY_VERIFY_WITH_TIMEOUT(listener.arrived(outside, QStringLiteral("before.test")), arrivalTimeoutMs);

    clearSettings();
    QSettings().setValue(SettingsKeys::killSwitch, QStringLiteral("off"));
    WindowHarness harness;
    qputenv("CORVANE_IPECHO_URL", lab("LAB_ECHO_URL").toUtf8());
    serveLab(harness.sim, labValues);
    harness.create();
    QVERIFY(harness.login(lab("LAB_USER_ALICE"), lab("LAB_PASSWORD_ALICE")));
    harness.invoke("on_connect_clicked");
    QTRY_COMPARE_WITH_TIMEOUT(harness.text(QStringLiteral("connectionStatus")), QStringLiteral("connected"),
                              30000);
    QVERIFY(resolvectl({QStringLiteral("dns")}).contains(lab("LAB_DNS_IP")));
    QVERIFY(resolvectl({QStringLiteral("domain")}).contains(QStringLiteral("~.")));
    lookUp(QStringLiteral("up"));
    QTRY_VERIFY_WITH_TIMEOUT(listener.arrived(tunnel, QStringLiteral("up.test")), arrivalTimeoutMs);

    harness.invoke("on_disconnect_clicked");
    QVERIFY(!resolvectl({QStringLiteral("dns")}).contains(lab("LAB_DNS_IP")));
    lookUp(QStringLiteral("after"));
    QTRY_VERIFY_WITH_TIMEOUT(listener.arrived(outside, QStringLiteral("after.test")), arrivalTimeoutMs);
    QVERIFY2(!listener.arrived(outside, QStringLiteral("up.test")), "a lookup left outside the tunnel");
}

QTEST_MAIN(TestOpenVpnResolved)
#include "tst_openvpn_resolved.moc"
