// A console's levels over sACN at full tilt, measured from outside: the real panel in a child
// process on a pseudo-terminal whose far side is read at the board's 960 bytes a second (as
// its UART does), taking universe 1 on the loopback, with a console's frames sent to it 44
// times a second, as consoles refresh, every frame changing every slot.
//
//   bench_dmx PANEL flood
//       100,000 packets of eight slots in a second, every one the same levels, then one that
//       changes them: the panel's processor time for each packet that reached it, the packets
//       the kernel dropped on its socket, and whether the last levels reached the line.
//   bench_dmx PANEL eight|universe|osc [SECONDS]
//       eight: 8 slots a frame; universe: all 512; osc: the same eight levels as eight OSC
//       messages a frame, the yardstick of what the desk, the line and the window cost
//       whatever input moves the levels. For SECONDS (5), then silence. How long
//       after the line was free of the message it was sending when the last frame came the
//       last frame's levels began to arrive, and when they all had; whether the board holds
//       them; and the panel's processor time for each frame (all its threads, from the
//       kernel's schedstat, until it is quiet again).

#include "measure.h"
#include "protocol/boardstate.h"
#include "support/dmxpackets.h"
#include "support/osc.h"
#include "support/ptypair.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using namespace Measure;
using Clock = LineReader::Clock;

constexpr int FramesPerSecond = 44;

// Frame k: every slot moves by a level or more from the frame before.
QByteArray frame(int k, int slots)
{
    QByteArray values(slots, '\0');
    for (int i = 0; i < slots; ++i)
        values[i] = char((k * 37 + i * 53) % 256);
    return values;
}

int levelOf(int value) { return (value * 99 + 127) / 255; }

bool listening(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/udp"));
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    return table.open(QIODevice::ReadOnly) && table.readAll().contains(local + ' ');
}

