#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the virtual board: a pseudo-terminal of its own (with a
// symbolic link to it on request) or an existing serial device to listen on, and a
// window or a line of text on stdout for each event.
struct BoardOptions
{
    enum class Outcome { Run, ExitOk, UsageError };

    Outcome outcome = Outcome::Run;
    QString devicePath; // empty: open a pseudo-terminal
    QString linkPath;   // empty: no link
    bool dump = false;
    QString output; // help or version text (stdout), or the usage error (stderr)

    static BoardOptions parse(const QStringList &arguments);
};
