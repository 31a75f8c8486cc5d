#include "support/deskactions.h"
#include "support/deskfixture.h"
#include "support/files.h"
#include "support/wire.h"

#include <QSignalSpy>
#include <QTest>

// Playback on the desk, without a window and on a clock the test moves: a recall that
// fades, undo and redo of the changes of levels, and the mark of the live scene.
class tst_Playback : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fades_data();
    void fades();
    void fadeSendsOnlyWhatMoves();
    void undo_data();
    void undo();
    void undoKeepsTwentySteps();
    void liveScene_data();
    void liveScene();
};

namespace {

using Levels = QList<int>;
using namespace std::chrono_literals;

// Scene 1 lights the first four channels, scene 2 the last four; channel 2 holds 30 in both.
const QByteArray Scenes = [] {
    QByteArray file(12 * 8, '\0');
    const char one[8] = {99, 0, 30, 60, 0, 0, 0, 0};
    const char two[8] = {0, 0, 30, 0, 40, 50, 60, 99};
    file.replace(0, 8, QByteArray(one, 8));
    file.replace(8, 8, QByteArray(two, 8));
    return file;
}();

} // namespace

void tst_Playback::fades_data()
{
    QTest::addColumn<QString>("actions");
    QTest::addColumn<Levels>("after"); // the eight channels, then the master
    QTest::addColumn<bool>("fading");

    // From all at 20: scene 1 is {99, 0, 30, 60, 0, 0, 0, 0}.
    QTest::newRow("cut-when-no-time")
        << "recall 1" << Levels{99, 0, 30, 60, 0, 0, 0, 0, 0} << false;
    QTest::newRow("nothing-moves-at-once")
        << "fade 20;recall 1" << Levels{20, 20, 20, 20, 20, 20, 20, 20, 0} << true;
    // A straight line: a quarter of the way at a quarter of the time, rounded.
    QTest::newRow("quarter-way") << "fade 20;recall 1;at 500"
                                 << Levels{40, 15, 23, 30, 15, 15, 15, 15, 0} << true;
    QTest::newRow("half-way") << "fade 20;recall 1;at 1000"
                              << Levels{60, 10, 25, 40, 10, 10, 10, 10, 0} << true;
    QTest::newRow("ends-exactly") << "fade 20;recall 1;at 1999;at 2000"
                                  << Levels{99, 0, 30, 60, 0, 0, 0, 0, 0} << false;
    QTest::newRow("late-step-lands-on-the-scene")
        << "fade 20;recall 1;at 5000" << Levels{99, 0, 30, 60, 0, 0, 0, 0, 0} << false;
    QTest::newRow("tenth-of-a-second")
        << "fade 1;recall 1;at 50;at 100" << Levels{99, 0, 30, 60, 0, 0, 0, 0, 0} << false;

    // The hand wins over the fade of its own channel only.
    QTest::newRow("hand-stops-its-channel") << "fade 20;recall 1;at 1000;move 0 5;at 2000"
                                            << Levels{5, 0, 30, 60, 0, 0, 0, 0, 0} << false;
    QTest::newRow("full-on-stops-its-channel") << "fade 20;recall 1;at 1000;fullOn 1;at 2000"
                                               << Levels{99, 99, 30, 60, 0, 0, 0, 0, 0} << false;
    QTest::newRow("off-stops-its-channel") << "fade 20;recall 1;at 1000;off 3;at 2000"
                                           << Levels{99, 0, 30, 0, 0, 0, 0, 0, 0} << false;
    QTest::newRow("remote-level-stops-its-channel")
        << "fade 20;recall 1;at 500;set 1 70;at 2000" << Levels{99, 70, 30, 60, 0, 0, 0, 0, 0}
        << false;

    // A new recall starts from where the levels stand: half-way is {60, 10, 25, 40, 10, ..}.
    QTest::newRow("new-recall-from-where-they-stand")
        << "fade 20;recall 1;at 1000;recall 2;at 2000" << Levels{30, 5, 28, 20, 25, 30, 35, 55, 0}
        << true;
    QTest::newRow("new-recall-ends-on-its-scene")
        << "fade 20;recall 1;at 1000;recall 2;at 3000" << Levels{0, 0, 30, 0, 40, 50, 60, 99, 0}
        << false;
    QTest::newRow("new-recall-cuts-when-time-is-0")
        << "fade 20;recall 1;at 1000;fade 0;recall 2;at 3000"
        << Levels{0, 0, 30, 0, 40, 50, 60, 99, 0} << false;

    // The master, all-off, blackout and undo stop every fade.
    QTest::newRow("master-stops-all") << "fade 20;recall 1;at 1000;master 40;at 3000"
                                      << Levels{40, 40, 40, 40, 40, 40, 40, 40, 40} << false;
    QTest::newRow("all-off-stops-all")
        << "fade 20;recall 1;at 1000;allOff;at 3000" << Levels{0, 0, 0, 0, 0, 0, 0, 0, 0} << false;
    QTest::newRow("blackout-stops-all") << "fade 20;recall 1;at 1000;blackout;at 3000"
                                        << Levels{0, 0, 0, 0, 0, 0, 0, 0, 0} << false;
    QTest::newRow("blackout-back-to-where-the-fade-stood")
        << "fade 20;recall 1;at 1000;blackout;at 1500;blackout;at 3000"
        << Levels{60, 10, 25, 40, 10, 10, 10, 10, 0} << false;
    QTest::newRow("undo-stops-and-goes-back")
        << "fade 20;recall 1;at 1000;undo;at 3000" << Levels{20, 20, 20, 20, 20, 20, 20, 20, 0}
        << false;
}

