#include "support/childoutput.h"
#include "support/wire.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

// dimmer-board as a script meets it: the device path on the first line, one dump line for
// each event written to that device, the link that comes and goes with the board and its
// line, and the exit codes of its command line.
class tst_BoardProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dumpsWhatArrives_data();
    void dumpsWhatArrives();
    void burstArrivesWholeInOrder_data();
    void burstArrivesWholeInOrder();
    void survivesPanelClosingWithoutSpinning();
    void killedPanelLeavesLineUsable();
    void bytesHeldAtQuitAreReported();
    void linkComesAndGoes_data();
    void linkComesAndGoes();
    void linkLeavesOtherFilesAlone();
    void unplugAndPlugIn();
    void endsWhenReaderGoes();
    void listensOnDevice();
    void commandLine_data();
    void commandLine();
};

namespace {

constexpr int Timeout = 5000;

using Wire::packet;

// A frame that a cooked line would mangle: newlines, carriage returns, the interrupt,
// end-of-file and flow-control characters, DEL.
QByteArray controlFrame()
{
    const std::array<char, 12> controls{'\n', '\r', 0x03, 0x04,   0x11,   0x13,
                                        0x1a, 0x1c, 0x7f, '\x00', '\xff', 0x08};
    QByteArray body;
    for (int i = 0; i < 96; ++i)
        body += controls[std::size_t(i) % controls.size()];
    return '\xfa' + body + '\xfb';
}

// The board under test, with its stdout read line by line; in the language given, as the
// desktop sets it, or else in the test's own.
class BoardProcess
{
public:
    explicit BoardProcess(const QStringList &arguments, const QString &language = {})
    {
        if (!language.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
                environment.remove(QString::fromLatin1(name));
            environment.insert(QStringLiteral("LANG"), language);
            m_process.setProcessEnvironment(environment);
        }
        m_process.start(QStringLiteral(DIMMER_BOARD_PROGRAM), arguments);
    }
    ~BoardProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(Timeout);
        }
    }

    QProcess &process() { return m_process; }

    // The next line without its newline; empty with the board's stderr on timeout.
    QByteArray readLine(QString *problem)
    {
        const QStringList lines = m_output.lines(1, Timeout);
        if (!lines.isEmpty())
            return lines.first().toLocal8Bit();
        *problem = QStringLiteral("no line from dimmer-board (%1); stderr: %2")
                       .arg(m_process.state() == QProcess::NotRunning
                                ? QStringLiteral("it ended with %1").arg(m_process.exitCode())
                                : QStringLiteral("timed out"),
                            m_output.error());
        return {};
    }
    bool waitForError(const QString &text) { return m_output.waitForError(text, Timeout); }

private:
    QProcess m_process;
    ChildOutput m_output{m_process};
};

// The slave opened as a plain file, as a program that knows nothing of serial lines
// would: the board's own raw settings are all that keep the bytes as they are.
class Device
{
public:
    explicit Device(const QByteArray &path)
        : m_descriptor(::open(path.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC)),
          m_error(m_descriptor < 0 ? errno : 0)
    {}
    ~Device()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }

    QString problem() const
    {
        return m_descriptor >= 0 ? QString()
                                 : QStringLiteral("cannot open the board's device: %1")
                                       .arg(QString::fromLocal8Bit(std::strerror(m_error)));
    }
    bool write(const QByteArray &bytes)
    {
        return ::write(m_descriptor, bytes.constData(), std::size_t(bytes.size())) ==
               ssize_t(bytes.size());
    }
    // What a panel meets when its adapter is pulled out.
    bool isHungUp()
    {
        pollfd entry{m_descriptor, POLLOUT, 0};
        const char byte = 0;
        return ::poll(&entry, 1, Timeout) == 1 && (entry.revents & POLLHUP) != 0 &&
               ::write(m_descriptor, &byte, 1) < 0 && errno == EIO;
    }

private:
    int m_descriptor;
    int m_error;
};

// The processor time a process has used, in clock ticks.
long cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields 14 and 15 (utime, stime) after the command name, which may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLong() + fields[12].toLong() : -1;
}

} // namespace

// Whether a program holds the device for its exclusive use: others, root aside, are then
// refused with EBUSY.
bool isHeldExclusively(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY;
    int exclusive = 0;
    const bool held = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    ::close(fd);
    return held;
}

