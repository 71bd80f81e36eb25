// Every image the form and the window name must be in the program's resources and load.
#include "app/lumtarmain.h"

#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void imageLoads_data();
    void imageLoads();
    void busyIndicatorIsAnimated();
    void windowIconOffersSeveralSizes();
};

void TestResources::initTestCase()
{
    // The resources live in the window's static library; building a window registers them.
    Q_INIT_RESOURCE(corvane);
}

void TestResources::imageLoads_data()
{
    QTest::addColumn<QString>("path");
    const QStringList names{"background0.png", "logo.png",      "minimize0.png",  "minimize.png",
                            "close0.png",      "close.png",     "down.png",       "server.png",
                            "user_avatar.png", "connected.png", "connecting.png", "money.png",
                            "loading3.gif"};
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << QStringLiteral(":/resources/") + name;
    for (const char* code : {"ca", "ch", "de", "fr", "it", "nl", "ro", "se", "uk", "us", "gb", "jp", "es",
                             "at", "be", "pl", "ie", "hu", "bg", "ua", "ee", "lt", "lu", "dk", "no", "fi"})
        QTest::newRow(code) << QStringLiteral(":/resources/flags/%1.png").arg(QLatin1String(code));
    QTest::newRow("tray icon") << QStringLiteral(":/lumtar.png");
    for (const char* state : {"disconnected", "connecting", "connected", "blocked"})
        QTest::newRow(state) << QStringLiteral(":/resources/tray-%1.png").arg(QLatin1String(state));
}

void TestResources::imageLoads()
{
    QFETCH(QString, path);
    const QPixmap image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QVERIFY(image.width() > 1 && image.height() > 1);
}

void TestResources::busyIndicatorIsAnimated()
{
    QImageReader reader(QStringLiteral(":/resources/loading3.gif"));
    QVERIFY(reader.supportsAnimation());
    QVERIFY(reader.imageCount() > 1);
}

void TestResources::windowIconOffersSeveralSizes()
{
    const QIcon icon(QStringLiteral(":/lumtar.ico"));
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().size() >= 3);
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
