#include "fade.h"

#include <algorithm>
#include <cmath>

Fade::Fade(const Levels &from, const Levels &to, Time start, Time up, Time down)
    : m_from(from), m_to(to), m_start(start), m_up(up), m_down(down)
{
    for (std::size_t channel = 0; channel < from.size(); ++channel) {
        m_fading.set(channel, from[channel] != to[channel]);
        if (m_fading.test(channel))
            m_longest = std::max(m_longest, durationOf(channel));
    }
}

Fade::Time Fade::durationOf(std::size_t channel) const
{
    return m_to[channel] > m_from[channel] ? m_up : m_down;
}

int Fade::levelAt(int channel, Time now) const
{
    const auto c = std::size_t(channel);
    const Time duration = durationOf(c);
    const Time elapsed = at(now) - m_start;
    if (elapsed >= duration)
        return m_to[c];
    if (elapsed.count() <= 0)
        return m_from[c];
    const double part = std::clamp(double(elapsed.count()) / double(duration.count()), 0.0, 1.0);
    return int(std::lround(m_from[c] + (int(m_to[c]) - int(m_from[c])) * part));
}

int Fade::percentAt(Time now) const
{
    const Time elapsed = at(now) - m_start;
    if (elapsed >= m_longest)
        return 100;
    if (elapsed.count() <= 0)
        return 0;
    return int(std::clamp<Time::rep>(elapsed.count() * 100 / m_longest.count(), 0, 100));
}

void Fade::pause(Time now)
{
    if (!m_pausedAt)
        m_pausedAt = now;
}

void Fade::resume(Time now)
{
    if (!m_pausedAt)
        return;
    m_start += now - *m_pausedAt;
    m_pausedAt.reset();
}
