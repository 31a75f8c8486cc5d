#include "link/seriallink.h"
#include "support/linereader.h"
#include "support/linerules.h"
#include "support/openlink.h"
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
// level winning, a full line against a dead one.
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
};

namespace {

using Wire::frame;
using Wire::master;
using Wire::Messages;
using Wire::selectMode;
using Wire::setLevel;

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

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"
