#pragma once

#include <QCoreApplication>
#include <QString>

// What became of the packets of one protocol in a run: taken, or ignored and why. Every
// datagram counts exactly once; the fields a protocol cannot have stay 0.
struct DmxCounts
{
    Q_DECLARE_TR_FUNCTIONS(DmxCounts)

public:
    qint64 taken = 0;
    qint64 endsOfStream = 0;  // sACN: a source ended its stream
    qint64 pollsAnswered = 0; // Art-Net
    qint64 whileWindowUp = 0; // a level changed while the scene key window or a question was up
    qint64 tooShort = 0;
    qint64 tooLong = 0;
    qint64 wrongIdentifier = 0;
    qint64 wrongVector = 0; // sACN
    qint64 wrongLength = 0; // sACN: a PDU length the datagram does not match
    qint64 oldVersion = 0;  // Art-Net
    qint64 otherUniverse = 0;
    qint64 tooManySlots = 0;
    qint64 startCode = 0;  // sACN: not the levels' start code 0
    qint64 priority = 0;   // sACN: over 200
    qint64 preview = 0;    // sACN: for visualisers
    qint64 outOfOrder = 0; // sACN: 1..20 behind its source's last
    qint64 tooManySources = 0;
    qint64 pollsTooFast = 0; // Art-Net: polls beyond the replies' rate
    qint64 ownReplies = 0;   // Art-Net: the panel's own reply, back on the port it shares
    qint64 other = 0;        // sACN synchronisation and discovery; other Art-Net operations

    bool operator==(const DmxCounts &) const = default;

    qint64 total() const;
    // One line each: "sACN: 1200 packets taken, ...; ignored: ...".
    QString sacnSummary() const;
    QString artNetSummary() const;
};