int flood(QProcess &panel, const LineReader &board, int console, const sockaddr_in &to)
{
    constexpr int Count = 100'000;
    QList<QByteArray> same;
    for (int sequence = 0; sequence < 256; ++sequence)
        same << DmxPackets::sacn({frame(0, 8), 1, 100, sequence});
    const QByteArray last = frame(1, 8);
    const qint64 before = quietTime(panel.processId());
    const qint64 dropsBefore = dropsOn(5568);
    const Clock::time_point start = Clock::now();
    for (int k = 0; k <= Count; ++k) {
        if (k % 100 == 0)
            std::this_thread::sleep_until(start +
                                          std::chrono::microseconds(k * 1'000'000LL / Count));
        const QByteArray datagram =
            k < Count ? same[k % 256] : DmxPackets::sacn({last, 1, 100, Count % 256});
        ::sendto(console, datagram.constData(), std::size_t(datagram.size()), 0,
                 reinterpret_cast<const sockaddr *>(&to), sizeof to);
    }
    const double sendingMs =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const qint64 after = quietTime(panel.processId());
    const qint64 drops = dropsOn(5568) - dropsBefore;
    QThread::msleep(300);
    BoardState end;
    for (const Arrived &message : messagesOf(board.arrivals()))
        end.apply(message.event);
    const bool arrived = end.level(7) == levelOf(std::uint8_t(last[7]));
    std::printf("flood: %d packets in %.0f ms, %.2f us of the panel's processor for each that "
                "reached it, %lld dropped by the kernel, the last levels on the line: %s\n",
                Count + 1, sendingMs, double(after - before) / 1000.0 / double(Count + 1 - drops),
                drops, arrived ? "yes" : "no");
    return arrived ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString kind = arguments.value(2);
    if (arguments.size() < 3 ||
        (kind != "eight" && kind != "universe" && kind != "osc" && kind != "flood")) {
        std::fprintf(stderr, "usage: bench_dmx PANEL eight|universe|osc [SECONDS]\n"
                             "       bench_dmx PANEL flood\n");
        return 2;
    }
    const bool osc = kind == QLatin1String("osc");
    const int slots = kind == QLatin1String("universe") ? 512 : 8;
    const quint16 port = osc ? 9000 : 5568;
    const int frames = arguments.value(3, QStringLiteral("5")).toInt() * FramesPerSecond;
    PtyPair line;
    QTemporaryDir home;
    LineReader board(line.masterFd());
    QProcess panel;
    panel.setProcessEnvironment(Measure::panelEnvironment(home, true));
    panel.setProcessChannelMode(QProcess::ForwardedChannels);
    const QStringList input =
        osc ? QStringList{"--osc", "9000"} : QStringList{"--sacn", "1", "--net-interface", "lo"};
    panel.start(arguments[1], QStringList{"--port", line.slavePath(), "--scene-file",
                                          home.filePath("scenes.co")} +
                                  input);
    for (int tries = 0; tries < 100 && !listening(port); ++tries)
        QThread::msleep(50);
    if (!line.isOpen() || !home.isValid() || !listening(port)) {
        std::fprintf(stderr, "bench_dmx: no line, folder or panel\n");
        return 1;
    }
    const int console = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);

    if (kind == QLatin1String("flood"))
        return flood(panel, board, console, to);
    const qint64 before = quietTime(panel.processId());
    const Clock::time_point start = Clock::now();
    Clock::time_point lastSent;
    for (int k = 0; k < frames; ++k) {
        std::this_thread::sleep_until(start +
                                      std::chrono::microseconds(1'000'000 * k / FramesPerSecond));
        const QByteArray values = frame(k, slots);
        QList<QByteArray> datagrams{DmxPackets::sacn({values, 1, 100, k % 256})};
        if (osc) {
            datagrams.clear();
            for (int n = 1; n <= 8; ++n)
                datagrams << Osc::message("/dimmer/channel/" + QByteArray::number(n),
                                          {levelOf(std::uint8_t(values[n - 1]))});
        }
        lastSent = Clock::now();
        for (const QByteArray &datagram : datagrams)
            ::sendto(console, datagram.constData(), std::size_t(datagram.size()), 0,
                     reinterpret_cast<const sockaddr *>(&to), sizeof to);
    }
    const qint64 after = quietTime(panel.processId());
    ::close(console);
    panel.terminate();
    panel.waitForFinished(10000);

    const std::vector<Arrived> messages = messagesOf(board.arrivals());
    // The line was free of the message it was sending when the last frame came at its end.
    Clock::time_point free = lastSent;
    for (const Arrived &message : messages) {
        if (message.first <= lastSent && message.last > lastSent)
            free = message.last;
    }
    // The last frame's level of each channel, once it arrived after the line was free.
    const QByteArray last = frame(frames - 1, 8);
    std::optional<Clock::time_point> began;
    Clock::time_point settled = free;
    BoardState end;
    for (const Arrived &message : messages) {
        end.apply(message.event);
        const auto *level = std::get_if<BoardDecoder::Packet>(&message.event);
        if (message.first >= free && level && level->address < 8 &&
            level->value == levelOf(std::uint8_t(last[level->address]))) {
            began = std::min(began.value_or(message.first), message.first);
            settled = std::max(settled, message.last);
        }
    }
    bool holds = true;
    for (int channel = 0; channel < 8; ++channel)
        holds = holds && end.level(channel) == levelOf(std::uint8_t(last[channel]));
    const auto ms = [free](Clock::time_point at) {
        return std::chrono::duration<double, std::milli>(at - free).count();
    };
    std::printf("%s: %d frames of %d slots at %d Hz; the last frame's levels began %.1f ms and "
                "were all on the line %.1f ms after the line was free; the board holds them: "
                "%s; %.1f us of the panel's processor a frame\n",
                qPrintable(kind), frames, slots, FramesPerSecond, began ? ms(*began) : -1.0,
                ms(settled), holds ? "yes" : "no", double(after - before) / 1000.0 / frames);
    return holds ? 0 : 1;
}
