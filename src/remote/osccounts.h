#pragma once

#include <QCoreApplication>
#include <QString>

// What became of the OSC messages of a run: taken, a button's release, or ignored, and
// why. Every datagram counts exactly once.
struct OscCounts
{
    Q_DECLARE_TR_FUNCTIONS(OscCounts)

public:
    qint64 taken = 0;
    qint64 releases = 0;
    qint64 whileWindowUp = 0; // the scene key window or a question was up
    qint64 echoes = 0;        // a level the sender had just been told
    qint64 fromItself = 0;    // from the panel's own port: forged, or a loop
    qint64 unknownAddresses = 0;
    qint64 wrongArguments = 0;
    qint64 levelsOutOfRange = 0;
    qint64 malformed = 0;
    qint64 bundles = 0;

    bool operator==(const OscCounts &other) const = default;

    qint64 total() const;
    // One line: "OSC: 120 messages taken, 4 button releases; ignored: 3 while a window
    // was up, ...".
    QString summary() const;
};
