// Self-update: the version check at start, the offer, the download with its progress, and
// an installer that is started only where the system allows it and trusts it.
#include "corvaneversion.h"
#include "openvpnsupport.h"
#include "testsupport.h"
#include "update/installer.h"
#include "update/installerdownload.h"
#include "update/updater.h"
#include "windowobservers.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QNetworkReply>
#include <QTest>
#include <QTimer>

#include <memory>

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(InstallerVerdict)

namespace {

// What the installer checks saw.
struct InstallerLog
{
    QStringList checkedPaths;
    QList<QByteArray> contentsAtCheck;
    QStringList clientVersions;
};

// Plays a system that can run the vendor's installer (or cannot), with a verdict on its signer.
class TestInstallerPlatform : public InstallerPlatform
{
public:
    TestInstallerPlatform(bool canRun, InstallerVerdict verdict, InstallerLog& log)
        : canRun(canRun), verdict(verdict), log(log)
    {
    }
    bool canRunInstaller() const override { return canRun; }
    InstallerVerdict checkInstaller(const QString& path, const QString& clientVersion) override
    {
        log.checkedPaths << path;
        log.clientVersions << clientVersion;
        QFile file(path);
        log.contentsAtCheck << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        return verdict;
    }

private:
    bool canRun;
    InstallerVerdict verdict;
    InstallerLog& log;
};

const QString installerPath = QStringLiteral("/files/update.exe");

// An installer as the network delivers it: binary, and larger than one read.
QByteArray installerBytes()
{
    QByteArray bytes("MZ\x90\x00\x03\x00\r\n\x1a", 10);
    for (int i = 0; bytes.size() < 200000; ++i)
        bytes.append(char((i * 37) ^ (i >> 3)));
    return bytes;
}

} // namespace

class TestUpdate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sameVersionIsUpToDate();
    void newerVersionIsOffered_data();
    void newerVersionIsOffered();
    void incompleteDocumentOffersNothing_data();
    void incompleteDocumentOffersNothing();
    void progressInStatusLine_data();
    void progressInStatusLine();
    void yesWhereClientDoesNotInstallOpensTheDownloadPage_data();
    void yesWhereClientDoesNotInstallOpensTheDownloadPage();
    void refusedDownloadLeavesNoFile_data();
    void refusedDownloadLeavesNoFile();
    void versionMarkupIsNoVersion();
    void checkAskedAgainLeavesOneAnswer();
    void unwritableTargetIsReported();
    void untrustedInstallerIsNotStarted_data();
    void untrustedInstallerIsNotStarted();
    // Last: the client asks the application to quit here.
    void trustedInstallerReplacesTheOldOneAndStartsSilently();

private:
    // Builds the window against a service that names this version and installer.
    void start(const QString& latest, const QString& installer,
               std::unique_ptr<InstallerPlatform> platform = {});
    bool versionChecked();
    int downloads() const { return h->sim.requests(installerPath).size(); }
    QString installerOnDisk() const
    {
        return QDir(h->workDir.path()).absoluteFilePath(QStringLiteral("update.exe"));
    }
    std::unique_ptr<InstallerPlatform> platform(bool canRun,
                                                InstallerVerdict verdict = InstallerVerdict::Trusted)
    {
        return std::make_unique<TestInstallerPlatform>(canRun, verdict, log);
    }

    std::unique_ptr<WindowHarness> h;
    std::unique_ptr<OpenedPages> pages;
    InstallerLog log;
};

void TestUpdate::initTestCase()
{
    isolateSettings();
}

void TestUpdate::init()
{
    clearSettings();
    log = InstallerLog();
    h = std::make_unique<WindowHarness>();
    h->sim.setFile(installerPath, installerBytes());
    pages = std::make_unique<OpenedPages>();
}

void TestUpdate::cleanup()
{
    setInstallerSizeLimitForTesting(0);
    pages.reset();
    h.reset();
}

void TestUpdate::start(const QString& latest, const QString& installer,
                       std::unique_ptr<InstallerPlatform> platform)
{
    h->sim.setVersion(latest, installer);
    h->create();
    // Replies are handled by the event loop, so the check has not been answered yet.
    if (platform)
        h->window->installerPlatform = std::move(platform);
}

bool TestUpdate::versionChecked()
{
    const bool asked =
        QTest::qWaitFor([this] { return h->sim.requests(QStringLiteral("/AppVer2/4.0.2")).size() == 1; });
    return asked && h->settle();
}

void TestUpdate::sameVersionIsUpToDate()
{
    start(QStringLiteral("4.0.2"), QStringLiteral("{base}/files/update.exe"), platform(true));
    QVERIFY(versionChecked());
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("application up to date"));
    QVERIFY(h->questions.isEmpty());
    QCOMPARE(downloads(), 0);
}

