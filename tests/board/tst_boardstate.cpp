#include "protocol/boardstate.h"
#include "support/wire.h"

#include <QByteArray>
#include <QList>
#include <QTest>

// The board as the panel drives it: channels, the master that moves them all, the mode
// and the stored scenes, fed through the decoder as on the line.
class tst_BoardState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsDark();
    void apply_data();
    void apply();
    void keepsLastDownload();
    void ignoresPacketsItWouldNotTake();
};

namespace {

using Records = BoardState::Scenes;

QByteArray level(int channel, int value) { return Wire::setLevel(channel, value); }

QByteArray master(int value) { return level(CommandPacket::MasterAddress, value); }

QByteArray mode(int wireNumber) { return Wire::selectMode(wireNumber); }

QByteArray frame(const Records &records) { return Wire::frame(records); }

void drive(BoardState &state, const QByteArray &stream)
{
    for (const auto &event : Wire::decodeWhole(stream))
        state.apply(event);
}

QList<int> levelsOf(const BoardState &state)
{
    return QList<int>(state.levels().begin(), state.levels().end());
}

} // namespace

void tst_BoardState::startsDark()
{
    const BoardState state;
    QCOMPARE(levelsOf(state), QList<int>(8, 0));
    QCOMPARE(state.master(), 0);
    QVERIFY2(!state.mode(), "a mode before any SelectMode");
    QVERIFY2(!state.scenes(), "scenes before any download");
}

void tst_BoardState::apply_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<int>>("levels");
    QTest::addColumn<int>("master");
    QTest::addColumn<int>("mode"); // as shown, 0 for none

    QTest::newRow("channel") << level(3, 40) << QList<int>{0, 0, 0, 40, 0, 0, 0, 0} << 0 << 0;
    QTest::newRow("lastChannel") << level(7, 99) << QList<int>{0, 0, 0, 0, 0, 0, 0, 99} << 0 << 0;
    QTest::newRow("masterMovesAll")
        << level(3, 40) + level(5, 90) + master(70) << QList<int>(8, 70) << 70 << 0;
    QTest::newRow("masterDown") << master(70) + master(0) << QList<int>(8, 0) << 0 << 0;
    QTest::newRow("channelAfterMaster")
        << master(70) + level(2, 10) << QList<int>{70, 70, 10, 70, 70, 70, 70, 70} << 70 << 0;
    QTest::newRow("firstMode") << mode(0) << QList<int>(8, 0) << 0 << 1;
    QTest::newRow("lastMode") << mode(11) << QList<int>(8, 0) << 0 << 12;
    QTest::newRow("modeKeepsLevels")
        << level(1, 20) + mode(5) + mode(8) << QList<int>{0, 20, 0, 0, 0, 0, 0, 0} << 0 << 9;
    QTest::newRow("garbageIgnored")
        << master(50) + level(1, 100) + level(8, 20) + QByteArray("\x00\xfb\xf1", 3)
        << QList<int>(8, 50) << 50 << 0;
}

void tst_BoardState::apply()
{
    QFETCH(QByteArray, stream);
    QFETCH(QList<int>, levels);
    QFETCH(int, master);
    QFETCH(int, mode);

    BoardState state;
    drive(state, stream);
    QCOMPARE(levelsOf(state), levels);
    QCOMPARE(state.master(), master);
    QCOMPARE(state.mode().value_or(0), mode);
}

void tst_BoardState::keepsLastDownload()
{
    Records first{};
    Records second{};
    for (std::size_t n = 0; n < first.size(); ++n) {
        first[n].fill(std::uint8_t(n));
        second[n].fill(std::uint8_t(99 - n));
    }
    second[3][4] = 0xFA; // stored as sent, even where no level could be
    BoardState state;
    drive(state, frame(first) + level(0, 5) + frame(second));
    QVERIFY2(state.scenes() && *state.scenes() == second, "the last download is not kept");
    QCOMPARE(state.level(0), 5);
    QCOMPARE(state.master(), 0);
}

void tst_BoardState::ignoresPacketsItWouldNotTake()
{
    // Built by hand, past the decoder: still no write out of range.
    BoardState state;
    state.apply(BoardDecoder::Event{BoardDecoder::Packet{9, CommandPacket::SetLevel, 30}});
    state.apply(BoardDecoder::Event{BoardDecoder::Packet{200, CommandPacket::SetLevel, 30}});
    state.apply(BoardDecoder::Event{BoardDecoder::Packet{12, CommandPacket::SelectMode, 0}});
    state.apply(BoardDecoder::Event{BoardDecoder::Packet{1, 0x33, 30}});
    QCOMPARE(levelsOf(state), QList<int>(8, 0));
    QVERIFY(!state.mode());
}

QTEST_APPLESS_MAIN(tst_BoardState)
#include "tst_boardstate.moc"
