#include "app/commandline.h"
#include "app/errorreport.h"
#include "app/options.h"
#include "app/qttranslations.h"
#include "control/module1.h"
#include "link/seriallink.h"
#include "scenes/scenefile.h"
#include "ui/form1.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("dimmer-panel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DIMMER_PANEL_VERSION));

    // Options first: --help and a wrong option need no display.
    const Options options = Options::parse(CommandLine::argumentsOf(argc, argv));
    if (options.outcome == Options::Outcome::ExitOk) {
        CommandLine::print(stdout, options.output);
        return 0;
    }
    if (options.outcome == Options::Outcome::UsageError) {
        CommandLine::print(stderr, options.output);
        return 2;
    }

    QApplication application(argc, argv);
    // The board's panel was drawn for one look; the fixed control places assume it.
    QApplication::setStyle(QStringLiteral("Fusion"));
    installQtTranslations(application, QLocale());

    Module1 state;
    SerialLink link;
    const SceneFile scenes = options.sceneFileGiven ? SceneFile(options.sceneFile)
                                                    : SceneFile(SceneFile::defaultPath(), true);
    const ErrorReport report = ErrorReport::messageBoxes();
    QObject::connect(&link, &SerialLink::failed, &application, report.fatal);

    Form1 panel(state, link, scenes, report);
    QString error;
    if (!panel.Form_Load(options.portName, &error))
        report.fatal(error);
    panel.show();
    const int status = QApplication::exec();
    // Every packet already handed to the port reaches the line before the port goes.
    if (const qint64 lost = link.drain(); lost > 0) {
        CommandLine::print(stderr, QStringLiteral("dimmer-panel: %1 bytes for %2 were not "
                                                  "delivered: the line took none for too long.\n")
                                       .arg(lost)
                                       .arg(link.portName()));
    }
    return status;
}
