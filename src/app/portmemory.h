#pragma once

#include <QString>

// The port the operator chose for the board in the port dialog, kept in the user's
// configuration folder (~/.config/dimmer-panel/dimmer-panel.conf) for the next start: by
// its stable name where it has one, so that the same adapter is found after a replug that
// gives it another ttyUSB number, with what the system told of the device then. A port
// named on the command line is never remembered: it is for that run only.
//
// A settings file that is no plain file (a FIFO would hold the start forever) or far larger
// than any the panel writes is set aside, not read: the panel starts as with no memory.
class PortMemory
{
public:
    PortMemory();

    // Why the settings file was set aside; empty when it was not.
    QString problem() const { return m_problem; }

    QString remembered() const;
    // Why the remembered port is not to be opened without asking the operator again: it
    // is a pseudo-terminal, or its path leads to another device now. Empty when it may be.
    QString doubt() const;
    void remember(const QString &device);

private:
    QString m_problem;
};
