#pragma once

#include "control/deskclock.h"
#include "control/deskstate.h"

#include <deque>
#include <optional>

// The changes of levels that Ctrl+Z takes back, newest last, and those it took back, for
// Ctrl+Shift+Z. A step is what the desk held before one change: a button press, a recall,
// a blackout, or one whole gesture of a fader (from press to release, or the moves of one
// remote fader or key that follow each other within a second).
class UndoHistory
{
public:
    static constexpr int Depth = 20;
    static constexpr DeskClock::Time GestureGap{1000};

    struct Step
    {
        DeskState state;
        int liveScene = 0; // the scene marked live then, 0 for none
        DeskState::Levels liveLevels{};
        int cue = 0; // the current cue then, in tenths; 0 for none
        bool operator==(const Step &) const = default;
    };

    // What made a change: a button press stands alone; the moves of one fader (a channel
    // 0..7, or the master) make one step while it is held down (hold: the number of that
    // hold, 0 when not held), or while they follow each other within GestureGap.
    struct Gesture
    {
        enum class Kind { Press, Channel, Master };
        Kind kind = Kind::Press;
        int channel = -1;
        int hold = 0;
        bool operator==(const Gesture &) const = default;
    };

    // A change took effect; before is what the desk held until then.
    void record(const Step &before, Gesture gesture, DeskClock::Time now);
    // The step to go back to, with the desk as it is now kept for redo; none when empty.
    std::optional<Step> undo(const Step &current);
    std::optional<Step> redo(const Step &current);
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // The next change starts a step of its own, whatever made it.
    void cut() { m_last.reset(); }

private:
    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    std::optional<Gesture> m_last;
    DeskClock::Time m_lastAt{};
};
