#include "osccounts.h"

qint64 OscCounts::total() const
{
    return InputCounts::total() + releases + echoes + fromItself + bundles;
}

QString OscCounts::summary() const
{
    return tr("OSC: %1 messages taken, %2 button releases; ignored: %3 while a window was up, "
              "%4 echoes of feedback, %5 from the panel's own port, %6 unknown addresses, %7 "
              "wrong arguments, %8 values out of range, %9 malformed packets, %10 bundles")
        .arg(taken)
        .arg(releases)
        .arg(held)
        .arg(echoes)
        .arg(fromItself)
        .arg(unknown)
        .arg(wrongArguments)
        .arg(outOfRange)
        .arg(malformed)
        .arg(bundles);
}
