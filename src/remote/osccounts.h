#pragma once

#include "control/inputcounts.h"

#include <QCoreApplication>
#include <QString>

// What became of the OSC messages of a run: besides what every input counts, a button's
// release, an echo, a datagram from the panel's own port and a bundle. Every datagram
// counts exactly once.
struct OscCounts : InputCounts
{
    Q_DECLARE_TR_FUNCTIONS(OscCounts)

public:
    qint64 releases = 0;
    qint64 echoes = 0;     // a level the sender had just been told
    qint64 fromItself = 0; // from the panel's own port: forged, or a loop
    qint64 bundles = 0;

    bool operator==(const OscCounts &other) const = default;

    qint64 total() const;
    // One line: "OSC: 120 messages taken, 4 button releases; ignored: 3 while a window
    // was up, ...".
    QString summary() const;
};
