#include "midi/surfacestate.h"

#include <QTest>

// Soft takeover and feedback, one surface with no device: a row for each rule, as a short
// story of the surface's moves, the panel's changes from elsewhere and the feedback asked for
// at given times; and the round trip of every level through a fader's 0..127.
class tst_Takeover : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void takeover_data();
    void takeover();
    void feedback_data();
    void feedback();
    void roundTrip_data();
    void roundTrip();
};

namespace {

using Pickup = SurfaceState::Side;
using Time = SurfaceState::Time;

const QByteArray Header = "dimmer-panel midi profile 1\n";

MidiProfile profileOf(const QByteArray &lines)
{
    QString problem;
    const std::optional<MidiProfile> profile = MidiProfile::read(Header + lines, &problem);
    if (!profile)
        qFatal("%s", qPrintable(problem));
    return *profile;
}

QString hexOf(const MidiMessage &message)
{
    QByteArray bytes;
    bytes += char(message.status());
    bytes += char(message.number);
    bytes += char(message.value);
    return QString::fromLatin1(bytes.toHex(' '));
}

// Plays steps, each "TIME:what": "move VALUE" (the profile's first fader, the panel taking
// what it asks as its own change), "move2 VALUE" (its second), "level TARGET LEVEL" (a
// change from elsewhere), "mode M", "scene N [changed]", "blackout", "forget", "feedback".
// What each move asked for ("asks L", "waits") and each feedback sent ("B0 01 40, ..." or
// "nothing").
QStringList play(const MidiProfile &profile, const QStringList &steps, SurfaceState &state,
                 MidiPanelView &panel)
{
    std::vector<std::size_t> faders;
    for (std::size_t k = 0; k < profile.mappings.size(); ++k) {
        if (profile.mappings[k].isFader())
            faders.push_back(k);
    }
    QStringList results;
    for (const QString &step : steps) {
        const Time at{step.section(u':', 0, 0).toInt()};
        const QStringList words = step.section(u':', 1).split(u' ');
        const QString &verb = words[0];
        if (verb.startsWith(u"move")) {
            const std::size_t mapping = faders[verb == u"move2" ? 1 : 0];
            const int target = profile.mappings[mapping].target();
            const std::optional<int> level = state.moved(mapping, words[1].toInt(), at);
            results << (level ? QStringLiteral("asks %1").arg(*level) : QStringLiteral("waits"));
            if (level) {
                panel.levels[std::size_t(target)] = *level;
                state.levelChanged(target, *level, mapping);
            }
        } else if (verb == u"level") {
            panel.levels[std::size_t(words[1].toInt())] = words[2].toInt();
            state.levelChanged(words[1].toInt(), words[2].toInt());
        } else if (verb == u"mode" || verb == u"scene" || verb == u"blackout") {
            if (verb == u"mode") {
                panel.mode = words[1].toInt();
            } else if (verb == u"scene") {
                panel.liveScene = words[1].toInt();
                panel.liveChanged = words.size() > 2;
            } else {
                panel.blackout = !panel.blackout;
            }
            state.panelChanged(panel);
        } else if (verb == u"forget") {
            state.forget();
        } else {
            QStringList sent;
            for (const MidiMessage &message : state.feedback(at))
                sent << hexOf(message);
            results << (sent.isEmpty() ? QStringLiteral("nothing") : sent.join(u", "));
        }
    }
    return results;
}

MidiPanelView levelsAt(int level)
{
    MidiPanelView panel;
    panel.levels.fill(level);
    return panel;
}

} // namespace

Q_DECLARE_METATYPE(Pickup)

