// Remote control at full tilt, measured from outside: the real panel in a child process on a
// pseudo-terminal whose far side is read at the board's 960 bytes a second (as its UART
// does), with OSC messages sent to it over the loopback from a thread of their own.
//
//   bench_flood PANEL cost [COUNT [RATE]]
//       COUNT master messages (10,000) at RATE a second (10,000): the panel's processor
//       time for each message that reached it (all its threads, from the kernel's
//       schedstat, until it is quiet again), the datagrams the kernel dropped on its
//       socket, and whether the last level sent reached the line.
//   bench_flood PANEL alternate|modes|downloads|tablet
//       a flood, and in its middle an operator's click on the panel's window (through the X
//       server of DISPLAY): how long after the line was free of the message it was sending
//       the click's packet began to arrive; then the panel is ended, and what the board
//       holds at the end is checked against the last of everything sent.
//
//   alternate   100,000 messages, channel 1 and the master in turn, as fast as they go
//   modes       20,000 mode messages, as fast as they go
//   downloads   5,000 download messages, as fast as they go
//   tablet      four channel faders and the master, each moved 60 times a second, for 5 s

#include "measure.h"
#include "protocol/boardstate.h"
#include "support/linereader.h"
#include "support/osc.h"
#include "support/ptypair.h"
#include "support/wire.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace {

using namespace Measure;

quint16 freePort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress::LocalHost, 0) ? probe.localPort() : 0;
}

// Sends datagrams to 127.0.0.1:port from a socket of its own, spaced as asked.
class Sender
{
public:
    explicit Sender(quint16 port) : m_socket(::socket(AF_INET, SOCK_DGRAM, 0))
    {
        m_to.sin_family = AF_INET;
        m_to.sin_port = htons(port);
        m_to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~Sender() { ::close(m_socket); }
    void send(const QByteArray &datagram)
    {
        ::sendto(m_socket, datagram.constData(), std::size_t(datagram.size()), 0,
                 reinterpret_cast<const sockaddr *>(&m_to), sizeof m_to);
    }

private:
    int m_socket;
    sockaddr_in m_to{};
};

QByteArray level(int channel, int value)
{
    return Osc::message("/dimmer/channel/" + QByteArray::number(channel), {value});
}

QByteArray master(int value) { return Osc::message("/dimmer/master", {value}); }

struct Flood
{
    // The k-th datagram of the flood, and when it is due (nanoseconds from the start).
    std::function<QByteArray(int)> datagram;
    std::function<qint64(int)> due;
    int count = 0;
    // The operator's click, as a point of the panel's window, and the bytes it sends.
    int clickX = 0;
    int clickY = 0;
    QByteArray clicked;
};

// Mode button 7, and channel 8's full-on button, at their places in the window.
constexpr int ModeSevenX = 440, ModeSevenY = 612;
constexpr int FullOnEightX = 580, FullOnEightY = 356;

std::optional<Flood> floodNamed(const QString &name)
{
    const auto atOnce = [](int) { return qint64(0); };
    if (name == QLatin1String("alternate")) {
        return Flood{[](int k) { return k % 2 ? master(k % 100) : level(1, k % 100); },
                     atOnce,
                     100000,
                     ModeSevenX,
                     ModeSevenY,
                     Wire::selectMode(6)};
    }
    if (name == QLatin1String("modes")) {
        return Flood{
            [](int k) { return Osc::message("/dimmer/mode/" + QByteArray::number(k % 12 + 1)); },
            atOnce,
            20000,
            FullOnEightX,
            FullOnEightY,
            Wire::setLevel(7, 99)};
    }
    if (name == QLatin1String("downloads")) {
        return Flood{[](int) { return Osc::message("/dimmer/download"); },
                     atOnce,
                     5000,
                     ModeSevenX,
                     ModeSevenY,
                     Wire::selectMode(6)};
    }
    if (name == QLatin1String("tablet")) {
        // Five faders, each 60 times a second: one message every 3.3 ms, in turn.
        return Flood{[](int k) {
                         const int value = (k / 5) % 100;
                         return k % 5 == 4 ? master(value) : level(k % 5 + 1, value);
                     },
                     [](int k) { return qint64(k) * 1'000'000'000 / 300; },
                     1500,
                     ModeSevenX,
                     ModeSevenY,
                     Wire::selectMode(6)};
    }
    return std::nullopt;
}

// A click of the left button at a point of a window, through the X server's test extension:
// no program to start, so the moment it is sent is known. False when it cannot be sent.
bool click(const QString &window, int x, int y)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_translate_coordinates_reply_t *place = xcb_translate_coordinates_reply(
        connection,
        xcb_translate_coordinates(connection, xcb_window_t(window.toUInt()), root, qint16(x),
                                  qint16(y)),
        nullptr);
    if (!place) {
        xcb_disconnect(connection);
        return false;
    }
    xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, place->dst_x,
                        place->dst_y, 0);
    std::free(place);
    xcb_test_fake_input(connection, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, root, 0, 0, 0);
    xcb_test_fake_input(connection, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, root, 0, 0, 0);
    // The server has it once a round trip has come back.
    xcb_get_input_focus_reply_t *sync =
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
    std::free(sync);
    xcb_disconnect(connection);
    return true;
}

