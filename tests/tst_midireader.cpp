#include "midi/midiinbox.h"
#include "midi/midireader.h"

#include <QTest>

#include <vector>

// The MIDI reader over byte streams as ports and bad devices send them, cut into pieces of
// every size: what it reads whole, and what it counts and skips. And the inbox that holds
// what a port read until the panel takes it.
class tst_MidiReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
    void portGoesAway_data();
    void portGoesAway();
    void inboxKeepsAtMostItsCapacity();
};

namespace {

using Counts = QList<qint64>; // SysEx, real-time, common, strays, cut

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

// Each message read, written out whole with its status byte: what running status saved.
QByteArray bytesOf(const MidiMessage &message)
{
    QByteArray bytes(1, char(message.status()));
    bytes += char(message.number);
    if (MidiMessage::dataBytes(message.kind) == 2)
        bytes += char(message.value);
    return bytes;
}

QByteArray readInPieces(MidiReader &reader, const QByteArray &stream, qsizetype piece)
{
    QByteArray read;
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        const QByteArray part = stream.mid(at, piece);
        reader.read(std::span(reinterpret_cast<const std::uint8_t *>(part.constData()),
                              std::size_t(part.size())),
                    [&read](const MidiMessage &message) { read += bytesOf(message); });
    }
    return read;
}

Counts countsOf(const MidiReader &reader)
{
    const MidiReader::Counts &counts = reader.counts();
    return {counts.sysex, counts.realtime, counts.common, counts.strays, counts.cut};
}

} // namespace

void tst_MidiReader::read_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("messages");
    QTest::addColumn<Counts>("counts");

    const Counts none{0, 0, 0, 0, 0};
    QTest::newRow("control-change") << hex("b00740") << hex("b00740") << none;
    QTest::newRow("running-status") << hex("903c7f3e7f40") << hex("903c7f903e7f") << none;
    QTest::newRow("note-on-0-is-off") << hex("903c00") << hex("803c00") << none;
    QTest::newRow("one-data-byte") << hex("c51011d040") << hex("c510c511d040") << none;
    QTest::newRow("pitch-bend") << hex("ef0040") << hex("ef0040") << none;
    QTest::newRow("real-time-inside")
        << hex("b0f807fe40") << hex("b00740") << Counts{0, 2, 0, 0, 0};
    QTest::newRow("real-time-keeps-running")
        << hex("903c7ff83e7f") << hex("903c7f903e7f") << Counts{0, 1, 0, 0, 0};
    QTest::newRow("sysex") << hex("f07e7f0601f7b00102") << hex("b00102") << Counts{1, 0, 0, 0, 0};
    QByteArray huge = hex("f0") + QByteArray(1'000'000, '\x55') + hex("f7b00102");
    QTest::newRow("sysex-of-a-megabyte") << huge << hex("b00102") << Counts{1, 0, 0, 0, 0};
    QTest::newRow("sysex-ends-running")
        << hex("903c7ff001f73e7f") << hex("903c7f") << Counts{1, 0, 0, 2, 0};
    QTest::newRow("sysex-cut-by-status")
        << hex("f00102b00740") << hex("b00740") << Counts{1, 0, 0, 0, 1};
    QTest::newRow("real-time-in-sysex")
        << hex("f001f802f7") << QByteArray() << Counts{1, 1, 0, 0, 0};
    QTest::newRow("data-under-no-status")
        << hex("0740b00102") << hex("b00102") << Counts{0, 0, 0, 2, 0};
    QTest::newRow("end-of-sysex-alone") << hex("f7") << QByteArray() << Counts{0, 0, 0, 1, 0};
    QTest::newRow("status-cuts-message")
        << hex("903cb00740") << hex("b00740") << Counts{0, 0, 0, 0, 1};
    QTest::newRow("time-code-ends-running")
        << hex("b00740f11020") << hex("b00740") << Counts{0, 0, 1, 1, 0};
    QTest::newRow("song-position") << hex("f20010") << QByteArray() << Counts{0, 0, 1, 0, 0};
    QTest::newRow("tune-request") << hex("f6") << QByteArray() << Counts{0, 0, 1, 0, 0};
    QTest::newRow("undefined-common") << hex("f401") << QByteArray() << Counts{0, 0, 1, 1, 0};
    QTest::newRow("common-cuts-message")
        << hex("903cf63e7f") << QByteArray() << Counts{0, 0, 1, 2, 1};
    QTest::newRow("every-channel") << hex("bf7f7f") << hex("bf7f7f") << none;
}

void tst_MidiReader::read()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, messages);
    QFETCH(Counts, counts);
    // However the port cuts the stream, it reads the same.
    for (const qsizetype piece :
         {qsizetype(1), qsizetype(2), qsizetype(3), qsizetype(7), stream.size()}) {
        MidiReader reader;
        QCOMPARE(readInPieces(reader, stream, piece).toHex(' '), messages.toHex(' '));
        QCOMPARE(countsOf(reader), counts);
    }
}

void tst_MidiReader::portGoesAway_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after"); // once the port is back
    QTest::addColumn<QByteArray>("messages");
    QTest::addColumn<Counts>("counts");

    QTest::newRow("between-messages")
        << hex("b00740") << hex("b00741") << hex("b00740b00741") << Counts{0, 0, 0, 0, 0};
    QTest::newRow("in-a-message") << hex("b007") << hex("40b00741") << hex("b00741")
                                  << Counts{0, 0, 0, 1, 1};
    QTest::newRow("running-status-ends")
        << hex("b00740") << hex("0841") << hex("b00740") << Counts{0, 0, 0, 2, 0};
    QTest::newRow("in-a-sysex") << hex("f00102") << hex("03f7") << QByteArray()
                                << Counts{1, 0, 0, 2, 1};
}

void tst_MidiReader::portGoesAway()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QByteArray, messages);
    QFETCH(Counts, counts);
    MidiReader reader;
    QByteArray read = readInPieces(reader, before, before.size());
    reader.cut();
    read += readInPieces(reader, after, after.size());
    QCOMPARE(read.toHex(' '), messages.toHex(' '));
    QCOMPARE(countsOf(reader), counts);
}

void tst_MidiReader::inboxKeepsAtMostItsCapacity()
{
    int arrived = 0;
    MidiInbox inbox([&arrived] { ++arrived; });
    const std::uint8_t message[] = {0xB0, 0x07, 0x40};
    const std::size_t beyond = 10;
    for (std::size_t k = 0; k < MidiInbox::Capacity + beyond; ++k)
        inbox.write(message, sizeof message);
    QCOMPARE(arrived, 1);
    QCOMPARE(inbox.take().size(), MidiInbox::Capacity);
    QCOMPARE(inbox.dropped(), qint64(beyond));
    // Taken, the inbox has room again, and tells of the next message.
    inbox.write(message, sizeof message);
    QCOMPARE(arrived, 2);
    QCOMPARE(inbox.take().size(), std::size_t(1));
}

QTEST_APPLESS_MAIN(tst_MidiReader)
#include "tst_midireader.moc"
