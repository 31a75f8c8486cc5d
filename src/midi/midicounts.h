#pragma once

#include "control/inputcounts.h"

#include <QCoreApplication>
#include <QString>

// What became of the MIDI messages of a run, from every surface: besides what every input
// counts (a control the profile maps not is unknown), a button's release, a fader's moves
// before it picked its level up, the messages while learning; and what the reader skipped.
// Every message counts exactly once.
struct MidiCounts : InputCounts
{
    Q_DECLARE_TR_FUNCTIONS(MidiCounts)

public:
    qint64 releases = 0;
    qint64 waiting = 0; // a fader's moves before it picked its level up
    qint64 whileLearning = 0;
    qint64 sysex = 0;
    qint64 realtime = 0; // real-time and system common messages
    qint64 strays = 0;   // bytes under no status
    qint64 cut = 0;      // messages broken off by another, or by a surface going away
    qint64 dropped = 0;  // beyond what the panel keeps waiting to be read
    qint64 learned = 0;  // pairs learned
    qint64 lost = 0;     // times a surface went away

    bool operator==(const MidiCounts &other) const = default;

    // One line: "MIDI: 120 messages taken, 4 button releases; ignored: 3 while a window
    // was up, ...".
    QString summary() const;
};
