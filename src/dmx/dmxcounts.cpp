#include "dmxcounts.h"

#include "dmx/dmxmerge.h"
#include "dmx/networkinput.h"

qint64 DmxCounts::total() const
{
    return taken + endsOfStream + pollsAnswered + whileWindowUp + tooShort + tooLong +
           wrongIdentifier + wrongVector + wrongLength + oldVersion + otherUniverse +
           tooManySlots + startCode + priority + preview + outOfOrder + tooManySources +
           pollsTooFast + ownReplies + other;
}

QString DmxCounts::sacnSummary() const
{
    return tr("sACN: %1 packets taken, %2 ends of stream; ignored: %3 while a window was up, "
              "%4 short, %5 long, %6 wrong identifiers, %7 wrong vectors, %8 wrong lengths, %9 "
              "other universes, %10 over 512 slots, %11 other start codes, %12 priorities over "
              "200, %13 preview data, %14 out of sequence, %15 beyond %16 sources, %17 "
              "synchronisation or discovery")
        .arg(taken)
        .arg(endsOfStream)
        .arg(whileWindowUp)
        .arg(tooShort)
        .arg(tooLong)
        .arg(wrongIdentifier)
        .arg(wrongVector)
        .arg(wrongLength)
        .arg(otherUniverse)
        .arg(tooManySlots)
        .arg(startCode)
        .arg(priority)
        .arg(preview)
        .arg(outOfOrder)
        .arg(tooManySources)
        .arg(DmxMerge::SacnSources)
        .arg(other);
}

QString DmxCounts::artNetSummary() const
{
    return tr("Art-Net: %1 packets taken, %2 polls answered; ignored: %3 while a window was up, "
              "%4 short, %5 long, %6 wrong identifiers, %7 versions before 14, %8 other "
              "universes, %9 over 512 slots, %10 beyond %11 sources, %12 polls over %13 a "
              "second, %14 of the panel's own replies, %15 other operations")
        .arg(taken)
        .arg(pollsAnswered)
        .arg(whileWindowUp)
        .arg(tooShort)
        .arg(tooLong)
        .arg(wrongIdentifier)
        .arg(oldVersion)
        .arg(otherUniverse)
        .arg(tooManySlots)
        .arg(tooManySources)
        .arg(DmxMerge::ArtNetSources)
        .arg(pollsTooFast)
        .arg(NetworkInput::PollRepliesPerSecond)
        .arg(ownReplies)
        .arg(other);
}
