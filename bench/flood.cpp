// Remote control at full tilt, measured from outside: the real panel in a child process on
// a pseudo-terminal whose far side is read at the board's 960 bytes a second, with OSC
// messages sent to it over the loopback as fast as one socket sends them.
//
//   bench_flood PANEL FLOOD [COUNT [RATE]]
//
// FLOOD is "master" (master levels 0..99 in turn), COUNT messages (10,000) at RATE a second
// (10,000). It prints the processor time the panel spent on the flood (all its threads,
// from the kernel's schedstat, until it is quiet again) per message that reached it, the
// datagrams the kernel dropped on the panel's socket, and whether the last level sent
// reached the line.

#include "support/linereader.h"
#include "support/osc.h"
#include "support/ptypair.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>

#include <cstdio>

namespace {

// Nanoseconds that the process has spent on a processor, all its threads.
qint64 processorTime(qint64 pid)
{
    qint64 total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toLongLong();
    }
    return total;
}

// The datagrams the kernel dropped on the UDP socket bound to port, from /proc/net/udp.
qint64 dropsOn(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/udp"));
    if (!table.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 12 && fields[1].endsWith(local))
            return fields.last().toLongLong();
    }
    return -1;
}

quint16 freePort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress::LocalHost, 0) ? probe.localPort() : 0;
}

// Waits until the process has used no processor for a while; its time then.
qint64 quietTime(qint64 pid)
{
    qint64 last = processorTime(pid);
    for (int quiet = 0; quiet < 3;) {
        QThread::msleep(100);
        const qint64 now = processorTime(pid);
        quiet = now - last < 1'000'000 ? quiet + 1 : 0;
        last = now;
    }
    return last;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: bench_flood PANEL master [COUNT]\n");
        return 2;
    }
    const QString panelProgram = arguments[1];
    const QString flood = arguments[2];
    const int count = arguments.value(3, QStringLiteral("10000")).toInt();
    const double rate = arguments.value(4, QStringLiteral("10000")).toDouble();

    PtyPair line;
    QTemporaryDir home;
    const quint16 port = freePort();
    if (!line.isOpen() || !home.isValid() || port == 0) {
        std::fprintf(stderr, "bench_flood: no line, folder or port\n");
        return 1;
    }
    LineReader board(line.masterFd());
    QProcess panel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        environment.insert(QString::fromLatin1(name), home.filePath(QString::fromLatin1(name)));
    panel.setProcessEnvironment(environment);
    panel.setProcessChannelMode(QProcess::ForwardedChannels);
    panel.start(panelProgram,
                {"--port", line.slavePath(), "--scene-file", home.filePath("scenes.co"), "--osc",
                 QStringLiteral("127.0.0.1:%1").arg(port)});
    if (!panel.waitForStarted()) {
        std::fprintf(stderr, "bench_flood: %s\n", qPrintable(panel.errorString()));
        return 1;
    }
    // Up once its socket is bound.
    for (int tries = 0; tries < 100 && dropsOn(port) < 0; ++tries)
        QThread::msleep(50);
    QUdpSocket remote;
    remote.bind(QHostAddress::LocalHost, 0);
    const qint64 before = quietTime(panel.processId());
    const qint64 dropsBefore = dropsOn(port);
    QElapsedTimer clock;
    clock.start();
    int last = 0;
    for (int k = 0; k < count; ++k) {
        last = k % 100;
        if (k == count - 1)
            last = 42;
        const QByteArray message = Osc::message("/dimmer/master", {last});
        // Sleeping, not spinning: the panel has the other processor to itself.
        while (clock.nsecsElapsed() < qint64(1e9 * k / rate))
            QThread::usleep(200);
        while (remote.writeDatagram(message, QHostAddress::LocalHost, port) < 0)
            QThread::usleep(10);
    }
    const qint64 sendingMs = clock.elapsed();
    const qint64 after = quietTime(panel.processId());
    const qint64 drops = dropsOn(port) - dropsBefore;
    // The line has caught up once it has been quiet for a message's time.
    QThread::msleep(300);
    const QByteArray arrived = board.bytes();
    const bool lastArrived = arrived.endsWith(QByteArray::fromHex("f10a0a") + char(last) + '\xfa');
    std::printf("%s flood: %d messages in %lld ms, %.2f us of the panel's processor for each "
                "that reached it, %lld dropped by the kernel, last level on the line: %s\n",
                qPrintable(flood), count, sendingMs,
                double(after - before) / 1000.0 / double(count - drops), drops,
                lastArrived ? "yes" : "no");
    panel.terminate();
    panel.waitForFinished(10000);
    return 0;
}
