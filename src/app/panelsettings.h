#pragma once

#include <QString>

// What the panel keeps of the operator's choices in the user's configuration folder
// (~/.config/dimmer-panel/dimmer-panel.conf) for the next start: the fade time of a recall,
// and the port the operator chose for the board in the port dialog, by
// its stable name where it has one, so that the same adapter is found after a replug that
// gives it another ttyUSB number, with what the system told of the device then. A port
// named on the command line is never remembered: it is for that run only.
//
// A settings file that is no plain file (a FIFO would hold the start forever) or far larger
// than any the panel writes is set aside, not read: the panel starts as with no memory.
class PanelSettings
{
public:
    PanelSettings();

    // Why the settings file was set aside; empty when it was not.
    QString problem() const { return m_problem; }

    QString remembered() const;
    // Why the remembered port is not to be opened without asking the operator again: it
    // is a pseudo-terminal, or its path leads to another device now. Empty when it may be.
    QString doubt() const;
    void remember(const QString &device);

    // The fade time in tenths of a second, as Desk takes it; 0 when none was kept or the
    // kept one is no such time.
    int fadeTime() const;
    void rememberFadeTime(int tenths);

private:
    QString m_problem;
};
