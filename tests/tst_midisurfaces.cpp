#include "app/remotemodules.h"
#include "control/desk.h"
#include "support/childoutput.h"
#include "support/jackserver.h"
#include "support/linkeddesk.h"
#include "support/midisender.h"
#include "ui/midimarks.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <memory>

// MIDI surfaces on a real MIDI system: JACK's dummy backend, with a surface the test plays,
// before the real panel on the virtual board (its --dump the oracle) or, for learn and the
// pickup marks, the real module in this process before the desk on a real line. ALSA's
// sequencer too, where the machine has one.
class tst_MidiSurfaces : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void sweptFaderMovesItsChannel();
    void waitsForPickupAfterRecall();
    void motorFaderFollowsWithoutFighting();
    void goneMidMessageAndTakenBack();
    void floodAndJunkAreCounted();
    void listsThePorts();
    void badProfileFailsTheStart();
    void learnPairsOneControlWithOneAction();
    void pickupMarkShowsTheSide();
    void alsaSequencer();

private:
    std::unique_ptr<JackServer> m_jack;
};

namespace {

const QByteArray Header = "dimmer-panel midi profile 1\n";

// The virtual board with --dump, and the real panel on it with the MIDI surface whose name
// holds pattern on system, in a folder of its own, its scene 1 as given, with the profile
// lines given or the generic one.
class SurfacePanel
{
public:
    SurfacePanel(const QString &pattern, const QByteArray &profile = {},
                 const QByteArray &scene1 = {}, const QString &system = QStringLiteral("jack"))
    {
        m_board.start(QStringLiteral(DIMMER_BOARD_BINARY), {"--dump", "--full-speed"});
        const QString line = m_boardOutput.lines(1).value(0);
        QFile scenes(m_home.filePath("s.co"));
        if (scenes.open(QIODevice::WriteOnly))
            scenes.write(scene1.leftJustified(8, '\0'));
        scenes.close();
        QStringList arguments{"--port", line,    "--scene-file", scenes.fileName(),
                              "--midi", pattern, "--midi-api",   system};
        if (!profile.isEmpty()) {
            QFile file(m_home.filePath("surface.profile"));
            if (file.open(QIODevice::WriteOnly))
                file.write(Header + profile);
            arguments << "--midi-profile" << file.fileName();
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            environment.insert(name, m_home.filePath(name));
        m_panel.setProcessEnvironment(environment);
        m_panel.start(QStringLiteral(DIMMER_PANEL_BINARY), arguments);
        m_panel.waitForStarted();
    }
    ~SurfacePanel()
    {
        m_panel.kill();
        m_panel.waitForFinished();
        m_board.kill();
        m_board.waitForFinished();
    }

    // Whether stderr has said text count times within timeoutMs.
    bool says(const QString &text, int count = 1, int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (m_panelOutput.error().count(text) < count && !deadline.hasExpired() &&
               m_panel.state() == QProcess::Running)
            m_panel.waitForReadyRead(50);
        return m_panelOutput.error().count(text) >= count;
    }
    QString error() { return m_panelOutput.error(); }
    // Waits for the board's line that starts with line; the lines before it since the last
    // wait in before.
    bool boardSays(const QString &line, QStringList *before = nullptr, int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        QStringList seen;
        bool found = false;
        while (!found && !deadline.hasExpired()) {
            for (const QString &next : m_boardOutput.lines(1, 100)) {
                found = next.startsWith(line);
                if (!found)
                    seen << next;
            }
        }
        if (before)
            *before = seen;
        return found;
    }
    // Ends it as a log-out does: what it says at the end.
    ChildOutput::Outcome finish()
    {
        m_panel.terminate();
        return m_panelOutput.finish();
    }

private:
    QTemporaryDir m_home;
    QProcess m_board;
    ChildOutput m_boardOutput{m_board};
    QProcess m_panel;
    ChildOutput m_panelOutput{m_panel};
};

// Channel 1's fader swept as a hand sweeps it, a value a millisecond.
void sweep(MidiSender &surface, int number, int from, int to)
{
    const int step = from < to ? 1 : -1;
    for (int value = from; value != to + step; value += step) {
        surface.controlChange(1, number, value);
        QTest::qSleep(1);
    }
}

QByteArray scene(std::initializer_list<int> levels)
{
    QByteArray record;
    for (const int level : levels)
        record += char(level);
    return record;
}

} // namespace

void tst_MidiSurfaces::initTestCase()
{
    m_jack = std::make_unique<JackServer>();
    QVERIFY2(m_jack->isUp(), qPrintable(m_jack->errorString()));
}

void tst_MidiSurfaces::sweptFaderMovesItsChannel()
{
    MidiSender surface("sweeper", MidiSender::System::Jack);
    QVERIFY2(surface.isOpen(), qPrintable(surface.errorString()));
    SurfacePanel panel("sweeper");
    QVERIFY2(panel.says("sweeper:sweeper opened"), qPrintable(panel.error()));
    // The generic profile: controller 1 on channel 1 is channel 1.
    sweep(surface, 1, 0, 127);
    QStringList before;
    QVERIFY2(panel.boardSays("level 0 99", &before), qPrintable(before.join('\n')));
    int last = 0;
    for (const QString &line : before) {
        const QStringList words = line.split(' ');
        QVERIFY2(words.value(0) == "level" && words.value(1) == "0", qPrintable(line));
        QVERIFY2(words.value(2).toInt() > last, qPrintable(line));
        last = words.value(2).toInt();
    }
    const ChildOutput::Outcome end = panel.finish();
    QVERIFY2(end.err.contains("MIDI: 128 messages taken, 0 button releases; ignored: 0 while a "
                              "window was up, 0 fader moves waiting for pickup"),
             qPrintable(end.err));
}

void tst_MidiSurfaces::waitsForPickupAfterRecall()
{
    MidiSender surface("pickup", MidiSender::System::Jack);
    QVERIFY2(surface.isOpen(), qPrintable(surface.errorString()));
    SurfacePanel panel("pickup", "cc 1 1 channel 1\ncc 1 2 channel 2\nnote 1 36 scene 1\n",
                       scene({30}));
    QVERIFY2(panel.says("pickup:pickup opened"), qPrintable(panel.error()));
    sweep(surface, 1, 0, 127);
    QVERIFY(panel.boardSays("level 0 99"));
    surface.noteOn(1, 36, 127);
    QVERIFY(panel.boardSays("level 0 30"));
    // Channel 1 stands at 30, 38 of 127, and the fader at the top: on its side of the level
    // it changes nothing. Channel 2's fader, picked up at 0, comes after, in order.
    for (const int value : {120, 100, 60, 43})
        surface.controlChange(1, 1, value);
    surface.controlChange(1, 2, 0);
    surface.controlChange(1, 2, 10);
    QStringList before;
    QVERIFY(panel.boardSays("level 1 8", &before));
    QCOMPARE(before, QStringList());
    // Across the level it takes the channel.
    surface.controlChange(1, 1, 20);
    QVERIFY(panel.boardSays("level 0 16", &before));
    QCOMPARE(before, QStringList());
    const ChildOutput::Outcome end = panel.finish();
    QVERIFY2(end.err.contains("4 fader moves waiting for pickup"), qPrintable(end.err));
}

void tst_MidiSurfaces::motorFaderFollowsWithoutFighting()
{
    MidiSender surface("motors", MidiSender::System::Jack);
    QVERIFY2(surface.isOpen(), qPrintable(surface.errorString()));
    SurfacePanel panel("motors", "cc 1 2 channel 2 motor\nnote 1 36 scene 1\n", scene({0, 70}));
    QVERIFY2(panel.says("motors:motors opened, its lights and motors on"),
             qPrintable(panel.error()));
    // Told where the level stands once it is open.
    QTRY_COMPARE(surface.received(), QStringList{"b0 02 00"});
    surface.forgetReceived();
    // A recall moves the motor: 70 is 90 of 127.
    surface.noteOn(1, 36, 127);
    QVERIFY(panel.boardSays("level 1 70"));
    QTRY_COMPARE(surface.received(), QStringList{"b0 02 5a"});
    surface.forgetReceived();
    // The hand moves it down, and a recall comes while the hand is on it: the motor is not
    // driven under the fingers, nor told back what it sent, until the hand has been off it
    // for a while; then it goes to where the recall put the channel.
    QElapsedTimer hand;
    hand.start();
    surface.controlChange(1, 2, 50);
    QVERIFY(panel.boardSays("level 1 39"));
    surface.noteOn(1, 36, 127);
    QVERIFY(panel.boardSays("level 1 70"));
    QTRY_VERIFY(!surface.received().isEmpty());
    QVERIFY2(hand.elapsed() >= 250, qPrintable(QString::number(hand.elapsed())));
    QCOMPARE(surface.received(), QStringList{"b0 02 5a"});
}

void tst_MidiSurfaces::goneMidMessageAndTakenBack()
{
    auto surface = std::make_unique<MidiSender>("leaving", MidiSender::System::Jack);
    QVERIFY2(surface->isOpen(), qPrintable(surface->errorString()));
    SurfacePanel panel("leaving");
    QVERIFY2(panel.says("leaving:leaving opened"), qPrintable(panel.error()));
    // Another program on the panel's own port, a mark that JACK has handed on what the
    // surface sent before it.
    MidiSender other("other", MidiSender::System::Jack);
    QVERIFY2(other.isOpen(), qPrintable(other.errorString()));
    surface->controlChange(1, 1, 0);
    surface->controlChange(1, 1, 64);
    QVERIFY(panel.boardSays("level 0 50"));
    // Half a message, and the surface is unplugged.
    surface->send(QByteArray::fromHex("9040"));
    QVERIFY2(QProcess::execute("jack_connect", {"other:other", "dimmer-panel:dimmer-panel"}) == 0,
             "the panel offers no port of its own");
    other.controlChange(1, 2, 0);
    other.controlChange(1, 2, 40);
    QVERIFY(panel.boardSays("level 1 31"));
    surface.reset();
    QVERIFY2(panel.says("leaving:leaving went away"), qPrintable(panel.error()));
    // Back: where its fader stands is not known until it says, and it waits for pickup.
    surface = std::make_unique<MidiSender>("leaving", MidiSender::System::Jack);
    QVERIFY2(panel.says("leaving:leaving opened", 2), qPrintable(panel.error()));
    surface->controlChange(1, 1, 120);
    surface->controlChange(1, 1, 20);
    QVERIFY(panel.boardSays("level 0 16"));
    const ChildOutput::Outcome end = panel.finish();
    QVERIFY2(end.err.contains("1 fader moves waiting for pickup"), qPrintable(end.err));
    QVERIFY2(end.err.contains("1 cut short"), qPrintable(end.err));
    QVERIFY2(end.err.contains("a surface went away 1 times"), qPrintable(end.err));
}

void tst_MidiSurfaces::floodAndJunkAreCounted()
{
    MidiSender surface("flood", MidiSender::System::Jack);
    QVERIFY2(surface.isOpen(), qPrintable(surface.errorString()));
    SurfacePanel panel("flood");
    QVERIFY2(panel.says("flood:flood opened"), qPrintable(panel.error()));
    // A SysEx, clock, a data byte under no status, a note on a channel nothing maps, a pitch
    // bend.
    surface.send(QByteArray::fromHex("f07e7f0601") + QByteArray(1000, '\x11') + "\xf7");
    surface.send(QByteArray::fromHex("f8"));
    surface.send(QByteArray::fromHex("33"));
    surface.send(QByteArray::fromHex("9a3c7f"));
    surface.send(QByteArray::fromHex("e00040"));
    // Ten thousand moves in a second, the last to 33 of 127 (26).
    QElapsedTimer clock;
    clock.start();
    const int count = 10000;
    for (int k = 0; k < count; ++k) {
        while (clock.nsecsElapsed() < qint64(k) * 100'000)
            QThread::usleep(20);
        surface.controlChange(1, 1, k == count - 1 ? 33 : k % 4);
    }
    QVERIFY(panel.boardSays("level 0 26"));
    const ChildOutput::Outcome end = panel.finish();
    QVERIFY2(end.err.contains(
                 QStringLiteral("MIDI: %1 messages taken, 0 button releases; ignored: 0 while "
                                "a window was up, 0 fader moves waiting for pickup, 2 unmapped, "
                                "0 while learning, 1 SysEx, 1 real-time and system, 1 stray "
                                "bytes, 0 cut short, 0 beyond the panel's queue")
                     .arg(count)),
             qPrintable(end.err));
}

void tst_MidiSurfaces::listsThePorts()
{
    MidiSender surface("listed", MidiSender::System::Jack);
    QVERIFY2(surface.isOpen(), qPrintable(surface.errorString()));
    QProcess list;
    list.start(QStringLiteral(DIMMER_PANEL_BINARY), {"--midi-list", "--midi-api", "jack"});
    QVERIFY(list.waitForFinished(10000));
    QCOMPARE(list.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(list.readAllStandardOutput());
    QVERIFY2(out.contains(QRegularExpression("MIDI inputs:\n  listed:listed\n")), qPrintable(out));
    QVERIFY2(out.contains(QRegularExpression("MIDI outputs:\n  listed[^\n]*:listed\n")),
             qPrintable(out));
}

void tst_MidiSurfaces::badProfileFailsTheStart()
{
    SurfacePanel panel("nothing", "cc 1 1 channel 9\n");
    // Said on stderr, and in a message box that ends the start once read.
    QVERIFY2(panel.says("surface.profile cannot be used: line 2: channel takes a number from 1 "
                        "to 8"),
             qPrintable(panel.error()));
}

namespace {

// A surface on JACK before the desk in this process, its MIDI module started on the surface
// and showing its marks and learn button on a window: for what only the panel's own
// objects show.
struct SurfaceOnDesk
{
    explicit SurfaceOnDesk(const char *name) : surface(name, MidiSender::System::Jack)
    {
        settings.system = MidiSettings::System::Jack;
        settings.pattern = name;
        settings.operatorProfile = fixture.folder.filePath("config/midi.profile");
        if (!surface.isOpen())
            failure = surface.errorString();
        else if (!fixture.failure().isEmpty())
            failure = fixture.failure();
        else if (remotes.startMidi(settings, &failure))
            remotes.midi()->showOn(new MidiMarks(&window));
    }

    MidiSender surface;
    LinkedDesk fixture;
    QWidget window;
    RemoteModules remotes{fixture.desk, fixture.link};
    MidiSettings settings;
    QString failure;
};

} // namespace

void tst_MidiSurfaces::learnPairsOneControlWithOneAction()
{
    SurfaceOnDesk on("learner");
    QVERIFY2(on.failure.isEmpty(), qPrintable(on.failure));
    auto &[surface, fixture, window, remotes, settings, failure] = on;
    auto *learn = window.findChild<QPushButton *>("MidiLearn");
    QVERIFY(learn);
    learn->click();
    // The operator moves channel 3's slider on the panel, then a fader of the surface, each
    // as a hand does: many moves. One pair.
    const Source hand{Source::Kind::Window, 0};
    fixture.desk.apply(Intent{Intent::Kind::Channel, 2, 50, std::nullopt, hand});
    for (int value = 40; value < 50; ++value)
        surface.controlChange(1, 20, value);
    for (int level = 51; level < 55; ++level)
        fixture.desk.apply(Intent{Intent::Kind::Channel, 2, level, std::nullopt, hand});
    QFile kept(settings.operatorProfile);
    QTRY_VERIFY(kept.exists());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    const QByteArray profile = kept.readAll();
    QCOMPARE(profile.count("cc 1 20 "), 1);
    QVERIFY2(profile.contains("\ncc 1 20 channel 3\n"), profile.constData());
    QVERIFY2(learn->toolTip().startsWith("Learned CC 20 on channel 1: channel 3, kept in"),
             qPrintable(learn->toolTip()));
    // Learning ended, the fader takes channel 3 once it reaches its level (54, 69 of 127).
    learn->click();
    surface.controlChange(1, 20, 30);
    surface.controlChange(1, 20, 68);
    QTRY_COMPARE(fixture.desk.channel(2), 53);
    QVERIFY2(remotes.countsSummaries().value(0).contains("10 while learning, 0 SysEx"),
             qPrintable(remotes.countsSummaries().join('\n')));
    QVERIFY2(remotes.countsSummaries().value(0).contains("1 pairs learned"),
             qPrintable(remotes.countsSummaries().join('\n')));
}

void tst_MidiSurfaces::pickupMarkShowsTheSide()
{
    SurfaceOnDesk on("marks");
    QVERIFY2(on.failure.isEmpty(), qPrintable(on.failure));
    auto &[surface, fixture, window, remotes, settings, failure] = on;
    auto *mark = window.findChild<PickupMark *>("PickupMark_0");
    QVERIFY(mark);
    QCOMPARE(mark->pickup(), PickupMark::Pickup::None);
    // Channel 1 at 0: the fader at 100 stands above it.
    surface.controlChange(1, 1, 100);
    QTRY_COMPARE(mark->pickup(), PickupMark::Pickup::Above);
    QVERIFY(!mark->toolTip().isEmpty());
    // The panel puts the channel at 99, above the fader.
    fixture.desk.apply(
        Intent{Intent::Kind::Channel, 0, 99, std::nullopt, Source{Source::Kind::Window, 0}});
    QTRY_COMPARE(mark->pickup(), PickupMark::Pickup::Below);
    surface.controlChange(1, 1, 126);
    QTRY_COMPARE(mark->pickup(), PickupMark::Pickup::None);
    QCOMPARE(fixture.desk.channel(0), 98);
}

void tst_MidiSurfaces::alsaSequencer()
{
    if (!QFileInfo("/dev/snd/seq").isWritable())
        QSKIP("This machine has no ALSA sequencer (/dev/snd/seq is missing or not writable, "
              "as in most containers and CI machines): JACK carries the surfaces here.");
    MidiSender surface("alsasweeper", MidiSender::System::Alsa);
    QVERIFY2(surface.isOpen(), qPrintable(surface.errorString()));
    SurfacePanel panel("alsasweeper", {}, {}, "alsa");
    QVERIFY2(panel.says("opened"), qPrintable(panel.error()));
    sweep(surface, 1, 0, 127);
    QVERIFY(panel.boardSays("level 0 99"));
}

QTEST_MAIN(tst_MidiSurfaces)
#include "tst_midisurfaces.moc"
