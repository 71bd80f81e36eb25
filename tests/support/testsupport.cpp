#include "testsupport.h"

#include "core/installationfolder.h"
#include "testcertificates.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkReply>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {
QTemporaryDir& settingsDir()
{
    static QTemporaryDir dir;
    return dir;
}

// The client's private work folder lives under it; tests running side by side must not remove
// each other's OpenVPN files.
QTemporaryDir& runtimeDir()
{
    static QTemporaryDir dir;
    return dir;
}
} // namespace

void isolateSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir().path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir().path());
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QFile::setPermissions(runtimeDir().path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir().path()));
}

void clearSettings()
{
    QSettings settings;
    settings.clear();
    settings.sync();
}

QJsonObject standardTestData()
{
    const auto server = [](int id, const char* name, const char* ip, const char* country, bool pptp,
                           bool l2tp, bool openvpn, const char* key, QJsonArray profiles) {
        return QJsonObject{{"id", id},           {"shortname", name},   {"ip", ip},     {"country", country},
                           {"assignedIP", ip},   {"pptp", pptp},        {"l2tp", l2tp}, {"pskey", key},
                           {"openvpn", openvpn}, {"profiles", profiles}};
    };
    const QJsonArray profiles{QJsonObject{{"name", "UDP 1194"},
                                          {"config", "{base}/files/nl/udp.ovpn"},
                                          {"certificate", "{base}/files/nl/ca.crt"}},
                              QJsonObject{{"name", "TCP 443"},
                                          {"config", "{base}/files/nl/tcp.ovpn"},
                                          {"certificate", "{base}/files/nl/ca2.crt"}}};
    const QJsonArray servers{server(1, "US1", "198.18.10.1", "us", true, true, false, "us-key", {}),
                             server(2, "DE1", "198.18.10.2", "de", true, false, false, "", {}),
                             server(3, "NL1", "198.18.10.3", "nl", false, false, true, "", profiles)};
    const QJsonObject alice{{"username", "alice"},
                            {"password", "secret"},
                            {"enabled", "1"},
                            {"email", "alice@example.org"},
                            {"plan", "Premium Plan"},
                            {"expiry", "Expire 31 Dec 2027"},
                            {"quota", "Unlimited"},
                            {"processors", "1:Credit Card|2:Paypal"},
                            {"plans", "1:One Month|2:One Year"},
                            {"quickServers", "US1^198.18.10.1^PPTP|DE1^198.18.10.2^L2TP^de-key"},
                            {"notice", ""}};
    QJsonObject bob = alice;
    bob[QStringLiteral("username")] = QStringLiteral("bob");
    bob[QStringLiteral("password")] = QStringLiteral("lapsed");
    bob[QStringLiteral("enabled")] = QStringLiteral("0");
    return QJsonObject{
        {"accounts", QJsonArray{alice, bob}},
        {"servers", servers},
        {"version", QJsonObject{{"latest", "4.0.2"}, {"installer", "{base}/files/update.exe"}}},
        {"files", QJsonObject{{"/files/nl/ca.crt", QJsonObject{{"text", "CA ONE\n"}}},
                              {"/files/nl/udp.ovpn", QJsonObject{{"text", "client\ndev tun\n"}}}}}};
}

WindowHarness::WindowHarness(Time time)
{
    if (time == Time::Manual)
        clock = std::make_unique<ManualClock>();
    // The service over HTTPS as the program meets it, with an authority only the tests trust.
    trustTestAuthority();
    sim.useTls(testCertificates().trusted.certificate, testCertificates().trusted.key);
    sim.loadData(standardTestData());
    sim.start();
    qputenv("CORVANE_SERVICE_URL", sim.baseUrl().toUtf8());
    qputenv("CORVANE_WEBSITE_URL", sim.baseUrl().toUtf8());
    qputenv("CORVANE_IPECHO_URL", (sim.baseUrl() + QStringLiteral("/ip/")).toUtf8());
    previousDir = QDir::currentPath();
    QDir::setCurrent(workDir.path());
    // The folder stands for the installation too: its openvpn/openvpn and include/.
    overrideInstallationFolder(workDir.path());
    QDir().mkpath(QStringLiteral("include"));
}

