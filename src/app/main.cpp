#include "app/boardsession.h"
#include "app/errorreport.h"
#include "app/options.h"
#include "app/panelsettings.h"
#include "app/remotemodules.h"
#include "app/userfiles.h"
#include "cli/commandline.h"
#include "cli/signalwatcher.h"
#include "cli/translations.h"
#include "control/desk.h"
#include "dmx/networkinput.h"
#include "link/portnames.h"
#include "link/seriallink.h"
#include "scenes/cuefile.h"
#include "scenes/scenefile.h"
#include "ui/form1.h"
#include "ui/joindialog.h"
#include "ui/midimarks.h"
#include "ui/portdialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>

namespace {

// What main itself tells the operator.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(Startup)
};

// The panel's own texts (errors, warnings, the port dialog, --help) have their translations;
// its captions, the question's title and prompt and the scene file's name are the same in
// every language.
const QString Catalogue = QStringLiteral("dimmer-panel");

// How long the fade time must stay still before it is written to the settings.
constexpr std::chrono::milliseconds FadeWriteDelay{500};

// Options first, in the user's language: --help and a wrong option need no display.
Options parseOptions(int argc, char **argv)
{
    QCoreApplication commandLine(argc, argv);
    installTranslations(commandLine, QLocale(), Catalogue);
    return Options::parse(CommandLine::argumentsOf(argc, argv));
}

// The port named with --port, else the one chosen in the port dialog last time, else the
// board's fixed one; when that will not open, when the remembered one is not to be trusted
// (see PanelSettings::doubt), or when asked, the operator chooses in a dialog, and only that
// choice is remembered. The port that opened, as it was named; empty when none did.
QString openPort(const Options &options, Form1 &panel, SerialLink &link, PanelSettings &memory)
{
    QString error;
    if (options.portGiven) {
        // Scripts rely on a failure here ending the program.
        if (panel.Form_Load(options.portName, &error))
            return options.portName;
        ErrorReport::failedToStart(error);
        return {};
    }
    const QString remembered = memory.remembered();
    const QString candidate = remembered.isEmpty() ? SerialLink::defaultPortName() : remembered;
    error = memory.doubt();
    if (!options.choosePort && error.isEmpty() && panel.Form_Load(candidate, &error))
        return candidate;
    PortDialog dialog(link, candidate, error);
    if (dialog.exec() == QDialog::Accepted) {
        memory.remember(dialog.openedPort());
        return dialog.openedPort();
    }
    ErrorReport::print(Texts::tr("No port was opened, so the panel did not start."));
    return {};
}

// Remote control over OSC when --osc asks for it, and the web remote when --web does, with the
// button that shows how a phone joins it, once the board's port is open. A port for either
// that cannot be had fails the start, as the board's port does.
bool startRemotes(const Options &options, RemoteModules &remotes, Form1 &panel)
{
    QString error;
    if (options.osc && !remotes.startOsc(*options.osc, options.oscFeedback, &error)) {
        ErrorReport::failedToStart(error);
        return false;
    }
    if (!options.web)
        return true;
    if (!remotes.startWeb(*options.web, UserFiles::stateFolder(), &error)) {
        ErrorReport::failedToStart(error);
        return false;
    }
    panel.offerWebRemote();
    WebRemote *remote = remotes.web();
    QObject::connect(&panel, &Form1::webRemoteAsked, &panel, [remote, &panel] {
        JoinDialog dialog(
            remote->joinAddress(),
            [remote](const QByteArray &text) { return remote->qrCode(text); }, &panel);
        QObject::connect(&dialog, &JoinDialog::renewAsked, &dialog, [remote, &dialog] {
            QString problem;
            if (remote->renewToken(&problem))
                dialog.setAddress(remote->joinAddress());
            else
                QMessageBox::warning(&dialog, dialog.windowTitle(), problem);
        });
        dialog.exec();
    });
    return true;
}

