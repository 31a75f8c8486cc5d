#include "protocol/boarddecoder.h"
#include "support/wire.h"

#include <QByteArray>
#include <QStringList>
#include <QTest>

#include <random>

// The board's reading of the panel's byte stream: every message the encoders write comes
// back as itself, whatever the chunking; garbage is dropped and counted, and the messages
// after it are found again.
class tst_BoardDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resync_data();
    void resync();
    void holdsBehindFrameStartUntilQuiet();
    void everySplitGivesSameEvents();
    void byteByByteGivesSameEvents();
    void roundTripLevels();
    void roundTripModes();
    void roundTripFrames();
    void acceptsExactlyWhatBoardTakes();
    void randomStream();
    void pathological_data();
    void pathological();
};

namespace {

using Decoder = BoardDecoder;
using Records = Wire::Records;
using Wire::feed;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values)
        result.append(char(value));
    return result;
}

using Wire::hex;
using Wire::packet;

QByteArray level(int channel, int value) { return Wire::setLevel(channel, value); }

// A body that holds a whole packet and every start and end byte, in the first scene and
// across the boundary of two scenes.
Records markerRecords()
{
    Records records = Wire::countingRecords();
    records[0] = {0xF1, 0x03, 0x0A, 0x28, 0xFA, 0xFB, 0xFA, 0xF1};
    records[5][7] = 0xFA;
    records[6][0] = 0xFB;
    records[11] = {0xFB, 0xFB, 0xFA, 0xFA, 0xF1, 0xF1, 0x0A, 0xFB};
    return records;
}

QByteArray frame(const Records &records) { return Wire::frame(records); }

QByteArray frameBody(const Records &records)
{
    return frame(records).mid(1, qsizetype(SceneDownloadFrame::BodySize));
}

QString describe(const Decoder::Event &event)
{
    if (const auto *p = std::get_if<Decoder::Packet>(&event))
        return QStringLiteral("packet ") + hex(Wire::bytes(p->bytes()));
    if (const auto *f = std::get_if<Decoder::Frame>(&event))
        return QStringLiteral("frame ") + hex(Wire::bytes(f->bytes()));
    const auto &d = std::get<Decoder::Dropped>(event);
    return QStringLiteral("dropped %1 %2")
        .arg(QString::fromLatin1(Decoder::reasonName(d.reason).data()), hex(Wire::bytes(d.bytes)));
}

QString packetText(const QByteArray &message) { return QStringLiteral("packet ") + hex(message); }

QString frameText(const Records &records)
{
    return QStringLiteral("frame ") + hex(frame(records));
}

QString droppedText(const char *reason, const QByteArray &data)
{
    return QStringLiteral("dropped %1 %2").arg(QLatin1String(reason), hex(data));
}

QStringList describeAll(const std::vector<Decoder::Event> &events)
{
    QStringList texts;
    for (const auto &event : events)
        texts << describe(event);
    return texts;
}

void append(std::vector<Decoder::Event> &to, std::vector<Decoder::Event> &&from)
{
    to.insert(to.end(), std::make_move_iterator(from.begin()),
              std::make_move_iterator(from.end()));
}

std::uint64_t eventBytes(const std::vector<Decoder::Event> &events)
{
    std::uint64_t total = 0;
    for (const auto &event : events) {
        if (std::holds_alternative<Decoder::Packet>(event))
            total += CommandPacket::Size;
        else if (std::holds_alternative<Decoder::Frame>(event))
            total += SceneDownloadFrame::Size;
        else
            total += std::get<Decoder::Dropped>(event).bytes.size();
    }
    return total;
}

// Every byte fed is in an event or still pending, by the counters and by the events.
QString accountingError(const Decoder &decoder, const std::vector<Decoder::Event> &events)
{
    const std::uint64_t counted = decoder.bytesDecoded() + decoder.bytesDropped();
    if (counted + decoder.bytesPending() != decoder.bytesFed()) {
        return QStringLiteral("decoded %1 + dropped %2 + pending %3 != fed %4")
            .arg(decoder.bytesDecoded())
            .arg(decoder.bytesDropped())
            .arg(decoder.bytesPending())
            .arg(decoder.bytesFed());
    }
    if (eventBytes(events) != counted) {
        return QStringLiteral("events hold %1 bytes, counters say %2")
            .arg(eventBytes(events))
            .arg(counted);
    }
    return {};
}

