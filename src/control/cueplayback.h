#pragma once

#include "control/deskclock.h"

#include <optional>

class CueList;

// Where a show stands in its cue list, and what GO, BACK and PAUSE mean from there. Plain
// bookkeeping on the desk's clock: the desk runs each cue on its fade engine and tells this
// when one starts, completes or is stopped.
//
// GO starts the standby cue (the one after the current), or resumes a paused one; GO while a
// cue runs starts the next from where the levels stand, as consoles do. A second GO within
// SameGo of the first is the same GO: a double tap never skips a cue. BACK starts the cue
// before the current one. A cue that completes with a follow time starts the next by itself
// that long after.
class CuePlayback
{
public:
    using Time = DeskClock::Time;
    static constexpr Time SameGo{200};

    enum class Step {
        Nothing, // a GO repeated, or no cue to go to
        Resume,  // the paused cue carries on
        Start,   // start the cue numbered number
    };
    struct Decision
    {
        Step step = Step::Nothing;
        int number = 0;
    };

    Decision go(const CueList &cues, Time now);
    Decision back(const CueList &cues) const;
    // The standby cue: the one GO would start; 0 when there is none.
    int standby(const CueList &cues) const;

    // The cue numbered number started at now.
    void started(int number);
    // The current cue is number again (an undo took a GO back, a cue was renumbered);
    // nothing runs.
    void setCurrent(int number);
    // The current cue was given another number; whatever runs goes on.
    void renumber(int number) { m_current = number; }
    // The running cue's levels have landed; its follow, if it has one, counts from now.
    void completed(std::optional<Time> follow, Time now);
    // The hand, a recall, all-off or an undo took the levels: nothing runs or follows.
    void stopped();
    void pause(Time now);
    void resume(Time now);
    // Whether the follow of the last cue has come; true once.
    bool followDue(Time now);

    int current() const { return m_current; }
    bool isRunning() const { return m_running; }
    bool isPaused() const { return m_pausedAt.has_value(); }
    bool isFollowing() const { return m_followAt.has_value(); }

private:
    int m_current = 0;
    bool m_running = false;
    std::optional<Time> m_lastGo;
    std::optional<Time> m_pausedAt;
    std::optional<Time> m_followAt;
};
