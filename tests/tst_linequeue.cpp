#include "link/linepace.h"
#include "link/linequeue.h"
#include "support/linerules.h"
#include "support/wire.h"

#include <QRandomGenerator>
#include <QTest>

// The messages waiting for the line: a newer message takes out the waiting ones whose effect
// the board would not keep, what waits stays bounded by the board's state, and the line's
// pace.
class tst_LineQueue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void merges_data();
    void merges();
    void takesInOrder();
    void anyOrderOfTakingKeepsTheRules_data();
    void anyOrderOfTakingKeepsTheRules();
    void pace_data();
    void pace();
};

namespace {

using Wire::frame;
using Wire::master;
using Wire::Messages;
using Wire::selectMode;
using Wire::setLevel;

Messages queued(LineQueue &queue)
{
    Messages messages;
    while (!queue.isEmpty())
        messages << Wire::bytes(queue.take());
    return messages;
}

} // namespace

void tst_LineQueue::merges_data()
{
    QTest::addColumn<Messages>("written");
    QTest::addColumn<Messages>("waiting");

    QTest::newRow("same-channel") << Messages{setLevel(3, 10), setLevel(3, 20)}
                                  << Messages{setLevel(3, 20)};
    QTest::newRow("drag") << Messages{setLevel(3, 1), setLevel(3, 2), setLevel(3, 3),
                                      setLevel(3, 4)}
                          << Messages{setLevel(3, 4)};
    QTest::newRow("newer-level-goes-last")
        << Messages{setLevel(3, 10), setLevel(5, 1), setLevel(3, 20)}
        << Messages{setLevel(5, 1), setLevel(3, 20)};
    QTest::newRow("master-takes-out-every-level")
        << Messages{setLevel(3, 10), master(50), setLevel(5, 1), master(60)}
        << Messages{master(60)};
    QTest::newRow("channel-after-master-stays-after")
        << Messages{master(50), setLevel(3, 10), setLevel(3, 20)}
        << Messages{master(50), setLevel(3, 20)};
    QTest::newRow("master-passes-a-mode") << Messages{setLevel(1, 9), selectMode(3), master(50)}
                                          << Messages{selectMode(3), master(50)};
    QTest::newRow("mode-takes-out-a-mode-no-level-follows")
        << Messages{setLevel(1, 9), selectMode(1), selectMode(1), selectMode(2)}
        << Messages{setLevel(1, 9), selectMode(2)};
    QTest::newRow("mode-stays-before-its-level")
        << Messages{selectMode(1), setLevel(3, 5), selectMode(2)}
        << Messages{selectMode(1), setLevel(3, 5), selectMode(2)};
    QTest::newRow("level-moves-past-a-mode")
        << Messages{setLevel(3, 10), selectMode(2), setLevel(3, 20)}
        << Messages{selectMode(2), setLevel(3, 20)};
    QTest::newRow("modes-close-up-when-their-level-moves")
        << Messages{selectMode(1), setLevel(3, 5), selectMode(2), setLevel(3, 6)}
        << Messages{selectMode(2), setLevel(3, 6)};
    QTest::newRow("frame-takes-out-a-frame")
        << Messages{frame(1), setLevel(0, 10), frame(2)} << Messages{setLevel(0, 10), frame(2)};
    QTest::newRow("level-moves-past-a-frame")
        << Messages{setLevel(0, 10), frame(1), setLevel(0, 20)}
        << Messages{frame(1), setLevel(0, 20)};
}

void tst_LineQueue::merges()
{
    QFETCH(Messages, written);
    QFETCH(Messages, waiting);
    LineQueue queue;
    for (const QByteArray &message : written)
        queue.push(Wire::message(message));
    QCOMPARE(queue.byteCount(), std::size_t(waiting.join().size()));
    QCOMPARE(queued(queue), waiting);
    QVERIFY(queue.isEmpty());
    QCOMPARE(queue.byteCount(), std::size_t(0));
}

