#include "board/boardoptions.h"
#include "board/boardwindow.h"
#include "board/devicelink.h"
#include "board/dumpwriter.h"
#include "board/pseudoterminal.h"
#include "board/serialline.h"
#include "board/virtualboard.h"
#include "cli/commandline.h"
#include "cli/signalwatcher.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

int run(const BoardOptions &options, QCoreApplication &application)
{
    SignalWatcher watcher(&application);
    QObject::connect(&watcher, &SignalWatcher::quitRequested, &application,
                     &QCoreApplication::quit);
    VirtualBoard board(&application);
    PseudoTerminal terminal(&application);
    SerialLine line(&application);
    DeviceLink link;
    QString devicePath = options.devicePath;
    QString error;

    if (devicePath.isEmpty()) {
        terminal.setFullSpeed(options.fullSpeed);
        if (!terminal.open(&error)) {
            CommandLine::print(stderr, error + QLatin1Char('\n'));
            return 1;
        }
        QObject::connect(&terminal, &PseudoTerminal::bytesArrived, &board, &VirtualBoard::receive);
        devicePath = terminal.devicePath();
    } else {
        if (!line.open(devicePath, &error)) {
            CommandLine::print(stderr, error + QLatin1Char('\n'));
            return 1;
        }
        QObject::connect(&line, &SerialLine::bytesArrived, &board, &VirtualBoard::receive);
        QObject::connect(&line, &SerialLine::failed, &application, [](const QString &message) {
            CommandLine::print(stderr, message + QLatin1Char('\n'));
            QCoreApplication::exit(1);
        });
    }
    if (!options.linkPath.isEmpty() && !link.create(options.linkPath, devicePath, &error)) {
        CommandLine::print(stderr, error + QLatin1Char('\n'));
        return 1;
    }
    // The path comes only now, so that a script that reads it finds the link in place.
    CommandLine::print(stdout, devicePath + QLatin1Char('\n'));

    if (options.dump) {
        DumpWriter writer(stdout, &application);
        QObject::connect(&board, &VirtualBoard::eventDecoded, &writer, &DumpWriter::write);
        QObject::connect(&writer, &DumpWriter::streamLost, &application, &QCoreApplication::quit);
        const int status = QCoreApplication::exec();
        // Bytes that arrived just before the end are told too, as cut short, so that
        // every byte fed is accounted for.
        board.finish();
        return status;
    }
    BoardWindow window(board, devicePath);
    // The panel opens at the window system's default place, usually the top left; keep
    // the lamps beside it, at the right of the screen, so that both can be watched.
    if (const QScreen *screen = window.screen()) {
        const QRect free = screen->availableGeometry();
        window.move(qMax(free.left(), free.right() - window.frameGeometry().width()), free.top());
    }
    window.show();
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    // Before anything can start a thread, which would inherit an unblocked mask.
    SignalWatcher::blockQuitSignals();
    // A reader that goes away shows as a failed write, which ends the board cleanly.
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication::setApplicationName(QStringLiteral("dimmer-board"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DIMMER_BOARD_VERSION));
    // The desktop matches the window to its menu entry, and so to its name and icon, by
    // this id: on Wayland it is the only link between the two.
    QGuiApplication::setDesktopFileName(QStringLiteral(DIMMER_BOARD_DESKTOP_ID));
    const BoardOptions options = BoardOptions::parse(CommandLine::argumentsOf(argc, argv));
    if (options.verdict.outcome != CommandLine::Outcome::Run)
        return CommandLine::exitWith(options.verdict);

    std::unique_ptr<QCoreApplication> application;
    if (options.dump) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        application = std::make_unique<QApplication>(argc, argv);
        QApplication::setStyle(QStringLiteral("Fusion"));
    }
    return run(options, *application);
}
