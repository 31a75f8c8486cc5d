#pragma once

#include <chrono>

// How many messages one page may send: a thumb on a fader sends one a frame, some sixty
// a second; twice that and a little more in a burst is plenty. What comes beyond it in a
// second is ignored, so that a flood from one page costs the panel almost nothing.
class MessageRate
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int MostPerSecond = 150;

    // Whether one more message arriving at now is within the rate; it counts either way.
    bool take(Clock::time_point now);

private:
    Clock::time_point m_windowStart{};
    int m_inWindow = 0;
};
