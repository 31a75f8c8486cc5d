#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>

// When the line can take the next message. At 9600 baud 8N1 a byte takes ten bits, just
// over a millisecond; the kernel is kept no more than a message and a couple of bytes
// ahead of the line, so that a message waits in the link, where a newer level can still
// replace it, rather than in the kernel, where it can only go out late.
//
// What the kernel still holds is known from the bytes handed over and the line's rate,
// and from the driver's own count where it gives one (a pseudo-terminal gives none): the
// larger of the two, since no line empties faster than its rate.
class LinePace
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::nanoseconds ByteTime{1'041'667};
    // A message is handed over once the kernel holds no more than this much line time.
    static constexpr std::chrono::nanoseconds Ahead = 2 * ByteTime;

    static constexpr std::chrono::nanoseconds lineTime(std::size_t bytes)
    {
        return ByteTime * static_cast<long long>(bytes);
    }

    void handed(std::size_t bytes, Clock::time_point now)
    {
        m_lineFree = std::max(m_lineFree, now) + lineTime(bytes);
    }

    // The line time of what the kernel still holds; driverQueued is the driver's count of
    // bytes not yet sent, 0 where it gives none.
    std::chrono::nanoseconds backlog(Clock::time_point now, std::size_t driverQueued) const
    {
        const auto byRate = m_lineFree > now ? m_lineFree - now : Clock::duration::zero();
        return std::max<std::chrono::nanoseconds>(byRate, lineTime(driverQueued));
    }

    // How long the next message must wait; zero when it may go now.
    std::chrono::nanoseconds wait(Clock::time_point now, std::size_t driverQueued) const
    {
        const auto held = backlog(now, driverQueued);
        return held > Ahead ? held - Ahead : std::chrono::nanoseconds::zero();
    }

private:
    Clock::time_point m_lineFree{};
};
