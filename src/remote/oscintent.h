#pragma once

#include "control/inputcounts.h"
#include "control/intent.h"

#include <QByteArray>

struct OscMessage;

// What one OSC message asks of the panel: the intent its address and arguments name, a
// button's release, which asks nothing, or why it asks nothing.
//
//     /dimmer/channel/N level          a channel's level           N = 1..8
//     /dimmer/master level             the master's level
//     /dimmer/fullon/N                 a channel full on           N = 1..8
//     /dimmer/off/N                    a channel off               N = 1..8
//     /dimmer/master/fullon            the master full on
//     /dimmer/alloff                   all off
//     /dimmer/download                 the twelve scenes to the board
//     /dimmer/scene/N [seconds]        recalls scene N, over its own fade time if given
//     /dimmer/mode/N                   selects mode N              N = 1..12
//     /dimmer/blackout                 blackout, and back
//     /dimmer/sendall                  the mode and the levels again
//     /dimmer/fade seconds             the fade time of a recall
//     /dimmer/undo                     takes back the last change of levels
//     /dimmer/redo                     brings it back
//     /dimmer/go                       the cue list's GO
//     /dimmer/back                     the cue list's BACK
//     /dimmer/pause                    the cue list's PAUSE
//     /dimmer/cue/goto number          runs that cue in its own times     number 0.1..9999.9
//     /dimmer/cue/record number [up [down]]   the current levels as that cue
//
// Addresses match exactly: N is written in decimal without a sign or leading zeros, and
// an OSC pattern is no address of the panel's.
//
// A level is an int32 0..99, or a float32 0.0..1.0 scaled to 0..99 and rounded, as a
// tablet's fader sends it. A button takes no argument, or one int32 or float32: a tablet's
// push button sends 1 when pressed and 0 when released, and only the press acts. A fade
// time is a float32 0.0..10.0 or an int32 0..10, in seconds, taken to the tenth; a scene
// button takes one after its press. A cue's number and times are int32 or float32, taken to
// the tenth; a record's times not given are 0, its down time not given is its up time.
struct OscIntent
{
    Intent intent;
    InputCounts::Refusal refusal = InputCounts::Refusal::Unknown;
    bool release = false;
    // The type of a level's argument, 'i' or 'f', which tells the form of the sender's
    // faders; 0 for any other message.
    char levelType = 0;

    bool acts() const { return refusal == InputCounts::Refusal::None && !release; }

    // What message asks, for source.
    static OscIntent read(const OscMessage &message, Source source);
    // The address that tells a level: a channel's 0..7, or the master's after them.
    static QByteArray levelAddress(int address);
};
