#include "boardoptions.h"

#include "board/dumpwriter.h"

#include <QCommandLineParser>

BoardOptions BoardOptions::parse(const CommandLine::Arguments &arguments)
{
    QCommandLineParser parser;
    //: 'unplugged' and 'plugged' are words the board prints for scripts: keep them as they are.
    parser.setApplicationDescription(
        tr("A virtual eight-channel dimmer board: it reads what the panel sends and shows the "
           "board's levels, master, mode and scenes.\n\n"
           "The first line on stdout is the path of the device to point the panel at (the "
           "pseudo-terminal, or the --device given), printed once the device and any --link "
           "are ready.\n\n"
           "SIGUSR1 pulls the board's line out, as a USB serial adapter can be: the "
           "pseudo-terminal and the --link go, and a panel on it sees the line hang up; the "
           "board keeps its state. SIGUSR2 plugs it in again as a new pseudo-terminal, with "
           "the link pointing at it. Each is told by a line on stdout, with or without --dump: "
           "'unplugged', or 'plugged' and the new path. In the window the U key does the "
           "same.") +
        QStringLiteral("\n\n") + DumpWriter::formatDescription());
    const QCommandLineOption link(
        QStringLiteral("link"),
        tr("Also make a symbolic link at PATH to the pseudo-terminal, removed when the board "
           "ends or its line is pulled out. A link already at PATH is replaced, any other "
           "file is left alone and the board does not start."),
        QStringLiteral("PATH"));
    const QCommandLineOption device(
        QStringLiteral("device"),
        tr("Listen on this serial device at 9600 baud 8N1 instead of a pseudo-terminal, as a "
           "monitor of a real line."),
        QStringLiteral("PATH"));
    const QCommandLineOption dump(
        QStringLiteral("dump"),
        tr("No window: write one line on stdout for each event (see above)."));
    const QCommandLineOption fullSpeed(
        QStringLiteral("full-speed"),
        tr("Read the pseudo-terminal as fast as the panel writes. Without it the board takes "
           "960 bytes a second, as the board's 9600-baud UART receives them, so that its lamps "
           "lag the panel exactly as a real board's would."));
    parser.addOption(link);
    parser.addOption(device);
    parser.addOption(dump);
    parser.addOption(fullSpeed);

    BoardOptions options;
    options.verdict = CommandLine::parse(parser, arguments);
    if (options.verdict.outcome != CommandLine::Outcome::Run)
        return options;
    options.devicePath = parser.value(device);
    options.linkPath = parser.value(link);
    options.dump = parser.isSet(dump);
    options.fullSpeed = parser.isSet(fullSpeed);
    QString problem;
    if (parser.isSet(device) && options.devicePath.isEmpty())
        problem = tr("--device needs a device path.");
    else if (parser.isSet(link) && options.linkPath.isEmpty())
        problem = tr("--link needs a path.");
    else if (parser.isSet(link) && parser.isSet(device))
        problem = tr("--link names the board's own pseudo-terminal, so it cannot go with "
                     "--device.");
    else if (parser.isSet(fullSpeed) && parser.isSet(device))
        problem = tr("--full-speed is for the board's own pseudo-terminal; a --device line runs "
                     "at its own speed.");
    if (!problem.isEmpty())
        options.verdict = CommandLine::usageError(parser, problem);
    return options;
}
