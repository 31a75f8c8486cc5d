#pragma once

#include "protocol/boarddecoder.h"
#include "protocol/scenedownloadframe.h"
#include "support/linereader.h"
#include "support/wire.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <vector>

// What the benchmarks measure the real panel by, from outside: the processor time of its
// process, and when each message it sent arrived on the line.
namespace Measure {

// Nanoseconds that the process has spent on a processor, all its threads.
inline qint64 processorTime(qint64 pid)
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

// Waits until the process has used no processor for a while; its time then.
inline qint64 quietTime(qint64 pid)
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

// The environment of a panel run: its settings, state and data in folders of home's, as a
// first start has them, and offscreen unless there is a display to show it on.
inline QProcessEnvironment panelEnvironment(const QTemporaryDir &home, bool offscreen = false)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (offscreen || !environment.contains(QStringLiteral("DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        environment.insert(QString::fromLatin1(name), home.filePath(QString::fromLatin1(name)));
    return environment;
}

// Where each message that arrived began and ended, by the arrival of its bytes.
struct Arrived
{
    BoardDecoder::Event event;
    LineReader::Clock::time_point first;
    LineReader::Clock::time_point last;
};

inline std::vector<Arrived> messagesOf(const std::vector<LineReader::Arrival> &arrivals)
{
    QByteArray stream;
    for (const LineReader::Arrival &arrival : arrivals)
        stream += char(arrival.byte);
    std::vector<Arrived> messages;
    qsizetype at = 0;
    for (const BoardDecoder::Event &event : Wire::decodeWhole(stream)) {
        qsizetype size = 0;
        if (const auto *packet = std::get_if<BoardDecoder::Packet>(&event))
            size = qsizetype(packet->bytes().size());
        else if (std::holds_alternative<BoardDecoder::Frame>(event))
            size = qsizetype(SceneDownloadFrame::Size);
        else
            size = qsizetype(std::get<BoardDecoder::Dropped>(event).bytes.size());
        messages.push_back(
            {event, arrivals[std::size_t(at)].at, arrivals[std::size_t(at + size - 1)].at});
        at += size;
    }
    return messages;
}

// The datagrams the kernel dropped on the UDP socket bound to port, from /proc/net/udp.
inline qint64 dropsOn(quint16 port)
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

} // namespace Measure
