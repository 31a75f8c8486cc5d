#pragma once

#include "control/intent.h"

#include <QString>

#include <optional>

struct DeskFixture;

// Runs a test row's actions on the desk, as an operator, a key or a remote would ask them:
// "set 3 40" (a button, a recall, a remote), "move 3 40" (the operator's slider),
// "master 70", "moveMaster 70", "fullOn 3", "off 3", "masterFullOn", "allOff", "mode 5",
// "recall 2", "store 4", "download", "blackout", "sendAll", "fade 20" (tenths), "at 500"
// (the fixture's clock to 500 ms, then the fades step), "undo", "redo", "hold" and "letGo"
// (a fader pressed and released), "go", "back", "pause", "goto 25" (cue 2.5), "recordCue 30 20
// 10" (cue 3, up 2 s, down 1 s); several are joined with ';'.
void perform(DeskFixture &f, const QString &actions);

// One of those actions, but "at", "hold" and "letGo", as the intent the desk is asked for;
// none for an unknown one.
std::optional<Intent> intentOf(const QString &action);

// What an intent asks, its source left out, to compare in a test: "Channel 3 40",
// "Recall 2 fade 15".
QString describe(const Intent &intent);

// An intent as a test asks for it: from one of the panel's keys unless another source is
// named (the window's own sliders take a level even when it stands).
inline Intent want(Intent::Kind kind, int index = 0, int value = 0,
                   Source::Kind from = Source::Kind::Key)
{
    return Intent{kind, index, value, std::nullopt, Source{from, 0}};
}