std::vector<Decoder::Event> decodeQuiet(const QByteArray &data)
{
    Decoder decoder;
    std::vector<Decoder::Event> events = feed(decoder, data);
    append(events, decoder.endOfBurst());
    return events;
}

// Packets and frames of every kind, frames that hold start and end bytes among them.
QByteArray validStream()
{
    return level(0, 0) + frame(markerRecords()) + level(7, 99) + packet(10, 10, 55) +
           packet(0, 11, 0) + frame(Wire::countingRecords()) + frame(markerRecords()) +
           packet(11, 11, 0) + level(3, 40);
}

} // namespace

void tst_BoardDecoder::resync_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("quiet");
    QTest::addColumn<QStringList>("expected");

    const QByteArray p = level(4, 50);
    const QByteArray q = level(5, 60);
    QByteArray packets; // long enough to settle a frame candidate opened before them
    QStringList packetTexts;
    for (int i = 0; i < 20; ++i) {
        packets += level(i % 8, i);
        packetTexts << packetText(level(i % 8, i));
    }
    const QByteArray levels40 = frameBody(Wire::countingRecords()).left(40);
    const QByteArray levels30 = frameBody(Wire::countingRecords()).left(30);

    QTest::newRow("clean") << level(3, 40) + frame(Wire::countingRecords()) + p << false
                           << QStringList{packetText(level(3, 40)),
                                          frameText(Wire::countingRecords()), packetText(p)};
    // The tail of a packet whose start was lost; its end byte opens a frame candidate.
    QTest::newRow("midPacket") << bytes({0x0A, 0x28, 0xFA}) + p << true
                               << QStringList{droppedText("stray-byte", bytes({0x0A, 0x28})),
                                              droppedText("cut-short", bytes({0xFA})),
                                              packetText(p)};
    QTest::newRow("midPacketBusy") << bytes({0x0A, 0x28, 0xFA}) + packets << false
                                   << QStringList{droppedText("stray-byte", bytes({0x0A, 0x28})),
                                                  droppedText("no-frame-end", bytes({0xFA}))} +
                                          packetTexts;
    QTest::newRow("wrongEnd") << bytes({0xF1, 0x03, 0x0A, 0x28, 0x00}) + p << false
                              << QStringList{droppedText("bad-end-byte",
                                                         bytes({0xF1, 0x03, 0x0A, 0x28, 0x00})),
                                             packetText(p)};
    // The wrong end byte is the start of the next packet, which must not be lost.
    QTest::newRow("endIsStart") << bytes({0xF1, 0x03, 0x0A, 0x28}) + p << false
                                << QStringList{droppedText("bad-end-byte",
                                                           bytes({0xF1, 0x03, 0x0A, 0x28})),
                                               packetText(p)};
    QTest::newRow("doubleStart") << bytes({0xF1}) + p << false
                                 << QStringList{droppedText("bad-address", bytes({0xF1})),
                                                packetText(p)};
    QTest::newRow("unknownCmd") << packet(3, 12, 40) + p << true
                                << QStringList{
                                       droppedText("bad-command", bytes({0xF1, 0x03, 0x0C, 0x28})),
                                       droppedText("cut-short", bytes({0xFA})), packetText(p)};
    QTest::newRow("cmdZero") << packet(3, 0, 40) + p << true
                             << QStringList{
                                    droppedText("bad-command", bytes({0xF1, 0x03, 0x00, 0x28})),
                                    droppedText("cut-short", bytes({0xFA})), packetText(p)};
    QTest::newRow("levelAddr8") << packet(8, 10, 40) + p << true
                                << QStringList{
                                       droppedText("bad-address", bytes({0xF1, 0x08, 0x0A, 0x28})),
                                       droppedText("cut-short", bytes({0xFA})), packetText(p)};
    QTest::newRow("levelAddr11") << packet(11, 10, 40) + p << true
                                 << QStringList{droppedText("bad-address",
                                                            bytes({0xF1, 0x0B, 0x0A, 0x28})),
                                                droppedText("cut-short", bytes({0xFA})),
                                                packetText(p)};
    QTest::newRow("modeAddr12") << packet(12, 11, 0) + p << true
                                << QStringList{
                                       droppedText("bad-address", bytes({0xF1, 0x0C, 0x0B, 0x00})),
                                       droppedText("cut-short", bytes({0xFA})), packetText(p)};
    QTest::newRow("level100") << packet(3, 10, 100) + p << true
                              << QStringList{
                                     droppedText("bad-value", bytes({0xF1, 0x03, 0x0A, 0x64})),
                                     droppedText("cut-short", bytes({0xFA})), packetText(p)};
    QTest::newRow("modeValue1") << packet(3, 11, 1) + p << true
                                << QStringList{
                                       droppedText("bad-value", bytes({0xF1, 0x03, 0x0B, 0x01})),
                                       droppedText("cut-short", bytes({0xFA})), packetText(p)};
    // The packets behind a frame that stopped early are found once byte 97 refuses it.
    QTest::newRow("frameCutShort")
        << bytes({0xFA}) + levels40 + packets << false
        << QStringList{droppedText("no-frame-end", bytes({0xFA}) + levels40)} + packetTexts;
    QTest::newRow("frameCutByFrame")
        << bytes({0xFA}) + levels30 + frame(Wire::countingRecords()) << false
        << QStringList{droppedText("no-frame-end", bytes({0xFA}) + levels30),
                       frameText(Wire::countingRecords())};
    QTest::newRow("frameCutQuiet")
        << bytes({0xFA}) + levels30 + p << true
        << QStringList{droppedText("cut-short", bytes({0xFA}) + levels30), packetText(p)};
    QTest::newRow("frameMarkers") << frame(markerRecords()) << false
                                  << QStringList{frameText(markerRecords())};
    Records ends{};
    for (auto &record : ends)
        record.fill(0xFB);
    QTest::newRow("frameAllEnds") << frame(ends) << false << QStringList{frameText(ends)};
    QTest::newRow("packetAfterFrame") << frame(markerRecords()) + p << false
                                      << QStringList{frameText(markerRecords()), packetText(p)};
    QTest::newRow("frameAfterPacket") << p + frame(markerRecords()) << false
                                      << QStringList{packetText(p), frameText(markerRecords())};
    QTest::newRow("frameAfterFrame")
        << frame(markerRecords()) + frame(Wire::countingRecords()) << false
        << QStringList{frameText(markerRecords()), frameText(Wire::countingRecords())};
    QTest::newRow("strayThenFrame")
        << bytes({0x00, 0xFB, 0x63}) + frame(markerRecords()) + q << false
        << QStringList{droppedText("stray-byte", bytes({0x00, 0xFB, 0x63})),
                       frameText(markerRecords()), packetText(q)};
    QTest::newRow("loneStart") << bytes({0xF1}) << true
                               << QStringList{droppedText("cut-short", bytes({0xF1}))};
    QTest::newRow("halfPacket") << bytes({0xF1, 0x03, 0x0A}) << true
                                << QStringList{
                                       droppedText("cut-short", bytes({0xF1, 0x03, 0x0A}))};
    QTest::newRow("longRun") << QByteArray(150, '\x00') << true
                             << QStringList{droppedText("stray-byte", QByteArray(64, '\x00')),
                                            droppedText("stray-byte", QByteArray(64, '\x00')),
                                            droppedText("stray-byte", QByteArray(22, '\x00'))};
}

