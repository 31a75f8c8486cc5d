#include "webcounts.h"

QString WebCounts::summary() const
{
    return tr("Web: %1 messages taken, %2 pages joined; ignored: %3 wrong tokens, %4 controls "
              "without the token, %5 while a window was up, %6 too fast, %7 unknown actions, "
              "%8 wrong arguments, %9 values out of range, %10 malformed messages, %11 "
              "oversized, %12 binary messages, %13 pages turned away")
        .arg(taken)
        .arg(joined)
        .arg(wrongTokens)
        .arg(withoutToken)
        .arg(held)
        .arg(tooFast)
        .arg(unknown)
        .arg(wrongArguments)
        .arg(outOfRange)
        .arg(malformed)
        .arg(oversized)
        .arg(binary)
        .arg(pagesTurnedAway);
}
