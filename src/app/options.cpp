#include "options.h"

#include "link/seriallink.h"
#include "scenes/scenefile.h"

#include <QCommandLineParser>

Options Options::parse(const CommandLine::Arguments &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Control panel for the eight-channel dimmer board on a serial port."));
    const QCommandLineOption port(
        QStringLiteral("port"),
        tr("The board's serial device. Without it, the port that opened last, else %1 (the "
           "fourth serial port); when that will not open, a dialog asks.")
            .arg(SerialLink::defaultPortName()),
        QStringLiteral("DEVICE"));
    const QCommandLineOption sceneFile(
        QStringLiteral("scene-file"),
        tr("The file of the twelve stored scenes (default %1).").arg(SceneFile::defaultPath()),
        QStringLiteral("PATH"));
    const QCommandLineOption choosePort(
        QStringLiteral("choose-port"),
        tr("Show the port dialog first, even when the last port can be opened."));
    parser.addOption(port);
    parser.addOption(choosePort);
    parser.addOption(sceneFile);

    Options options;
    options.verdict = CommandLine::parse(parser, arguments);
    if (options.verdict.outcome != CommandLine::Outcome::Run)
        return options;
    options.portGiven = parser.isSet(port);
    options.choosePort = parser.isSet(choosePort);
    options.portName = options.portGiven ? parser.value(port) : SerialLink::defaultPortName();
    options.sceneFileGiven = parser.isSet(sceneFile);
    options.sceneFile = parser.value(sceneFile);
    if (options.sceneFileGiven && options.sceneFile.isEmpty())
        options.verdict = CommandLine::usageError(parser, tr("--scene-file needs a file name."));
    else if (options.portName.isEmpty())
        options.verdict = CommandLine::usageError(parser, tr("--port needs a device name."));
    else if (options.portGiven && options.choosePort)
        options.verdict = CommandLine::usageError(
            parser, tr("--choose-port asks for the dialog, --port names the port: give one."));
    return options;
}
