#include "fade.h"

#include <algorithm>
#include <cmath>

Fade::Fade(const Levels &from, const Levels &to, Time start, Time duration)
    : m_from(from), m_to(to), m_start(start), m_duration(duration)
{
    for (std::size_t channel = 0; channel < from.size(); ++channel)
        m_fading.set(channel, from[channel] != to[channel]);
}

int Fade::levelAt(int channel, Time now) const
{
    const auto c = std::size_t(channel);
    if (m_duration.count() <= 0 || isOver(now))
        return m_to[c];
    const double part =
        std::clamp(double((now - m_start).count()) / double(m_duration.count()), 0.0, 1.0);
    return int(std::lround(m_from[c] + (int(m_to[c]) - int(m_from[c])) * part));
}

int Fade::percentAt(Time now) const
{
    if (m_duration.count() <= 0 || isOver(now))
        return 100;
    return int(std::clamp<Time::rep>((now - m_start).count() * 100 / m_duration.count(), 0, 100));
}
