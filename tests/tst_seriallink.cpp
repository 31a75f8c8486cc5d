#include "link/seriallink.h"
#include "support/ptypair.h"
#include "support/unusabledevice.h"
#include "support/wire.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

// The serial link on a real pseudo-terminal: opening, bytes in order, a full line
// against a dead one, and the last bytes at the end of the run.
class tst_SerialLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensAndSendsNothing();
    void cannotOpen_data();
    void cannotOpen();
    void bytesArriveInOrder();
    void fullBufferDrainsInOrder();
    void deadLineFailsOnce_data();
    void deadLineFailsOnce();
    void drainHandsOverQueuedBytes();
    void drainGivesUpOnStalledLine();
};

void tst_SerialLink::opensAndSendsNothing()
{
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    SerialLink link;
    QString error;
    QVERIFY2(link.open(line.slavePath(), &error), qPrintable(error));
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

void tst_SerialLink::bytesArriveInOrder()
{
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    SerialLink link;
    QString error;
    QVERIFY2(link.open(line.slavePath(), &error), qPrintable(error));
    link.write(Wire::span(QByteArray::fromHex("f1030a28fa")));
    link.write(Wire::span(QByteArray::fromHex("f1000b00fa")));
    // Handed to the kernel before write() returns: no turn of the event loop needed.
    QCOMPARE(line.readAvailable().toHex(), QByteArray("f1030a28faf1000b00fa"));
}

void tst_SerialLink::fullBufferDrainsInOrder()
{
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    SerialLink link;
    QSignalSpy failures(&link, &SerialLink::failed);
    QString error;
    QVERIFY2(link.open(line.slavePath(), &error), qPrintable(error));
    // Far more than the kernel holds for a line that nobody reads: a long drag.
    QByteArray sent;
    for (int i = 0; i < 20000; ++i) {
        const QByteArray packet = QByteArray::fromHex("f1000a00fa")
                                      .replace(1, 1, QByteArray(1, char(i % 8)))
                                      .replace(3, 1, QByteArray(1, char(i % 100)));
        link.write(Wire::span(packet));
        sent += packet;
    }
    QVERIFY2(link.bytesQueued() > 0, "the kernel took it all; the line never filled up");
    QCOMPARE(failures.count(), 0);
    QByteArray received;
    QDeadlineTimer deadline(20000);
    while (received.size() < sent.size() && !deadline.hasExpired()) {
        received += line.readAvailable();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCOMPARE(received.size(), sent.size());
    QVERIFY(received == sent);
    QCOMPARE(failures.count(), 0);
    QCOMPARE(link.bytesQueued(), 0);
}

void tst_SerialLink::deadLineFailsOnce_data()
{
    QTest::addColumn<int>("queued"); // packets written, unread, before the line goes
    QTest::newRow("idle-line") << 0;
    QTest::newRow("full-queue") << 20000;
}

void tst_SerialLink::deadLineFailsOnce()
{
    QFETCH(int, queued);
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    SerialLink link;
    QSignalSpy failures(&link, &SerialLink::failed);
    QString error;
    QVERIFY2(link.open(line.slavePath(), &error), qPrintable(error));
    for (int i = 0; i < queued; ++i)
        link.write(Wire::span(QByteArray::fromHex("f1010a05fa")));
    QVERIFY(queued == 0 || link.bytesQueued() > 0);
    QCOMPARE(failures.count(), 0);
    line.closeMaster();
    link.write(Wire::span(QByteArray::fromHex("f1030a28fa")));
    QTRY_COMPARE(failures.count(), 1);
    QVERIFY2(failures.at(0).at(0).toString().contains(line.slavePath()),
             qPrintable(failures.at(0).at(0).toString()));
    QVERIFY(link.hasFailed());
    // Closed: no notifier is left to report the dead line again and again.
    QVERIFY(!link.isOpen());
    link.write(Wire::span(QByteArray::fromHex("f1040a28fa")));
    // Turns of the loop: a notifier still armed would report again on each of them.
    for (int turn = 0; turn < 200; ++turn)
        QCoreApplication::processEvents();
    QCOMPARE(failures.count(), 1);
    QCOMPARE(link.bytesQueued(), 0);
    QCOMPARE(link.drain(), 0);
}

void tst_SerialLink::drainHandsOverQueuedBytes()
{
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    QByteArray sent;
    QByteArray received;
    {
        SerialLink link;
        QString error;
        QVERIFY2(link.open(line.slavePath(), &error), qPrintable(error));
        for (int i = 0; i < 8000; ++i) {
            const QByteArray packet =
                QByteArray::fromHex("f1070a00fa").replace(3, 1, QByteArray(1, char(i % 100)));
            link.write(Wire::span(packet));
            sent += packet;
        }
        QVERIFY2(link.bytesQueued() > 0, "nothing was left queued to drain");
        // A reader on the far side, as the board is, while the link goes away.
        std::thread reader([&] { received = line.read(int(sent.size()), 20000); });
        const qint64 lost = link.drain();
        reader.join();
        QCOMPARE(lost, 0);
    }
    QCOMPARE(received.size(), sent.size());
    QVERIFY(received == sent);
}

void tst_SerialLink::drainGivesUpOnStalledLine()
{
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    SerialLink link;
    QSignalSpy failures(&link, &SerialLink::failed);
    QString error;
    QVERIFY2(link.open(line.slavePath(), &error), qPrintable(error));
    for (int i = 0; i < 20000; ++i)
        link.write(Wire::span(QByteArray::fromHex("f1020a10fa")));
    QVERIFY(link.bytesQueued() > 0);
    // Nobody reads: the drain ends by its own deadline, and that is no failure.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(link.drain() > 0);
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(failures.count(), 0);
}

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"
