// A MIDI fader swept at a controller's full rate, measured from outside: the real panel in a
// child process on a pseudo-terminal whose far side is read at the board's 960 bytes a
// second (as its UART does), with a surface of this program's on a JACK server of its own
// (the dummy backend: no sound card), the generic profile's channel 1.
//
//   bench_midi_sweep PANEL [RATE [SWEEPS [RUNS]]]
//
// Each run sweeps the fader SWEEPS times from 0 to 127 and back (two sweeps: 508 messages),
// RATE messages a second (1562: a MIDI cable's full rate with running status), and ends it
// at a value of its own. The figure is how long after the line was free of the message it
// was sending when the last move left the surface the last level began to arrive, JACK's
// own hand-over included; with the levels the line carried and whether they went the way
// the fader went.

#include "measure.h"
#include "protocol/boardstate.h"
#include "support/jackserver.h"
#include "support/linereader.h"
#include "support/midisender.h"
#include "support/ptypair.h"
#include "support/wire.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

using Clock = LineReader::Clock;

// JACK's cycle here: 128 frames at 48 kHz hand MIDI on every 2.7 ms, near what ALSA's
// sequencer adds.
constexpr int JackPeriod = 256;

// Where each packet that arrived began and ended, by the arrival of its bytes; the line
// carries nothing else here.
struct Arrived
{
    QByteArray bytes;
    Clock::time_point first;
    Clock::time_point last;
};

std::vector<Arrived> packetsOf(const std::vector<LineReader::Arrival> &arrivals)
{
    std::vector<Arrived> packets;
    for (std::size_t at = 0; at + 5 <= arrivals.size(); at += 5) {
        QByteArray bytes;
        for (std::size_t k = at; k < at + 5; ++k)
            bytes += char(arrivals[k].byte);
        packets.push_back({bytes, arrivals[at].at, arrivals[at + 4].at});
    }
    return packets;
}

// A fader's value as the panel's level, rounded to the nearest.
int levelOf(int value) { return (value * 99 + 63) / 127; }

struct Run
{
    double latencyMs = 0;
    int levels = 0; // level packets on the line during the run
    bool inOrder = true;
    bool lastHeld = false;
    double sendingMs = 0;
};

