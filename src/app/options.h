#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the panel. With no option the panel opens the board's
// fixed port and the scene file in the user's data folder.
struct Options
{
    enum class Outcome { Run, ExitOk, UsageError };

    Outcome outcome = Outcome::Run;
    QString portName;
    QString sceneFile;
    bool sceneFileGiven = false;
    QString output; // help or version text (stdout), or the usage error (stderr)

    static Options parse(const QStringList &arguments);
};
