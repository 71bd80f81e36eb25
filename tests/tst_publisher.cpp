// The installer's signer is compared with the publisher the build names: the whole thumbprint
// and the exact subject, whatever the spelling of the hex.
#include "update/publisher.h"

#include <QTest>

Q_DECLARE_METATYPE(InstallerVerdict)

namespace {
const std::string sha1 = "A1B2C3D4E5F60718293A4B5C6D7E8F9001122334";
const std::string sha256 = "00112233445566778899AABBCCDDEEFF00112233445566778899AABBCCDDEEFF";
const SignerCertificate corvane{"Corvane Ltd", sha1, sha256};
} // namespace

class TestPublisher : public QObject
{
    Q_OBJECT

private slots:
    void signerIsComparedWithThePin_data();
    void signerIsComparedWithThePin();
};

void TestPublisher::signerIsComparedWithThePin_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("thumbprint");
    QTest::addColumn<InstallerVerdict>("verdict");

    const QString name = QStringLiteral("Corvane Ltd");
    const QString full = QString::fromStdString(sha256);
    QTest::newRow("same SHA-256") << name << full << InstallerVerdict::Trusted;
    QTest::newRow("same SHA-1") << name << QString::fromStdString(sha1) << InstallerVerdict::Trusted;
    QTest::newRow("lower case, spaced as Windows shows it")
        << name
        << QStringLiteral("00 11 22 33 44 55 66 77 88 99 aa bb cc dd ee ff 00 11 22 33 44 55 66 77 88 99 "
                          "aa bb cc dd ee ff")
        << InstallerVerdict::Trusted;
    QTest::newRow("colons") << name
                            << QStringLiteral("a1:b2:c3:d4:e5:f6:07:18:29:3a:4b:5c:6d:7e:8f:90:01:12:23:34")
                            << InstallerVerdict::Trusted;
    QTest::newRow("other certificate")
        << name << QString(full).replace(63, 1, QLatin1Char('E')) << InstallerVerdict::OtherPublisher;
    QTest::newRow("SHA-1 length, start of the SHA-256")
        << name << full.left(40) << InstallerVerdict::OtherPublisher;
    QTest::newRow("other subject") << QStringLiteral("Corvane") << full << InstallerVerdict::OtherPublisher;
    QTest::newRow("subject in other case")
        << QStringLiteral("corvane ltd") << full << InstallerVerdict::OtherPublisher;
    QTest::newRow("prefix only") << name << full.left(32) << InstallerVerdict::NoPublisherPinned;
    QTest::newRow("one digit too many")
        << name << full + QLatin1Char('0') << InstallerVerdict::NoPublisherPinned;
    QTest::newRow("not hex") << name << QString(full).replace(0, 1, QLatin1Char('g'))
                             << InstallerVerdict::NoPublisherPinned;
    QTest::newRow("no thumbprint") << name << QString() << InstallerVerdict::NoPublisherPinned;
    QTest::newRow("no subject") << QString() << full << InstallerVerdict::NoPublisherPinned;
}

void TestPublisher::signerIsComparedWithThePin()
{
    QFETCH(QString, subject);
    QFETCH(QString, thumbprint);
    QFETCH(InstallerVerdict, verdict);
    const PublisherPin pin{subject.toStdString(), thumbprint.toStdString()};
    QCOMPARE(matchSigner(pin, corvane), verdict);
    // A signer whose certificate could not be hashed never matches.
    if (verdict == InstallerVerdict::Trusted)
        QCOMPARE(matchSigner(pin, SignerCertificate{corvane.subject, {}, {}}),
                 InstallerVerdict::OtherPublisher);
}

QTEST_GUILESS_MAIN(TestPublisher)
#include "tst_publisher.moc"