void TestUpdate::newerVersionIsOffered_data()
{
    QTest::addColumn<QString>("latest");
    QTest::newRow("newer") << QStringLiteral("4.0.3");
    QTest::newRow("newer by number, older by text") << QStringLiteral("4.0.10");
    QTest::newRow("longer") << QStringLiteral("4.0.2.1");
}

void TestUpdate::newerVersionIsOffered()
{
    QFETCH(QString, latest);
    start(latest, QStringLiteral("{base}/files/update.exe"), platform(true));
    h->answer = QMessageBox::No;
    QVERIFY(versionChecked());
    QCOMPARE(h->questions.size(), 1);
    QCOMPARE(h->questions.first().first, QStringLiteral("New update available"));
    QCOMPARE(h->questions.first().second,
             QStringLiteral("Version ") + latest +
                 QStringLiteral(" is available for download. Do you want to start update?"));
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("new update available"));
    // No: nothing is fetched or started.
    QCOMPARE(downloads(), 0);
    QVERIFY(h->started.isEmpty());
    QVERIFY(pages->urls.isEmpty());
}

void TestUpdate::incompleteDocumentOffersNothing_data()
{
    QTest::addColumn<QByteArray>("document"); // null: the simulator's document for the two texts
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("installer");

    const QString installer = QStringLiteral("{base}/files/update.exe");
    QTest::newRow("empty document") << QByteArray("") << QString() << QString();
    QTest::newRow("not a document") << QByteArray("Service Unavailable") << QString() << QString();
    QTest::newRow("root element only") << QByteArray("<version/>") << QString() << QString();
    QTest::newRow("no installer") << QByteArray() << QStringLiteral("4.1.0") << QString();
    QTest::newRow("no version") << QByteArray() << QString() << installer;
    QTest::newRow("installer not on the web")
        << QByteArray() << QStringLiteral("4.1.0") << QStringLiteral("file:///tmp/update.exe");
    QTest::newRow("installer without host")
        << QByteArray() << QStringLiteral("4.1.0") << QStringLiteral("http:///update.exe");
}

void TestUpdate::incompleteDocumentOffersNothing()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, latest);
    QFETCH(QString, installer);

    if (!document.isNull())
        h->sim.setFault(QStringLiteral("/AppVer2/"), Fault::customBody(document, "text/xml"));
    h->answer = QMessageBox::Yes;
    start(latest, installer, platform(true));
    QVERIFY(versionChecked());
    QVERIFY(h->questions.isEmpty());
    QVERIFY(h->text(QStringLiteral("authstatus")) != QLatin1String("new update available"));
    QCOMPARE(downloads(), 0);
    QVERIFY(h->started.isEmpty());
    QVERIFY(pages->urls.isEmpty());
}

void TestUpdate::progressInStatusLine_data()
{
    QTest::addColumn<qint64>("received");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("percent"); // -1: the size is not known, bytes are shown

    QTest::newRow("three quarters") << qint64(1536) << qint64(2048) << 75;
    QTest::newRow("one byte short is not 100") << qint64(2047) << qint64(2048) << 99;
    QTest::newRow("start") << qint64(0) << qint64(2048) << 0;
    QTest::newRow("complete") << qint64(2048) << qint64(2048) << 100;
    QTest::newRow("beyond 32 bits") << (qint64(1) << 32) << (qint64(1) << 33) << 50;
    QTest::newRow("large, one byte short") << qint64(4999999999) << qint64(5000000000) << 99;
    QTest::newRow("size unknown") << qint64(1536) << qint64(-1) << -1;
    QTest::newRow("size zero") << qint64(0) << qint64(0) << -1;
    QTest::newRow("size zero, bytes arrived") << qint64(700) << qint64(0) << -1;
}

void TestUpdate::progressInStatusLine()
{
    QFETCH(qint64, received);
    QFETCH(qint64, total);
    QFETCH(int, percent);

    start(QStringLiteral("4.0.2"), QStringLiteral("{base}/files/update.exe"));
    QVERIFY(versionChecked());
    QVERIFY(QMetaObject::invokeMethod(h->window.get(), "downloadProgress", Qt::DirectConnection,
                                      Q_ARG(qint64, received), Q_ARG(qint64, total)));
    const QString status = h->text(QStringLiteral("authstatus"));
    if (percent >= 0) {
        // The deadline is said with it: a download that takes longer is given up.
        QCOMPARE(status, QString::number(percent) + QStringLiteral("% downloaded (stops after 30 min)"));
    } else {
        QVERIFY2(status.contains(QString::number(received)), qPrintable(status));
        QVERIFY2(!status.contains(QLatin1Char('%')), qPrintable(status));
        QVERIFY2(!status.contains(QLatin1Char('-')), qPrintable(status));
    }
}