// --midi-list: the ports the MIDI system has, in the user's language, on stdout.
int listMidiPorts(int argc, char **argv, const MidiSettings &settings)
{
    QCoreApplication application(argc, argv);
    installTranslations(application, QLocale(), Catalogue);
    QStringList inputs;
    QStringList outputs;
    QString error;
    if (!RemoteModules::listMidi(settings, &inputs, &outputs, &error)) {
        ErrorReport::print(error);
        return 1;
    }
    QString text;
    for (const auto &[title, names] : {std::pair(Texts::tr("MIDI inputs:"), inputs),
                                       std::pair(Texts::tr("MIDI outputs:"), outputs)}) {
        text += title + QLatin1Char('\n');
        for (const QString &name : names)
            text += QStringLiteral("  ") + name + QLatin1Char('\n');
        if (names.isEmpty())
            text += QStringLiteral("  ") + Texts::tr("(none)") + QLatin1Char('\n');
    }
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}

// The MIDI surface when --midi asks for it, with its pickup marks and learn button on the
// panel. A surface that is not there yet is waited for; a profile that cannot be read, or a
// MIDI system that cannot be opened, fails the start, as a port for OSC does.
bool startMidi(const Options &options, RemoteModules &remotes, Form1 &panel)
{
    if (!options.midi)
        return true;
    MidiSettings settings = *options.midi;
    // The operator's profile, which learn writes, beside the panel's settings.
    settings.operatorProfile =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .filePath(QStringLiteral("dimmer-panel/midi.profile"));
    QString error;
    if (!remotes.startMidi(settings, &error)) {
        ErrorReport::failedToStart(error);
        return false;
    }
    remotes.midi()->showOn(new MidiMarks(&panel));
    return true;
}

