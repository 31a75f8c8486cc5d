#include "cueplayback.h"

#include "control/cuelist.h"

CuePlayback::Decision CuePlayback::go(const CueList &cues, Time now)
{
    if (m_lastGo && now - *m_lastGo < SameGo)
        return {};
    m_lastGo = now;
    if (isPaused())
        return {Step::Resume, m_current};
    const int next = standby(cues);
    return next == 0 ? Decision{} : Decision{Step::Start, next};
}

CuePlayback::Decision CuePlayback::back(const CueList &cues) const
{
    const Cue *previous = cues.before(m_current);
    return previous ? Decision{Step::Start, previous->number} : Decision{};
}

int CuePlayback::standby(const CueList &cues) const
{
    const Cue *next = cues.after(m_current);
    return next ? next->number : 0;
}

void CuePlayback::started(int number)
{
    m_current = number;
    m_running = true;
    m_pausedAt.reset();
    m_followAt.reset();
}

void CuePlayback::setCurrent(int number)
{
    stopped();
    m_current = number;
}

void CuePlayback::completed(std::optional<Time> follow, Time now)
{
    m_running = false;
    if (follow)
        m_followAt = now + *follow;
}

void CuePlayback::stopped()
{
    m_running = false;
    m_pausedAt.reset();
    m_followAt.reset();
}

void CuePlayback::pause(Time now)
{
    if ((m_running || m_followAt) && !m_pausedAt)
        m_pausedAt = now;
}

void CuePlayback::resume(Time now)
{
    if (!m_pausedAt)
        return;
    // A follow under way waits as long again as the pause held it.
    if (m_followAt)
        *m_followAt += now - *m_pausedAt;
    m_pausedAt.reset();
}

bool CuePlayback::followDue(Time now)
{
    if (!m_followAt || m_pausedAt || now < *m_followAt)
        return false;
    m_followAt.reset();
    return true;
}
