#include "app/errorreport.h"
#include "app/options.h"
#include "app/qttranslations.h"
#include "cli/commandline.h"
#include "cli/signalwatcher.h"
#include "control/module1.h"
#include "link/seriallink.h"
#include "scenes/scenefile.h"
#include "ui/form1.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLocale>

#include <csignal>

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

    // Options first: --help and a wrong option need no display.
    const Options options = Options::parse(CommandLine::argumentsOf(argc, argv));
    if (options.verdict.outcome != CommandLine::Outcome::Run)
        return CommandLine::exitWith(options.verdict);

    QApplication application(argc, argv);
    // The board's panel was drawn for one look; the fixed control places assume it.
    QApplication::setStyle(QStringLiteral("Fusion"));
    installQtTranslations(application, QLocale());

    Module1 state;
    SerialLink link;
    const SceneFile scenes = options.sceneFileGiven ? SceneFile(options.sceneFile)
                                                    : SceneFile(SceneFile::defaultPath(), true);
    Form1 panel(state, link, scenes);
    QString error;
    if (!panel.Form_Load(options.portName, &error)) {
        if (!options.portGiven && link.problem() == PortProblem::Kind::Missing) {
            error += QLatin1String("\n\n") +
                     QCoreApplication::translate("main", "Name the board's device with --port, "
                                                         "for example --port /dev/ttyUSB0.");
        }
        ErrorReport::failedToStart(error);
        return 1;
    }
    ErrorReport report;
    QObject::connect(&link, &SerialLink::failed, &report, &ErrorReport::fatal);
    QObject::connect(&panel, &Form1::failed, &report, &ErrorReport::fatal);
    QObject::connect(&panel, &Form1::warned, &report, &ErrorReport::warning);
    // Logging out, or Ctrl+C in a terminal, closes the panel as its close box does.
    SignalWatcher quitSignals(&application);
    QObject::connect(&quitSignals, &SignalWatcher::quitRequested, &application,
                     &QCoreApplication::quit);

    panel.show();
    const int status = QApplication::exec();
    // Every packet already handed to the port reaches the line before the port goes.
    if (const qint64 lost = link.release(); lost > 0) {
        ErrorReport::print(QCoreApplication::translate("main", "%1 bytes for %2 were not "
                                                               "delivered: the line took none "
                                                               "for too long.")
                               .arg(lost)
                               .arg(link.portName()));
    }
    return status;
}
