#include "midi/midiprofile.h"

#include <QTest>

// The profile files: what each line maps, the lines that are refused and why, the built-in
// profiles, a profile written and read back, and what learn keeps of a control it maps anew.
class tst_MidiProfile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
    void refused_data();
    void refused();
    void builtIn_data();
    void builtIn();
    void writtenAndReadBack();
    void learnKeepsWhatTheControlIs();
};

namespace {

const QByteArray Header = "dimmer-panel midi profile 1\n";

using Kind = Intent::Kind;
constexpr auto CC = MidiControl::Kind::ControlChange;
constexpr auto Note = MidiControl::Kind::Note;

MidiMapping mapping(MidiControl control, Kind action, int index = 0)
{
    MidiMapping mapping;
    mapping.control = control;
    mapping.action = action;
    mapping.index = index;
    return mapping;
}

MidiMapping lit(MidiMapping mapping, int lit, int dark, int changed,
                std::optional<MidiControl> to = std::nullopt)
{
    mapping.led = true;
    mapping.lit = lit;
    mapping.dark = dark;
    mapping.changed = changed;
    mapping.feedback = to;
    return mapping;
}

MidiMapping motor(MidiMapping mapping, std::optional<MidiControl> to = std::nullopt)
{
    mapping.motor = true;
    mapping.feedback = to;
    return mapping;
}

std::optional<MidiMapping> only(const QByteArray &line)
{
    QString problem;
    const std::optional<MidiProfile> profile = MidiProfile::read(Header + line, &problem);
    if (!profile || profile->mappings.size() != 1)
        return std::nullopt;
    return profile->mappings.front();
}

} // namespace

Q_DECLARE_METATYPE(MidiMapping)

void tst_MidiProfile::read_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<MidiMapping>("mapping");

    QTest::newRow("channel") << QByteArray("cc 1 7 channel 3")
                             << mapping({CC, 0, 7}, Kind::Channel, 2);
    QTest::newRow("master") << QByteArray("cc 16 127 master")
                            << mapping({CC, 15, 127}, Kind::Master);
    QTest::newRow("motor") << QByteArray("cc 1 0 channel 1 motor")
                           << motor(mapping({CC, 0, 0}, Kind::Channel, 0));
    QTest::newRow("motor-elsewhere")
        << QByteArray("cc 11 9 master motor cc 1 9")
        << motor(mapping({CC, 10, 9}, Kind::Master), MidiControl{CC, 0, 9});
    QTest::newRow("full-on") << QByteArray("note 1 8 fullon 8")
                             << mapping({Note, 0, 8}, Kind::FullOn, 7);
    QTest::newRow("off") << QByteArray("cc 1 48 off 1") << mapping({CC, 0, 48}, Kind::Off, 0);
    QTest::newRow("scene") << QByteArray("note 10 36 scene 12")
                           << mapping({Note, 9, 36}, Kind::Recall, 12);
    QTest::newRow("mode") << QByteArray("note 1 40 mode 1")
                          << mapping({Note, 0, 40}, Kind::Mode, 0);
    for (const auto &[word, kind] :
         {std::pair("masterfullon", Kind::MasterFullOn), std::pair("alloff", Kind::AllOff),
          std::pair("blackout", Kind::Blackout), std::pair("undo", Kind::Undo),
          std::pair("redo", Kind::Redo), std::pair("go", Kind::Go), std::pair("back", Kind::Back),
          std::pair("pause", Kind::Pause), std::pair("sendall", Kind::SendAll),
          std::pair("download", Kind::Download)}) {
        QTest::newRow(word) << QByteArray("note 1 1 ") + word << mapping({Note, 0, 1}, kind);
    }
    QTest::newRow("led") << QByteArray("cc 1 45 blackout led")
                         << lit(mapping({CC, 0, 45}, Kind::Blackout), 127, 0, 127);
    QTest::newRow("led-colours") << QByteArray("note 1 56 scene 1 led lit 1 dark 0 changed 5")
                                 << lit(mapping({Note, 0, 56}, Kind::Recall, 1), 1, 0, 5);
    QTest::newRow("changed-before-lit") << QByteArray("note 1 56 scene 1 led changed 5 lit 1")
                                        << lit(mapping({Note, 0, 56}, Kind::Recall, 1), 1, 0, 5);
    QTest::newRow("led-elsewhere")
        << QByteArray("note 11 8 scene 1 led note 11 0 lit 1 dark 0 changed 2")
        << lit(mapping({Note, 10, 8}, Kind::Recall, 1), 1, 0, 2, MidiControl{Note, 10, 0});
    QTest::newRow("comment-and-spaces") << QByteArray("  cc  1 7   channel 3   # the third\n")
                                        << mapping({CC, 0, 7}, Kind::Channel, 2);
}