void tst_Playback::fades()
{
    QFETCH(QString, actions);
    QFETCH(Levels, after);
    QFETCH(bool, fading);

    DeskFixture f;
    QVERIFY2(f.isValid(), qPrintable(f.folder.errorString()));
    QVERIFY(Files::write(f.scenePath(), Scenes));
    f.setLevels(Levels(8, 20), 0);
    perform(f, actions);
    QCOMPARE(f.levels(), after);
    QCOMPARE(f.desk.isFading(), fading);
    QVERIFY2(f.failures.isEmpty(), qPrintable(f.failures.join('\n')));
}

void tst_Playback::fadeSendsOnlyWhatMoves()
{
    DeskFixture f;
    QVERIFY(Files::write(f.scenePath(), Scenes));
    f.setLevels({0, 50, 30, 60, 0, 0, 0, 0}, 0);
    QSignalSpy recalled(&f.desk, &Desk::sceneRecalled);
    f.desk.apply(want(Intent::Kind::FadeTime, 0, 20));
    f.desk.apply(want(Intent::Kind::Recall, 1));
    QCOMPARE(recalled.count(), 1);
    QCOMPARE(f.line.take(), QByteArray()); // nothing moves before the first step
    // A step every 20 ms, as the desk's own timer takes them, and a few late ones.
    for (int ms = 20; ms <= 2000; ms += ms % 200 == 0 ? 60 : 20) {
        f.clock.set(std::chrono::milliseconds(ms));
        f.desk.stepFades();
    }
    f.clock.set(2000ms);
    f.desk.stepFades();

    QMap<int, QList<int>> sent;
    for (const BoardDecoder::Event &event : Wire::decodeWhole(f.line.take())) {
        const auto *packet = std::get_if<BoardDecoder::Packet>(&event);
        QVERIFY(packet && packet->command == CommandPacket::SetLevel);
        sent[packet->address] << packet->value;
    }
    // Channels 2 and 3 stand on the scene's level, and the channels at 0 stay there.
    QCOMPARE(sent.keys(), (QList<int>{0, 1}));
    // Each level once, one way only, ending on the scene: the straight line's steps.
    for (int channel : {0, 1}) {
        const QList<int> &levels = sent[channel];
        QCOMPARE(levels.last(), channel == 0 ? 99 : 0);
        for (qsizetype k = 1; k < levels.size(); ++k) {
            QVERIFY2(channel == 0 ? levels[k] > levels[k - 1] : levels[k] < levels[k - 1],
                     qPrintable(QStringLiteral("channel %1 went %2 then %3")
                                    .arg(channel)
                                    .arg(levels[k - 1])
                                    .arg(levels[k])));
        }
    }
    QVERIFY(!f.desk.isFading());
}

