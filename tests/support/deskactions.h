#pragma once

#include <QString>

struct DeskFixture;

// Runs a test row's actions on the desk, as an operator, a key or a remote would ask them:
// "set 3 40" (a button, a recall, a remote), "move 3 40" (the operator's slider),
// "master 70", "moveMaster 70", "fullOn 3", "off 3", "masterFullOn", "allOff", "mode 5",
// "recall 2", "store 4", "download", "blackout", "sendAll", "fade 20" (tenths), "at 500"
// (the fixture's clock to 500 ms, then the fades step), "undo", "redo", "hold" and "letGo"
// (a fader pressed and released); several are joined with ';'.
void perform(DeskFixture &f, const QString &actions);