void tst_BoardDecoder::resync()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, quiet);
    QFETCH(QStringList, expected);

    Decoder decoder;
    std::vector<Decoder::Event> events = feed(decoder, input);
    const QString whileFed = accountingError(decoder, events);
    QVERIFY2(whileFed.isEmpty(), qPrintable(whileFed));
    if (quiet)
        append(events, decoder.endOfBurst());
    QCOMPARE(describeAll(events), expected);
    QVERIFY2(decoder.bytesPending() == 0 || !quiet, "endOfBurst() left bytes pending");
    const QString accounting = accountingError(decoder, events);
    QVERIFY2(accounting.isEmpty(), qPrintable(accounting));

    for (qsizetype cut = 1; cut < input.size(); ++cut) {
        Decoder split;
        std::vector<Decoder::Event> splitEvents = feed(split, input.left(cut));
        append(splitEvents, feed(split, input.mid(cut)));
        if (quiet)
            append(splitEvents, split.endOfBurst());
        QVERIFY2(describeAll(splitEvents) == expected,
                 qPrintable(QStringLiteral("cut after byte %1 changed the events").arg(cut)));
    }
}

void tst_BoardDecoder::holdsBehindFrameStartUntilQuiet()
{
    // Until byte 97 the 0xFA may open a frame that holds the packet, so nothing is told.
    Decoder decoder;
    const QByteArray p = level(2, 10);
    QVERIFY2(feed(decoder, bytes({0xFA}) + p).empty(), "decided before it could know");
    QCOMPARE(decoder.bytesPending(), std::size_t(6));
    QVERIFY(!decoder.isAtBoundary());
    QCOMPARE(describeAll(decoder.endOfBurst()),
             (QStringList{droppedText("cut-short", bytes({0xFA})), packetText(p)}));
    QVERIFY(decoder.isAtBoundary());
    QCOMPARE(decoder.bytesPending(), std::size_t(0));
}

