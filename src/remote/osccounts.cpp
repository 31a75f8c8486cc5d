#include "osccounts.h"

qint64 OscCounts::total() const
{
    return taken + releases + whileWindowUp + echoes + fromItself + unknownAddresses +
           wrongArguments + levelsOutOfRange + malformed + bundles;
}

QString OscCounts::summary() const
{
    return tr("OSC: %1 messages taken, %2 button releases; ignored: %3 while a window was up, "
              "%4 echoes of feedback, %5 from the panel's own port, %6 unknown addresses, %7 "
              "wrong arguments, %8 levels out of range, %9 malformed packets, %10 bundles")
        .arg(taken)
        .arg(releases)
        .arg(whileWindowUp)
        .arg(echoes)
        .arg(fromItself)
        .arg(unknownAddresses)
        .arg(wrongArguments)
        .arg(levelsOutOfRange)
        .arg(malformed)
        .arg(bundles);
}
