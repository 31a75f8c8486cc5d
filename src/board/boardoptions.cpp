#include "boardoptions.h"

#include "board/dumpwriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

// Options are read before any application object exists, which is where the parser
// takes the program's name from.
QString helpOf(const QCommandLineParser &parser)
{
    return parser.helpText().replace(QStringLiteral("<executable_name>"),
                                     QCoreApplication::applicationName());
}

BoardOptions usageError(const QString &message, const QCommandLineParser &parser)
{
    BoardOptions options;
    options.outcome = BoardOptions::Outcome::UsageError;
    options.output = message + QLatin1Char('\n') + helpOf(parser);
    return options;
}

} // namespace

BoardOptions BoardOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A virtual eight-channel dimmer board: it reads what the panel sends "
                       "and shows the board's levels, master, mode and scenes.\n\n"
                       "The first line on stdout is the path of the device to point the "
                       "panel at (the pseudo-terminal, or the --device given), printed once "
                       "the device and any --link are ready.\n\n") +
        DumpWriter::formatDescription());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption link(
        QStringLiteral("link"),
        QStringLiteral("Also make a symbolic link at PATH to the pseudo-terminal, removed "
                       "when the board ends. A link already at PATH is replaced, any other "
                       "file is left alone and the board does not start."),
        QStringLiteral("PATH"));
    const QCommandLineOption device(
        QStringLiteral("device"),
        QStringLiteral("Listen on this serial device at 9600 baud 8N1 instead of a "
                       "pseudo-terminal, as a monitor of a real line."),
        QStringLiteral("PATH"));
    const QCommandLineOption dump(
        QStringLiteral("dump"),
        QStringLiteral("No window: write one line on stdout for each event (see above)."));
    parser.addOption(link);
    parser.addOption(device);
    parser.addOption(dump);

    if (!parser.parse(arguments))
        return usageError(parser.errorText(), parser);
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(QStringLiteral("Unexpected argument '%1'.")
                              .arg(parser.positionalArguments().constFirst()),
                          parser);
    }
    BoardOptions options;
    if (parser.isSet(help)) {
        options.outcome = Outcome::ExitOk;
        options.output = helpOf(parser);
        return options;
    }
    if (parser.isSet(version)) {
        options.outcome = Outcome::ExitOk;
        options.output = QCoreApplication::applicationName() + QLatin1Char(' ') +
                         QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return options;
    }
    options.devicePath = parser.value(device);
    options.linkPath = parser.value(link);
    options.dump = parser.isSet(dump);
    if (parser.isSet(device) && options.devicePath.isEmpty())
        return usageError(QStringLiteral("--device needs a device path."), parser);
    if (parser.isSet(link) && options.linkPath.isEmpty())
        return usageError(QStringLiteral("--link needs a path."), parser);
    if (parser.isSet(link) && parser.isSet(device)) {
        return usageError(QStringLiteral("--link names the board's own pseudo-terminal, "
                                         "so it cannot go with --device."),
                          parser);
    }
    return options;
}