int cost(QProcess &panel, quint16 port, LineReader &board, int count, double rate)
{
    QUdpSocket remote;
    remote.bind(QHostAddress::LocalHost, 0);
    const qint64 before = quietTime(panel.processId());
    const qint64 dropsBefore = dropsOn(port);
    QElapsedTimer clock;
    clock.start();
    int last = 0;
    for (int k = 0; k < count; ++k) {
        last = k == count - 1 ? 42 : k % 100;
        // Sleeping, not spinning: the panel has the other processor to itself.
        while (clock.nsecsElapsed() < qint64(1e9 * k / rate))
            QThread::usleep(200);
        while (remote.writeDatagram(master(last), QHostAddress::LocalHost, port) < 0)
            QThread::usleep(10);
    }
    const qint64 sendingMs = clock.elapsed();
    const qint64 after = quietTime(panel.processId());
    const qint64 drops = dropsOn(port) - dropsBefore;
    QThread::msleep(300);
    const bool lastArrived = board.bytes().endsWith(Wire::master(last));
    std::printf("master flood: %d messages in %lld ms, %.2f us of the panel's processor for each "
                "that reached it, %lld dropped by the kernel, last level on the line: %s\n",
                count, sendingMs, double(after - before) / 1000.0 / double(count - drops), drops,
                lastArrived ? "yes" : "no");
    return 0;
}

int floodAndClick(QProcess &panel, quint16 port, LineReader &board, const Flood &flood,
                  const QString &name)
{
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {"search", "--sync", "--onlyvisible", "--pid", QString::number(panel.processId()),
                  "--name", "^Form1$"});
    search.waitForFinished(20000);
    const QString window = QString::fromLatin1(search.readAllStandardOutput()).trimmed();
    if (window.isEmpty()) {
        std::fprintf(stderr, "bench_flood: no panel window on DISPLAY\n");
        return 1;
    }
    QThread::msleep(300);
    std::atomic<bool> done = false;
    QByteArray lastSent[2];
    std::thread sending([&] {
        Sender sender(port);
        QElapsedTimer clock;
        clock.start();
        for (int k = 0; k < flood.count; ++k) {
            while (clock.nsecsElapsed() < flood.due(k))
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            sender.send(flood.datagram(k));
        }
        done = true;
    });
    // The click, once the flood has been going for a while.
    QThread::msleep(800);
    // From the moment the click is sent to the X server: the figure includes the time the
    // server takes to hand it to the panel.
    const auto clickedAt = LineReader::Clock::now();
    if (!click(window, flood.clickX, flood.clickY))
        std::fprintf(stderr, "bench_flood: the X server took no click\n");
    sending.join();
    // A last master and channel level and mode, and the panel ended at once, as its close
    // box ends it: they must reach the line before the port goes.
    {
        Sender sender(port);
        // Once the panel has read all that waited for it.
        quietTime(panel.processId());
        sender.send(master(33));
        sender.send(level(2, 77));
        sender.send(Osc::message("/dimmer/mode/5"));
        QThread::msleep(20);
    }
    panel.terminate();
    panel.waitForFinished(10000);
    QThread::msleep(300);

    const std::vector<Arrived> messages = messagesOf(board.arrivals());
    // The line was free of the message it was sending when the click came at the end of it.
    auto free = clickedAt;
    for (const Arrived &message : messages) {
        if (message.first <= clickedAt && message.last > clickedAt)
            free = message.last;
    }
    const BoardDecoder::Event clicked = Wire::decodeWhole(flood.clicked).front();
    std::optional<double> latencyMs;
    for (const Arrived &message : messages) {
        if (message.first >= clickedAt && message.event == clicked) {
            latencyMs = std::chrono::duration<double, std::milli>(message.first - free).count();
            break;
        }
    }
    BoardState end;
    for (const Arrived &message : messages)
        end.apply(message.event);
    const bool lastHeld =
        end.master() == 33 && end.level(1) == 77 && end.level(0) == 33 && end.mode() == 5;
    std::printf("%s flood: %d messages; the click's packet began %s after the line was free; "
                "%lld bytes reached the line; at the end the board holds the last levels and "
                "mode: %s\n",
                qPrintable(name), flood.count,
                latencyMs ? qPrintable(QStringLiteral("%1 ms").arg(*latencyMs, 0, 'f', 1))
                          : "never",
                qlonglong(board.count()), lastHeld ? "yes" : "no");
    return latencyMs && lastHeld ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const std::optional<Flood> flood = floodNamed(arguments.value(2));
    if (arguments.size() < 3 || (arguments[2] != QLatin1String("cost") && !flood)) {
        std::fprintf(stderr, "usage: bench_flood PANEL cost [COUNT [RATE]]\n"
                             "       bench_flood PANEL alternate|modes|downloads|tablet\n");
        return 2;
    }
    PtyPair line;
    QTemporaryDir home;
    const quint16 port = freePort();
    if (!line.isOpen() || !home.isValid() || port == 0) {
        std::fprintf(stderr, "bench_flood: no line, folder or port\n");
        return 1;
    }
    LineReader board(line.masterFd());
    QProcess panel;
    panel.setProcessEnvironment(Measure::panelEnvironment(home));
    panel.setProcessChannelMode(QProcess::ForwardedChannels);
    panel.start(arguments[1],
                {"--port", line.slavePath(), "--scene-file", home.filePath("scenes.co"), "--osc",
                 QStringLiteral("127.0.0.1:%1").arg(port)});
    if (!panel.waitForStarted()) {
        std::fprintf(stderr, "bench_flood: %s\n", qPrintable(panel.errorString()));
        return 1;
    }
    // Up once its socket is bound.
    for (int tries = 0; tries < 100 && dropsOn(port) < 0; ++tries)
        QThread::msleep(50);
    const int status =
        flood ? floodAndClick(panel, port, board, *flood, arguments[2])
              : cost(panel, port, board, arguments.value(3, QStringLiteral("10000")).toInt(),
                     arguments.value(4, QStringLiteral("10000")).toDouble());
    panel.terminate();
    panel.waitForFinished(10000);
    return status;
}
