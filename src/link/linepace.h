#pragma once

#include "protocol/linerate.h"

#include <algorithm>
#include <chrono>
#include <cstddef>

// When the line can take the next message. The kernel is kept no more than a message and a couple
// of bytes ahead of the line, so that a message waits in the link, where a newer level can still
// replace it, rather than in the kernel, where it can only go out late.
//
// What the kernel still holds is known from the bytes handed over and the line's rate,
// and from the driver's own count where it gives one (a pseudo-terminal gives none): the
// larger of the two, since no line empties faster than its rate.
class LinePace
{
public:
    using Clock = std::chrono::steady_clock;
    // A message is handed over once the kernel holds no more than this much line time:
    // two bytes, so that the next message is there before the line falls idle.
    static constexpr std::chrono::nanoseconds Ahead = 2 * LineRate::ByteTime;

    void handed(std::size_t bytes, Clock::time_point now)
    {
        m_lineFree = std::max(m_lineFree, now) + LineRate::lineTime(bytes);
    }

    // When the line has carried everything handed over, by its rate.
    Clock::time_point lineFree() const { return m_lineFree; }

    // The line time of what the kernel still holds; driverQueued is the driver's count of
    // bytes not yet sent, 0 where it gives none.
    std::chrono::nanoseconds backlog(Clock::time_point now, std::size_t driverQueued) const
    {
        const auto byRate = m_lineFree > now ? m_lineFree - now : Clock::duration::zero();
        return std::max<std::chrono::nanoseconds>(byRate, LineRate::lineTime(driverQueued));
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
