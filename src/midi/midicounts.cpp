#include "midicounts.h"

QString MidiCounts::summary() const
{
    return tr("MIDI: %1 messages taken, %2 button releases; ignored: %3 while a window was up, "
              "%4 fader moves waiting for pickup, %5 unmapped, %6 while learning, %7 SysEx, %8 "
              "real-time and system, %9 stray bytes, %10 cut short, %11 beyond the panel's "
              "queue; %12 pairs learned; a surface went away %13 times")
        .arg(taken)
        .arg(releases)
        .arg(held)
        .arg(waiting)
        .arg(unknown)
        .arg(whileLearning)
        .arg(sysex)
        .arg(realtime)
        .arg(strays)
        .arg(cut)
        .arg(dropped)
        .arg(learned)
        .arg(lost);
}