void tst_MidiProfile::read()
{
    QFETCH(QByteArray, line);
    QFETCH(MidiMapping, mapping);
    const std::optional<MidiMapping> read = only(line);
    QVERIFY2(read, line.constData());
    QVERIFY(*read == mapping);
}

void tst_MidiProfile::refused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("problem");

    QTest::newRow("empty") << QByteArray("# nothing\n")
                           << "it is empty: a profile begins with \"dimmer-panel midi profile 1\"";
    QTest::newRow("no-header") << QByteArray("cc 1 1 channel 1\n")
                               << "line 1: a profile begins with \"dimmer-panel midi profile 1\"";
    QTest::newRow("newer") << QByteArray("dimmer-panel midi profile 2\n")
                           << "line 1: written by a newer version of the panel (profile 2)";
    const QByteArray h = Header;
    QTest::newRow("unknown-line")
        << h + "fader 1 1 channel 1"
        << "line 2: a line starts with cc, note, send or name, not \"fader\"";
    QTest::newRow("channel-0") << h + "cc 0 1 channel 1"
                               << "line 2: a MIDI channel is 1 to 16";
    QTest::newRow("channel-17") << h + "cc 17 1 channel 1"
                                << "line 2: a MIDI channel is 1 to 16";
    QTest::newRow("number-128") << h + "cc 1 128 channel 1"
                                << "line 2: a controller or note number is 0 to 127";
    QTest::newRow("no-number") << h + "cc 1"
                               << "line 2: a controller or note number is 0 to 127";
    QTest::newRow("unknown-action") << h + "cc 1 1 dimmer 1"
                                    << "line 2: \"dimmer\" is no action of the panel";
    QTest::newRow("channel-9") << h + "cc 1 1 channel 9"
                               << "line 2: channel takes a number from 1 to 8";
    QTest::newRow("scene-13") << h + "note 1 1 scene 13"
                              << "line 2: scene takes a number from 1 to 12";
    QTest::newRow("mode-0") << h + "note 1 1 mode 0"
                            << "line 2: mode takes a number from 1 to 12";
    QTest::newRow("note-fader") << h + "note 1 1 channel 1"
                                << "line 2: a note is a button: a fader takes control changes";
    QTest::newRow("motor-button") << h + "note 1 1 blackout motor"
                                  << "line 2: motor is for a fader (channel or master)";
    QTest::newRow("led-fader") << h + "cc 1 1 master led"
                               << "line 2: led is for a button, not a fader";
    QTest::newRow("led-undo") << h + "cc 1 1 undo led"
                              << "line 2: led: undo has no state for a light to show";
    QTest::newRow("lit-without-led") << h + "cc 1 1 blackout lit 3"
                                     << "line 2: lit comes after led";
    QTest::newRow("lit-128") << h + "cc 1 1 blackout led lit 128"
                             << "line 2: a light's value is 0 to 127";
    QTest::newRow("unknown-option")
        << h + "cc 1 1 blackout flash"
        << "line 2: \"flash\" is no option of a control (motor, led, lit, dark, changed)";
    QTest::newRow("twice") << h + "cc 1 1 channel 1\ncc 1 1 channel 2"
                           << "line 3: CC 1 on channel 1 is mapped twice";
    QTest::newRow("send-not-hex") << h + "send b0 xx"
                                  << "line 2: send takes bytes in hexadecimal, 00 to FF";
    QTest::newRow("send-nothing") << h + "send"
                                  << "line 2: send takes one whole message: a channel message, or "
                                     "a system exclusive from F0 to F7";
    QTest::newRow("send-two") << h + "send b0 01 02 b0 01 03"
                              << "line 2: send takes one whole message: a channel message, or a "
                                 "system exclusive from F0 to F7";
    QTest::newRow("send-cut") << h + "send f0 01 02"
                              << "line 2: send takes one whole message: a channel message, or a "
                                 "system exclusive from F0 to F7";
    QTest::newRow("send-long") << h + "send f0" + QByteArray(" 00").repeated(300) + " f7"
                               << "line 2: a message to send is at most 256 bytes";
    QTest::newRow("too-large") << h + QByteArray(MidiProfile::LargestText, '#')
                               << QString("it holds %1 bytes, more than a profile's 65536")
                                      .arg(MidiProfile::LargestText + h.size());
}