void tst_LineQueue::takesInOrder()
{
    LineQueue queue;
    queue.push(Wire::message(setLevel(1, 1)));
    queue.push(Wire::message(frame(7)));
    QCOMPARE(Wire::bytes(queue.take()), setLevel(1, 1));
    // Once taken, a message is on its way: a newer one does not take it back.
    queue.push(Wire::message(setLevel(1, 2)));
    QCOMPARE(queued(queue), (Messages{frame(7), setLevel(1, 2)}));
}

void tst_LineQueue::anyOrderOfTakingKeepsTheRules_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("modesPerThousand");
    for (const quint32 seed : {1u, 2u, 3u, 4u}) {
        QTest::addRow("levels-seed-%u", seed) << seed << 0;
        QTest::addRow("with-modes-and-frames-seed-%u", seed) << seed << 40;
    }
}

void tst_LineQueue::anyOrderOfTakingKeepsTheRules()
{
    QFETCH(quint32, seed);
    QFETCH(int, modesPerThousand);
    QRandomGenerator random(seed);
    LineQueue queue;
    Messages written;
    QByteArray line;
    for (int i = 0; i < 5000; ++i) {
        QByteArray message;
        const int pick = int(random.bounded(1000));
        if (pick < modesPerThousand / 4)
            message = frame(char(random.bounded(100)));
        else if (pick < modesPerThousand)
            message = selectMode(int(random.bounded(12)));
        else if (pick < 300)
            message = master(int(random.bounded(100)));
        else
            message = setLevel(int(random.bounded(8)), int(random.bounded(100)));
        written << message;
        queue.push(Wire::message(message));
        // Nine levels, a frame, and a mode before each level and after the last.
        QVERIFY2(queue.byteCount() <= 9 * 5 + 98 + 10 * 5, qPrintable(QString::number(i)));
        // The line takes a message now and then, as its pace allows.
        if (!queue.isEmpty() && random.bounded(4) == 0)
            line += Wire::bytes(queue.take());
    }
    while (!queue.isEmpty())
        line += Wire::bytes(queue.take());
    const QString problem = LineRules::check(written, line);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY2(line.size() < written.join().size(), "no level gave way to a newer one");
}

void tst_LineQueue::pace_data()
{
    QTest::addColumn<int>("handedBytes");
    QTest::addColumn<int>("elapsedUs");
    QTest::addColumn<int>("driverQueued");
    QTest::addColumn<qint64>("expectedWaitNs");

    const qint64 byte = LineRate::ByteTime.count();
    QTest::newRow("idle") << 0 << 0 << 0 << qint64(0);
    // A packet just handed over: the next waits until two byte times remain.
    QTest::newRow("packet-just-handed") << 5 << 0 << 0 << 3 * byte;
    QTest::newRow("packet-half-out") << 5 << 2000 << 0 << 3 * byte - 2'000'000;
    QTest::newRow("two-bytes-left") << 5 << 3200 << 0 << qint64(0);
    QTest::newRow("long-gone") << 5 << 100'000 << 0 << qint64(0);
    QTest::newRow("frame") << 98 << 0 << 0 << 96 * byte;
    // The driver knows better than the rate when the line was slower than its rate.
    QTest::newRow("driver-holds-more") << 5 << 100'000 << 10 << 8 * byte;
    QTest::newRow("driver-holds-less") << 5 << 0 << 1 << 3 * byte;
}

void tst_LineQueue::pace()
{
    QFETCH(int, handedBytes);
    QFETCH(int, elapsedUs);
    QFETCH(int, driverQueued);
    QFETCH(qint64, expectedWaitNs);
    LinePace pace;
    const LinePace::Clock::time_point start{std::chrono::seconds(1000)};
    if (handedBytes > 0)
        pace.handed(std::size_t(handedBytes), start);
    const auto now = start + std::chrono::microseconds(elapsedUs);
    QCOMPARE(qint64(pace.wait(now, std::size_t(driverQueued)).count()), expectedWaitNs);
}

QTEST_GUILESS_MAIN(tst_LineQueue)
#include "tst_linequeue.moc"