void TestUpdate::yesWhereClientDoesNotInstallOpensTheDownloadPage_data()
{
    QTest::addColumn<bool>("browserStarts");
    QTest::newRow("browser") << true;
    QTest::newRow("no browser") << false;
}

void TestUpdate::yesWhereClientDoesNotInstallOpensTheDownloadPage()
{
    QFETCH(bool, browserStarts);
    h->answer = QMessageBox::Yes;
    start(QStringLiteral("4.1.0"), QStringLiteral("{base}/files/update.exe"), platform(false));
    QList<QUrl> opened;
    h->window->openUrl = [&opened, browserStarts](const QUrl& url) {
        opened << url;
        return browserStarts;
    };
    QVERIFY(versionChecked());
    QCOMPARE(h->questions.size(), 1);
    QCOMPARE(
        h->questions.first().second,
        QStringLiteral("Version 4.1.0 is available for download. Do you want to open the download page?"));
    QCOMPARE(opened, QList<QUrl>{QUrl(h->sim.baseUrl())});
    const QString status = h->text(QStringLiteral("authstatus"));
    QVERIFY2(status.contains(QStringLiteral("4.1.0")), qPrintable(status));
    QCOMPARE(status.contains(QStringLiteral("no web browser")), !browserStarts);
    if (!browserStarts) // the user can still type the address
        QVERIFY2(status.contains(h->sim.baseUrl()), qPrintable(status));
    QCOMPARE(downloads(), 0);
    QVERIFY(h->started.isEmpty());
    QVERIFY(!QFileInfo::exists(installerOnDisk()));
    QVERIFY(!h->shown(QStringLiteral("loading")));
}

void TestUpdate::versionMarkupIsNoVersion()
{
    // Markup is no version: nothing of it reaches a box or the status line.
    const QString version = QStringLiteral("9.9.9<b>!</b>");
    h->answer = QMessageBox::Yes;
    start(version, QStringLiteral("{base}/files/update.exe"), platform(false));
    QVERIFY(versionChecked());
    QVERIFY(h->questions.isEmpty());
    QVERIFY(!h->text(QStringLiteral("authstatus")).contains(QStringLiteral("<b>")));
    QCOMPARE(downloads(), 0);
}

void TestUpdate::checkAskedAgainLeavesOneAnswer()
{
    // The first check hangs, as one sent into a block an earlier run left in force.
    Fault hang = Fault::neverAnswer();
    hang.oneShot = true;
    h->sim.setFault(QStringLiteral("/AppVer2"), hang);
    start(QStringLiteral("4.0.3"), QStringLiteral("{base}/files/update.exe"), platform(true));
    h->answer = QMessageBox::No;
    QVERIFY(
        QTest::qWaitFor([this] { return h->sim.requests(QStringLiteral("/AppVer2/4.0.2")).size() == 1; }));

    auto* updater = h->window->findChild<Updater*>(QStringLiteral("updater"));
    updater->checkAgain();
    QVERIFY(QTest::qWaitFor([this] { return h->questions.size() == 1; }));
    QVERIFY(h->settle());
    QCOMPARE(h->questions.size(), 1);
    QCOMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("new update available"));
    for (const QNetworkReply* reply : updater->versionManager()->findChildren<QNetworkReply*>())
        QVERIFY2(!reply->isRunning(), "the first check still hangs");
}

void TestUpdate::refusedDownloadLeavesNoFile_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("status");

    const QString failed = QStringLiteral("cannot download update pack");
    QTest::newRow("server error") << Fault::httpStatus(500) << failed;
    QTest::newRow("redirect with a body")
        << Fault::redirect(QStringLiteral("http://127.0.0.1:9/x"), "moved") << failed;
    QTest::newRow("redirect without a body")
        << Fault::redirect(QStringLiteral("http://127.0.0.1:9/x")) << failed;
    QTest::newRow("larger than the cap")
        << Fault::oversized(4 * 1024 * 1024)
        << QStringLiteral("cannot download update pack: the file is too large");
}

void TestUpdate::refusedDownloadLeavesNoFile()
{
    QFETCH(Fault, fault);
    QFETCH(QString, status);
    setInstallerSizeLimitForTesting(256 * 1024);
    h->sim.setFault(installerPath, fault);
    h->answer = QMessageBox::Yes;
    start(QStringLiteral("4.1.0"), QStringLiteral("{base}/files/update.exe"), platform(true));
    QVERIFY(versionChecked());
    QTRY_COMPARE(h->text(QStringLiteral("authstatus")), status);
    QCOMPARE(downloads(), 1);
    QVERIFY(!h->shown(QStringLiteral("loading")));
    QVERIFY(h->started.isEmpty());
    QVERIFY(log.checkedPaths.isEmpty());
    // Neither the installer nor a partial temporary file is left.
    QCOMPARE(QDir(h->workDir.path()).entryList(QDir::Files), QStringList());
}

