// Latency of the panel's paths from a control to the line, through the real window and
// a real pseudo-terminal, and its start-up against a bare window of as many widgets.
//
//   bench_panel            all measurements, medians over many runs
//   bench_panel drags      thumb drags on a line read at 9600 baud: what the lamps show
//   bench_panel drag-work  300 positions of a master and of a channel drag as fast as the
//                          window takes them, for a profiler (valgrind --tool=callgrind)
//   bench_panel startup-panel | startup-bare | startup-bare-texts
//                          one start-up, printed in microseconds

#include "control/levelslider.h"
#include "scenes/scenesave.h"
#include "support/linereader.h"
#include "support/panelfixture.h"
#include "support/sliderparts.h"
#include "support/wire.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <thread>
#include <vector>

namespace {

struct Figures
{
    double median;
    double p90;
};

Figures summarise(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 9 / 10]};
}

void report(const char *what, const Figures &figures, const char *unit = "us")
{
    std::printf("%-44s median %9.1f %s   p90 %9.1f %s\n", what, figures.median, unit, figures.p90,
                unit);
    std::fflush(stdout);
}

// Turns the event loop, without spinning, until the time comes.
void runUntil(std::chrono::steady_clock::time_point until);

// Runs action on an idle line, then waits until bytes are readable at the master; in
// microseconds.
Figures timeToLine(PanelFixture &panel, int runs, int bytes,
                   const std::function<void(int)> &action)
{
    std::vector<double> samples;
    QElapsedTimer clock;
    for (int run = 0; run < runs; ++run) {
        // The link keeps the line's pace: until the last run's bytes have gone, this
        // run's would wait for them.
        runUntil(std::chrono::steady_clock::now() + LinePace::lineTime(std::size_t(bytes)) +
                 std::chrono::milliseconds(3));
        clock.start();
        action(run);
        // The event loop turns meanwhile: the link hands over what waits from there.
        QByteArray got;
        while (got.size() < bytes && clock.elapsed() < 2000) {
            got += panel.line.readAvailable();
            if (got.size() < bytes)
                QCoreApplication::processEvents();
        }
        samples.push_back(double(clock.nsecsElapsed()) / 1000.0);
        if (got.size() != bytes) {
            std::fprintf(stderr, "run %d: %lld of %d bytes arrived\n", run,
                         static_cast<long long>(got.size()), bytes);
            std::exit(1);
        }
    }
    return summarise(samples);
}

// bare: the panel's kinds and number of widgets with no port, pictures or handlers;
// withTexts: the same widgets also carry the panel's texts and fonts.
int startup(bool bare, bool withTexts)
{
    QElapsedTimer clock;
    clock.start();
    int argc = 1;
    char name[] = "bench_panel";
    char *argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    qint64 shown = 0;
    if (bare) {
        // The same kinds and number of widgets, default fonts, no pictures, no port.
        QWidget window;
        window.resize(835, 681);
        auto pick = [withTexts](const char *plain, const char *panelText) {
            return QString::fromUtf8(withTexts ? panelText : plain);
        };
        for (int i = 0; i < 9; ++i) {
            auto *label = new QLabel(pick("label", "調光一"), &window);
            new QScrollBar(Qt::Vertical, &window);
            auto *readOut = new QLineEdit(QStringLiteral("0"), &window);
            if (withTexts) {
                label->setFont(Form1::captionFont(i == 0 ? 9.75 : 9.0));
                readOut->setFont(Form1::captionFont(15.75));
            }
            new QPushButton(pick("on", "全開"), &window);
            new QPushButton(pick("off", "全關"), &window);
        }
        new QPushButton(pick("send", "傳送設定"), &window);
        new QLabel(&window);
        for (int f = 0; f < 2; ++f) {
            auto *frame = new QGroupBox(pick("frame", f ? "模式選擇" : "傳送資料"), &window);
            for (int i = 0; i < 12; ++i)
                new QPushButton(QString::number(i + 1), frame);
        }
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        shown = clock.nsecsElapsed();
    } else {
        PanelFixture panel;
        if (!panel.failure().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(panel.failure()));
            return 1;
        }
        shown = clock.nsecsElapsed();
    }
    std::printf("%lld\n", static_cast<long long>(shown / 1000));
    return 0;
}

Figures startupRuns(const QString &self, const QString &mode, int runs)
{
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.start(self, {mode});
        child.waitForFinished(30000);
        samples.push_back(child.readAllStandardOutput().trimmed().toDouble() / 1000.0);
    }
    return summarise(samples);
}

