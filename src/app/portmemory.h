#pragma once

#include <QString>

// The port the panel opened last, kept in the user's configuration folder
// (~/.config/dimmer-panel/dimmer-panel.conf) for the next start: by its /dev/serial/by-id
// name where it has one, so that the same adapter is found after a replug that gives it
// another ttyUSB number.
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
    void remember(const QString &device);

private:
    QString m_problem;
};