// Starts the board, reads its device path or fails with the reason.
#define START_BOARD(board, path)                                                                  \
    QString problem;                                                                              \
    const QByteArray path = (board).readLine(&problem);                                           \
    QVERIFY2(!path.isEmpty(), qPrintable(problem));                                               \
    QVERIFY2(QFileInfo(QString::fromLocal8Bit(path)).exists(),                                    \
             qPrintable(QStringLiteral("the first line '%1' is no device")                        \
                            .arg(QString::fromLocal8Bit(path))))

#define READ_LINE(board, expected)                                                                \
    do {                                                                                          \
        const QByteArray got = (board).readLine(&problem);                                        \
        QVERIFY2(!got.isEmpty(), qPrintable(problem));                                            \
        QCOMPARE(QString::fromLatin1(got), QString(expected));                                    \
    } while (false)

void tst_BoardProgram::dumpsWhatArrives_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("level") << packet(3, 10, 40) << QStringList{"level 3 40 f1 03 0a 28 fa"};
    QTest::newRow("master") << packet(10, 10, 99) << QStringList{"master 99 f1 0a 0a 63 fa"};
    QTest::newRow("mode") << packet(5, 11, 0) << QStringList{"mode 6 f1 05 0b 00 fa"};
    QTest::newRow("controlBytes") << controlFrame()
                                  << QStringList{"scenes " + controlFrame().toHex(' ')};
    // A lost packet start: the tail is dropped and the next packet still comes out.
    QTest::newRow("midPacket") << QByteArray("\x0a\x28\xfa", 3) + packet(4, 10, 50)
                               << QStringList{"dropped 2 stray-byte 0a 28",
                                              "dropped 1 cut-short fa",
                                              "level 4 50 f1 04 0a 32 fa"};
}

void tst_BoardProgram::dumpsWhatArrives()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);

    BoardProcess board({QStringLiteral("--dump")});
    START_BOARD(board, path);
    Device device(path);
    QVERIFY2(device.problem().isEmpty(), qPrintable(device.problem()));
    QVERIFY2(device.write(bytes), "writing to the board's device failed");
    for (const QString &line : lines)
        READ_LINE(board, line);
}

void tst_BoardProgram::burstArrivesWholeInOrder_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("line-pace") << QStringList{"--dump"};
    QTest::newRow("full-speed") << QStringList{"--dump", "--full-speed"};
}

void tst_BoardProgram::burstArrivesWholeInOrder()
{
    QFETCH(QStringList, arguments);
    BoardProcess board(arguments);
    START_BOARD(board, path);
    Device device(path);
    QVERIFY2(device.problem().isEmpty(), qPrintable(device.problem()));
    // Far more than the line carries at once, in one write: a panel without pacing.
    QByteArray burst;
    QStringList lines;
    for (int i = 0; i < 60; ++i) {
        burst += packet(i % 8, 10, i);
        lines << QStringLiteral("level %1 %2 ").arg(i % 8).arg(i) +
                     packet(i % 8, 10, i).toHex(' ');
        if (i == 30) {
            burst += controlFrame();
            lines << "scenes " + controlFrame().toHex(' ');
        }
    }
    burst += packet(10, 10, 99);
    lines << "master 99 f1 0a 0a 63 fa";
    QVERIFY2(device.write(burst), "writing to the board's device failed");
    for (const QString &line : lines)
        READ_LINE(board, line);
}

void tst_BoardProgram::survivesPanelClosingWithoutSpinning()
{
    BoardProcess board({QStringLiteral("--dump")});
    START_BOARD(board, path);
    const qint64 pid = board.process().processId();
    const long ticksBefore = cpuTicks(pid);
    QElapsedTimer wall;
    wall.start();
    // Each stray byte is told only after the line has been quiet for a while, so the
    // board sits idle with no panel attached for most of this loop.
    for (int round = 0; round < 4; ++round) {
        {
            Device device(path);
            QVERIFY2(device.problem().isEmpty(), qPrintable(device.problem()));
            QVERIFY(device.write(packet(round, 10, 10 + round) + QByteArray(1, '\x00')));
        }
        READ_LINE(board, QStringLiteral("level %1 %2 f1 %3 0a %4 fa")
                             .arg(round)
                             .arg(10 + round)
                             .arg(round, 2, 10, QLatin1Char('0'))
                             .arg(10 + round, 2, 16, QLatin1Char('0')));
        READ_LINE(board, "dropped 1 stray-byte 00");
    }
    const long ticks = cpuTicks(pid) - ticksBefore;
    const double seconds = double(ticks) / double(::sysconf(_SC_CLK_TCK));
    QVERIFY2(ticksBefore >= 0 && seconds < 0.5 * double(wall.elapsed()) / 1000.0,
             qPrintable(QStringLiteral("the board used %1 s of processor in %2 s")
                            .arg(seconds)
                            .arg(double(wall.elapsed()) / 1000.0)));
}