WindowHarness::~WindowHarness()
{
    window.reset();
    QDir::setCurrent(previousDir);
    overrideInstallationFolder(QString());
    sim.stop();
}

LumtarMain* WindowHarness::create()
{
    window = std::make_unique<LumtarMain>();
    realMessageBox = window->messageBox;
    realQuestionBox = window->questionBox;
    window->secretStore = secrets;
    window->messageBox = [this](QMessageBox::Icon icon, const QString& title, const QString& text) {
        boxes.append({icon, title, text});
    };
    window->questionBox = [this](const QString& title, const QString& text) {
        questions.append({title, text});
        return answer;
    };
    window->trayBalloon = [this](const QString& title, const QString& text) {
        balloons.append({title, text});
    };
    window->startDetached = [this](const QString& program, const QStringList& arguments) {
        started.append({program, arguments});
        return true;
    };
    return window.get();
}

ShownBox closeShownBox(const std::function<void()>& show)
{
    ShownBox shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = {box->text(), box->textFormat()};
            box->reject();
        }
    });
    poll.start(10);
    show();
    return shown;
}

QString WindowHarness::text(const QString& name) const
{
    if (auto* edit = find<QLineEdit>(name))
        return edit->text();
    if (auto* label = find<QLabel>(name))
        return label->text();
    if (auto* button = find<QAbstractButton>(name))
        return button->text();
    qWarning("no widget with a text named %s", qPrintable(name));
    return QString();
}

bool WindowHarness::shown(const QString& name) const
{
    auto* widget = find<QWidget>(name);
    return widget && !widget->isHidden();
}

void WindowHarness::invoke(const char* slot)
{
    if (!QMetaObject::invokeMethod(window.get(), slot, Qt::DirectConnection))
        qFatal("no slot %s", slot);
}

void WindowHarness::tick(int count)
{
    for (int i = 0; i < count; ++i)
        clock->advance(3000);
}

bool WindowHarness::settle(int timeoutMs)
{
    // Replies arrive through the event loop; give it a moment after the last request. The
    // simulator logs a request before it answers, so a reply the window has not yet taken
    // (slow under load, and under Wine) keeps it unsettled too.
    const auto replyInFlight = [this] {
        const auto replies = window ? window->findChildren<QNetworkReply*>() : QList<QNetworkReply*>();
        return std::any_of(replies.begin(), replies.end(), [](QNetworkReply* r) { return r->isRunning(); });
    };
    int stable = 0;
    int lastCount = -1;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(20);
        const int count = sim.requests().size();
        stable = count == lastCount && !replyInFlight() ? stable + 1 : 0;
        lastCount = count;
        if (stable >= 5)
            return true;
    }
    return false;
}

bool WindowHarness::login(const QString& user, const QString& password)
{
    find<QLineEdit>(QStringLiteral("username"))->setText(user);
    find<QLineEdit>(QStringLiteral("password"))->setText(password);
    const int accountRequests = sim.requests(QStringLiteral("/AppUserInfoV2")).size();
    invoke("on_login_clicked");
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        QTest::qWait(10);
        if (sim.requests(QStringLiteral("/AppUserInfoV2")).size() > accountRequests) {
            settle();
            return true;
        }
        if (!boxes.isEmpty())
            return false;
    }
    return false;
}

QStringList WindowHarness::boxTitles() const
{
    QStringList titles;
    for (const RecordedBox& box : boxes)
        titles << box.title;
    return titles;
}

QStringList WindowHarness::balloonTitles() const
{
    QStringList titles;
    for (const auto& balloon : balloons)
        titles << balloon.first;
    return titles;
}
