#pragma once

#include "control/inputcounts.h"
#include "control/intent.h"

#include <QByteArray>
#include <QByteArrayView>

// What one text message of a page asks of the panel: the intent it names, the token it joins
// with, or why it asks nothing. A message is one JSON object:
//
//     {"hello": TOKEN}                       joins with the access token
//     {"do": "channel", "n": N, "v": L}      channel N (1..8) to level L (0..99)
//     {"do": "master", "v": L}               the master to level L
//     {"do": "fullon", "n": N}               channel N full on
//     {"do": "off", "n": N}                  channel N off
//     {"do": "masterfullon"}                 the master full on
//     {"do": "alloff"}                       all off
//     {"do": "scene", "n": N}                recalls scene N (1..12)
//     {"do": "scene", "n": N, "t": T}        recalls it over a fade of its own, T tenths of
//                                            a second (0..100)
//     {"do": "mode", "n": N}                 selects mode N (1..12)
//     {"do": "download"}                     the twelve scenes to the board
//     {"do": "sendall"}                      the mode and the levels again
//     {"do": "blackout"}                     blackout, and back
//     {"do": "fade", "v": T}                 the fade time, T tenths of a second (0..100)
//     {"do": "undo"}, {"do": "redo"}         takes back the last change of levels, and back
//     {"do": "go"}, {"do": "back"},          the cue list's GO, BACK and PAUSE
//     {"do": "pause"}
//
// Numbers are whole, and counted from 1 as the page shows them; a member the action does not
// take is wrong, as is a missing one. Reading is a pure function of the text, so that any
// text a page may send is safe to hand to it.
struct WebMessage
{
    // Longer than any message a page sends: refused unread.
    static constexpr qsizetype LongestText = 512;

    InputCounts::Refusal refusal = InputCounts::Refusal::Malformed;
    bool hello = false;
    QByteArray token; // a hello's
    Intent intent;    // what anything else asks, for source

    bool acts() const { return refusal == InputCounts::Refusal::None && !hello; }

    static WebMessage read(QByteArrayView text, Source source = {Source::Kind::Web, 0});
};
