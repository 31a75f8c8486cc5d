#pragma once

#include <QByteArray>
#include <QByteArrayView>

// What one text message of a page asks of the panel, or why it asks nothing. A message is
// one JSON object:
//
//     {"hello": TOKEN}                   joins with the access token
//     {"do": "channel", "n": N, "v": L}  channel slider N (1..8) to level L (0..99)
//     {"do": "master", "v": L}           the master slider
//     {"do": "fullon", "n": N}           channel N's full-on button
//     {"do": "off", "n": N}              channel N's off button
//     {"do": "masterfullon"}             the master's full-on button
//     {"do": "alloff"}                   the all-off button
//     {"do": "scene", "n": N}            recalls scene N (1..12)
//     {"do": "mode", "n": N}             selects mode N (1..12)
//     {"do": "blackout"}                 blackout, and back
//     {"do": "fade", "v": T}             the fade time, T tenths of a second (0..100)
//
// Numbers are whole; a member the action does not take is wrong, as is a missing one.
// Reading is a pure function of the text, so that any text a page may send is safe to
// hand to it.
struct WebMessage
{
    enum class Action {
        Hello,
        Channel,
        Master,
        FullOn,
        Off,
        MasterFullOn,
        AllOff,
        Scene,
        Mode,
        Blackout,
        Fade,
    };

    enum class Outcome {
        Act,
        Malformed, // no JSON object, or longer than any message of a page
        UnknownAction,
        WrongArguments, // a member missing, extra, or not a whole number
        OutOfRange,
    };

    // Longer than any message a page sends: refused unread.
    static constexpr qsizetype LongestText = 512;

    Outcome outcome = Outcome::Malformed;
    Action action = Action::Hello;
    int number = 0; // a channel, a scene or a mode, 1-based as the page shows it
    int value = 0;  // a level or a fade time
    QByteArray token;

    static WebMessage read(QByteArrayView text);
};
