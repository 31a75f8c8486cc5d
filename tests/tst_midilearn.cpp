#include "midi/midilearn.h"

#include <QTest>

// Learn with no device: the surface's messages and the panel's touches, in either order and
// at given times, and the pairs they make; one pair for each gesture.
class tst_MidiLearn : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pairs_data();
    void pairs();
};

namespace {

using Kind = Intent::Kind;
using Time = MidiLearn::Time;

Intent change(Kind kind, int index = 0, int value = 0)
{
    return Intent{kind, index, value, std::nullopt, Source{Source::Kind::Window, 0}};
}

// Plays steps, each "TIME:what": "cc CH NUM VALUE", "on CH NUM VELOCITY", "off CH NUM" from
// the surface (channels from 1), or what one touch of the panel changed, changes separated
// by "+": "channel C LEVEL" (C from 1), "master LEVEL", "recall N", "mode M" (from 1),
// "blackout". The pairs made, as a profile writes them.
QStringList play(const QStringList &steps)
{
    MidiLearn learn;
    QStringList pairs;
    for (const QString &step : steps) {
        const Time at{step.section(u':', 0, 0).toInt()};
        const QString what = step.section(u':', 1);
        std::optional<MidiMapping> pair;
        const QStringList words = what.split(u' ');
        const auto number = [&words](int k) { return words.value(k).toInt(); };
        if (words[0] == u"cc" || words[0] == u"on" || words[0] == u"off") {
            const auto kind = words[0] == u"cc"   ? MidiMessage::Kind::ControlChange
                              : words[0] == u"on" ? MidiMessage::Kind::NoteOn
                                                  : MidiMessage::Kind::NoteOff;
            pair = learn.moved(MidiMessage{kind, std::uint8_t(number(1) - 1),
                                           std::uint8_t(number(2)), std::uint8_t(number(3))},
                               at);
        } else {
            std::vector<Intent> changes;
            for (const QString &part : what.split(u'+')) {
                const QStringList parts = part.trimmed().split(u' ');
                const int first = parts.value(1).toInt();
                const int second = parts.value(2).toInt();
                if (parts[0] == u"channel")
                    changes.push_back(change(Kind::Channel, first - 1, second));
                else if (parts[0] == u"master")
                    changes.push_back(change(Kind::Master, 0, first));
                else if (parts[0] == u"recall")
                    changes.push_back(change(Kind::Recall, first));
                else if (parts[0] == u"mode")
                    changes.push_back(change(Kind::Mode, first - 1));
                else
                    changes.push_back(change(Kind::Blackout));
            }
            pair = learn.touched(changes, at);
        }
        if (pair) {
            MidiProfile profile;
            profile.mappings.push_back(*pair);
            pairs << QString::fromUtf8(profile.text().split('\n').value(2));
        }
    }
    return pairs;
}

} // namespace

void tst_MidiLearn::pairs_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("pairs");

    QTest::newRow("fader-then-slider")
        << QStringList{"0:cc 1 20 40", "10:channel 3 50"} << QStringList{"cc 1 20 channel 3"};
    QTest::newRow("slider-then-fader")
        << QStringList{"0:channel 3 50", "10:cc 1 20 40"} << QStringList{"cc 1 20 channel 3"};
    QTest::newRow("master-slider")
        << QStringList{"0:master 40 + channel 1 40 + channel 2 40", "10:cc 1 9 30"}
        << QStringList{"cc 1 9 master"};
    QTest::newRow("one-pair-a-gesture")
        << QStringList{"0:cc 1 20 40",    "10:channel 3 50", "20:cc 1 20 41",
                       "30:channel 3 51", "40:cc 1 20 42",   "50:channel 3 52"}
        << QStringList{"cc 1 20 channel 3"};
    QTest::newRow("again-once-still")
        << QStringList{"0:cc 1 20 40", "10:channel 3 50", "1500:cc 1 20 60", "1600:channel 4 10"}
        << QStringList{"cc 1 20 channel 3", "cc 1 20 channel 4"};
    QTest::newRow("still-moving-is-the-same-gesture")
        << QStringList{"0:cc 1 20 40", "10:channel 3 50", "900:cc 1 20 60", "1800:cc 1 20 61",
                       "1900:channel 4 10"}
        << QStringList{"cc 1 20 channel 3"};
    QTest::newRow("another-control-pairs-at-once")
        << QStringList{"0:cc 1 20 40", "10:channel 3 50", "20:cc 1 21 40", "30:channel 4 10"}
        << QStringList{"cc 1 20 channel 3", "cc 1 21 channel 4"};
    QTest::newRow("button-full-on")
        << QStringList{"0:on 1 8 127", "10:channel 1 99"} << QStringList{"note 1 8 fullon 1"};
    QTest::newRow("cc-button-off")
        << QStringList{"0:cc 1 48 127", "10:channel 2 0"} << QStringList{"cc 1 48 off 2"};
    QTest::newRow("button-master-full-on")
        << QStringList{"0:on 1 1 127", "10:master 99 + channel 1 99"}
        << QStringList{"note 1 1 masterfullon"};
    QTest::newRow("button-all-off")
        << QStringList{"0:channel 1 0 + channel 2 0 + master 0", "10:on 1 2 127"}
        << QStringList{"note 1 2 alloff"};
    QTest::newRow("recall-over-its-channels")
        << QStringList{"0:channel 1 30 + channel 2 40 + recall 4", "10:on 1 36 100"}
        << QStringList{"note 1 36 scene 4"};
    QTest::newRow("mode") << QStringList{"0:on 1 40 1", "10:mode 2"}
                          << QStringList{"note 1 40 mode 2"};
    QTest::newRow("blackout") << QStringList{"0:blackout + channel 1 0", "10:cc 1 45 127"}
                              << QStringList{"cc 1 45 blackout"};
    QTest::newRow("release-begins-nothing")
        << QStringList{"0:off 1 8", "5:cc 1 9 0", "10:channel 3 50"} << QStringList{};
    QTest::newRow("note-is-no-fader")
        << QStringList{"0:on 1 8 127", "10:channel 3 50"} << QStringList{};
    QTest::newRow("note-waits-for-a-button")
        << QStringList{"0:on 1 8 127", "10:channel 3 50", "20:channel 3 99"}
        << QStringList{"note 1 8 fullon 3"};
    QTest::newRow("several-channels-tell-nothing")
        << QStringList{"0:channel 1 0 + channel 2 0", "10:cc 1 20 40"} << QStringList{};
    QTest::newRow("one-channel-moved-often")
        << QStringList{"0:channel 2 50 + channel 2 51 + channel 2 52", "10:cc 1 20 40"}
        << QStringList{"cc 1 20 channel 2"};
    QTest::newRow("latest-touch-counts")
        << QStringList{"0:channel 1 50", "5:channel 2 50", "10:cc 1 20 40"}
        << QStringList{"cc 1 20 channel 2"};
    QTest::newRow("other-kinds-pair-nothing") << QStringList{"0:channel 3 50"} << QStringList{};
}

void tst_MidiLearn::pairs()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, pairs);
    QCOMPARE(play(steps), pairs);
}

QTEST_APPLESS_MAIN(tst_MidiLearn)
#include "tst_midilearn.moc"