// A console's levels over the network when --sacn or --artnet asks for them, and their state
// beside the line's. A port or a group that cannot be had fails the start, as for OSC.
bool startNetwork(const Options &options, Desk &desk, Form1 &panel,
                  std::optional<NetworkInput> &network)
{
    if (!options.sacn && !options.artNet)
        return true;
    network.emplace(desk);
    QString error;
    if ((options.sacn && !network->listenSacn(*options.sacn, options.netInterface, &error)) ||
        (options.artNet && !network->listenArtNet(*options.artNet, &error))) {
        ErrorReport::failedToStart(error);
        return false;
    }
    NetworkInput *input = &*network;
    const auto show = [input, &panel] {
        panel.showNetworkState(input->stateText(), input->stateToolTip(),
                               Form1::NetworkLook(input->look()));
    };
    QObject::connect(input, &NetworkInput::stateChanged, &panel, show);
    show();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Before anything can start a thread, which would inherit an unblocked mask.
    SignalWatcher::blockQuitSignals();
    // A save that meets the file-size limit then fails with an error, which puts the
    // record back, rather than ending the panel half-way through it.
    std::signal(SIGXFSZ, SIG_IGN);
    // The virtual board's unplug and plug signals: `pkill -USR1 dimmer` meant for the board
    // reaches the panel too, whose default would be to end at once, without its last bytes.
    std::signal(SIGUSR1, SIG_IGN);
    std::signal(SIGUSR2, SIG_IGN);
    QCoreApplication::setApplicationName(QStringLiteral("dimmer-panel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DIMMER_PANEL_VERSION));
    // The desktop matches the window to its menu entry, and so to its name and icon, by
    // this id: on Wayland it is the only link between the two.
    QGuiApplication::setDesktopFileName(QStringLiteral(DIMMER_PANEL_DESKTOP_ID));

    const Options options = parseOptions(argc, argv);
    if (options.verdict.outcome != CommandLine::Outcome::Run)
        return CommandLine::exitWith(options.verdict);
    if (options.midiList)
        return listMidiPorts(argc, argv, *options.midi);

    QApplication application(argc, argv);
    // The board's panel was drawn for one look; the fixed control places assume it.
    QApplication::setStyle(QStringLiteral("Fusion"));
    installTranslations(application, QLocale(), Catalogue);
    // Logging out, or Ctrl+C in a terminal, closes the panel as its close box does, and
    // ends a port dialog or a message at start-up as their Cancel does.
    // (quit() would be ignored before the main loop runs.)
    SignalWatcher quitSignals(&application);
    QObject::connect(&quitSignals, &SignalWatcher::quitRequested, &application,
                     [] { QCoreApplication::exit(0); });

    // A mistyped scene file is told now, not at the first recall in the middle of a show.
    SceneFile scenes = options.sceneFileGiven ? SceneFile(options.sceneFile)
                                              : SceneFile(SceneFile::defaultPath(), true);
    if (const QString problem = scenes.problem(); !problem.isEmpty()) {
        ErrorReport::failedToStart(problem);
        return 1;
    }

    BoardSession board(scenes);
    SerialLink &link = board.link();
    Desk &desk = board.desk();
    // The show's cue list, beside its scenes unless named.
    CueList cues;
    CueFile cueFile(options.cuesFile.isEmpty()
                        ? QFileInfo(scenes.path()).dir().filePath(CueFile::fileName())
                        : options.cuesFile,
                    cues);
    desk.setCueList(&cues);
    Form1 panel(desk, link);
    PanelSettings memory;
    if (!memory.problem().isEmpty())
        ErrorReport::print(memory.problem());
    const QString port = openPort(options, panel, link, memory);
    if (port.isEmpty())
        return 1;
    board.begin(port, UserFiles::stateFolder());
    LampMemory &lamps = *board.lamps();
    // The fade time is the operator's habit, kept between starts; written once it stops
    // changing (a spin box turned by the wheel, a remote's stream), and at exit.
    desk.apply(Intent{Intent::Kind::FadeTime, 0, memory.fadeTime(), std::nullopt, {}});
    QTimer fadeWrite;
    fadeWrite.setSingleShot(true);
    fadeWrite.setInterval(FadeWriteDelay);
    QObject::connect(&desk, &Desk::fadeTimeChanged, &fadeWrite, qOverload<>(&QTimer::start));
    QObject::connect(&fadeWrite, &QTimer::timeout, &desk,
                     [&] { memory.rememberFadeTime(desk.fadeTime()); });
    RemoteModules remotes(desk, link);
    if (!startRemotes(options, remotes, panel) || !startMidi(options, remotes, panel))
        return 1;
    std::optional<NetworkInput> network;
    if (!startNetwork(options, desk, panel, network))
        return 1;

    ErrorReport report;
    QObject::connect(&desk, &Desk::failed, &report, &ErrorReport::fatal);
    QObject::connect(&panel, &Form1::warned, &report, &ErrorReport::warning);
    // A save that fails (what the lamps hold, the cue list) is no reason to stop the show,
    // nor to hold anything up with a window: the line's strip says so until a save
    // succeeds, with the reasons in its tool tip, and stderr once.
    QStringList keeping(2);
    const auto keepingProblem = [&panel, &keeping](int which, const QString &why) {
        keeping[which] = why;
        QStringList problems = keeping;
        problems.removeAll(QString());
        panel.showKeepingProblem(problems.join(QLatin1Char('\n')));
        if (!why.isEmpty())
            ErrorReport::print(why);
    };
    QObject::connect(&lamps, &LampMemory::keepingChanged, &panel,
                     [keepingProblem](const QString &why) { keepingProblem(0, why); });
    QObject::connect(&cueFile, &CueFile::keepingChanged, &panel,
                     [keepingProblem](const QString &why) { keepingProblem(1, why); });

    panel.show();
    QStringList atStart;
    for (const QString &problem : {lamps.problem(), cueFile.problem()}) {
        if (!problem.isEmpty())
            atStart << problem;
    }
    if (const int unsent = lamps.unsentLastTime(); unsent > 0 && lamps.recalled()) {
        atStart << Texts::tr("When the panel was last closed, changes had not reached the "
                             "board on %1 (%2 of them). The panel shows what the lamps show.")
                       .arg(port)
                       .arg(unsent);
    }
    if (!atStart.isEmpty())
        QTimer::singleShot(0, &report,
                           [&] { report.warning(atStart.join(QStringLiteral("\n\n"))); });
    const int status = QApplication::exec();
    if (fadeWrite.isActive())
        memory.rememberFadeTime(desk.fadeTime());
    for (const QString &counts : remotes.countsSummaries())
        ErrorReport::print(counts);
    for (const auto protocol : {DmxPatch::Protocol::Sacn, DmxPatch::Protocol::ArtNet}) {
        if (network && network->isFollowing(protocol)) {
            const DmxCounts &counts = network->counts(protocol);
            ErrorReport::print(protocol == DmxPatch::Protocol::Sacn ? counts.sacnSummary()
                                                                    : counts.artNetSummary());
        }
    }
    board.end();
    cueFile.flush();
    return status;
}
