#pragma once

#include <cstdint>
#include <optional>

// Who asked for a change: the panel's window, one of its keys, a remote control (and which
// one), the desk's own fade, the line coming back. The desk tells every change with the
// source of the intent that made it, so that feedback, takeover and merging know who moved a
// level without keeping tables of their own.
struct Source
{
    enum class Kind : std::uint8_t {
        Window, // the panel's controls, with the mouse or the keys that move them
        Key,    // the panel's own keys: F1..F12, B, Ctrl+Z
        Osc,    // an OSC remote control
        Web,    // a page of the web remote
        Fade,    // a fade or a cue under way, step by step
        Line,    // the line: what the board kept, or the state sent again when it is back
        Network, // a lighting console's DMX over the network (sACN, Art-Net)
        Midi,    // a MIDI control surface
    };

    Kind kind = Kind::Window;
    // Which one of that kind, where there are several (an OSC sender, a web page, a network
    // source); 0 for the panel's own.
    std::uint32_t client = 0;

    bool operator==(const Source &) const = default;
};

// What an operator wants, from whichever input: each input turns its own messages into these,
// and the desk applies them in one place. Numbers are as the board counts them: a channel
// 0..7, a level 0..99, a mode 0..11, a scene 1..12, a fade time in tenths of a second.
struct Intent
{
    enum class Kind : std::uint8_t {
        Channel,      // channel index to level value
        Master,       // the master to level value
        FullOn,       // channel index to full on
        Off,          // channel index off
        MasterFullOn, // the master, and with it every channel, full on
        AllOff,       // every channel off, then the master
        Recall,       // scene index onto the channels, over fade or the desk's fade time
        Store,        // the eight levels as scene index
        Mode,         // mode index
        Download,     // all twelve stored scenes to the board
        SendAll,      // the mode and the eight levels again
        Blackout,     // every channel to 0, or back
        FadeTime,     // the desk's fade time to value tenths
        Undo,         // take back the last change of levels
        Redo,         // bring it back
        Go,           // the cue list: start the standby cue, or resume a paused one
        Back,         // start the cue before the current one
        Pause,        // hold a running cue where it stands
        GotoCue,      // run cue number index (tenths) in its own times, and make it current
        RecordCue,    // the eight levels as cue number index, up time value, down time fade
    };

    Kind kind = Kind::AllOff;
    int index = 0;
    int value = 0;
    // A recall's own fade time, in tenths, none: the desk's; a recorded cue's down time, none:
    // its up time.
    std::optional<int> fade;
    Source source;

    bool operator==(const Intent &) const = default;
};
