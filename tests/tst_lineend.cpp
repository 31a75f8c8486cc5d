#include "support/linereader.h"
#include "support/openlink.h"

#include <QElapsedTimer>
#include <QTest>

#include <optional>

// The last bytes at the end of the run, on a real pseudo-terminal at the line's own pace:
// what waits goes out whole before a deadline, what misses it is left out whole, and a
// message the kernel took only in part is finished after the panel has gone.
class tst_LineEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void closeNeverCutsAMessage();
    void drain_data();
    void drain();
};

void tst_LineEnd::closeNeverCutsAMessage()
{
    OpenLink opened;
    QVERIFY2(opened.open(), qPrintable(opened.problem));
    auto &[line, link, states, problem] = opened;
    // The far side stalled long ago and the kernel is full; it reads a little and stalls
    // again. The link fills the room that made, one packet at a time, at the line's pace:
    // the kernel takes the last packet only in part.
    QByteArray received(line.fillKernel(), '\0');
    received += line.read(600);
    QByteArray packets;
    for (int level = 0; level < 1000; ++level) {
        link.send(Wire::message(Wire::setLevel(level % 8, level % 100)));
        packets += Wire::setLevel(level % 8, level % 100);
        if (!QTest::qWaitFor([&link] { return link.bytesQueued() == 0; }, 300))
            break;
    }
    QCOMPARE(link.state(), SerialLink::State::Waiting);
    QVERIFY2(link.bytesQueued() < 5, "the kernel took none of the last packet");
    link.send(Wire::message(Wire::selectMode(7)));
    // A close after the deadline leaves the mode out, and the packet is finished once the
    // line takes bytes again, after the panel has gone.
    QCOMPARE(link.release(), qint64(5));
    QTRY_VERIFY_WITH_TIMEOUT((received += line.readAvailable()).endsWith(packets), 10000);
    QVERIFY(!link.isOpen());
}

void tst_LineEnd::drain_data()
{
    QTest::addColumn<int>("messages"); // of distinct(): 143 bytes every ten
    QTest::addColumn<bool>("read");    // whether the far side reads at the line's pace
    QTest::addColumn<bool>("close");   // release() rather than drain()
    QTest::newRow("read-drain") << 10 << true << false;
    QTest::newRow("read-close") << 10 << true << true;
    // A far side that stopped reading long ago: the kernel is full, and the deadline
    // leaves the rest out, whole.
    QTest::newRow("stalled-drain") << 10 << false << false;
    QTest::newRow("stalled-close") << 10 << false << true;
}

void tst_LineEnd::drain()
{
    QFETCH(int, messages);
    QFETCH(bool, read);
    QFETCH(bool, close);
    OpenLink opened;
    QVERIFY2(opened.open(), qPrintable(opened.problem));
    auto &[line, link, states, problem] = opened;
    std::optional<LineReader> farSide;
    const qsizetype stale = read ? 0 : line.fillKernel();
    if (read)
        farSide.emplace(line.masterFd());
    const Wire::Messages written = distinct(messages);
    writeAll(link, written);
    QVERIFY2(link.bytesQueued() > 0, "nothing was left queued to drain");
    QElapsedTimer clock;
    clock.start();
    const qint64 lost = close ? link.release() : link.drain();
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(opened.losses(), 0);
    QCOMPARE(link.isOpen(), !close);

    const QByteArray all = written.join();
    QByteArray received;
    if (read) {
        QCOMPARE(lost, 0);
        QTRY_COMPARE_WITH_TIMEOUT(farSide->count(), all.size(), 20000);
        received = farSide->bytes();
    } else {
        QVERIFY2(lost > 0, "a full line took more than it could");
        received = line.readAvailable().mid(stale);
    }
    // What reached the line ends on a whole message, and the rest was left out whole.
    QCOMPARE(received.size() + lost, all.size());
    QVERIFY(all.startsWith(received));
    qsizetype boundary = 0;
    for (const QByteArray &message : written) {
        if (boundary >= received.size())
            break;
        boundary += message.size();
    }
    QCOMPARE(boundary, received.size());
}

QTEST_GUILESS_MAIN(tst_LineEnd)
#include "tst_lineend.moc"