void tst_BoardDecoder::everySplitGivesSameEvents()
{
    const QByteArray stream = validStream();
    Decoder whole;
    const QStringList expected = describeAll(feed(whole, stream));
    QCOMPARE(expected.size(), 9);
    QVERIFY2(whole.bytesDropped() == 0 && whole.bytesPending() == 0,
             "a valid stream left bytes dropped or pending");
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        Decoder decoder;
        std::vector<Decoder::Event> events = feed(decoder, stream.left(cut));
        append(events, feed(decoder, stream.mid(cut)));
        QVERIFY2(describeAll(events) == expected,
                 qPrintable(QStringLiteral("cut after byte %1 changed the events").arg(cut)));
    }
}

void tst_BoardDecoder::byteByByteGivesSameEvents()
{
    const QByteArray stream = validStream();
    Decoder whole;
    const QStringList expected = describeAll(feed(whole, stream));
    Decoder decoder;
    std::vector<Decoder::Event> events;
    for (char byte : stream)
        append(events, feed(decoder, QByteArray(1, byte)));
    QCOMPARE(describeAll(events), expected);
}

void tst_BoardDecoder::roundTripLevels()
{
    std::vector<Decoder::Packet> sent;
    for (int channel = 0; channel < 8; ++channel) {
        for (int value = 0; value <= 99; ++value)
            sent.push_back({std::uint8_t(channel), CommandPacket::SetLevel, std::uint8_t(value)});
    }
    for (int value = 0; value <= 99; ++value)
        sent.push_back(
            {CommandPacket::MasterAddress, CommandPacket::SetLevel, std::uint8_t(value)});

    QByteArray stream;
    for (const auto &p : sent) {
        const QByteArray message = packet(p.address, p.command, p.value);
        stream += message;
        const std::vector<Decoder::Event> events = decodeQuiet(message);
        QVERIFY2(events.size() == 1 && std::get_if<Decoder::Packet>(&events[0]) &&
                     *std::get_if<Decoder::Packet>(&events[0]) == p,
                 qPrintable(QStringLiteral("%1 did not decode to itself").arg(hex(message))));
    }
    Decoder decoder;
    const std::vector<Decoder::Event> events = feed(decoder, stream);
    QCOMPARE(events.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i)
        QVERIFY2(std::get<Decoder::Packet>(events[i]) == sent[i], "packet changed in a stream");
}

void tst_BoardDecoder::roundTripModes()
{
    for (int mode = 0; mode < 12; ++mode) {
        const QByteArray message = packet(mode, CommandPacket::SelectMode, 0);
        const std::vector<Decoder::Event> events = decodeQuiet(message);
        const Decoder::Packet expected{std::uint8_t(mode), CommandPacket::SelectMode, 0};
        QVERIFY2(events.size() == 1 && std::get_if<Decoder::Packet>(&events[0]) &&
                     *std::get_if<Decoder::Packet>(&events[0]) == expected,
                 qPrintable(QStringLiteral("mode %1 did not decode to itself").arg(mode)));
    }
}