void tst_Playback::undo_data()
{
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("back"); // undo, redo, or several
    QTest::addColumn<Levels>("after");
    QTest::addColumn<QByteArray>("wire"); // what going back sent

    using Wire::setLevel;
    // Every row starts from {10, 20, 30, 40, 50, 60, 70, 80} with the master at 0, at 10 s.
    const Levels start{10, 20, 30, 40, 50, 60, 70, 80, 0};

    // Going back sends the channels that change, in ascending order, as a recall does.
    QTest::newRow("recall") << "recall 1"
                            << "undo" << start
                            << setLevel(0, 10) + setLevel(1, 20) + setLevel(3, 40) +
                                   setLevel(4, 50) + setLevel(5, 60) + setLevel(6, 70) +
                                   setLevel(7, 80);
    QTest::newRow("recall-redone")
        << "recall 1"
        << "undo;redo" << Levels{99, 0, 30, 60, 0, 0, 0, 0, 0}
        << setLevel(0, 10) + setLevel(1, 20) + setLevel(3, 40) + setLevel(4, 50) +
               setLevel(5, 60) + setLevel(6, 70) + setLevel(7, 80) + setLevel(0, 99) +
               setLevel(1, 0) + setLevel(3, 60) + setLevel(4, 0) + setLevel(5, 0) +
               setLevel(6, 0) + setLevel(7, 0);
    // The board keeps no master of its own: the master's slider comes back silently.
    QTest::newRow("master") << "master 50"
                            << "undo" << start
                            << setLevel(0, 10) + setLevel(1, 20) + setLevel(2, 30) +
                                   setLevel(3, 40) + setLevel(5, 60) + setLevel(6, 70) +
                                   setLevel(7, 80);
    QTest::newRow("all-off") << "allOff"
                             << "undo" << start
                             << setLevel(0, 10) + setLevel(1, 20) + setLevel(2, 30) +
                                    setLevel(3, 40) + setLevel(4, 50) + setLevel(5, 60) +
                                    setLevel(6, 70) + setLevel(7, 80);
    QTest::newRow("full-on") << "fullOn 2"
                             << "undo" << start << setLevel(2, 30);
    QTest::newRow("off") << "off 7"
                         << "undo" << start << setLevel(7, 80);
    QTest::newRow("blackout") << "blackout"
                              << "undo" << start
                              << setLevel(0, 10) + setLevel(1, 20) + setLevel(2, 30) +
                                     setLevel(3, 40) + setLevel(4, 50) + setLevel(5, 60) +
                                     setLevel(6, 70) + setLevel(7, 80);
    QTest::newRow("one-step-at-a-time") << "fullOn 0;fullOn 1;off 2"
                                        << "undo;undo" << Levels{99, 20, 30, 40, 50, 60, 70, 80, 0}
                                        << setLevel(2, 30) + setLevel(1, 20);
    QTest::newRow("nothing-to-undo") << ""
                                     << "undo;redo" << start << QByteArray();
    QTest::newRow("a-new-change-ends-redo")
        << "fullOn 0;undo;off 1"
        << "redo" << Levels{10, 0, 30, 40, 50, 60, 70, 80, 0} << QByteArray();
    QTest::newRow("a-change-that-changed-nothing-is-no-step")
        << "fullOn 0;off 1;fullOn 0;set 3 40"
        << "undo" << Levels{99, 20, 30, 40, 50, 60, 70, 80, 0} << setLevel(1, 20);

    // A fader's gesture is one step: held from press to release, or the moves of a
    // remote or key that follow each other within a second.
    QTest::newRow("held-drag") << "hold;move 4 51;at 13000;move 4 60;move 4 70;letGo"
                               << "undo" << start << setLevel(4, 50);
    QTest::newRow("two-drags") << "hold;move 4 60;letGo;hold;move 4 70;letGo"
                               << "undo" << Levels{10, 20, 30, 40, 60, 60, 70, 80, 0}
                               << setLevel(4, 60);
    QTest::newRow("remote-moves-in-a-row") << "set 4 55;at 10500;set 4 60;at 11400;set 4 65"
                                           << "undo" << start << setLevel(4, 50);
    QTest::newRow("remote-moves-apart")
        << "set 4 55;at 10500;set 4 60;at 11600;set 4 65"
        << "undo" << Levels{10, 20, 30, 40, 60, 60, 70, 80, 0} << setLevel(4, 60);
    QTest::newRow("other-channel-is-another-step")
        << "set 4 55;set 5 20"
        << "undo" << Levels{10, 20, 30, 40, 55, 60, 70, 80, 0} << setLevel(5, 60);

    // A store asked its question and stays stored; undo takes back the change before it.
    QTest::newRow("store-is-not-undone") << "fullOn 0;store 5"
                                         << "undo" << start << setLevel(0, 10);
}

