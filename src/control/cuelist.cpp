#include "cuelist.h"

#include <algorithm>

namespace {

bool isTime(int tenths) { return tenths >= 0 && tenths <= CueList::LongestTime; }

bool byNumber(const Cue &a, const Cue &b) { return a.number < b.number; }

} // namespace

CueList::CueList(QObject *parent) : QObject(parent) {}

bool CueList::fits(const Cue &cue)
{
    const bool levelsFit = std::all_of(cue.levels.begin(), cue.levels.end(),
                                       [](int level) { return level <= Board::FullOn; });
    return cue.number >= LowestNumber && cue.number <= HighestNumber && levelsFit &&
           isTime(cue.up) && isTime(cue.down) && isTime(cue.wait) &&
           (!cue.follow || isTime(*cue.follow));
}

QString CueList::numberText(int number)
{
    return number % 10 == 0 ? QString::number(number / 10)
                            : QStringLiteral("%1.%2").arg(number / 10).arg(number % 10);
}

const Cue *CueList::find(int number) const
{
    const auto found = std::find_if(m_cues.begin(), m_cues.end(),
                                    [number](const Cue &cue) { return cue.number == number; });
    return found == m_cues.end() ? nullptr : &*found;
}

const Cue *CueList::after(int number) const
{
    const auto found = std::find_if(m_cues.begin(), m_cues.end(),
                                    [number](const Cue &cue) { return cue.number > number; });
    return found == m_cues.end() ? nullptr : &*found;
}

const Cue *CueList::before(int number) const
{
    const auto found = std::find_if(m_cues.rbegin(), m_cues.rend(),
                                    [number](const Cue &cue) { return cue.number < number; });
    return found == m_cues.rend() ? nullptr : &*found;
}

bool CueList::record(const Cue &cue)
{
    if (!fits(cue))
        return false;
    const auto at = std::lower_bound(m_cues.begin(), m_cues.end(), cue, byNumber);
    if (at != m_cues.end() && at->number == cue.number)
        *at = cue;
    else
        m_cues.insert(at, cue);
    Q_EMIT changed();
    return true;
}

bool CueList::remove(int number)
{
    const auto found = std::find_if(m_cues.begin(), m_cues.end(),
                                    [number](const Cue &cue) { return cue.number == number; });
    if (found == m_cues.end())
        return false;
    m_cues.erase(found);
    Q_EMIT changed();
    return true;
}

bool CueList::renumber(int from, int to)
{
    const Cue *cue = find(from);
    if (!cue || find(to) || to < LowestNumber || to > HighestNumber)
        return false;
    // In one change, so that the file never holds the list without the cue.
    const auto at = std::find_if(m_cues.begin(), m_cues.end(),
                                 [from](const Cue &each) { return each.number == from; });
    at->number = to;
    std::stable_sort(m_cues.begin(), m_cues.end(), byNumber);
    Q_EMIT renumbered(from, to);
    Q_EMIT changed();
    return true;
}

void CueList::replaceAll(std::vector<Cue> cues)
{
    cues.erase(std::remove_if(cues.begin(), cues.end(), [](const Cue &cue) { return !fits(cue); }),
               cues.end());
    std::stable_sort(cues.begin(), cues.end(), byNumber);
    cues.erase(std::unique(cues.begin(), cues.end(),
                           [](const Cue &a, const Cue &b) { return a.number == b.number; }),
               cues.end());
    m_cues = std::move(cues);
    Q_EMIT changed();
}
