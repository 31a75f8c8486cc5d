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

// Pushes each message, a new action where its letter in actions changes (every message an
// action of its own when actions is empty).
void push(LineQueue &queue, const Messages &written, const QByteArray &actions = {})
{
    for (qsizetype k = 0; k < written.size(); ++k) {
        if (actions.isEmpty() || k == 0 || actions[k] != actions[k - 1])
            queue.beginAction();
        queue.push(Wire::message(written[k]));
    }
}

void tst_LineQueue::merges_data()
{
    QTest::addColumn<Messages>("written");
    QTest::addColumn<QByteArray>("actions"); // a letter a message; empty: each its own
    QTest::addColumn<Messages>("waiting");

    QTest::newRow("same-channel") << Messages{setLevel(3, 10), setLevel(3, 20)} << QByteArray()
                                  << Messages{setLevel(3, 20)};
    QTest::newRow("drag") << Messages{setLevel(3, 1), setLevel(3, 2), setLevel(3, 3),
                                      setLevel(3, 4)}
                          << QByteArray() << Messages{setLevel(3, 4)};
    QTest::newRow("newer-level-goes-last")
        << Messages{setLevel(3, 10), setLevel(5, 1), setLevel(3, 20)} << QByteArray()
        << Messages{setLevel(5, 1), setLevel(3, 20)};
    QTest::newRow("master-takes-out-every-level")
        << Messages{setLevel(3, 10), master(50), setLevel(5, 1), master(60)} << QByteArray()
        << Messages{master(60)};
    QTest::newRow("channel-after-master-stays-after")
        << Messages{master(50), setLevel(3, 10), setLevel(3, 20)} << QByteArray()
        << Messages{master(50), setLevel(3, 20)};
    QTest::newRow("master-passes-a-mode") << Messages{setLevel(1, 9), selectMode(3), master(50)}
                                          << QByteArray() << Messages{selectMode(3), master(50)};
    QTest::newRow("mode-takes-out-a-mode-no-level-follows")
        << Messages{setLevel(1, 9), selectMode(1), selectMode(1), selectMode(2)} << QByteArray()
        << Messages{setLevel(1, 9), selectMode(2)};
    QTest::newRow("mode-stays-before-its-level")
        << Messages{selectMode(1), setLevel(3, 5), selectMode(2)} << QByteArray()
        << Messages{selectMode(1), setLevel(3, 5), selectMode(2)};
    QTest::newRow("level-moves-past-a-mode")
        << Messages{setLevel(3, 10), selectMode(2), setLevel(3, 20)} << QByteArray()
        << Messages{selectMode(2), setLevel(3, 20)};
    QTest::newRow("modes-close-up-when-their-level-moves")
        << Messages{selectMode(1), setLevel(3, 5), selectMode(2), setLevel(3, 6)} << QByteArray()
        << Messages{selectMode(2), setLevel(3, 6)};
    QTest::newRow("frame-takes-out-a-frame")
        << Messages{frame(1), setLevel(0, 10), frame(2)} << QByteArray()
        << Messages{setLevel(0, 10), frame(2)};
    QTest::newRow("level-moves-past-a-frame")
        << Messages{setLevel(0, 10), frame(1), setLevel(0, 20)} << QByteArray()
        << Messages{frame(1), setLevel(0, 20)};

    // The messages of one action are never merged: each goes whole and in its order.
    const Messages allOff{setLevel(0, 0), setLevel(1, 0), setLevel(2, 0), setLevel(3, 0),
                          setLevel(4, 0), setLevel(5, 0), setLevel(6, 0), master(0)};
    QTest::newRow("all-off-whole") << allOff << QByteArray("aaaaaaaa") << allOff;
    QTest::newRow("all-off-after-single-channels")
        << Messages{setLevel(0, 99), setLevel(1, 99), setLevel(0, 0), setLevel(1, 0), master(0)}
        << QByteArray("abccc") << Messages{setLevel(0, 0), setLevel(1, 0), master(0)};
    QTest::newRow("master-full-on-after-a-drag")
        << Messages{master(10), master(11), master(12), master(99)} << QByteArray("abcd")
        << Messages{master(99)};
    Messages recall;
    for (int channel = 0; channel < 8; ++channel)
        recall << setLevel(channel, 10 * channel + 1);
    QTest::newRow("recall-of-eight-after-a-level")
        << Messages{setLevel(2, 5)} + recall << QByteArray("abbbbbbbb") << recall;
    QTest::newRow("own-master-leaves-own-levels")
        << Messages{setLevel(3, 10), master(50), setLevel(3, 20)} << QByteArray("aaa")
        << Messages{setLevel(3, 10), master(50), setLevel(3, 20)};
    QTest::newRow("later-action-takes-out-one-of-an-earlier")
        << Messages{setLevel(0, 0), setLevel(1, 0), master(0), setLevel(1, 50)}
        << QByteArray("aaab") << Messages{setLevel(0, 0), master(0), setLevel(1, 50)};
    QTest::newRow("send-all-twice")
        << Messages{selectMode(2), setLevel(0, 5), setLevel(1, 6),
                    selectMode(2), setLevel(0, 5), setLevel(1, 6)}
        << QByteArray("aaabbb") << Messages{selectMode(2), setLevel(0, 5), setLevel(1, 6)};
}

void tst_LineQueue::merges()
{
    QFETCH(Messages, written);
    QFETCH(QByteArray, actions);
    QFETCH(Messages, waiting);
    LineQueue queue;
    push(queue, written, actions);
    QCOMPARE(queue.byteCount(), std::size_t(waiting.join().size()));
    QCOMPARE(queued(queue), waiting);
    QVERIFY(queue.isEmpty());
    QCOMPARE(queue.byteCount(), std::size_t(0));
}

void tst_LineQueue::takesInOrder()
{
    LineQueue queue;
    push(queue, {setLevel(1, 1), frame(7)});
    QCOMPARE(Wire::bytes(queue.take()), setLevel(1, 1));
    // Once taken, a message is on its way: a newer one does not take it back.
    push(queue, {setLevel(1, 2)});
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
        push(queue, {message});
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
