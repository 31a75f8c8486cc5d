#include "board/boardoptions.h"
#include "board/boardwindow.h"
#include "board/dumpwriter.h"
#include "board/lineplug.h"
#include "board/serialline.h"
#include "board/virtualboard.h"
#include "cli/commandline.h"
#include "cli/signalwatcher.h"
#include "cli/translations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// What main itself tells the operator.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(Startup)
};

// The board's texts in the user's language; what it prints for scripts (the device path,
// the dump's lines) is the same in every language.
const QString Catalogue = QStringLiteral("dimmer-board");

// As an operator pulls a USB serial adapter out and plugs it in again.
constexpr int UnplugSignal = SIGUSR1;
constexpr int PlugInSignal = SIGUSR2;

int run(const BoardOptions &options, QCoreApplication &application)
{
    SignalWatcher quitSignals(&application);
    QObject::connect(&quitSignals, &SignalWatcher::quitRequested, &application,
                     &QCoreApplication::quit);
    SignalWatcher plugSignals({UnplugSignal, PlugInSignal}, &application);
    VirtualBoard board(&application);
    LinePlug plug(board, &application);
    SerialLine line(&application);
    const bool ownLine = options.devicePath.isEmpty();
    QString devicePath = options.devicePath;
    QString error;

    if (ownLine) {
        plug.setFullSpeed(options.fullSpeed);
        plug.setLinkPath(options.linkPath);
        if (!plug.plugIn(&error)) {
            CommandLine::print(stderr, error + QLatin1Char('\n'));
            return 1;
        }
        devicePath = plug.devicePath();
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
    // The path comes only now, so that a script that reads it finds the link in place.
    CommandLine::print(stdout, devicePath + QLatin1Char('\n'));

    std::unique_ptr<DumpWriter> writer;
    if (options.dump) {
        writer = std::make_unique<DumpWriter>(stdout, nullptr);
        QObject::connect(&board, &VirtualBoard::eventDecoded, writer.get(), &DumpWriter::write);
        QObject::connect(writer.get(), &DumpWriter::streamLost, &application,
                         &QCoreApplication::quit);
    }
    // A script learns of the new device whether or not the board has a window; but a
    // window that nobody reads on stdout any more stays open all the same.
    const auto tell = [&writer](const QByteArray &text) {
        if (writer)
            writer->writeLine(text);
        else
            CommandLine::print(stdout, QString::fromLocal8Bit(text) + QLatin1Char('\n'));
    };
    QObject::connect(&plug, &LinePlug::unplugged, &application,
                     [&tell] { tell(DumpWriter::unpluggedLine()); });
    QObject::connect(&plug, &LinePlug::pluggedIn, &application,
                     [&tell](const QString &path) { tell(DumpWriter::pluggedLine(path)); });
    QObject::connect(&plug, &LinePlug::failed, &application, [](const QString &message) {
        CommandLine::print(stderr, message + QLatin1Char('\n'));
    });
    QObject::connect(&plugSignals, &SignalWatcher::caught, &application, [&](int signalNumber) {
        if (ownLine) {
            plug.setPluggedIn(signalNumber == PlugInSignal);
            return;
        }
        // The real line is pulled out at its own adapter: this board only listens to it.
        CommandLine::print(stderr, Texts::tr("Signal %1 ignored: a --device line cannot be "
                                             "unplugged by the board.")
                                           .arg(signalNumber) +
                                       QLatin1Char('\n'));
    });

    if (options.dump) {
        const int status = QCoreApplication::exec();
        // Bytes that arrived just before the end are told too, as cut short, so that
        // every byte fed is accounted for.
        board.finish();
        return status;
    }
    const auto window = ownLine ? std::make_unique<BoardWindow>(board, plug)
                                : std::make_unique<BoardWindow>(board, devicePath);
    // The panel opens at the window system's default place, usually the top left; keep
    // the lamps beside it, at the right of the screen, so that both can be watched.
    if (const QScreen *screen = window->screen()) {
        const QRect free = screen->availableGeometry();
        window->move(qMax(free.left(), free.right() - window->frameGeometry().width()),
                     free.top());
    }
    window->show();
    return QCoreApplication::exec();
}

// Options first, in the user's language: --help and a wrong option need no display, and
// whether there is one at all depends on --dump.
BoardOptions parseOptions(int argc, char **argv)
{
    QCoreApplication commandLine(argc, argv);
    installTranslations(commandLine, QLocale(), Catalogue);
    return BoardOptions::parse(CommandLine::argumentsOf(argc, argv));
}

} // namespace

int main(int argc, char **argv)
{
    // Before anything can start a thread, which would inherit an unblocked mask.
    SignalWatcher::blockQuitSignals();
    SignalWatcher::block({UnplugSignal, PlugInSignal});
    // A reader that goes away shows as a failed write, which ends the board cleanly.
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication::setApplicationName(QStringLiteral("dimmer-board"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DIMMER_BOARD_VERSION));
    // The desktop matches the window to its menu entry, and so to its name and icon, by
    // this id: on Wayland it is the only link between the two.
    QGuiApplication::setDesktopFileName(QStringLiteral(DIMMER_BOARD_DESKTOP_ID));
    const BoardOptions options = parseOptions(argc, argv);
    if (options.verdict.outcome != CommandLine::Outcome::Run)
        return CommandLine::exitWith(options.verdict);

    std::unique_ptr<QCoreApplication> application;
    if (options.dump) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        application = std::make_unique<QApplication>(argc, argv);
        QApplication::setStyle(QStringLiteral("Fusion"));
    }
    installTranslations(*application, QLocale(), Catalogue);
    return run(options, *application);
}