void tst_Takeover::takeover_data()
{
    QTest::addColumn<QByteArray>("profile");
    QTest::addColumn<QStringList>("steps"); // the panel's levels start at 50, 64 of 127
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<Pickup>("waiting"); // channel 1's faders, at the end

    const QByteArray one = "cc 1 1 channel 1\n";
    QTest::newRow("far-above-waits")
        << one << QStringList{"0:move 100"} << QStringList{"waits"} << Pickup::Above;
    QTest::newRow("far-below-waits")
        << one << QStringList{"0:move 10"} << QStringList{"waits"} << Pickup::Below;
    QTest::newRow("within-3-takes")
        << one << QStringList{"0:move 67"} << QStringList{"asks 52"} << Pickup::None;
    QTest::newRow("within-3-below-takes")
        << one << QStringList{"0:move 61"} << QStringList{"asks 48"} << Pickup::None;
    QTest::newRow("4-away-waits") << one << QStringList{"0:move 68"} << QStringList{"waits"}
                                  << Pickup::Above;
    QTest::newRow("crossing-up-takes") << one << QStringList{"0:move 30", "1:move 90"}
                                       << QStringList{"waits", "asks 70"} << Pickup::None;
    QTest::newRow("crossing-down-takes") << one << QStringList{"0:move 100", "1:move 20"}
                                         << QStringList{"waits", "asks 16"} << Pickup::None;
    QTest::newRow("same-side-waits-on") << one << QStringList{"0:move 10", "1:move 40"}
                                        << QStringList{"waits", "waits"} << Pickup::Below;
    QTest::newRow("taken-follows") << one << QStringList{"0:move 64", "1:move 80", "2:move 5"}
                                   << QStringList{"asks 50", "asks 62", "asks 4"} << Pickup::None;
    QTest::newRow("change-elsewhere-waits-again")
        << one << QStringList{"0:move 64", "1:level 0 20", "2:move 70"}
        << QStringList{"asks 50", "waits"} << Pickup::Above;
    QTest::newRow("change-elsewhere-to-where-it-stands")
        << one << QStringList{"0:move 64", "1:level 0 51", "2:move 70"}
        << QStringList{"asks 50", "asks 55"} << Pickup::None;
    QTest::newRow("recall-leaves-it-waiting-unmoved")
        << one << QStringList{"0:move 64", "1:level 0 90"} << QStringList{"asks 50"}
        << Pickup::Below;
    QTest::newRow("where-it-stands-unknown")
        << one << QStringList{"0:level 0 20"} << QStringList{} << Pickup::None;
    QTest::newRow("another-channel-changes-nothing")
        << one << QStringList{"0:move 64", "1:level 3 0", "2:move 70"}
        << QStringList{"asks 50", "asks 55"} << Pickup::None;
    QTest::newRow("gone-and-back-knows-nothing")
        << one << QStringList{"0:move 64", "1:forget", "2:move 100"}
        << QStringList{"asks 50", "waits"} << Pickup::Above;
    QTest::newRow("motor-takes-at-once")
        << QByteArray("cc 1 1 channel 1 motor\n") << QStringList{"0:move 100"}
        << QStringList{"asks 78"} << Pickup::None;
    // Two faders on one channel: the one moved last says where to go.
    QTest::newRow("two-faders-last-moved") << QByteArray("cc 1 1 channel 1\ncc 1 2 channel 1\n")
                                           << QStringList{"0:move 100", "1:move2 10"}
                                           << QStringList{"waits", "waits"} << Pickup::Below;
    QTest::newRow("one-of-two-takes") << QByteArray("cc 1 1 channel 1\ncc 1 2 channel 1\n")
                                      << QStringList{"0:move 100", "1:move2 64"}
                                      << QStringList{"waits", "asks 50"} << Pickup::Above;
}

void tst_Takeover::takeover()
{
    QFETCH(QByteArray, profile);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, results);
    QFETCH(Pickup, waiting);
    const MidiProfile surface = profileOf(profile);
    SurfaceState state(surface);
    MidiPanelView panel = levelsAt(50);
    state.panelChanged(panel);
    QCOMPARE(play(surface, steps, state, panel), results);
    QCOMPARE(state.waiting(0), waiting);
}