using Clock = LineReader::Clock;

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

std::chrono::nanoseconds threadCpu()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

void runUntil(Clock::time_point until)
{
    for (;;) {
        QCoreApplication::processEvents();
        const auto left = until - Clock::now();
        if (left <= Clock::duration::zero())
            return;
        if (left < std::chrono::milliseconds(2)) {
            std::this_thread::sleep_for(left);
            continue;
        }
        // Asleep in the event loop, so that the link's timer and the window's frames are
        // served on time and the loop itself costs next to nothing.
        QTimer wake;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        wake.start(std::chrono::floor<std::chrono::milliseconds>(left) -
                   std::chrono::milliseconds(1));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// Waits until nothing is queued in the link and the far side has been quiet a while.
void runUntilSettled(PanelFixture &panel, const LineReader &farSide)
{
    qsizetype seen = -1;
    auto quietSince = Clock::now();
    for (;;) {
        runUntil(Clock::now() + std::chrono::milliseconds(5));
        const qsizetype count = farSide.count();
        if (count != seen || panel.link.bytesQueued() > 0) {
            seen = count;
            quietSince = Clock::now();
        } else if (Clock::now() - quietSince > std::chrono::milliseconds(300)) {
            return;
        }
    }
}

struct Written
{
    int level;
    Clock::time_point at;
};

struct DragFigures
{
    double seconds = 0; // from the press to the release
    int positions = 0;
    int written = 0;
    int arrived = 0;
    double settleMs = 0;  // release until the last byte of the last packet
    double stalestMs = 0; // largest age of a level when its packet was complete
    double cpuUs = 0;     // processor time of the window's thread per position
};

// Each packet that arrived against the write whose level it carries: the arrivals are the
// writes in order with some left out, a waiting level having given way to a newer one.
// From the last arrival back, each is matched to the latest write of its level that had
// been made when it arrived and that comes before the match of the next arrival. Where a
// level recurs within a few milliseconds that may take a later write than the true one,
// so the age can only come out low by that much; when nothing was left out it is exact.
double stalest(const std::vector<Written> &writes, const std::vector<int> &levels,
               const std::vector<Clock::time_point> &times)
{
    double worst = 0;
    std::size_t bound = writes.size();
    for (std::size_t k = levels.size(); k-- > 0;) {
        std::size_t match = bound;
        while (match-- > 0) {
            if (writes[match].level == levels[k] && writes[match].at <= times[k])
                break;
        }
        if (match >= bound)
            return -1;
        worst = std::max(worst, milliseconds(times[k] - writes[match].at));
        bound = match;
    }
    return worst;
}

// A thumb drag of 3 s that reports rate positions a second, up and down the whole range,
// through the slider's own mouse handling, on a line read at the line's pace.
DragFigures drag(PanelFixture &panel, LevelSlider *slider, int address, int rate,
                 const LineReader &farSide)
{
    slider->setLevel(0);
    runUntilSettled(panel, farSide);
    const std::size_t before = std::size_t(farSide.count());

    // A level is as old as the mouse event that reported it.
    std::vector<Written> writes;
    Clock::time_point eventTime;
    const auto note = [&writes, &eventTime](int level) { writes.push_back({level, eventTime}); };
    const auto scrolled = QObject::connect(slider, &LevelSlider::levelScrolled, slider, note);
    const auto changed = QObject::connect(slider, &LevelSlider::levelChanged, slider, note);

    const QRect thumb = partOf(slider, QStyle::SC_ScrollBarSlider);
    const QRect groove = partOf(slider, QStyle::SC_ScrollBarGroove);
    const double pixelsPerLevel = double(groove.height() - thumb.height()) / Board::FullOn;
    const QPoint grab = thumb.center();
    const auto at = [&](int level) {
        return grab - QPoint(0, int(std::lround(level * pixelsPerLevel)));
    };

    const int steps = 3 * rate;
    const auto period = std::chrono::nanoseconds(1'000'000'000 / rate);
    const auto cpuBefore = threadCpu();
    const auto start = Clock::now();
    auto when = start;
    sendMouse(slider, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    int level = 0;
    for (int step = 1; step <= steps; ++step) {
        when += period;
        runUntil(when);
        const int phase = step % (2 * Board::FullOn);
        level = phase <= Board::FullOn ? phase : 2 * Board::FullOn - phase;
        eventTime = Clock::now();
        sendMouse(slider, QEvent::MouseMove, at(level), Qt::LeftButton);
    }
    when += period;
    runUntil(when);
    const auto released = Clock::now();
    eventTime = released;
    sendMouse(slider, QEvent::MouseButtonRelease, at(level), Qt::NoButton);
    QCoreApplication::processEvents();
    const auto cpu = threadCpu() - cpuBefore;
    runUntilSettled(panel, farSide);
    QObject::disconnect(scrolled);
    QObject::disconnect(changed);

    // The bench loop's own share: the same schedule of wake-ups without a drag.
    const auto idleBefore = threadCpu();
    auto idleWhen = Clock::now();
    for (int step = 0; step <= steps; ++step)
        runUntil(idleWhen += period);
    const auto idle = threadCpu() - idleBefore;
    if (qEnvironmentVariableIsSet("BENCH_IDLE"))
        std::fprintf(stderr, "drag %.1f ms, idle %.1f ms of processor\n",
                     std::chrono::duration<double, std::milli>(cpu).count(),
                     std::chrono::duration<double, std::milli>(idle).count());

    const std::vector<LineReader::Arrival> arrivals = farSide.arrivals();
    QByteArray stream;
    for (std::size_t i = before; i < arrivals.size(); ++i)
        stream += char(arrivals[i].byte);
    std::vector<int> levels;
    std::vector<Clock::time_point> times;
    std::size_t offset = before;
    for (const BoardDecoder::Event &event : Wire::decodeWhole(stream)) {
        const auto *packet = std::get_if<BoardDecoder::Packet>(&event);
        std::size_t size = CommandPacket::Size;
        if (std::holds_alternative<BoardDecoder::Frame>(event))
            size = SceneDownloadFrame::Size;
        else if (const auto *dropped = std::get_if<BoardDecoder::Dropped>(&event))
            size = dropped->bytes.size();
        if (packet && packet->address == address) {
            levels.push_back(packet->value);
            times.push_back(arrivals[offset + size - 1].at);
        }
        offset += size;
    }

    DragFigures figures;
    figures.seconds = std::chrono::duration<double>(released - start).count();
    figures.written = int(writes.size());
    figures.positions = figures.written - 1;
    figures.arrived = int(levels.size());
    figures.settleMs = times.empty() ? -1 : milliseconds(times.back() - released);
    figures.stalestMs = stalest(writes, levels, times);
    figures.cpuUs = std::chrono::duration<double, std::micro>(cpu - idle).count() /
                    std::max(1, figures.positions);
    return figures;
}

void reportDrag(const char *kind, int rate, const DragFigures &paced, const DragFigures &unpaced)
{
    const auto row = [](const DragFigures &figures) {
        std::printf(" %5.0f/s | %5d | %5d | %8.1f | %8.1f | %5.0f |",
                    figures.positions / figures.seconds, figures.written, figures.arrived,
                    figures.settleMs, figures.stalestMs, figures.cpuUs);
    };
    std::printf("| %-7s | %4d/s |", kind, rate);
    row(paced);
    row(unpaced);
    std::printf(" %6.0f |\n", unpaced.settleMs / std::max(0.1, paced.settleMs));
    std::fflush(stdout);
}

int dragWork(PanelFixture &panel)
{
    for (LevelSlider *slider : {panel.VScroll2(), panel.VScroll1(3)}) {
        const QRect thumb = partOf(slider, QStyle::SC_ScrollBarSlider);
        const QPoint grab = thumb.center();
        const auto cpuBefore = threadCpu();
        sendMouse(slider, QEvent::MouseButtonPress, grab, Qt::LeftButton);
        for (int step = 1; step <= 300; ++step) {
            const int height = step % 100 < 50 ? step % 100 : 100 - step % 100;
            sendMouse(slider, QEvent::MouseMove, grab - QPoint(0, height), Qt::LeftButton);
            QCoreApplication::processEvents();
        }
        sendMouse(slider, QEvent::MouseButtonRelease, grab, Qt::NoButton);
        QCoreApplication::processEvents();
        std::printf("%s: %.0f us of processor per position\n",
                    slider == panel.VScroll2() ? "master" : "channel",
                    std::chrono::duration<double, std::micro>(threadCpu() - cpuBefore).count() /
                        300);
    }
    return 0;
}

int drags(PanelFixture &panel)
{
    const LineReader farSide(panel.line.masterFd());
    std::printf("Each drag paced, then the same drag with every packet handed to the kernel at "
                "once. rate: positions reported per second; settled: release until the last "
                "byte of the last packet (ms); stalest: largest age of a level when its packet "
                "was complete (ms); cpu: window thread per position (us)\n\n");
    std::printf(
        "| drag | asked | rate | written | arrived | settled | stalest | cpu |"
        " rate | written | arrived | settled | stalest | cpu | settled unpaced / paced |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    // BENCH_ONLY=channel:100 runs that one drag, for a profiler.
    const QString only = qEnvironmentVariable("BENCH_ONLY");
    for (const int rate : {100, 200, 400, 1000}) {
        for (const bool master : {false, true}) {
            const QString name =
                QStringLiteral("%1:%2").arg(master ? "master" : "channel").arg(rate);
            if (!only.isEmpty() && only != name)
                continue;
            LevelSlider *slider = master ? panel.VScroll2() : panel.VScroll1(3);
            const int address = master ? CommandPacket::MasterAddress : 3;
            panel.link.setPacing(true);
            const DragFigures paced = drag(panel, slider, address, rate, farSide);
            panel.link.setPacing(false);
            const DragFigures unpaced = drag(panel, slider, address, rate, farSide);
            panel.link.setPacing(true);
            reportDrag(master ? "master" : "channel", rate, paced, unpaced);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && qstrncmp(argv[1], "startup-", 8) == 0)
        return startup(qstrcmp(argv[1], "startup-panel") != 0,
                       qstrcmp(argv[1], "startup-bare-texts") == 0);

    QApplication application(argc, argv);
    PanelFixture panel;
    if (!panel.failure().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(panel.failure()));
        return 1;
    }
    if (argc == 2 && qstrcmp(argv[1], "drags") == 0)
        return drags(panel);
    if (argc == 2 && qstrcmp(argv[1], "drag-work") == 0)
        return dragWork(panel);
    const int runs = 2000;

    // The link alone on an idle line, paced and with every packet handed over at once.
    const auto packet = CommandPacket::encode(3, CommandPacket::SetLevel, 40);
    report("link write on an idle line until readable",
           timeToLine(panel, runs, 5, [&](int) { panel.link.write(packet); }));
    panel.link.setPacing(false);
    report("the same, unpaced",
           timeToLine(panel, runs, 5, [&](int) { panel.link.write(packet); }));
    panel.link.setPacing(true);
    report("channel change until its 5 bytes are readable",
           timeToLine(panel, runs, 5,
                      [&](int run) { panel.VScroll1(3)->setLevel(run % 2 ? 40 : 60); }));
    report("master change (8 channels, 1 packet) until read",
           timeToLine(panel, runs, 5,
                      [&](int run) { panel.VScroll2()->setLevel(run % 2 ? 40 : 60); }));

    // A scene that differs from the sliders in every channel, recalled alternately
    // with an all-off scene: eight packets each time.
    QFile file(panel.scenePath());
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(8, '\x00') + QByteArray("\x0a\x14\x1e\x28\x32\x3c\x46\x50", 8));
    file.close();
    panel.Command4()->click();
    panel.sent();
    report("recall of 8 changed channels until 40 bytes read",
           timeToLine(panel, 500, 40, [&](int run) { panel.Option1(run % 2 ? 0 : 1)->click(); }));
    report("download until its 98 bytes are read",
           timeToLine(panel, 300, 98, [&](int) { panel.Command5()->click(); }));

    SceneSave save(panel.state, panel.scenes);
    std::vector<double> saves;
    QElapsedTimer clock;
    for (int run = 0; run < 200; ++run) {
        clock.start();
        save.store(1 + run % 12);
        saves.push_back(double(clock.nsecsElapsed()) / 1000.0);
    }
    report("scene save until fsync returns", summarise(saves));

    const QString self = QCoreApplication::applicationFilePath();
    const Figures bare = startupRuns(self, "startup-bare", 15);
    const Figures bareTexts = startupRuns(self, "startup-bare-texts", 15);
    const Figures full = startupRuns(self, "startup-panel", 15);
    report("start-up: bare window, 73 widgets", bare, "ms");
    report("start-up: the same with the panel's texts", bareTexts, "ms");
    report("start-up: the panel until shown", full, "ms");
    std::printf("%-44s %9.2f\n", "ratio panel / bare", full.median / bare.median);
    std::printf("%-44s %9.2f\n", "ratio panel / bare with the same texts",
                full.median / bareTexts.median);
    return 0;
}