void tst_BoardDecoder::roundTripFrames()
{
    std::mt19937 random(20240611);
    // Bodies that favour the start and end bytes, so that they land everywhere.
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<int> marker(0, 2);
    const std::array<std::uint8_t, 3> markers{0xF1, 0xFA, 0xFB};
    QByteArray stream;
    std::vector<Records> sent;
    for (int i = 0; i < 400; ++i) {
        Records records{};
        for (auto &record : records) {
            for (auto &byte : record)
                byte = any(random) < 64 ? markers[std::size_t(marker(random))]
                                        : std::uint8_t(any(random));
        }
        sent.push_back(records);
        stream += frame(records);
        const std::vector<Decoder::Event> events = decodeQuiet(frame(records));
        QVERIFY2(events.size() == 1 && std::get_if<Decoder::Frame>(&events[0]) &&
                     std::get_if<Decoder::Frame>(&events[0])->records == records,
                 qPrintable(QStringLiteral("frame %1 did not decode to itself").arg(i)));
    }
    Decoder decoder;
    const std::vector<Decoder::Event> events = feed(decoder, stream);
    QCOMPARE(events.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i)
        QVERIFY2(std::get<Decoder::Frame>(events[i]).records == sent[i],
                 qPrintable(QStringLiteral("frame %1 changed in a stream").arg(i)));
}

void tst_BoardDecoder::acceptsExactlyWhatBoardTakes()
{
    // The board's rule, told independently of the decoder's early checks.
    const auto takes = [](int address, int command, int value) {
        if (command == CommandPacket::SetLevel)
            return (address <= 7 || address == CommandPacket::MasterAddress) && value <= 99;
        return command == CommandPacket::SelectMode && address <= 11 && value == 0;
    };
    const std::array<int, 9> values{0, 1, 50, 98, 99, 100, 101, 0xFA, 255};
    for (int address = 0; address < 256; ++address) {
        for (int command = 0; command < 256; ++command) {
            for (int value : values) {
                Decoder decoder;
                const QByteArray message = packet(address, command, value);
                std::vector<Decoder::Event> events = feed(decoder, message);
                append(events, decoder.endOfBurst());
                const bool decoded =
                    events.size() == 1 && std::holds_alternative<Decoder::Packet>(events[0]);
                if (decoded != takes(address, command, value)) {
                    QFAIL(qPrintable(QStringLiteral("%1 was %2")
                                         .arg(hex(message), decoded ? "taken" : "refused")));
                }
                if (!decoded) {
                    QVERIFY2(decoder.bytesDropped() == CommandPacket::Size &&
                                 eventBytes(events) == CommandPacket::Size,
                             qPrintable(hex(message) + " did not drop its five bytes"));
                }
            }
        }
    }
}