void tst_Takeover::feedback_data()
{
    QTest::addColumn<QByteArray>("profile");
    QTest::addColumn<QStringList>("steps"); // the panel's levels start at 50, 64 of 127
    QTest::addColumn<QStringList>("results");

    const QByteArray motor = "cc 1 1 channel 1 motor\n";
    QTest::newRow("motor-told-where-levels-stand-once")
        << motor << QStringList{"0:feedback", "1:feedback"} << QStringList{"b0 01 40", "nothing"};
    QTest::newRow("motor-told-change-elsewhere")
        << motor << QStringList{"0:feedback", "1:level 0 30", "2:feedback"}
        << QStringList{"b0 01 40", "b0 01 26"};
    QTest::newRow("own-move-never-echoed")
        << motor << QStringList{"0:feedback", "1:move 100", "1000:feedback"}
        << QStringList{"b0 01 40", "asks 78", "nothing"};
    QTest::newRow("hand-on-not-fought")
        << motor
        << QStringList{"0:feedback", "1:move 100", "100:level 0 20", "200:feedback",
                       "301:feedback"}
        << QStringList{"b0 01 40", "asks 78", "nothing", "b0 01 1a"};
    QTest::newRow("no-creep-after-release")
        << motor << QStringList{"0:feedback", "1:move 2", "1000:feedback"}
        << QStringList{"b0 01 40", "asks 2", "nothing"};
    QTest::newRow("motor-elsewhere") << QByteArray("cc 11 9 master motor cc 1 9\n")
                                     << QStringList{"0:feedback"} << QStringList{"b0 09 40"};
    QTest::newRow("no-motor-no-feedback")
        << QByteArray("cc 1 1 channel 1\n") << QStringList{"0:level 0 30", "1:feedback"}
        << QStringList{"nothing"};
    QTest::newRow("gone-and-back-told-again")
        << motor << QStringList{"0:feedback", "1:forget", "2:feedback"}
        << QStringList{"b0 01 40", "b0 01 40"};

    const QByteArray pads = "note 1 8 fullon 1 led lit 1 dark 0\n"
                            "note 1 0 off 1 led lit 3 dark 0\n";
    QTest::newRow("full-on-lit") << pads << QStringList{"0:feedback", "1:level 0 99", "2:feedback"}
                                 << QStringList{"90 08 00, 90 00 00", "90 08 01"};
    QTest::newRow("off-lit") << pads << QStringList{"0:level 0 0", "1:feedback"}
                             << QStringList{"90 08 00, 90 00 03"};
    QTest::newRow("light-not-told-twice")
        << pads << QStringList{"0:feedback", "1:level 0 40", "2:feedback"}
        << QStringList{"90 08 00, 90 00 00", "nothing"};
    QTest::newRow("gone-and-back-lights-told-again")
        << pads << QStringList{"0:feedback", "1:forget", "2:feedback"}
        << QStringList{"90 08 00, 90 00 00", "90 08 00, 90 00 00"};
    const QByteArray scene = "note 1 56 scene 2 led lit 1 dark 0 changed 5\n";
    QTest::newRow("scene-live") << scene << QStringList{"0:scene 2", "1:feedback"}
                                << QStringList{"90 38 01"};
    QTest::newRow("scene-changed-since")
        << scene << QStringList{"0:scene 2 changed", "1:feedback"} << QStringList{"90 38 05"};
    QTest::newRow("another-scene")
        << scene << QStringList{"0:scene 3", "1:feedback"} << QStringList{"90 38 00"};
    QTest::newRow("mode-selected")
        << QByteArray("note 1 40 mode 1 led note 2 40 lit 1 dark 0\n")
        << QStringList{"0:mode 0", "1:feedback"} << QStringList{"91 28 01"};
    QTest::newRow("blackout-held")
        << QByteArray("cc 1 45 blackout led\n") << QStringList{"0:blackout", "1:feedback"}
        << QStringList{"b0 2d 7f"};
    QTest::newRow("all-off-lit") << QByteArray("cc 1 46 alloff led\n") << QStringList{"0:feedback"}
                                 << QStringList{"b0 2e 00"};
}

void tst_Takeover::feedback()
{
    QFETCH(QByteArray, profile);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, results);
    const MidiProfile surface = profileOf(profile);
    SurfaceState state(surface);
    MidiPanelView panel = levelsAt(50);
    state.panelChanged(panel);
    QCOMPARE(play(surface, steps, state, panel), results);
}

void tst_Takeover::roundTrip_data()
{
    QTest::addColumn<int>("level");
    for (int level = Board::Off; level <= Board::FullOn; ++level)
        QTest::addRow("%d", level) << level;
}

void tst_Takeover::roundTrip()
{
    QFETCH(int, level);
    const int value = SurfaceState::toMidi(level);
    QVERIFY(value >= 0 && value <= MidiMessage::HighestValue);
    QCOMPARE(SurfaceState::toLevel(value), level);
    if (level > Board::Off)
        QVERIFY(value > SurfaceState::toMidi(level - 1));
    // A motor fader told the level, reporting where it went, asks for the level itself, and
    // is not told again: no step of drift either way.
    const MidiProfile surface = profileOf("cc 1 1 channel 1 motor\n");
    SurfaceState state(surface);
    state.panelChanged(levelsAt(level));
    const std::vector<MidiMessage> told = state.feedback(Time{0});
    QCOMPARE(told.size(), std::size_t(1));
    QCOMPARE(int(told.front().value), value);
    QCOMPARE(state.moved(0, value, Time{1}), std::optional<int>(level));
    state.levelChanged(0, level, std::size_t(0));
    QVERIFY(state.feedback(Time{1000}).empty());
}

QTEST_GUILESS_MAIN(tst_Takeover)
#include "tst_takeover.moc"
