#pragma once

#include "control/deskclock.h"
#include "control/deskstate.h"

#include <bitset>

// A recall spread over time: each channel goes from where it stood to its stored level
// along a straight line, and stands on the stored level once the time is up. A channel
// taken by the hand stops fading where it stands; the others go on.
class Fade
{
public:
    using Levels = DeskState::Levels;
    using Time = DeskClock::Time;

    Fade() = default;
    // Only the channels whose level differs fade.
    Fade(const Levels &from, const Levels &to, Time start, Time duration);

    bool isRunning() const { return m_fading.any(); }
    bool isFading(int channel) const { return m_fading.test(std::size_t(channel)); }
    // Where the channel should stand at now: from its start, rounded, to its target.
    int levelAt(int channel, Time now) const;
    bool isOver(Time now) const { return now >= m_start + m_duration; }
    // How far the time has come, 0..100.
    int percentAt(Time now) const;
    Levels targets() const { return m_to; }

    void stop(int channel) { m_fading.reset(std::size_t(channel)); }
    void stopAll() { m_fading.reset(); }

private:
    Levels m_from{};
    Levels m_to{};
    Time m_start{};
    Time m_duration{};
    std::bitset<Board::ChannelCount> m_fading;
};
