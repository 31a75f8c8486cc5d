#pragma once

#include "control/deskclock.h"
#include "control/deskstate.h"

#include <bitset>
#include <optional>

// Levels spread over time (a recall, a cue): each channel goes from where it stood to its
// target along a straight line, a rising channel over the up time and a falling one over the
// down time, and stands on its target once its time is up. A start in the future (a cue's
// wait) holds the levels where they stand until then. A channel taken by the hand stops
// fading where it stands; the others go on. A pause holds every channel where it stands, and
// a resume carries on from there, the time of the pause added.
class Fade
{
public:
    using Levels = DeskState::Levels;
    using Time = DeskClock::Time;

    Fade() = default;
    // Only the channels whose level differs fade.
    Fade(const Levels &from, const Levels &to, Time start, Time duration)
        : Fade(from, to, start, duration, duration)
    {}
    Fade(const Levels &from, const Levels &to, Time start, Time up, Time down);

    bool isRunning() const { return m_fading.any(); }
    bool isFading(int channel) const { return m_fading.test(std::size_t(channel)); }
    // Where the channel should stand at now: from its start, rounded, to its target.
    int levelAt(int channel, Time now) const;
    // When every channel's time is up.
    Time end() const { return m_start + m_longest; }
    bool isOver(Time now) const { return !m_pausedAt && now >= end(); }
    // How far the time has come, 0..100, by the longest time of the channels that fade.
    int percentAt(Time now) const;
    Levels targets() const { return m_to; }

    void stop(int channel) { m_fading.reset(std::size_t(channel)); }
    void stopAll() { m_fading.reset(); }
    void pause(Time now);
    void resume(Time now);
    bool isPaused() const { return m_pausedAt.has_value(); }

private:
    Time durationOf(std::size_t channel) const;
    // The time the fade stands at: now, or the moment it was paused.
    Time at(Time now) const { return m_pausedAt.value_or(now); }

    Levels m_from{};
    Levels m_to{};
    Time m_start{};
    Time m_up{};
    Time m_down{};
    Time m_longest{};
    std::optional<Time> m_pausedAt;
    std::bitset<Board::ChannelCount> m_fading;
};
