#pragma once

#include <chrono>

// The time that fades run on, in milliseconds of a steady clock. The desk reads it and
// never sleeps on it, so that a test can move its own clock and look at each step.
class DeskClock
{
public:
    using Time = std::chrono::milliseconds;

    virtual ~DeskClock() = default;
    virtual Time now() const = 0;

    // The system's steady clock; it holds nothing, so one serves every desk.
    static const DeskClock &steady();
};
