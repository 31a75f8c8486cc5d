#include "board/pseudoterminal.h"
#include "support/wire.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

// The board's own pseudo-terminal: everything the panel writes arrives whole and in
// order, at the line's pace by default and in as few reads as the kernel allows at full
// speed.
class tst_PseudoTerminal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void burstArrivesInOrder_data();
    void burstArrivesInOrder();
};

void tst_PseudoTerminal::burstArrivesInOrder_data()
{
    QTest::addColumn<bool>("fullSpeed");
    QTest::addColumn<int>("fewestPieces"); // reads it must at least take
    // A second of line time: read at the line's pace it comes in many small pieces.
    QTest::newRow("line-pace") << false << 20;
    QTest::newRow("full-speed") << true << 1;
}

void tst_PseudoTerminal::burstArrivesInOrder()
{
    QFETCH(bool, fullSpeed);
    QFETCH(int, fewestPieces);
    PseudoTerminal terminal(nullptr);
    terminal.setFullSpeed(fullSpeed);
    QString error;
    QVERIFY2(terminal.open(&error), qPrintable(error));
    QSignalSpy pieces(&terminal, &PseudoTerminal::bytesArrived);

    QByteArray burst;
    for (int i = 0; i < 190; ++i)
        burst += i % 2 ? Wire::selectMode(i % 12) : Wire::setLevel(i % 8, i % 100);
    burst += Wire::frame(Wire::countingRecords());
    const int device =
        ::open(QFile::encodeName(terminal.devicePath()).constData(), O_WRONLY | O_NOCTTY);
    QVERIFY2(device >= 0, std::strerror(errno));
    QCOMPARE(::write(device, burst.constData(), std::size_t(burst.size())), ssize_t(burst.size()));
    ::close(device);

    QByteArray arrived;
    QTRY_COMPARE_WITH_TIMEOUT(
        [&] {
            arrived.clear();
            for (const QList<QVariant> &piece : pieces)
                arrived += piece.at(0).toByteArray();
            return arrived.size();
        }(),
        burst.size(), 10000);
    QVERIFY(arrived == burst);
    QVERIFY2(pieces.count() >= fewestPieces, qPrintable(QString::number(pieces.count())));
}

QTEST_GUILESS_MAIN(tst_PseudoTerminal)
#include "tst_pseudoterminal.moc"
