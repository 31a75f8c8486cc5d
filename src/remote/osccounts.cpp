#include "osccounts.h"

qint64 OscCounts::total() const
{
    return taken + releases + whileWindowUp + unknownAddresses + wrongArguments +
           levelsOutOfRange + malformed + bundles;
}

QString OscCounts::summary() const
{
    return tr("OSC: %1 messages taken, %2 button releases; ignored: %3 while a window was up, "
              "%4 unknown addresses, %5 wrong arguments, %6 levels out of range, %7 malformed "
              "packets, %8 bundles")
        .arg(taken)
        .arg(releases)
        .arg(whileWindowUp)
        .arg(unknownAddresses)
        .arg(wrongArguments)
        .arg(levelsOutOfRange)
        .arg(malformed)
        .arg(bundles);
}