void tst_BoardDecoder::randomStream()
{
    std::mt19937 random(1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> garbageLength(0, 300);
    std::uniform_int_distribution<int> messageCount(1, 5);
    std::uniform_int_distribution<int> chunkLength(1, 700);
    const auto quietByte = [&] {
        for (;;) {
            const int byte = anyByte(random);
            if (byte != 0xF1 && byte != 0xFA && byte != 0xFB)
                return char(byte);
        }
    };
    const auto randomMessage = [&]() -> std::pair<QByteArray, QString> {
        switch (anyByte(random) % 4) {
        case 0: {
            Records records{};
            for (auto &record : records) {
                for (auto &byte : record)
                    byte = std::uint8_t(anyByte(random));
            }
            return {frame(records), frameText(records)};
        }
        case 1: {
            const QByteArray message = packet(anyByte(random) % 12, CommandPacket::SelectMode, 0);
            return {message, packetText(message)};
        }
        default: {
            const int address = anyByte(random) % 9;
            const QByteArray message = packet(address == 8 ? 10 : address, CommandPacket::SetLevel,
                                              anyByte(random) % 100);
            return {message, packetText(message)};
        }
        }
    };
    const auto feedInChunks = [&](Decoder &decoder, const QByteArray &data) {
        std::vector<Decoder::Event> events;
        for (qsizetype at = 0; at < data.size();) {
            const qsizetype length = std::min<qsizetype>(chunkLength(random), data.size() - at);
            append(events, feed(decoder, data.mid(at, length)));
            at += length;
        }
        return events;
    };

    // Garbage of any bytes, then a gap that no candidate can survive and none can start
    // in, then valid messages: those must come out exactly, whatever the garbage was.
    Decoder decoder;
    std::vector<Decoder::Event> all;
    QByteArray stream;
    int spliced = 0;
    while (stream.size() < 1024 * 1024) {
        QByteArray garbage(garbageLength(random), '\0');
        for (char &byte : garbage)
            byte = char(anyByte(random));
        QByteArray gap(SceneDownloadFrame::Size - 1, '\0');
        for (char &byte : gap)
            byte = quietByte();
        append(all, feedInChunks(decoder, garbage));
        append(all, feedInChunks(decoder, gap));
        QVERIFY2(decoder.isAtBoundary(),
                 qPrintable(QStringLiteral("a candidate outlived the gap at byte %1")
                                .arg(stream.size() + garbage.size() + gap.size())));

        QByteArray messages;
        QStringList expected;
        for (int n = messageCount(random); n > 0; --n) {
            const auto [message, text] = randomMessage();
            messages += message;
            expected << text;
        }
        std::vector<Decoder::Event> events = feedInChunks(decoder, messages);
        // The run of garbage and gap before them closes as the first message arrives.
        if (!events.empty() && std::holds_alternative<Decoder::Dropped>(events.front())) {
            all.push_back(events.front());
            events.erase(events.begin());
        }
        QVERIFY2(describeAll(events) == expected,
                 qPrintable(QStringLiteral("messages after byte %1 were not found")
                                .arg(stream.size() + garbage.size() + gap.size())));
        append(all, std::move(events));
        stream += garbage + gap + messages;
        spliced += int(expected.size());
    }
    append(all, decoder.endOfBurst());
    QVERIFY2(spliced > 1000, "too few messages spliced to mean anything");
    QCOMPARE(decoder.bytesFed(), std::uint64_t(stream.size()));
    QCOMPARE(decoder.bytesPending(), std::size_t(0));
    const QString accounting = accountingError(decoder, all);
    QVERIFY2(accounting.isEmpty(), qPrintable(accounting));
    QVERIFY2(decoder.bytesDropped() > 0, "random garbage dropped nothing");

    // The same stream in one piece decodes to the same events.
    QVERIFY2(describeAll(decodeQuiet(stream)) == describeAll(all),
             "the events depend on how the stream was cut");
}

void tst_BoardDecoder::pathological_data()
{
    QTest::addColumn<QByteArray>("input");
    // Over a thousand frames' worth: far beyond any bound of the decoder.
    const qsizetype size = 128 * 1024;
    QTest::newRow("allFrameStarts") << QByteArray(size, '\xFA');
    QTest::newRow("allPacketStarts") << QByteArray(size, '\xF1');
    QTest::newRow("allFrameEnds") << QByteArray(size, '\xFB');
    QByteArray almost;
    // Frames whose byte 97 is wrong by one, back to back: each is refused at the end.
    while (almost.size() < size)
        almost += QByteArray(1, '\xFA') + QByteArray(96, '\xFA') + QByteArray(1, '\xFC');
    QTest::newRow("almostFrames") << almost;
}

void tst_BoardDecoder::pathological()
{
    QFETCH(QByteArray, input);
    Decoder decoder;
    std::vector<Decoder::Event> events = feed(decoder, input);
    // At most one candidate waits, beside one open run of dropped bytes.
    QVERIFY2(decoder.bytesPending() < SceneDownloadFrame::Size + BoardDecoder::MaxRunLength,
             qPrintable(QStringLiteral("%1 bytes pending").arg(decoder.bytesPending())));
    append(events, decoder.endOfBurst());
    QCOMPARE(decoder.bytesPending(), std::size_t(0));
    const QString accounting = accountingError(decoder, events);
    QVERIFY2(accounting.isEmpty(), qPrintable(accounting));
}

QTEST_APPLESS_MAIN(tst_BoardDecoder)
#include "tst_boarddecoder.moc"
