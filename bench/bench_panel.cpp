// Latency of the panel's paths from a control to the line, through the real window and
// a real pseudo-terminal, and its start-up against a bare window of as many widgets.
//
//   bench_panel            all measurements, medians over many runs
//   bench_panel startup-panel | startup-bare | startup-bare-texts
//                          one start-up, printed in microseconds

#include "control/levelslider.h"
#include "scenes/scenesave.h"
#include "support/panelfixture.h"

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

#include <algorithm>
#include <cstdio>
#include <functional>
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

// Runs action, then waits until bytes are readable at the master; in microseconds.
Figures timeToLine(PanelFixture &panel, int runs, int bytes,
                   const std::function<void(int)> &action)
{
    std::vector<double> samples;
    QElapsedTimer clock;
    for (int run = 0; run < runs; ++run) {
        clock.start();
        action(run);
        const QByteArray got = panel.line.read(bytes, 2000);
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
    const int runs = 5000;

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
           timeToLine(panel, 2000, 40, [&](int run) { panel.Option1(run % 2 ? 0 : 1)->click(); }));
    report("download until its 98 bytes are read",
           timeToLine(panel, 2000, 98, [&](int) { panel.Command5()->click(); }));

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
