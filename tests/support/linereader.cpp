#include "linereader.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

LineReader::LineReader(int masterFd) : m_master(masterFd), m_thread([this] { run(); }) {}

LineReader::~LineReader()
{
    m_stop = true;
    m_thread.join();
}

QByteArray LineReader::bytes() const
{
    const std::lock_guard lock(m_mutex);
    QByteArray bytes;
    bytes.reserve(qsizetype(m_arrivals.size()));
    for (const Arrival &arrival : m_arrivals)
        bytes += char(arrival.byte);
    return bytes;
}

std::vector<LineReader::Arrival> LineReader::arrivals() const
{
    const std::lock_guard lock(m_mutex);
    return m_arrivals;
}

qsizetype LineReader::count() const
{
    const std::lock_guard lock(m_mutex);
    return qsizetype(m_arrivals.size());
}

void LineReader::run()
{
    // When the next byte may start: the end of the last one while the line is busy.
    Clock::time_point lineFree = Clock::now();
    while (!m_stop) {
        std::this_thread::sleep_until(lineFree);
        std::uint8_t byte = 0;
        ssize_t got = ::read(m_master, &byte, 1);
        Clock::time_point start = lineFree;
        if (got < 0 && errno == EAGAIN) {
            // An idle line: the next byte starts when it is written.
            pollfd descriptor{m_master, POLLIN, 0};
            if (::poll(&descriptor, 1, 20) <= 0) {
                lineFree = Clock::now();
                continue;
            }
            start = Clock::now();
            got = ::read(m_master, &byte, 1);
        }
        if (got != 1) {
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        // A byte that waited while the thread was late still went at the line's pace.
        lineFree = start + LineRate::ByteTime;
        const std::lock_guard lock(m_mutex);
        m_arrivals.push_back({byte, lineFree});
    }
}
