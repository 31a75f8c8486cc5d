#include "link/seriallink.h"
#include "support/linereader.h"
#include "support/linerules.h"
#include "support/ptypair.h"
#include "support/unusabledevice.h"
#include "support/wire.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <optional>

// The serial link on a real pseudo-terminal: opening, the line's pace with the newest
// level winning, a full line against a dead one, and the last bytes at the end of the run.
class tst_SerialLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensAndSendsNothing();
    void cannotOpen_data();
    void cannotOpen();
    void idleLineTakesAtOnce();
    void atTheLinesPace_data();
    void atTheLinesPace();
    void fullKernelKeepsMessagesWholeInOrder();
    void deadLineIsLostOnce_data();
    void deadLineIsLostOnce();
    void closeNeverCutsAMessage();
    void drain_data();
    void drain();
};

namespace {

using Wire::frame;
using Wire::master;
using Wire::Messages;
using Wire::selectMode;
using Wire::setLevel;

// A link opened on a real pseudo-terminal, the states it went through recorded.
struct OpenLink
{
    PtyPair line;
    SerialLink link;
    QSignalSpy states{&link, &SerialLink::stateChanged};
    QString problem;

    bool open()
    {
        problem = line.errorString();
        return line.isOpen() && link.open(line.slavePath(), &problem);
    }
    // The times the line was lost.
    int losses() const
    {
        return int(std::count_if(states.begin(), states.end(), [](const QList<QVariant> &state) {
            return state.at(0).value<SerialLink::State>() == SerialLink::State::Lost;
        }));
    }
};

// Each message an action of its own, as a drag's positions are.
void writeAll(SerialLink &link, const Messages &messages)
{
    for (const QByteArray &message : messages) {
        link.beginAction();
        link.send(Wire::message(message));
    }
}

// Messages of which none takes out another: every byte must arrive. A level for each
// channel, a download and a mode, over and over, the levels and frames different each time.
Messages distinct(int count)
{
    Messages messages;
    for (int i = 0; i < count; ++i) {
        const int round = i / 10;
        messages << (i % 10 == 8   ? frame(char(round))
                     : i % 10 == 9 ? selectMode(round % 12)
                                   : setLevel(i % 10, round % 100));
    }
    return messages;
}

} // namespace

void tst_SerialLink::opensAndSendsNothing()
{
    OpenLink opened;
    QVERIFY2(opened.open(), qPrintable(opened.problem));
    auto &[line, link, states, problem] = opened;
    QVERIFY(link.isOpen());
    QCOMPARE(line.readAvailable(), QByteArray());
}

void tst_SerialLink::cannotOpen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing"
                             << "no such device";
    QTest::newRow("folder") << "folder"
                            << "a folder, not a serial device";
    QTest::newRow("plain-file") << "file"
                                << "a file, not a serial device";
    QTest::newRow("in-use") << "busy"
                            << "in use";
    QTest::newRow("in-use-through-a-link") << "busy-link"
                                           << "in use";
    QTest::newRow("path-too-long-to-lock") << "long"
                                           << "too long to be locked";
    QTest::newRow("the-terminal") << "terminal"
                                  << "the terminal of whatever program opens it";
    QTest::newRow("the-pseudo-terminal-multiplexer") << "multiplexer"
                                                     << "makes new pseudo-terminals";
    QTest::newRow("no-serial-driver") << "no-driver"
                                      << "no serial port's driver stands behind it";
}

void tst_SerialLink::cannotOpen()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    UnusableDevice device(kind);
    QVERIFY2(device.problem().isEmpty(), qPrintable(device.problem()));
    SerialLink link;
    QString error;
    QVERIFY(!link.open(device.path(), &error));
    QVERIFY(!link.isOpen());
    QVERIFY2(error.contains(device.path()), qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QCOMPARE(device.line().readAvailable(), QByteArray());
}

void tst_SerialLink::idleLineTakesAtOnce()
{
    OpenLink opened;
    QVERIFY2(opened.open(), qPrintable(opened.problem));
    auto &[line, link, states, problem] = opened;
    link.send(Wire::message(setLevel(3, 40)));
    // Handed to the kernel before send() returns: no turn of the event loop needed.
    QCOMPARE(line.readAvailable().toHex(), setLevel(3, 40).toHex());
    // The line is busy with that packet for a while: the next one follows at its pace.
    link.send(Wire::message(selectMode(0)));
    QByteArray received;
    QTRY_COMPARE((received += line.readAvailable()).toHex(), selectMode(0).toHex());
    QCOMPARE(link.bytesQueued(), 0);
}

