#pragma once

#include <QByteArray>

struct OscMessage;

// What an OSC message asks of the panel: the control it names, by the panel's own names,
// and the level for a slider; or why it asks nothing.
//
//     /dimmer/channel/N level    VScroll1(N - 1)    N = 1..8
//     /dimmer/master level       VScroll2
//     /dimmer/fullon/N           Command1(N - 1)    N = 1..8
//     /dimmer/off/N              Command2(N - 1)    N = 1..8
//     /dimmer/master/fullon      Command3
//     /dimmer/alloff             Command4
//     /dimmer/download           Command5
//     /dimmer/scene/N            Option1(N - 1)     N = 1..12
//     /dimmer/mode/N             Option2(N - 1)     N = 1..12
//     /dimmer/blackout           the blackout button
//     /dimmer/sendall            the send-all button
//     /dimmer/fade seconds       the fade time of a recall
//     /dimmer/undo               Ctrl+Z: take back the last change of levels
//     /dimmer/redo               Ctrl+Shift+Z: bring it back
//
// Addresses match exactly: N is written in decimal without a sign or leading zeros, and
// an OSC pattern is no address of the panel's.
//
// A level is an int32 0..99, or a float32 0.0..1.0 scaled to 0..99 and rounded, as a
// tablet's fader sends it. A button takes no argument, or one int32 or float32: a
// tablet's push button sends 1 when pressed and 0 when released, and only the press
// clicks. A fade time is a float32 0.0..10.0 or an int32 0..10, in seconds, taken to the
// tenth.
struct RemoteCommand
{
    enum class Control {
        VScroll1,
        VScroll2,
        Command1,
        Command2,
        Command3,
        Command4,
        Command5,
        Option1,
        Option2,
        Blackout,
        SendAll,
        FadeTime,
        Undo,
        Redo,
    };

    enum class Outcome {
        Act,     // move the slider to level, or click the button
        Release, // a button let go: nothing to do
        UnknownAddress,
        WrongArguments, // a count or type that the control does not take
        LevelOutOfRange,
    };

    Outcome outcome = Outcome::UnknownAddress;
    Control control = Control::VScroll1;
    int index = -1; // the element of a control array, 0-based; -1 for a single control
    int level = 0;  // for a slider; for the fade time, tenths of a second
    // The type of the message's argument: 'i', 'f', or 0 when it had none.
    char argumentType = 0;

    static RemoteCommand interpret(const OscMessage &message);

    // The address that names a control: element index of an array, or a single control.
    static QByteArray addressOf(Control control, int index = -1);
};
