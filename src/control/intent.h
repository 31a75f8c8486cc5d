#pragma once

#include "protocol/boardnumbers.h"

#include <cstdint>
#include <optional>

// Who asked for a change: the panel's window, one of its keys, a remote control (and which
// one), the desk's own fade, the line coming back. The desk tells every change with the
// source of the intent that made it, so that feedback, takeover and merging know who moved a
// level without keeping tables of their own.
struct Source
{
    enum class Kind : std::uint8_t {
        Window,  // the panel's controls, with the mouse or the keys that move them
        Key,     // the panel's own keys: F1..F12, B, Ctrl+Z
        Osc,     // an OSC remote control
        Web,     // a page of the web remote
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
//
// A plain value with no code behind it, so that the remote inputs, modules of their own,
// hand it to the panel without needing any symbol of the program's.
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

    // What became of an intent.
    enum class Outcome : std::uint8_t {
        Taken,
        Held,    // a window that takes all input is up: nothing changed
        Ignored, // out of range, or nothing to do
    };

    // The longest fade, in tenths of a second.
    static constexpr int LongestFade = 100;
    // A cue's number, in tenths (0.1 .. 9999.9), and its longest time, in tenths (600 s).
    static constexpr int HighestCueNumber = 99999;
    static constexpr int LongestCueTime = 6000;

    // The numbers an intent takes, from lowest to highest.
    struct Range
    {
        int lowest = 0;
        int highest = -1; // below lowest: takes none

        constexpr bool isEmpty() const { return highest < lowest; }
        constexpr bool contains(int number) const { return number >= lowest && number <= highest; }
        constexpr int count() const { return isEmpty() ? 0 : highest - lowest + 1; }
    };

    // The channel, scene or mode that an intent of kind names in its index.
    static constexpr Range indexes(Kind kind)
    {
        switch (kind) {
        case Kind::Channel:
        case Kind::FullOn:
        case Kind::Off:
            return {0, Board::ChannelCount - 1};
        case Kind::Recall:
        case Kind::Store:
            return {1, Board::SceneCount};
        case Kind::Mode:
            return {0, Board::ModeCount - 1};
        case Kind::GotoCue:
        case Kind::RecordCue:
            return {1, HighestCueNumber};
        default:
            return {};
        }
    }

    // The level or fade time that an intent of kind takes in its value.
    static constexpr Range values(Kind kind)
    {
        switch (kind) {
        case Kind::Channel:
        case Kind::Master:
            return {Board::Off, Board::FullOn};
        case Kind::FadeTime:
            return {0, LongestFade};
        case Kind::RecordCue:
            return {0, LongestCueTime};
        default:
            return {};
        }
    }

    Kind kind = Kind::AllOff;
    int index = 0;
    int value = 0;
    // A recall's own fade time, in tenths, none: the desk's; a recorded cue's down time, none:
    // its up time.
    std::optional<int> fade;
    Source source;

    bool operator==(const Intent &) const = default;

    // Whether every number it names is one that its kind takes.
    constexpr bool fits() const
    {
        const Range index = indexes(kind);
        const Range value = values(kind);
        return (index.isEmpty() || index.contains(this->index)) &&
               (value.isEmpty() || value.contains(this->value)) &&
               (!fade || (kind == Kind::Recall && values(Kind::FadeTime).contains(*fade)) ||
                (kind == Kind::RecordCue && values(Kind::RecordCue).contains(*fade)));
    }
};