void tst_SerialLink::atTheLinesPace_data()
{
    QTest::addColumn<Messages>("written");
    QTest::addColumn<bool>("merges"); // fewer bytes must arrive than were written

    Messages channelDrag, masterDrag, mixed, modeInDrag, frameInDrag, recall, crossed;
    for (int v = 0; v <= 99; ++v) {
        channelDrag << setLevel(3, v);
        masterDrag << master(v);
        crossed << setLevel(1, v) << setLevel(2, 99 - v);
    }
    // Rows that cannot merge much take their whole line time: a few dozen packets each.
    for (int v = 0; v < 20; ++v)
        mixed << setLevel(3, v) << master(v) << setLevel(5, 99 - v);
    for (int v = 0; v < 20; ++v)
        modeInDrag << setLevel(3, v);
    modeInDrag << selectMode(4);
    for (int v = 80; v <= 99; ++v)
        modeInDrag << setLevel(3, v) << selectMode(5);
    for (int v = 0; v < 20; ++v)
        frameInDrag << setLevel(2, v) << master(v);
    frameInDrag << frame(0x33);
    for (int v = 50; v <= 99; ++v)
        frameInDrag << setLevel(2, v);
    for (int i = 0; i < 8; ++i)
        recall << setLevel(i, 10 * i);
    recall << master(0);
    for (int i = 7; i >= 0; --i)
        recall << setLevel(i, 99);

    QTest::newRow("channel-drag") << channelDrag << true;
    QTest::newRow("master-drag") << masterDrag << true;
    QTest::newRow("two-channels-crossed") << crossed << true;
    QTest::newRow("channels-around-master") << mixed << true;
    QTest::newRow("modes-in-a-drag") << modeInDrag << true;
    QTest::newRow("frame-in-a-drag") << frameInDrag << true;
    QTest::newRow("recall-and-all-off") << recall << false;
}

void tst_SerialLink::atTheLinesPace()
{
    QFETCH(Messages, written);
    QFETCH(bool, merges);
    OpenLink opened;
    QVERIFY2(opened.open(), qPrintable(opened.problem));
    auto &[line, link, states, problem] = opened;
    const LineReader farSide(line.masterFd());
    // All at once, as a fast drag or a recall hands them over, faster than the line.
    writeAll(link, written);
    QTRY_VERIFY2_WITH_TIMEOUT(link.bytesQueued() == 0 &&
                                  LineRules::check(written, farSide.bytes()).isEmpty(),
                              qPrintable(LineRules::check(written, farSide.bytes())), 20000);
    QVERIFY2(!merges || farSide.count() < written.join().size(), "no level gave way");
    QCOMPARE(opened.losses(), 0);
}

void tst_SerialLink::fullKernelKeepsMessagesWholeInOrder()
{
    OpenLink opened;
    QVERIFY2(opened.open(), qPrintable(opened.problem));
    auto &[line, link, states, problem] = opened;
    // A line that nobody has read for long: the kernel refuses more.
    const qsizetype stale = line.fillKernel();
    QVERIFY2(stale > 0, "the kernel took nothing");
    const Messages written = distinct(10);
    writeAll(link, written);
    QCOMPARE(link.state(), SerialLink::State::Waiting);
    QByteArray received;
    QTRY_VERIFY_WITH_TIMEOUT(
        (received += line.readAvailable()).size() >= stale + written.join().size(), 5000);
    QCOMPARE(received.size(), stale + written.join().size());
    QCOMPARE(Wire::hex(received.mid(stale)), Wire::hex(written.join()));
    QTRY_COMPARE(link.state(), SerialLink::State::Up);
    QCOMPARE(opened.losses(), 0);
    QCOMPARE(link.bytesQueued(), 0);
}

void tst_SerialLink::deadLineIsLostOnce_data()
{
    QTest::addColumn<int>("queued"); // modes and frames written, unread, before the line goes
    QTest::newRow("idle-line") << 0;
    QTest::newRow("queued") << 10;
}

void tst_SerialLink::deadLineIsLostOnce()
{
    QFETCH(int, queued);
    OpenLink opened;
    QVERIFY2(opened.open(), qPrintable(opened.problem));
    auto &[line, link, states, problem] = opened;
    writeAll(link, distinct(queued));
    QVERIFY(queued == 0 || link.bytesQueued() > 0);
    line.closeMaster();
    // Seen without a message to write: the line hangs up.
    QTRY_COMPARE(opened.losses(), 1);
    QCOMPARE(link.state(), SerialLink::State::Lost);
    QVERIFY(!link.isOpen());
    link.send(Wire::message(setLevel(4, 40)));
    // Turns of the loop: a notifier still armed would report again on each of them.
    for (int turn = 0; turn < 200; ++turn)
        QCoreApplication::processEvents();
    QCOMPARE(opened.losses(), 1);
    QCOMPARE(link.bytesQueued(), 0);
    QCOMPARE(link.drain(), 0);
}

void tst_SerialLink::closeNeverCutsAMessage()
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
        link.send(Wire::message(setLevel(level % 8, level % 100)));
        packets += setLevel(level % 8, level % 100);
        if (!QTest::qWaitFor([&link] { return link.bytesQueued() == 0; }, 300))
            break;
    }
    QCOMPARE(link.state(), SerialLink::State::Waiting);
    QVERIFY2(link.bytesQueued() < 5, "the kernel took none of the last packet");
    link.send(Wire::message(selectMode(7)));
    // A close after the deadline leaves the mode out, and the packet is finished once the
    // line takes bytes again, after the panel has gone.
    QCOMPARE(link.release(), qint64(5));
    QTRY_VERIFY_WITH_TIMEOUT((received += line.readAvailable()).endsWith(packets), 10000);
    QVERIFY(!link.isOpen());
}

void tst_SerialLink::drain_data()
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

void tst_SerialLink::drain()
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
    const Messages written = distinct(messages);
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

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"