void tst_Playback::undo()
{
    QFETCH(QString, actions);
    QFETCH(QString, back);
    QFETCH(Levels, after);
    QFETCH(QByteArray, wire);

    DeskFixture f;
    QVERIFY(Files::write(f.scenePath(), Scenes));
    // The levels the board held at start are no step of the operator's.
    DeskState start;
    start.channels = {10, 20, 30, 40, 50, 60, 70, 80};
    f.desk.restore(start);
    f.clock.set(10s);
    perform(f, actions);
    const QByteArray file = Files::bytes(f.scenePath());
    f.line.take();
    perform(f, back);
    QCOMPARE(Wire::hex(f.line.take()), Wire::hex(wire));
    QCOMPARE(f.levels(), after);
    QCOMPARE(Wire::hex(Files::bytes(f.scenePath())), Wire::hex(file));
    QVERIFY(!f.desk.isBlackout());
}

void tst_Playback::undoKeepsTwentySteps()
{
    DeskFixture f;
    QSignalSpy told(&f.desk, &Desk::undoChanged);
    for (int k = 0; k < 25; ++k)
        k % 2 ? f.desk.apply(want(Intent::Kind::Off, 0))
              : f.desk.apply(want(Intent::Kind::FullOn, 0));
    QCOMPARE(told.last(), (QVariantList{true, false}));
    int steps = 0;
    while (f.desk.canUndo()) {
        f.desk.apply(want(Intent::Kind::Undo));
        ++steps;
    }
    QCOMPARE(steps, UndoHistory::Depth);
    // 25 presses end on full on; twenty back is the level after the fifth press.
    QCOMPARE(f.desk.channel(0), 99);
    QCOMPARE(told.last(), (QVariantList{false, true}));
    while (f.desk.canRedo())
        f.desk.apply(want(Intent::Kind::Redo));
    QCOMPARE(f.desk.channel(0), 99);
}

void tst_Playback::liveScene_data()
{
    QTest::addColumn<QString>("actions");
    QTest::addColumn<int>("live");
    QTest::addColumn<bool>("changed");

    QTest::newRow("none-at-start") << "" << 0 << false;
    QTest::newRow("recalled") << "recall 1" << 1 << false;
    QTest::newRow("stored") << "set 0 12;store 4" << 4 << false;
    QTest::newRow("a-level-left-it") << "recall 1;set 5 1" << 1 << true;
    QTest::newRow("back-to-it") << "recall 1;set 5 1;set 5 0" << 1 << false;
    QTest::newRow("master-left-it") << "recall 2;master 60" << 2 << true;
    QTest::newRow("blackout-left-it") << "recall 2;blackout" << 2 << true;
    QTest::newRow("blackout-back") << "recall 2;blackout;blackout" << 2 << false;
    QTest::newRow("another-recalled") << "recall 1;set 5 1;recall 2" << 2 << false;
    QTest::newRow("fading-is-no-change") << "fade 20;recall 1;at 700" << 1 << false;
    QTest::newRow("hand-during-a-fade") << "fade 20;recall 1;at 700;move 4 9" << 1 << true;
    QTest::newRow("undone-recall") << "recall 1;recall 2;undo" << 1 << false;
    QTest::newRow("undone-change") << "recall 1;set 5 1;undo" << 1 << false;
    QTest::newRow("refused-recall") << "recall 1;recall 12" << 1 << false;
}

void tst_Playback::liveScene()
{
    QFETCH(QString, actions);
    QFETCH(int, live);
    QFETCH(bool, changed);

    DeskFixture f;
    QByteArray file = Scenes;
    file[11 * 8 + 3] = char(100); // scene 12 holds a level that no channel takes
    QVERIFY(Files::write(f.scenePath(), file));
    QSignalSpy told(&f.desk, &Desk::liveSceneChanged);
    perform(f, actions);
    QCOMPARE(f.desk.liveScene(), live);
    QCOMPARE(f.desk.isLiveChanged(), changed);
    // What a view was told last agrees with what the desk holds.
    if (live != 0)
        QCOMPARE(told.last(), (QVariantList{live, changed}));
    else
        QCOMPARE(told.count(), 0);
}

QTEST_GUILESS_MAIN(tst_Playback)
#include "tst_playback.moc"
