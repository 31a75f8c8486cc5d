#include "options.h"

#include "link/seriallink.h"
#include "scenes/cuefile.h"
#include "scenes/scenefile.h"

#include <QCommandLineParser>

#include <tuple>

namespace {

// --osc and --osc-feedback into options; why they cannot be used, or empty.
QString readRemoteOptions(const QCommandLineParser &parser, const QCommandLineOption &osc,
                          const QCommandLineOption &oscFeedback, Options &options)
{
    QString problem;
    if (parser.isSet(osc)) {
        options.osc = SocketAddress::parse(parser.value(osc), true, &problem);
        if (!options.osc)
            return Options::tr("--osc %1: %2.").arg(parser.value(osc), problem);
    }
    for (const QString &value : parser.values(oscFeedback)) {
        // HOST:PORT, then ",int" (the default) or ",float" for the form of the levels.
        QString where = value;
        bool floats = false;
        if (const qsizetype comma = value.lastIndexOf(QLatin1Char(',')); comma >= 0) {
            const QString asked = value.mid(comma + 1);
            floats = asked == QLatin1String("float");
            if (!floats && asked != QLatin1String("int"))
                return Options::tr("--osc-feedback %1: the form after the comma is int or float, "
                                   "not %2.")
                    .arg(value, asked);
            where.truncate(comma);
        }
        const std::optional<SocketAddress> target = SocketAddress::parse(where, false, &problem);
        if (!target)
            return Options::tr("--osc-feedback %1: %2.").arg(value, problem);
        if (!options.osc) {
            return Options::tr("--osc-feedback sends to a remote control that --osc lets in: "
                               "give --osc too.");
        }
        problem = target->unreachableFrom(*options.osc);
        if (!problem.isEmpty())
            return Options::tr("--osc-feedback %1: %2.").arg(value, problem);
        if (target->isWhere(*options.osc)) {
            return Options::tr("--osc-feedback %1 is where the panel itself listens (--osc %2): "
                               "it would take its own feedback for orders.")
                .arg(value, options.osc->toString());
        }
        options.oscFeedback << Options::FeedbackTarget{*target, floats};
    }
    return {};
}

// --web into options; why it cannot be used, or empty.
QString readWebOption(const QCommandLineParser &parser, const QCommandLineOption &web,
                      Options &options)
{
    if (!parser.isSet(web))
        return {};
    QString problem;
    const QString text = parser.value(web);
    options.web = SocketAddress::parse(text, true, &problem);
    if (!options.web)
        return Options::tr("--web %1: %2.").arg(text, problem);
    return {};
}

// --midi, --midi-profile, --midi-api and --midi-list into options; why they cannot be used,
// or empty.
QString readMidiOptions(const QCommandLineParser &parser, const QCommandLineOption &midi,
                        const QCommandLineOption &profile, const QCommandLineOption &system,
                        const QCommandLineOption &list, Options &options)
{
    options.midiList = parser.isSet(list);
    if (!parser.isSet(midi) && !options.midiList) {
        if (parser.isSet(profile) || parser.isSet(system))
            return Options::tr("--midi-profile and --midi-api are for the surface that --midi "
                               "names: give --midi too.");
        return {};
    }
    MidiSettings settings;
    settings.pattern = parser.value(midi);
    settings.profile = parser.value(profile);
    if (parser.isSet(midi) && settings.pattern.isEmpty())
        return Options::tr("--midi needs a part of the surface's port name (--midi-list lists "
                           "them).");
    if (parser.isSet(profile) && settings.profile.isEmpty())
        return Options::tr("--midi-profile needs a built-in profile's name or a file.");
    const QString asked = parser.value(system);
    if (asked == QLatin1String("alsa"))
        settings.system = MidiSettings::System::Alsa;
    else if (asked == QLatin1String("jack"))
        settings.system = MidiSettings::System::Jack;
    else if (parser.isSet(system))
        return Options::tr("--midi-api is alsa or jack, not %1.").arg(asked);
    options.midi = settings;
    return {};
}

// --sacn, --artnet and --net-interface into options; why they cannot be used, or empty.
QString readNetworkOptions(const QCommandLineParser &parser, const QCommandLineOption &sacn,
                           const QCommandLineOption &artNet, const QCommandLineOption &interface,
                           Options &options)
{
    QString problem;
    for (const auto &[option, protocol, patch] :
         {std::tuple{&sacn, DmxPatch::Protocol::Sacn, &options.sacn},
          std::tuple{&artNet, DmxPatch::Protocol::ArtNet, &options.artNet}}) {
        if (!parser.isSet(*option))
            continue;
        *patch = DmxPatch::parse(protocol, parser.value(*option), &problem);
        if (!*patch)
            return Options::tr("--%1 %2: %3.")
                .arg(option->names().constFirst(), parser.value(*option), problem);
    }
    options.netInterface = parser.value(interface);
    if (parser.isSet(interface) && !options.sacn)
        return Options::tr("--net-interface names where --sacn joins its universe's group: "
                           "give --sacn too.");
    if (parser.isSet(interface) && options.netInterface.isEmpty())
        return Options::tr("--net-interface needs an interface's name.");
    return {};
}

} // namespace

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
    const QCommandLineOption cues(
        QStringLiteral("cues"),
        tr("The file of the cue list (default: %1 beside the scene file).")
            .arg(CueFile::fileName()),
        QStringLiteral("FILE"));
    const QCommandLineOption choosePort(
        QStringLiteral("choose-port"),
        tr("Show the port dialog first, even when the last port can be opened."));
    const QCommandLineOption osc(
        QStringLiteral("osc"),
        tr("Take remote control by OSC messages over UDP on PORT, at the local ADDRESS (default "
           "%1: this computer only; name an address of a network to be reached from it).")
            .arg(SocketAddress::defaultHost()),
        QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption oscFeedback(
        QStringLiteral("osc-feedback"),
        tr("Also send every level change as OSC to HOST:PORT, besides the remote controls heard "
           "from in the last ten minutes; may be given more than once. Levels go as ints 0..99, "
           "or with ,float after the port as floats 0.0..1.0."),
        QStringLiteral("HOST:PORT[,float]"));
    const QCommandLineOption web(
        QStringLiteral("web"),
        tr("Serve the web remote, a page that phones join by its code, over HTTP on TCP PORT, "
           "at the local ADDRESS (default %1: this computer only; name an address of a "
           "network to be reached from it).")
            .arg(SocketAddress::defaultHost()),
        QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption sacn(
        QStringLiteral("sacn"),
        tr("Take a lighting console's levels by sACN (E1.31) on UDP port 5568, sent to this "
           "computer or to the universe's multicast group: UNIVERSE 1..63999; slots START to "
           "START+7 (START 1..505, default 1) are channels 1 to 8."),
        QStringLiteral("UNIVERSE[/START]"));
    const QCommandLineOption artNet(
        QStringLiteral("artnet"),
        tr("Take a lighting console's levels by Art-Net on UDP port 6454 on every address, and "
           "answer its polls: UNIVERSE is the port-address 0..32767, or NET:SUB:UNI; START as "
           "for --sacn."),
        QStringLiteral("UNIVERSE[/START]"));
    const QCommandLineOption netInterface(
        QStringLiteral("net-interface"),
        tr("The network interface on which --sacn joins its universe's multicast group "
           "(default: every interface that is up, the loopback included)."),
        QStringLiteral("NAME"));
    const QCommandLineOption midi(
        QStringLiteral("midi"),
        tr("Take a MIDI control surface: the input (and the output, for its lights and motor "
           "faders) whose name holds PATTERN; and offer the panel's own MIDI port, %1, that "
           "other programs connect to.")
            .arg(QStringLiteral("dimmer-panel")),
        QStringLiteral("PATTERN"));
    const QCommandLineOption midiProfile(
        QStringLiteral("midi-profile"),
        tr("What the surface's controls do: a built-in profile (%1) or a profile file. Without "
           "it, the profile that learn keeps, else generic.")
            .arg(QStringLiteral("generic, nanokontrol2, xtouch-mini, apc-mini")),
        QStringLiteral("NAME|FILE"));
    const QCommandLineOption midiApi(
        QStringLiteral("midi-api"),
        tr("The MIDI system: alsa (the default) or jack; jack where the computer has no ALSA "
           "sequencer."),
        QStringLiteral("alsa|jack"));
    const QCommandLineOption midiList(
        QStringLiteral("midi-list"),
        tr("List the MIDI inputs and outputs that --midi can name, and end."));
    parser.addOption(port);
    parser.addOption(choosePort);
    parser.addOption(sceneFile);
    parser.addOption(cues);
    parser.addOption(osc);
    parser.addOption(oscFeedback);
    parser.addOption(web);
    parser.addOption(sacn);
    parser.addOption(artNet);
    parser.addOption(netInterface);
    parser.addOption(midi);
    parser.addOption(midiProfile);
    parser.addOption(midiApi);
    parser.addOption(midiList);

    Options options;
    options.verdict = CommandLine::parse(parser, arguments);
    if (options.verdict.outcome != CommandLine::Outcome::Run)
        return options;
    options.portGiven = parser.isSet(port);
    options.choosePort = parser.isSet(choosePort);
    options.portName = options.portGiven ? parser.value(port) : SerialLink::defaultPortName();
    options.sceneFileGiven = parser.isSet(sceneFile);
    options.sceneFile = parser.value(sceneFile);
    options.cuesFile = parser.value(cues);
    if (options.sceneFileGiven && options.sceneFile.isEmpty())
        options.verdict = CommandLine::usageError(parser, tr("--scene-file needs a file name."));
    else if (parser.isSet(cues) && options.cuesFile.isEmpty())
        options.verdict = CommandLine::usageError(parser, tr("--cues needs a file name."));
    else if (options.portName.isEmpty())
        options.verdict = CommandLine::usageError(parser, tr("--port needs a device name."));
    else if (options.portGiven && options.choosePort)
        options.verdict = CommandLine::usageError(
            parser, tr("--choose-port asks for the dialog, --port names the port: give one."));
    else if (const QString problem = readRemoteOptions(parser, osc, oscFeedback, options);
             !problem.isEmpty())
        options.verdict = CommandLine::usageError(parser, problem);
    else if (const QString problem = readWebOption(parser, web, options); !problem.isEmpty())
        options.verdict = CommandLine::usageError(parser, problem);
    else if (const QString problem =
                 readNetworkOptions(parser, sacn, artNet, netInterface, options);
             !problem.isEmpty())
        options.verdict = CommandLine::usageError(parser, problem);
    else if (const QString problem =
                 readMidiOptions(parser, midi, midiProfile, midiApi, midiList, options);
             !problem.isEmpty())
        options.verdict = CommandLine::usageError(parser, problem);
    return options;
}
