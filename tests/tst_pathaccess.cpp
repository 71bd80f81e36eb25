// The judgement of a Windows path's owner and access list: only the administrators, SYSTEM
// and TrustedInstaller may own or change what an elevated client runs.
#include "connection/pathaccess.h"

#include <QtTest>

Q_DECLARE_METATYPE(PathAccess)

namespace {
constexpr quint32 readAndRun = 0x1200a9;
constexpr quint32 modify = 0x1301bf;
constexpr quint32 addFolder = 0x4;
constexpr quint32 deleteChild = 0x40;

PathAccess installed()
{
    PathAccess access;
    access.owner = QStringLiteral("BUILTIN\\Administrators");
    access.ownerTrusted = true;
    access.entries = {{true, false, 0x1f01ff, QStringLiteral("BUILTIN\\Administrators"), true},
                      {true, false, 0x1f01ff, QStringLiteral("NT AUTHORITY\\SYSTEM"), true},
                      {true, false, readAndRun, QStringLiteral("BUILTIN\\Users"), false}};
    return access;
}

PathAccess with(PathAccess access, quint32 mask, bool inheritOnly = false, bool allows = true)
{
    access.entries.append({allows, inheritOnly, mask, QStringLiteral("BUILTIN\\Users"), false});
    return access;
}
} // namespace

class TestPathAccess : public QObject
{
    Q_OBJECT

private slots:
    void onlyTrustedAccountsMayChange_data();
    void onlyTrustedAccountsMayChange();
};

void TestPathAccess::onlyTrustedAccountsMayChange_data()
{
    QTest::addColumn<PathAccess>("access");
    QTest::addColumn<bool>("furtherUp");
    QTest::addColumn<QString>("reason");

    const QString path = QStringLiteral("C:\\Program Files\\Corvane\\openvpn\\openvpn.exe");
    QTest::newRow("as installed") << installed() << false << QString();
    PathAccess userOwned = installed();
    userOwned.owner = QStringLiteral("PC\\alice");
    userOwned.ownerTrusted = false;
    QTest::newRow("owned by a user") << userOwned << false
                                     << path + QStringLiteral(
                                                   " belongs to PC\\alice, not to the administrators");
    PathAccess noList = installed();
    noList.hasAccessList = false;
    QTest::newRow("no access list") << noList << false
                                    << path + QStringLiteral(" may be changed by every user");
    QTest::newRow("users may modify")
        << with(installed(), modify) << false << path + QStringLiteral(" may be changed by BUILTIN\\Users");
    QTest::newRow("users may add a file beside it")
        << with(installed(), addFolder) << false
        << path + QStringLiteral(" may be changed by BUILTIN\\Users");
    QTest::newRow("users may add a folder to the drive") << with(installed(), addFolder) << true << QString();
    QTest::newRow("users may rename what lies below")
        << with(installed(), deleteChild) << true
        << path + QStringLiteral(" may be changed by BUILTIN\\Users");
    QTest::newRow("only for what is made inside") << with(installed(), modify, true) << false << QString();
    QTest::newRow("a denial grants nothing") << with(installed(), modify, false, false) << false << QString();
}

void TestPathAccess::onlyTrustedAccountsMayChange()
{
    QFETCH(PathAccess, access);
    QFETCH(bool, furtherUp);
    QFETCH(QString, reason);
    QCOMPARE(unsafeAccessReason(QStringLiteral("C:\\Program Files\\Corvane\\openvpn\\openvpn.exe"), access,
                                furtherUp),
             reason);
}

QTEST_GUILESS_MAIN(TestPathAccess)
#include "tst_pathaccess.moc"