void tst_MidiProfile::refused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, problem);
    QString why;
    QVERIFY(!MidiProfile::read(text, &why));
    QCOMPARE(why, problem);
}

void tst_MidiProfile::builtIn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("faders"); // with their targets, one each of channels 1..8, master
    QTest::addColumn<int>("lights");

    QTest::newRow("generic") << "generic" << 9 << 0;
    QTest::newRow("nanokontrol2") << "nanokontrol2" << 9 << 26;
    QTest::newRow("xtouch-mini") << "xtouch-mini" << 9 << 11;
    QTest::newRow("apc-mini") << "apc-mini" << 9 << 43;
}

void tst_MidiProfile::builtIn()
{
    QFETCH(QString, name);
    QFETCH(int, faders);
    QFETCH(int, lights);
    QString problem;
    const std::optional<MidiProfile> profile =
        MidiProfile::read(MidiProfile::builtInText(name), &problem);
    QVERIFY2(profile, qPrintable(problem));
    QVERIFY(!profile->name.isEmpty());
    std::vector<int> targets;
    int shown = 0;
    for (const MidiMapping &mapping : profile->mappings) {
        if (mapping.isFader())
            targets.push_back(mapping.target());
        shown += mapping.led;
    }
    std::sort(targets.begin(), targets.end());
    QCOMPARE(int(targets.size()), faders);
    for (int k = 0; k < faders; ++k)
        QCOMPARE(targets[std::size_t(k)], k);
    QCOMPARE(shown, lights);
}

void tst_MidiProfile::writtenAndReadBack()
{
    const QByteArray text = Header +
                            "name Mine\nsend F0 42 40 00 01 13 00 1F 12 00 F7\n"
                            "send B0 00 7F\ncc 1 7 channel 3 motor cc 2 7\n"
                            "cc 1 8 master\nnote 1 56 scene 1 led lit 1 dark 0 changed 5\n"
                            "note 11 8 mode 2 led note 11 0 lit 1 dark 0\n"
                            "note 1 1 undo\n";
    QString problem;
    const std::optional<MidiProfile> profile = MidiProfile::read(text, &problem);
    QVERIFY2(profile, qPrintable(problem));
    QCOMPARE(profile->opening.size(), std::size_t(2));
    const std::optional<MidiProfile> again = MidiProfile::read(profile->text(), &problem);
    QVERIFY2(again, qPrintable(problem));
    QCOMPARE(again->name, QStringLiteral("Mine"));
    QVERIFY(again->opening == profile->opening);
    QVERIFY(again->mappings == profile->mappings);
}

void tst_MidiProfile::learnKeepsWhatTheControlIs()
{
    QString problem;
    std::optional<MidiProfile> profile = MidiProfile::read(
        Header + "cc 1 1 channel 1 motor cc 2 1\nnote 1 56 scene 1 led lit 1 dark 0 changed 5\n",
        &problem);
    QVERIFY2(profile, qPrintable(problem));
    // A motor fader on another channel is still a motor fader; a lit pad recalling another
    // scene still lights in its colours; a lit pad made undo has no state to show.
    profile->learn(mapping({CC, 0, 1}, Kind::Channel, 4));
    QVERIFY(profile->mappings[0] ==
            motor(mapping({CC, 0, 1}, Kind::Channel, 4), MidiControl{CC, 1, 1}));
    profile->learn(mapping({Note, 0, 56}, Kind::Mode, 2));
    QVERIFY(profile->mappings[1] == lit(mapping({Note, 0, 56}, Kind::Mode, 2), 1, 0, 5));
    profile->learn(mapping({Note, 0, 56}, Kind::Undo));
    QVERIFY(profile->mappings[1] == mapping({Note, 0, 56}, Kind::Undo));
    profile->learn(mapping({CC, 0, 9}, Kind::Master));
    QCOMPARE(profile->mappings.size(), std::size_t(3));
}

QTEST_GUILESS_MAIN(tst_MidiProfile)
#include "tst_midiprofile.moc"
