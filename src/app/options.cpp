#include "options.h"

#include "link/seriallink.h"
#include "scenes/scenefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

// The parser names the program from a QCoreApplication, which does not exist yet.
QString usage(const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("dimmer-panel"));
    return text;
}

} // namespace

Options Options::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Control panel for the eight-channel dimmer board on a serial port."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("The board's serial device (default %1, the fourth serial port).")
            .arg(SerialLink::defaultPortName()),
        QStringLiteral("DEVICE"));
    const QCommandLineOption sceneFile(
        QStringLiteral("scene-file"),
        QStringLiteral("The file of the twelve stored scenes (default %1).")
            .arg(SceneFile::defaultPath()),
        QStringLiteral("PATH"));
    parser.addOption(port);
    parser.addOption(sceneFile);

    Options options;
    if (!parser.parse(arguments)) {
        options.outcome = Outcome::UsageError;
        options.output = parser.errorText() + QLatin1Char('\n') + usage(parser);
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.outcome = Outcome::UsageError;
        options.output = QStringLiteral("Unexpected argument '%1'.\n")
                             .arg(parser.positionalArguments().constFirst()) +
                         usage(parser);
        return options;
    }
    if (parser.isSet(help)) {
        options.outcome = Outcome::ExitOk;
        options.output = usage(parser);
        return options;
    }
    if (parser.isSet(version)) {
        options.outcome = Outcome::ExitOk;
        options.output = QCoreApplication::applicationName() + QLatin1Char(' ') +
                         QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return options;
    }
    options.portName = parser.isSet(port) ? parser.value(port) : SerialLink::defaultPortName();
    options.sceneFileGiven = parser.isSet(sceneFile);
    options.sceneFile = options.sceneFileGiven ? parser.value(sceneFile) : QString();
    if (options.sceneFileGiven && options.sceneFile.isEmpty()) {
        options.outcome = Outcome::UsageError;
        options.output = QStringLiteral("--scene-file needs a file name.\n") + usage(parser);
    } else if (options.portName.isEmpty()) {
        options.outcome = Outcome::UsageError;
        options.output = QStringLiteral("--port needs a device name.\n") + usage(parser);
    }
    return options;
}