void tst_BoardProgram::killedPanelLeavesLineUsable()
{
    BoardProcess board({QStringLiteral("--dump")});
    START_BOARD(board, path);
    QProcess panel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    panel.setProcessEnvironment(environment);
    QTemporaryDir folder;
    panel.start(QStringLiteral(DIMMER_PANEL_PROGRAM),
                {QStringLiteral("--port"), QString::fromLocal8Bit(path),
                 QStringLiteral("--scene-file"), folder.filePath(QStringLiteral("s.co"))});
    QTRY_VERIFY_WITH_TIMEOUT(isHeldExclusively(path), Timeout);
    // No close of its own: the exclusive use outlives it unless the board ends it.
    panel.kill();
    QVERIFY(panel.waitForFinished(Timeout));
    QTRY_VERIFY_WITH_TIMEOUT(!isHeldExclusively(path), Timeout);
    Device device(path);
    QVERIFY2(device.problem().isEmpty(), qPrintable(device.problem()));
    QVERIFY(device.write(packet(2, 10, 20)));
    READ_LINE(board, "level 2 20 f1 02 0a 14 fa");
}

void tst_BoardProgram::bytesHeldAtQuitAreReported()
{
    // At full speed, so that every byte written has been read when the signal comes.
    BoardProcess board({QStringLiteral("--dump"), QStringLiteral("--full-speed")});
    START_BOARD(board, path);
    {
        Device device(path);
        QVERIFY2(device.problem().isEmpty(), qPrintable(device.problem()));
        QVERIFY(device.write(packet(1, 10, 5) + QByteArray("\xf1\x03\x0a", 3)));
    }
    READ_LINE(board, "level 1 5 f1 01 0a 05 fa");
    // Well within the quiet time after which a stalled message counts as cut short.
    QVERIFY(::kill(pid_t(board.process().processId()), SIGTERM) == 0);
    READ_LINE(board, "dropped 3 cut-short f1 03 0a");
    QVERIFY(board.process().waitForFinished(Timeout));
    QCOMPARE(board.process().exitCode(), 0);
}

void tst_BoardProgram::linkComesAndGoes_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("term") << int(SIGTERM);
    QTest::newRow("interrupt") << int(SIGINT);
    QTest::newRow("hangUp") << int(SIGHUP);
}

