#include "app/errorreport.h"
#include "app/lampmemory.h"
#include "app/options.h"
#include "app/panelsettings.h"
#include "app/translations.h"
#include "app/userfiles.h"
#include "app/webremotemodule.h"
#include "cli/commandline.h"
#include "cli/signalwatcher.h"
#include "control/desk.h"
#include "link/portnames.h"
#include "link/seriallink.h"
#include "remote/oscserver.h"
#include "scenes/scenefile.h"
#include "ui/form1.h"
#include "ui/joindialog.h"
#include "ui/portdialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <optional>

namespace {

// What main itself tells the operator.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(Startup)
};

// How long the fade time must stay still before it is written to the settings.
constexpr std::chrono::milliseconds FadeWriteDelay{500};

// Options first, in the user's language: --help and a wrong option need no display.
Options parseOptions(int argc, char **argv)
{
    QCoreApplication commandLine(argc, argv);
    installTranslations(commandLine, QLocale());
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

// Remote control when --osc asks for it, once the board's port is open. A port for it
// that cannot be had fails the start, as the board's port does.
bool startRemote(const Options &options, Desk &desk, std::optional<OscServer> &remote)
{
    if (!options.osc)
        return true;
    remote.emplace(desk);
    for (const Options::FeedbackTarget &target : options.oscFeedback)
        remote->addFeedbackTarget(target.to, target.form);
    QString error;
    if (remote->listen(*options.osc, &error))
        return true;
    ErrorReport::failedToStart(error);
    return false;
}

// The web remote when --web asks for it, loaded from its module, with the button that shows
// how a phone joins it. A port for it that cannot be had fails the start, as for OSC.
bool startWeb(const Options &options, Desk &desk, SerialLink &link, Form1 &panel,
              std::optional<WebRemoteModule> &web)
{
    if (!options.web)
        return true;
    web.emplace(desk, link);
    QString error;
    if (!web->start(*options.web, options.webName, UserFiles::stateFolder(), &error)) {
        ErrorReport::failedToStart(error);
        return false;
    }
    panel.offerWebRemote();
    WebRemote *remote = &web->remote();
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

} // namespace

int main(int argc, char **argv)
{
    // Before anything can start a thread, which would inherit an unblocked mask.
    SignalWatcher::blockQuitSignals();
    // A save that meets the file-size limit then fails with an error, which puts the
    // record back, rather than ending the panel half-way through it.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication::setApplicationName(QStringLiteral("dimmer-panel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DIMMER_PANEL_VERSION));
    // The desktop matches the window to its menu entry, and so to its name and icon, by
    // this id: on Wayland it is the only link between the two.
    QGuiApplication::setDesktopFileName(QStringLiteral(DIMMER_PANEL_DESKTOP_ID));

    const Options options = parseOptions(argc, argv);
    if (options.verdict.outcome != CommandLine::Outcome::Run)
        return CommandLine::exitWith(options.verdict);

    QApplication application(argc, argv);
    // The board's panel was drawn for one look; the fixed control places assume it.
    QApplication::setStyle(QStringLiteral("Fusion"));
    installTranslations(application, QLocale());
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

    SerialLink link;
    Desk desk(link, scenes);
    Form1 panel(desk, link);
    PanelSettings memory;
    if (!memory.problem().isEmpty())
        ErrorReport::print(memory.problem());
    const QString port = openPort(options, panel, link, memory);
    if (port.isEmpty())
        return 1;
    // The lamps kept what they were last sent while the panel was closed.
    LampMemory lamps(PortNames::stable(port), UserFiles::stateFolder());
    if (const auto recalled = lamps.recalled())
        desk.restore(*recalled);
    lamps.follow(desk);
    // The fade time is the operator's habit, kept between starts; written once it stops
    // changing (a spin box turned by the wheel, a remote's stream), and at exit.
    desk.setFadeTime(memory.fadeTime());
    QTimer fadeWrite;
    fadeWrite.setSingleShot(true);
    fadeWrite.setInterval(FadeWriteDelay);
    QObject::connect(&desk, &Desk::fadeTimeChanged, &fadeWrite, qOverload<>(&QTimer::start));
    QObject::connect(&fadeWrite, &QTimer::timeout, &desk,
                     [&] { memory.rememberFadeTime(desk.fadeTime()); });
    std::optional<OscServer> remote;
    if (!startRemote(options, desk, remote))
        return 1;
    std::optional<WebRemoteModule> web;
    if (!startWeb(options, desk, link, panel, web))
        return 1;

    ErrorReport report;
    // A line that goes away is waited for; when it is back, the board gets the whole state.
    QObject::connect(&link, &SerialLink::restored, &desk, &Desk::sendAll);
    QObject::connect(&desk, &Desk::failed, &report, &ErrorReport::fatal);
    QObject::connect(&panel, &Form1::warned, &report, &ErrorReport::warning);
    QObject::connect(&lamps, &LampMemory::failed, &report, &ErrorReport::warning);

    panel.show();
    if (!lamps.problem().isEmpty())
        QTimer::singleShot(0, &report, [&] { report.warning(lamps.problem()); });
    const int status = QApplication::exec();
    lamps.flush();
    if (fadeWrite.isActive())
        memory.rememberFadeTime(desk.fadeTime());
    if (remote)
        ErrorReport::print(remote->counts().summary());
    if (web)
        ErrorReport::print(web->remote().countsSummary());
    // Every packet already handed to the port reaches the line before the port goes.
    if (const qint64 lost = link.release(); lost > 0) {
        ErrorReport::print(
            Texts::tr("%1 bytes for %2 were not delivered: the line took none for too "
                      "long.")
                .arg(lost)
                .arg(link.portName()));
    }
    return status;
}
