// The owner of a connection's far end, read from the system's TCP table.
#include "connection/peerprocess.h"

#include <QtTest>

namespace {
constexpr quint32 loopback = 0x7f000001;
constexpr quint16 channelPort = 50000;
constexpr quint16 programPort = 61000;

// Our accepted connection and the program's end of it.
QVector<TcpConnection> pair(qint64 us, qint64 program)
{
    return {{loopback, channelPort, loopback, programPort, us},
            {loopback, programPort, loopback, channelPort, program}};
}
} // namespace

Q_DECLARE_METATYPE(TcpConnection)

class TestPeerProcess : public QObject
{
    Q_OBJECT

private slots:
    void farEndNamesItsOwner_data();
    void farEndNamesItsOwner();
};

void TestPeerProcess::farEndNamesItsOwner_data()
{
    QTest::addColumn<QVector<TcpConnection>>("table");
    QTest::addColumn<qint64>("owner");

    QTest::newRow("the program's end") << pair(100, 4242) << qint64(4242);
    QVector<TcpConnection> crowded = pair(100, 4242);
    crowded.append({loopback, 61001, loopback, channelPort, 666}); // someone else, from another port
    crowded.append({0x7f000002, programPort, loopback, channelPort, 667});
    QTest::newRow("among other connections") << crowded << qint64(4242);
    QTest::newRow("our own end only") << QVector<TcpConnection>{pair(100, 4242).first()} << qint64(0);
    QVector<TcpConnection> disagreeing = pair(100, 4242);
    disagreeing.append({loopback, programPort, loopback, channelPort, 666});
    QTest::newRow("two owners claim it") << disagreeing << qint64(0);
    QTest::newRow("no owner given") << pair(100, 0) << qint64(0);
    QTest::newRow("empty table") << QVector<TcpConnection>() << qint64(0);
}

void TestPeerProcess::farEndNamesItsOwner()
{
    QFETCH(QVector<TcpConnection>, table);
    QFETCH(qint64, owner);
    QCOMPARE(owningProcess(table, loopback, programPort, loopback, channelPort), owner);
}

QTEST_GUILESS_MAIN(TestPeerProcess)
#include "tst_peerprocess.moc"