void TestUpdate::unwritableTargetIsReported()
{
    // A directory where the installer should go cannot be replaced by a file.
    QVERIFY(QDir(h->workDir.path()).mkdir(QStringLiteral("update.exe")));
    h->answer = QMessageBox::Yes;
    start(QStringLiteral("4.1.0"), QStringLiteral("{base}/files/update.exe"), platform(true));
    QVERIFY(versionChecked());
    QTRY_COMPARE(h->text(QStringLiteral("authstatus")), QStringLiteral("cannot save files"));
    // Nothing is fetched that could not be kept.
    QCOMPARE(downloads(), 0);
    QVERIFY(!h->shown(QStringLiteral("loading")));
    QVERIFY(h->started.isEmpty());
    QVERIFY(log.checkedPaths.isEmpty());
    QVERIFY(QFileInfo(installerOnDisk()).isDir());
    // No half-written temporary file is left beside it.
    QCOMPARE(QDir(h->workDir.path()).entryList(QDir::Files), QStringList());
}

void TestUpdate::untrustedInstallerIsNotStarted_data()
{
    QTest::addColumn<InstallerVerdict>("verdict");
    QTest::addColumn<QString>("status");

    const QString notCorvane = QStringLiteral("update not started: the installer is not signed by Corvane");
    QTest::newRow("invalid signature") << InstallerVerdict::InvalidSignature << notCorvane;
    QTest::newRow("another publisher") << InstallerVerdict::OtherPublisher << notCorvane;
    QTest::newRow("no publisher in this build")
        << InstallerVerdict::NoPublisherPinned
        << QStringLiteral("update not started: this build names no publisher to trust");
    QTest::newRow("not newer than this client")
        << InstallerVerdict::NotNewer
        << QStringLiteral("update not started: the installer is not newer than this version");
}

void TestUpdate::untrustedInstallerIsNotStarted()
{
    QFETCH(InstallerVerdict, verdict);
    QFETCH(QString, status);
    h->answer = QMessageBox::Yes;
    start(QStringLiteral("4.1.0"), QStringLiteral("{base}/files/update.exe"), platform(true, verdict));
    QVERIFY(versionChecked());
    // The download is real; as for the whole update below, a slow machine gets 20 s for it.
    QVERIFY2(QTest::qWaitFor([this] { return !log.checkedPaths.isEmpty(); }, 20000),
             qPrintable(QStringLiteral("no check after %1 downloads; status: %2")
                            .arg(downloads())
                            .arg(h->text(QStringLiteral("authstatus")))));
    QVERIFY(h->settle());
    QCOMPARE(log.checkedPaths.size(), 1);
    // The check saw the whole download.
    QCOMPARE(QFileInfo(log.checkedPaths.first()).absoluteFilePath(), log.checkedPaths.first());
    QCOMPARE(log.contentsAtCheck.first(), installerBytes());
    QVERIFY(h->started.isEmpty());
    QCOMPARE(h->text(QStringLiteral("authstatus")), status);
    QVERIFY(!h->shown(QStringLiteral("loading")));
    QVERIFY(!QFileInfo::exists(installerOnDisk()));
}

void TestUpdate::trustedInstallerReplacesTheOldOneAndStartsSilently()
{
    {
        QFile old(installerOnDisk());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(300000, 'O')); // longer than the new one
    }
    h->answer = QMessageBox::Yes;
    start(QStringLiteral("4.1.0"), QStringLiteral("{base}/files/update.exe"), platform(true));

    // The whole update runs in this loop; asking the application to quit ends it with 0.
    QEventLoop loop;
    QTimer::singleShot(20000, &loop, [&loop] { loop.exit(1); });
    QCOMPARE(loop.exec(), 0);

    QCOMPARE(h->questions.size(), 1);
    QCOMPARE(downloads(), 1);
    QCOMPARE(h->started.size(), 1);
    const QString program = h->started.first().first;
    QVERIFY2(QFileInfo(program).isAbsolute(), qPrintable(program));
    QCOMPARE(QFileInfo(program).canonicalFilePath(), QFileInfo(installerOnDisk()).canonicalFilePath());
    QCOMPARE(h->started.first().second, QStringList{QStringLiteral("/S")});
    QCOMPARE(log.checkedPaths, QStringList{program});
    QCOMPARE(log.clientVersions, QStringList{QStringLiteral(CORVANE_VERSION)});
    QCOMPARE(log.contentsAtCheck.first(), installerBytes());

    QFile written(installerOnDisk());
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), installerBytes());
    QVERIFY(!h->shown(QStringLiteral("loading")));
}

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