std::optional<Run> sweep(MidiSender &surface, qint64 panel, LineReader &board, double rate,
                         int sweeps, int finalValue)
{
    std::vector<int> values;
    for (int k = 0; k < sweeps; ++k) {
        for (int value = 0; value <= 127; ++value)
            values.push_back(k % 2 ? 127 - value : value);
    }
    // On to the value of its own from where the last sweep ended.
    const int from = values.back();
    for (int value = from; value != finalValue;) {
        value += finalValue > from ? 1 : -1;
        values.push_back(value);
    }
    Measure::quietTime(panel);
    const qsizetype bytesBefore = board.count();
    QElapsedTimer clock;
    clock.start();
    for (std::size_t k = 0; k < values.size(); ++k) {
        while (clock.nsecsElapsed() < qint64(1e9 * double(k) / rate))
            QThread::usleep(50);
        surface.controlChange(1, 1, values[k]);
    }
    const Clock::time_point lastSent = Clock::now();
    Run run;
    run.sendingMs = double(clock.nsecsElapsed()) / 1e6;
    Measure::quietTime(panel);
    QThread::msleep(200);

    std::vector<LineReader::Arrival> arrivals = board.arrivals();
    arrivals.erase(arrivals.begin(), arrivals.begin() + bytesBefore);
    const std::vector<Arrived> packets = packetsOf(arrivals);
    if (packets.empty())
        return std::nullopt;
    // The line was free of the packet it was sending when the last move left the surface
    // at its end; at once when it was idle.
    Clock::time_point free = lastSent;
    for (const Arrived &packet : packets) {
        if (packet.first <= lastSent && packet.last > lastSent)
            free = packet.last;
    }
    run.latencyMs = std::chrono::duration<double, std::milli>(packets.back().first - free).count();
    run.lastHeld = packets.back().bytes == Wire::setLevel(0, levelOf(finalValue));
    // The levels go the way the fader went: up and down in turn, never back a step.
    int direction = 0;
    int last = -1;
    int turns = 0;
    for (const Arrived &packet : packets) {
        const int level = std::uint8_t(packet.bytes[3]);
        ++run.levels;
        if (last >= 0 && level != last) {
            const int now = level > last ? 1 : -1;
            turns += direction != 0 && now != direction;
            direction = now;
        }
        last = level;
    }
    // A sweep up, one down, ... and the way to the value of its own.
    run.inOrder = turns <= sweeps;
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: bench_midi_sweep PANEL [RATE [SWEEPS [RUNS]]]\n");
        return 2;
    }
    const double rate = arguments.value(2, QStringLiteral("1562")).toDouble();
    const int sweeps = arguments.value(3, QStringLiteral("2")).toInt();
    const int runs = arguments.value(4, QStringLiteral("10")).toInt();
    JackServer jack(JackPeriod);
    if (!jack.isUp()) {
        std::fprintf(stderr, "bench_midi_sweep: %s\n", qPrintable(jack.errorString()));
        return 1;
    }
    MidiSender surface(QStringLiteral("sweep"), MidiSender::System::Jack);
    PtyPair line;
    QTemporaryDir home;
    if (!surface.isOpen() || !line.isOpen() || !home.isValid()) {
        std::fprintf(stderr, "bench_midi_sweep: no surface, line or folder: %s\n",
                     qPrintable(surface.errorString()));
        return 1;
    }
    LineReader board(line.masterFd());
    QProcess panel;
    panel.setProcessEnvironment(Measure::panelEnvironment(home));
    panel.start(arguments[1],
                {"--port", line.slavePath(), "--scene-file", home.filePath("scenes.co"), "--midi",
                 "sweep", "--midi-api", "jack"});
    QByteArray said;
    QDeadlineTimer deadline(20000);
    while (!said.contains("opened") && !deadline.hasExpired() &&
           panel.state() != QProcess::NotRunning) {
        panel.waitForReadyRead(100);
        said += panel.readAllStandardError();
    }
    if (!said.contains("opened")) {
        std::fprintf(stderr, "bench_midi_sweep: the panel took no surface: %s\n",
                     said.constData());
        return 1;
    }
    // Once the fader's moves reach the line: JACK joins the ports a cycle or two after the
    // panel has asked.
    QDeadlineTimer warm(10000);
    while (!board.bytes().endsWith(Wire::setLevel(0, levelOf(64))) && !warm.hasExpired()) {
        surface.controlChange(1, 1, 0);
        surface.controlChange(1, 1, 64);
        QThread::msleep(300);
    }
    said += panel.readAllStandardError();
    if (!board.bytes().endsWith(Wire::setLevel(0, levelOf(64)))) {
        std::fprintf(stderr, "bench_midi_sweep: the fader moves nothing; the panel said: %s\n",
                     said.constData());
        return 1;
    }
    std::printf("a fader swept %d times 0..127..0 at %.0f moves a second, JACK's cycle %.1f ms; "
                "%d runs\n",
                sweeps, rate, JackPeriod * 1000.0 / 48000.0, runs);
    std::vector<double> latencies;
    int held = 0;
    int ordered = 0;
    for (int k = 0; k < runs; ++k) {
        // Each run ends elsewhere, on a value whose level the value before it has not.
        int finalValue = 20 + 9 * k % 90;
        while (levelOf(finalValue - 1) == levelOf(finalValue))
            ++finalValue;
        const std::optional<Run> run =
            sweep(surface, panel.processId(), board, rate, sweeps, finalValue);
        if (!run) {
            said += panel.readAllStandardError();
            std::fprintf(stderr,
                         "bench_midi_sweep: nothing reached the line; the panel said: %s\n"
                         "JACK said: %s\n",
                         said.constData(), qPrintable(jack.output()));
            return 1;
        }
        std::printf("  run %d: sent in %.0f ms, %d levels on the line, in the fader's order: "
                    "%s; the last level (%d) began %.1f ms after the line was free: %s\n",
                    k + 1, run->sendingMs, run->levels, run->inOrder ? "yes" : "no",
                    levelOf(finalValue), run->latencyMs, run->lastHeld ? "held" : "NOT HELD");
        latencies.push_back(run->latencyMs);
        held += run->lastHeld;
        ordered += run->inOrder;
    }
    std::printf("last level after the line was free: median %.1f ms, max %.1f ms; last level "
                "held %d of %d; in order %d of %d\n",
                median(latencies), *std::max_element(latencies.begin(), latencies.end()), held,
                runs, ordered, runs);
    panel.terminate();
    panel.waitForFinished(10000);
    said += panel.readAllStandardError();
    for (const QByteArray &saidLine : said.split('\n')) {
        if (saidLine.contains("MIDI: ") && saidLine.contains("taken"))
            std::printf("%s\n", saidLine.constData());
    }
    return held == runs && *std::max_element(latencies.begin(), latencies.end()) <= 50 ? 0 : 1;
}
