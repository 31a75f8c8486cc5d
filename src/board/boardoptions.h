#pragma once

#include "cli/commandline.h"

#include <QCoreApplication>
#include <QString>

// What the command line asks of the virtual board: a pseudo-terminal of its own (with a
// symbolic link to it on request) or an existing serial device to listen on, and a
// window or a line of text on stdout for each event.
struct BoardOptions
{
    Q_DECLARE_TR_FUNCTIONS(BoardOptions)

public:
    CommandLine::Verdict verdict;
    QString devicePath; // empty: open a pseudo-terminal
    QString linkPath;   // empty: no link
    bool dump = false;
    bool fullSpeed = false; // read the pseudo-terminal as fast as the panel writes

    static BoardOptions parse(const CommandLine::Arguments &arguments);
};
