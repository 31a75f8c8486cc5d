#include "messagerate.h"

bool MessageRate::take(Clock::time_point now)
{
    if (now - m_windowStart >= std::chrono::seconds(1)) {
        m_windowStart = now;
        m_inWindow = 0;
    }
    return ++m_inWindow <= MostPerSecond;
}