void tst_BoardProgram::linkComesAndGoes()
{
    QFETCH(int, signalNumber);
    QTemporaryDir folder;
    QVERIFY2(folder.isValid(), qPrintable(folder.errorString()));
    const QString link = folder.filePath(QStringLiteral("ttyBOARD"));

    BoardProcess board({QStringLiteral("--dump"), QStringLiteral("--link"), link});
    START_BOARD(board, path);
    QVERIFY2(QFileInfo(link).isSymLink(), "the link was not there with the first line");
    QCOMPARE(QFile::symLinkTarget(link), QString::fromLocal8Bit(path));
    {
        Device device(QFile::encodeName(link));
        QVERIFY2(device.problem().isEmpty(), qPrintable(device.problem()));
        QVERIFY(device.write(packet(6, 10, 7)));
        READ_LINE(board, "level 6 7 f1 06 0a 07 fa");
    }
    QVERIFY(::kill(pid_t(board.process().processId()), signalNumber) == 0);
    QVERIFY2(board.process().waitForFinished(Timeout), "the board did not end on the signal");
    QCOMPARE(board.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(board.process().exitCode(), 0);
    QVERIFY2(!QFileInfo(link).isSymLink() && !QFileInfo::exists(link),
             "the link outlived the board");
}

void tst_BoardProgram::linkLeavesOtherFilesAlone()
{
    QTemporaryDir folder;
    QVERIFY2(folder.isValid(), qPrintable(folder.errorString()));
    const QString taken = folder.filePath(QStringLiteral("taken"));
    {
        QFile file(taken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
    }
    BoardProcess refused({QStringLiteral("--dump"), QStringLiteral("--link"), taken});
    QVERIFY(refused.process().waitForFinished(Timeout));
    QCOMPARE(refused.process().exitCode(), 1);
    QVERIFY2(refused.process().readAllStandardOutput().isEmpty(), "a path printed anyway");
    QFile file(taken);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep"));

    // A link left by a board that was killed is replaced.
    const QString stale = folder.filePath(QStringLiteral("stale"));
    QVERIFY(QFile::link(QStringLiteral("/nonexistent/pts"), stale));
    BoardProcess board({QStringLiteral("--dump"), QStringLiteral("--link"), stale});
    START_BOARD(board, path);
    QCOMPARE(QFile::symLinkTarget(stale), QString::fromLocal8Bit(path));
}

void tst_BoardProgram::unplugAndPlugIn()
{
    QTemporaryDir folder;
    QVERIFY2(folder.isValid(), qPrintable(folder.errorString()));
    const QString link = folder.filePath(QStringLiteral("ttyBOARD"));
    // At full speed, so that all of a write has been read when its first line comes.
    BoardProcess board({QStringLiteral("--dump"), QStringLiteral("--full-speed"),
                        QStringLiteral("--link"), link});
    START_BOARD(board, path);
    const auto pid = pid_t(board.process().processId());
    Device before(QFile::encodeName(link));
    QVERIFY2(before.problem().isEmpty(), qPrintable(before.problem()));
    QVERIFY(before.write(packet(2, 10, 30) + QByteArray("\xf1\x05\x0a", 3)));
    READ_LINE(board, "level 2 30 f1 02 0a 1e fa");
    // Well within the quiet time: the pull cuts the message short, not the pause.
    QVERIFY(::kill(pid, SIGUSR1) == 0);
    READ_LINE(board, "dropped 3 cut-short f1 05 0a");
    READ_LINE(board, "unplugged");
    QVERIFY2(before.isHungUp(), "the line did not hang up on the panel's side");
    QVERIFY2(!QFileInfo(link).isSymLink(), "the link outlived the line");

    // Pulling out what is out, and plugging in what is in, do nothing: no line for them.
    QVERIFY(::kill(pid, SIGUSR1) == 0);
    QVERIFY(::kill(pid, SIGUSR2) == 0);
    const QByteArray plugged = board.readLine(&problem);
    QVERIFY2(plugged.startsWith("plugged /"), qPrintable(problem + QString::fromLatin1(plugged)));
    QCOMPARE(QFile::symLinkTarget(link), QString::fromLocal8Bit(plugged.mid(8)));
    QVERIFY(::kill(pid, SIGUSR2) == 0);
    Device after(QFile::encodeName(link));
    QVERIFY2(after.problem().isEmpty(), qPrintable(after.problem()));
    QVERIFY(after.write(packet(10, 10, 64)));
    READ_LINE(board, "master 64 f1 0a 0a 40 fa");
}

void tst_BoardProgram::endsWhenReaderGoes()
{
    QTemporaryDir folder;
    QVERIFY2(folder.isValid(), qPrintable(folder.errorString()));
    const QString link = folder.filePath(QStringLiteral("ttyBOARD"));
    // head takes the path and goes, as a script that has read all it wanted would.
    const QString script = QStringLiteral("\"$0\" --dump --link \"$1\" | head -n 1");
    QProcess pipeline;
    pipeline.start(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"), script, QStringLiteral(DIMMER_BOARD_PROGRAM), link});
    QVERIFY2(pipeline.waitForReadyRead(Timeout),
             qPrintable(QString::fromLocal8Bit(pipeline.readAllStandardError())));
    QTRY_VERIFY_WITH_TIMEOUT(pipeline.canReadLine(), Timeout);
    const QByteArray path = pipeline.readLine().chopped(1);
    QVERIFY2(QFileInfo(link).isSymLink(), "no link while the board runs");
    Device device(path);
    QVERIFY2(device.problem().isEmpty(), qPrintable(device.problem()));
    QVERIFY(device.write(packet(1, 10, 1)));
    QVERIFY2(pipeline.waitForFinished(Timeout), "the board outlived its reader");
    QCOMPARE(pipeline.exitCode(), 0);
    QVERIFY2(!QFileInfo(link).isSymLink(), "the link outlived the board");
}

void tst_BoardProgram::listensOnDevice()
{
    // A pseudo-terminal of the test's own stands for a real line.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY2(master >= 0, qPrintable(QStringLiteral("cannot open a pseudo-terminal: %1")
                                         .arg(QString::fromLocal8Bit(std::strerror(errno)))));
    const auto closeMaster = qScopeGuard([master] { ::close(master); });
    QVERIFY2(::grantpt(master) == 0 && ::unlockpt(master) == 0, "cannot unlock the terminal");
    const QString slave = QString::fromLocal8Bit(::ptsname(master));

    BoardProcess board({QStringLiteral("--dump"), QStringLiteral("--device"), slave});
    START_BOARD(board, path);
    QCOMPARE(QString::fromLocal8Bit(path), slave);
    // Only the adapter can be pulled out of a real line.
    QVERIFY(::kill(pid_t(board.process().processId()), SIGUSR1) == 0);
    QVERIFY2(board.waitForError(QStringLiteral("Signal %1 ignored").arg(SIGUSR1)),
             "no word that the board cannot pull a real line out");
    const QByteArray bytes = packet(9, 11, 0) + controlFrame();
    QCOMPARE(::write(master, bytes.constData(), std::size_t(bytes.size())), ssize_t(bytes.size()));
    READ_LINE(board, "mode 10 f1 09 0b 00 fa");
    READ_LINE(board, "scenes " + controlFrame().toHex(' '));
}

void tst_BoardProgram::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutHas");
    QTest::addColumn<QString>("stderrHas");

    const QString chinese = QStringLiteral("zh_TW.UTF-8");
    QTest::newRow("unknown") << QStringList{"--frobnicate"} << QString() << 2 << QString()
                             << QStringLiteral("--dump");
    QTest::newRow("positional") << QStringList{"extra"} << QString() << 2 << QString()
                                << QStringLiteral("Unexpected argument 'extra'");
    QTest::newRow("linkAndDevice")
        << QStringList{"--link", "/tmp/x", "--device", "/dev/null"} << QString() << 2 << QString()
        << QStringLiteral("cannot go with --device");
    QTest::newRow("linkAndDeviceInChinese")
        << QStringList{"--link", "/tmp/x", "--device", "/dev/null"} << chinese << 2 << QString()
        << QStringLiteral("不能與 --device 一起使用");
    QTest::newRow("fullSpeedAndDevice")
        << QStringList{"--full-speed", "--device", "/dev/null"} << QString() << 2 << QString()
        << QStringLiteral("--device line runs at its own speed");
    QTest::newRow("helpTellsThePace") << QStringList{"--help"} << QString() << 0
                                      << QStringLiteral("960 bytes a second") << QString();
    QTest::newRow("help") << QStringList{"--help"} << QString() << 0
                          << QStringLiteral("dropped N REASON HEX") << QString();
    // The dump's own words stay as scripts read them; only what they mean is translated.
    QTest::newRow("helpInChinese")
        << QStringList{"--help"} << chinese << 0
        << QStringLiteral("  dropped N REASON HEX  調光器無法使用的 N 個位元組") << QString();
    QTest::newRow("helpTellsThePlug")
        << QStringList{"--help"} << QString() << 0 << QStringLiteral("plugged PATH") << QString();
    QTest::newRow("version") << QStringList{"--version"} << QString() << 0
                             << QStringLiteral("dimmer-board ") << QString();
    QTest::newRow("noDevice") << QStringList{"--dump", "--device", "/nonexistent/ttyX"}
                              << QString() << 1 << QString()
                              << QStringLiteral("/nonexistent/ttyX");
}

void tst_BoardProgram::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, language);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutHas);
    QFETCH(QString, stderrHas);

    BoardProcess board(arguments, language);
    QVERIFY2(board.process().waitForFinished(Timeout), "the board did not end");
    const QString out = QString::fromLocal8Bit(board.process().readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(board.process().readAllStandardError());
    QCOMPARE(board.process().exitCode(), exitCode);
    QVERIFY2(out.contains(stdoutHas), qPrintable(out));
    QVERIFY2(err.contains(stderrHas), qPrintable(err));
}

QTEST_GUILESS_MAIN(tst_BoardProgram)
#include "tst_boardprogram.moc"
