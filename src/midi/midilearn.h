#pragma once

#include "control/intent.h"
#include "midi/midimessage.h"
#include "midi/midiprofile.h"

#include <chrono>
#include <optional>
#include <vector>

// Learn: pairs the next control of the panel that the operator touches with the next control
// of the surface that they move, in either order, one pair for each gesture. No device: the
// surface's messages come in, and what one touch of the panel changed; the pair comes out.
//
// A touch of the panel is what its window or its keys changed in one go, as the desk told
// it: a recall, a mode, blackout, the master (and with it the channels), or one channel. A
// channel put full on or off by a surface's button is that button (全開, 全關), moved by a
// fader or a knob the channel's fader; likewise the master's full on and all off. Undo,
// redo and the cue list's keys change nothing that says which they were, and are written in
// the profile by hand.
//
// One gesture makes one pair: a fader sends dozens of values and a button its release, and
// the panel's slider as many changes; once paired, the control and the panel's control are
// not taken again until each has been still for Quiet. A control's release (a note-off, a
// control change to 0) never begins a pair.
class MidiLearn
{
public:
    using Time = std::chrono::milliseconds;
    static constexpr Time Quiet{1000};

    // A message of the surface while learning: the pair it makes, if it makes one.
    std::optional<MidiMapping> moved(const MidiMessage &message, Time now);
    // What one touch of the panel changed, as intents of the changes (a channel or the master
    // to its level, a recall, a mode, blackout): the pair it makes, if it makes one.
    std::optional<MidiMapping> touched(const std::vector<Intent> &changes, Time now);

    // Starts again with nothing waiting.
    void reset();

private:
    struct Moved
    {
        MidiControl control;
        int value = 0;
    };

    std::optional<MidiMapping> pair(Time now);
    static std::optional<Intent> touchOf(const std::vector<Intent> &changes);

    std::optional<Moved> m_moved;
    std::optional<Intent> m_touched;
    // The pair made last, each side still until Quiet after its last change.
    std::optional<MidiControl> m_pairedControl;
    Time m_controlLast{};
    std::optional<Intent> m_pairedTouch;
    Time m_touchLast{};
};
