#include "link/portproblem.h"
#include "link/seriallink.h"
#include "support/childoutput.h"
#include "support/files.h"
#include "support/osc.h"
#include "support/oscclient.h"
#include "support/ptypair.h"
#include "support/unusabledevice.h"
#include "support/wire.h"
#include "support/xserver.h"
#include "ui/form1table.h"
#include "ui/form2table.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// The real dimmer-panel program in a child process: its options, the ports it cannot
// open, each reported in a message box and on stderr before any window shows, the
// failures that end it while it runs, and that it lets go of the port on every way out.
class tst_Startup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void usageErrorWithoutDisplay();
    void badPort_data();
    void badPort();
    void speaksTheUsersLanguage_data();
    void speaksTheUsersLanguage();
    void sceneFileCheckedAtStart_data();
    void sceneFileCheckedAtStart();
    void badSceneFile_data();
    void badSceneFile();
    void saveMeetsFileSizeLimit();
    void deadLineWhileRunning();
    void quitSignals_data();
    void quitSignals();
    void portDialogThenRemembered();
    void portDialogCancelled_data();
    void portDialogCancelled();
    void remoteControl();
    void remotePortInUse_data();
    void remotePortInUse();

private:
    std::unique_ptr<XServer> m_x;
};

namespace {

const QString Panel = QStringLiteral(DIMMER_PANEL_BINARY);

using Outcome = ChildOutput::Outcome;

// The marks that runUntilReported() and ChildOutput leave in a child's stderr for what
// went wrong around it.
bool hasTroubleMark(const QString &err)
{
    for (const char *mark :
         {"<no message box>", "<the panel was shown>", "<did not end>", "<no report of"}) {
        if (err.contains(QLatin1String(mark)))
            return true;
    }
    return false;
}

// Runs as nobody, so that a device's permissions apply (root may open anything).
void becomeNobody()
{
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
        ::_exit(99);
}

// Starts the panel on the private display; when stderr says expectedError, answers the
// message box that should then be up with Enter, and waits for the end.
Outcome runUntilReported(const XServer &x, const QStringList &arguments,
                         const QString &expectedError, bool asNobody = false,
                         const QString &language = {})
{
    QProcess process;
    QProcessEnvironment environment = x.environment();
    if (!language.isEmpty()) {
        for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            environment.remove(name);
        environment.insert("LANG", language);
    }
    process.setProcessEnvironment(environment);
    if (asNobody)
        process.setChildProcessModifier(becomeNobody);
    process.start(Panel, arguments);
    if (!process.waitForStarted())
        return {-1, {}, process.errorString()};
    ChildOutput output(process);
    QString problems;
    if (output.waitForError(expectedError)) {
        const QString box = x.waitForWindow(QStringLiteral("dimmer-panel"));
        // The panel itself must not be up behind the message.
        if (!x.waitForWindow(QStringLiteral("Form1"), 0).isEmpty())
            problems += QStringLiteral("<the panel was shown>");
        if (!box.isEmpty())
            x.xdotool({"windowfocus", "--sync", box, "key", "Return"});
        else
            problems += QStringLiteral("<no message box>");
    }
    Outcome outcome = output.finish();
    outcome.err += problems;
    return outcome;
}

// The panel up and running on a line, its window active, as after an operator's click.
class RunningPanel
{
public:
    // configHome: where the panel keeps its settings; empty: the X server's own.
    RunningPanel(const XServer &x, const QStringList &arguments, const QString &configHome = {},
                 bool waitForPanel = true)
        : m_x(x)
    {
        QProcessEnvironment environment = x.environment();
        if (!configHome.isEmpty())
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
        // Each run starts as on a new computer: the lamps' state of a pseudo-terminal's
        // number used before is no one's.
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_state.path());
        m_process.setProcessEnvironment(environment);
        m_process.start(Panel, arguments);
        if (waitForPanel)
            waitForPanelWindow();
    }

    void waitForPanelWindow()
    {
        if (m_process.state() != QProcess::NotRunning || m_process.waitForStarted())
            window = m_x.waitForWindow(QStringLiteral("Form1"));
        if (!window.isEmpty())
            m_x.focus(window);
    }
    ~RunningPanel()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QString problem()
    {
        if (!window.isEmpty())
            return {};
        return QStringLiteral("the panel did not come up (%1, exit %2): %3")
            .arg(m_process.errorString())
            .arg(m_process.exitCode())
            .arg(output.error());
    }

    void click(QPoint at) const { m_x.click(window, at); }

    // Stores scene key + 1 through the store image, the scene key window and Yes.
    bool storeScene(int key) const
    {
        click(Form1Table::Image2.toPixels().center());
        const QString keys = m_x.waitForUntitledWindow(QSize(322, 261));
        if (keys.isEmpty())
            return false;
        m_x.click(keys, Form2Table::Image1(key).toPixels().center());
        const QString question = m_x.waitForWindow(QStringLiteral("確定對話方塊"));
        if (question.isEmpty())
            return false;
        m_x.xdotool({"windowfocus", "--sync", question, "key", "alt+y"});
        return true;
    }

    // Answers the error's message box with Enter and waits for the end.
    Outcome acknowledgeAndFinish(const QString &expectedError)
    {
        if (!output.waitForError(expectedError))
            return {-1, {}, output.error() + "<no report of: " + expectedError + ">"};
        const QString box = m_x.waitForWindow(QStringLiteral("dimmer-panel"));
        if (box.isEmpty())
            return {-1, {}, output.error() + "<no message box>"};
        m_x.xdotool({"windowfocus", "--sync", box, "key", "Return"});
        return output.finish();
    }

    QProcess &process() { return m_process; }

    QString window;

private:
    const XServer &m_x;
    QTemporaryDir m_state;
    QProcess m_process;

public:
    ChildOutput output{m_process};
};

// Nothing of the panel is left on the line: no lock file, no exclusive use.
QString leftOnLine(const PtyPair &line)
{
    if (line.isExclusive())
        return QStringLiteral("the line is still held for exclusive use");
    for (const QString &folder : PortProblem::lockFolders()) {
        const QString lock = QDir(folder).filePath(PortProblem::lockFileName(line.slavePath()));
        if (QFile::exists(lock))
            return QStringLiteral("the lock file %1 is still there").arg(lock);
    }
    return {};
}

} // namespace

void tst_Startup::initTestCase()
{
    QVERIFY2(QFile::exists(Panel), qPrintable(Panel));
    m_x = std::make_unique<XServer>();
    QVERIFY2(m_x->isRunning(), qPrintable(m_x->errorString()));
}

void tst_Startup::usageErrorWithoutDisplay()
{
    QProcess process;
    // No display at all: a usage error needs none.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(environment);
    process.start(Panel, {"--bogus"});
    QVERIFY(process.waitForStarted());
    const Outcome outcome = ChildOutput(process).finish();
    QCOMPARE(outcome.status, 2);
    QVERIFY2(outcome.err.contains("Unknown option 'bogus'") &&
                 outcome.err.contains("Usage: dimmer-panel"),
             qPrintable(outcome.err));
}

void tst_Startup::badPort_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("has");
    QTest::addColumn<QStringList>("hasNot");
    // The --port hint helps only where no port was named; every row names one.
    const QStringList noHint = {"--port", "$USER"};
    QTest::newRow("missing") << "missing" << QStringList{"no such device"} << noHint;
    QTest::newRow("not-a-serial-port")
        << "file" << QStringList{"a file, not a serial device"} << noHint;
    QTest::newRow("in-use") << "busy" << QStringList{"in use by tst_startup (process"} << noHint;
    // Locked by the device's own name: a second way to the same line is refused too.
    QTest::newRow("in-use-through-a-link")
        << "busy-link" << QStringList{"in use by tst_startup (process", "(that is /dev/pts/"}
        << noHint;
    QTest::newRow("path-too-long-to-lock")
        << "long" << QStringList{"too long to be locked"} << noHint + QStringList{"in use"};
    // Read as markup, the name would have the message box read /dev/zero without end.
    QTest::newRow("markup-in-the-name") << "markup" << QStringList{"no such device"} << noHint;
    QTest::newRow("the-operator's-terminal")
        << "terminal" << QStringList{"the terminal of whatever program opens it"} << noHint;
    QTest::newRow("a-lock-file-of-a-program-that-ended")
        << "stale-lock"
        << QStringList{"a program which no longer runs", "/run/lock/LCK..pts_",
                       "which belongs to root", "'sudo rm /run/lock/LCK..pts_"}
        << noHint;
    QTest::newRow("no-group-may-use-it")
        << "owner-only" << QStringList{"only its owner root", "the user nobody", "udev rule"}
        << noHint + QStringList{"adduser"};
    QTest::newRow("a-group-may-use-it")
        << "group" << QStringList{"'sudo adduser nobody dialout'", "log in again"} << noHint;
}

void tst_Startup::badPort()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, has);
    QFETCH(QStringList, hasNot);
    UnusableDevice device(kind);
    if (device.needsRoot() && ::geteuid() != 0)
        QSKIP("acting as another user needs root");
    QVERIFY2(device.problem().isEmpty(), qPrintable(device.problem()));
    const QString sceneFile = device.filePath("s.co");
    const Outcome outcome =
        runUntilReported(*m_x, {"--port", device.path(), "--scene-file", sceneFile},
                         "Cannot open the serial port", device.forNobody());
    QVERIFY2(outcome.status == 1, qPrintable(outcome.err));
    QVERIFY2(outcome.err.contains("Cannot open the serial port " + device.path()),
             qPrintable(outcome.err));
    for (const QString &text : has)
        QVERIFY2(outcome.err.contains(text), qPrintable(outcome.err));
    for (const QString &text : hasNot)
        QVERIFY2(!outcome.err.contains(text), qPrintable(outcome.err));
    QVERIFY2(!hasTroubleMark(outcome.err), qPrintable(outcome.err));
    QCOMPARE(device.line().readAvailable(), QByteArray());
    // Start-up touches no scene file.
    QVERIFY(!QFile::exists(sceneFile));
}

void tst_Startup::speaksTheUsersLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("message");
    QTest::newRow("traditional-chinese") << "zh_TW.UTF-8"
                                         << "無法開啟串列埠 /nonexistent/ttyUSB9：沒有這個裝置";
    QTest::newRow("english") << "C.UTF-8"
                             << "Cannot open the serial port /nonexistent/ttyUSB9: there is "
                                "no such device";
}

void tst_Startup::speaksTheUsersLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const Outcome outcome = runUntilReported(
        *m_x, {"--port", "/nonexistent/ttyUSB9", "--scene-file", folder.filePath("s.co")}, message,
        false, language);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
    QVERIFY2(!hasTroubleMark(outcome.err), qPrintable(outcome.err));
}

void tst_Startup::sceneFileCheckedAtStart_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a-folder-in-its-place") << "folder"
                                           << "it is a folder";
    QTest::newRow("mistyped-folder") << "no-folder"
                                     << "there is no folder";
    QTest::newRow("a-file-for-a-folder") << "file-parent"
                                         << "is not a folder";
    QTest::newRow("not-the-user's") << "forbidden"
                                    << "Permission denied";
}

void tst_Startup::sceneFileCheckedAtStart()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    QString path = folder.filePath("lightLevel.co");
    bool asNobody = false;
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "no-folder") {
        path = folder.filePath("shwo/lightLevel.co");
    } else if (kind == "file-parent") {
        QVERIFY(QFile(folder.filePath("show")).open(QIODevice::WriteOnly));
        path = folder.filePath("show/lightLevel.co");
    } else {
        if (::geteuid() != 0)
            QSKIP("acting as another user needs root");
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
        QVERIFY(::chmod(QFile::encodeName(line.slavePath()).constData(), 0666) == 0);
        asNobody = true;
    }
    const Outcome outcome =
        runUntilReported(*m_x, {"--port", line.slavePath(), "--scene-file", path},
                         "Cannot use the scene file", asNobody);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains(path) && outcome.err.contains(reason), qPrintable(outcome.err));
    QVERIFY2(!hasTroubleMark(outcome.err), qPrintable(outcome.err));
    QVERIFY(!QFile::exists(folder.filePath("shwo")));
    QCOMPARE(line.readAvailable(), QByteArray());
    QVERIFY(!line.isExclusive());
}

void tst_Startup::badSceneFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("replaced-by-a-folder") << "folder"
                                          << "Is a directory";
    QTest::newRow("disk-full") << "full"
                               << "No space left on device";
}

void tst_Startup::badSceneFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    const QString path =
        kind == "full" ? QStringLiteral("/dev/full") : folder.filePath("lightLevel.co");
    RunningPanel panel(*m_x, {"--port", line.slavePath(), "--scene-file", path});
    QVERIFY2(panel.problem().isEmpty(), qPrintable(panel.problem()));
    if (kind == "full") {
        QVERIFY2(panel.storeScene(0), "the scene key window or its question did not come up");
    } else {
        // Something else put a folder where the file should be, after the panel started.
        QVERIFY(QDir().mkpath(path));
        panel.click(Form1Table::Command5.toPixels().center()); // the download reads them all
    }
    const Outcome outcome = panel.acknowledgeAndFinish("the scene file");
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains(path) && outcome.err.contains(reason), qPrintable(outcome.err));
    // Nothing reached the line: no frame from a file that could not be read.
    QCOMPARE(line.readAvailable(), QByteArray());
    const QString left = leftOnLine(line);
    QVERIFY2(left.isEmpty(), qPrintable(left));
}

void tst_Startup::saveMeetsFileSizeLimit()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    const QString path = folder.filePath("lightLevel.co");
    const QByteArray before(8, '\x11');
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == 8);
    file.close();
    RunningPanel panel(*m_x, {"--port", line.slavePath(), "--scene-file", path});
    QVERIFY2(panel.problem().isEmpty(), qPrintable(panel.problem()));
    // Scene 2 lies at bytes 8..15: the limit lets half of it in. Set once the panel is
    // up, since its port's lock file would not fit either.
    const rlimit limit{12, 12};
    QVERIFY(::prlimit(pid_t(panel.process().processId()), RLIMIT_FSIZE, &limit, nullptr) == 0);
    QVERIFY2(panel.storeScene(1), "the scene key window or its question did not come up");
    const Outcome outcome = panel.acknowledgeAndFinish("Cannot write the scene file");
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains("File too large"), qPrintable(outcome.err));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(Wire::hex(file.readAll()), Wire::hex(before));
}

void tst_Startup::deadLineWhileRunning()
{
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    QTemporaryDir folder;
    RunningPanel panel(*m_x,
                       {"--port", line.slavePath(), "--scene-file", folder.filePath("s.co")});
    QVERIFY2(panel.problem().isEmpty(), qPrintable(panel.problem()));
    // Full on for channel 1, then the line goes away and full on for channel 2.
    panel.click(Form1Table::Command1(0).toPixels().center());
    QCOMPARE(line.read(5).toHex(), QByteArray("f1000a63fa"));
    line.closeMaster();
    panel.click(Form1Table::Command1(1).toPixels().center());
    // The panel stays, and waits for the line.
    QVERIFY(!panel.process().waitForFinished(1000));
    QVERIFY(::kill(pid_t(panel.process().processId()), SIGTERM) == 0);
    QCOMPARE(panel.output.finish().status, 0);
}

void tst_Startup::quitSignals_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("ends");
    QTest::newRow("term") << int(SIGTERM) << true;
    QTest::newRow("interrupt") << int(SIGINT) << true;
    QTest::newRow("hang-up") << int(SIGHUP) << true;
    // The virtual board's unplug and plug, sent to every program named dimmer.
    QTest::newRow("board-unplug") << int(SIGUSR1) << false;
    QTest::newRow("board-plug") << int(SIGUSR2) << false;
}

void tst_Startup::quitSignals()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, ends);
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    QTemporaryDir folder;
    RunningPanel panel(*m_x,
                       {"--port", line.slavePath(), "--scene-file", folder.filePath("s.co")});
    QVERIFY2(panel.problem().isEmpty(), qPrintable(panel.problem()));
    QVERIFY(line.isExclusive());
    panel.click(Form1Table::Command3.toPixels().center());
    QCOMPARE(line.read(5).toHex(), QByteArray("f10a0a63fa"));
    // As a desktop's log-out or Ctrl+C in a terminal: a close, not a crash.
    QVERIFY(::kill(pid_t(panel.process().processId()), signalNumber) == 0);
    if (!ends) {
        QVERIFY(!panel.process().waitForFinished(500));
        panel.click(Form1Table::Command2(0).toPixels().center());
        QCOMPARE(line.read(5).toHex(), QByteArray("f1000a00fa"));
        QVERIFY(::kill(pid_t(panel.process().processId()), SIGTERM) == 0);
    }
    const Outcome outcome = panel.output.finish();
    QCOMPARE(outcome.status, 0);
    const QString left = leftOnLine(line);
    QVERIFY2(left.isEmpty(), qPrintable(left));
}

namespace {

// A settings folder whose remembered port is gone, as after the adapter was unplugged.
bool rememberGonePort(const QTemporaryDir &config)
{
    if (!QDir().mkpath(config.filePath("dimmer-panel")))
        return false;
    QFile file(config.filePath("dimmer-panel/dimmer-panel.conf"));
    return file.open(QIODevice::WriteOnly) &&
           file.write("[General]\nport=/dev/serial/by-id/usb-gone-if00-port0\n") > 0;
}

} // namespace

void tst_Startup::portDialogThenRemembered()
{
    PtyPair line;
    PtyPair other;
    QVERIFY2(line.isOpen() && other.isOpen(), qPrintable(line.errorString()));
    QTemporaryDir config;
    QTemporaryDir folder;
    QVERIFY(rememberGonePort(config));
    const QStringList arguments = {"--scene-file", folder.filePath("s.co")};
    const QString dialogTitle = "The dimmer board's serial port";
    {
        RunningPanel panel(*m_x, arguments, config.path(), false);
        const QString dialog = m_x->waitForWindow(dialogTitle);
        QVERIFY2(!dialog.isEmpty(), qPrintable("no port dialog: " + panel.output.error()));
        // The path field has the keyboard, holding the port that failed: type over it.
        m_x->xdotool({"windowfocus", "--sync", dialog, "key", "ctrl+a", "type", line.slavePath()});
        m_x->xdotool({"key", "Return"});
        panel.waitForPanelWindow();
        QVERIFY2(panel.problem().isEmpty(), qPrintable(panel.problem()));
        panel.click(Form1Table::Command1(2).toPixels().center());
        QCOMPARE(line.read(5).toHex(), QByteArray("f1020a63fa"));
        QVERIFY(::kill(pid_t(panel.process().processId()), SIGTERM) == 0);
        QCOMPARE(panel.output.finish().status, 0);
    }
    // The choice is remembered; a port named on the command line is for its run only.
    const QString settings = config.filePath("dimmer-panel/dimmer-panel.conf");
    const QByteArray remembered = Files::bytes(settings);
    QVERIFY2(remembered.contains("port=" + QFile::encodeName(line.slavePath())),
             remembered.constData());
    {
        RunningPanel panel(*m_x, arguments + QStringList{"--port", other.slavePath()},
                           config.path());
        QVERIFY2(panel.problem().isEmpty(), qPrintable(panel.problem()));
        QVERIFY(::kill(pid_t(panel.process().processId()), SIGTERM) == 0);
        QCOMPARE(panel.output.finish().status, 0);
    }
    QCOMPARE(Files::bytes(settings), remembered);
    // A pseudo-terminal's number goes to the next terminal that asks: it is not opened from
    // memory, but offered in the dialog, where Enter takes it.
    RunningPanel again(*m_x, arguments, config.path(), false);
    const QString dialog = m_x->waitForWindow(dialogTitle);
    QVERIFY2(!dialog.isEmpty(), qPrintable("no port dialog: " + again.output.error()));
    QVERIFY(!line.isExclusive());
    m_x->xdotool({"windowfocus", "--sync", dialog, "key", "Return"});
    again.waitForPanelWindow();
    QVERIFY2(again.problem().isEmpty(), qPrintable(again.problem()));
    again.click(Form1Table::Command1(3).toPixels().center());
    QCOMPARE(line.read(5).toHex(), QByteArray("f1030a63fa"));
}

void tst_Startup::portDialogCancelled_data()
{
    QTest::addColumn<bool>("bySignal");
    QTest::newRow("escape") << false;
    // Ctrl+C in the terminal that started it, or the desktop logging out.
    QTest::newRow("interrupt") << true;
}

void tst_Startup::portDialogCancelled()
{
    QFETCH(bool, bySignal);
    QTemporaryDir config;
    QTemporaryDir folder;
    QVERIFY(rememberGonePort(config));
    RunningPanel panel(*m_x, {"--scene-file", folder.filePath("s.co")}, config.path(), false);
    const QString dialog = m_x->waitForWindow("The dimmer board's serial port");
    QVERIFY2(!dialog.isEmpty(), qPrintable("no port dialog: " + panel.output.error()));
    if (bySignal)
        QVERIFY(::kill(pid_t(panel.process().processId()), SIGINT) == 0);
    else
        m_x->xdotool({"windowfocus", "--sync", dialog, "key", "Escape"});
    const Outcome outcome = panel.output.finish();
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains("No port was opened"), qPrintable(outcome.err));
    QVERIFY(m_x->waitForWindow("Form1", 0).isEmpty());
}

namespace {

// A UDP port of the loopback that nothing holds now.
quint16 freeUdpPort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress::LocalHost, 0) ? probe.localPort() : 0;
}

} // namespace

void tst_Startup::remoteControl()
{
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    QTemporaryDir folder;
    OscClient tablet;
    QVERIFY2(tablet.failure().isEmpty(), qPrintable(tablet.failure()));
    OscClient named;
    QVERIFY2(named.failure().isEmpty(), qPrintable(named.failure()));
    const quint16 port = freeUdpPort();
    QVERIFY(port != 0);
    RunningPanel panel(*m_x, {"--port", line.slavePath(), "--scene-file", folder.filePath("s.co"),
                              "--osc", QStringLiteral("127.0.0.1:%1").arg(port), "--osc-feedback",
                              QStringLiteral("localhost:%1").arg(named.port())});
    QVERIFY2(panel.problem().isEmpty(), qPrintable(panel.problem()));

    tablet.send(Osc::message("/dimmer/channel/1", {1.0f}), port);
    QCOMPARE(line.read(5).toHex(), QByteArray("f1000a63fa"));
    // The named target hears the tablet's move; the tablet shows it already.
    const QByteArray told = Osc::message("/dimmer/channel/1", {99});
    QTRY_COMPARE(named.received, QList<QByteArray>{told});
    QCOMPARE(tablet.received, QList<QByteArray>{});
    tablet.send(Osc::message("/dimmer/channel/9", {1.0f}), port);
    tablet.send(Osc::message("/dimmer/mode/2", {0.0f}), port);
    tablet.send(Osc::message("/dimmer/mode/2", {1.0f}), port);
    QCOMPARE(line.read(5).toHex(), QByteArray("f1010b00fa"));

    QVERIFY(::kill(pid_t(panel.process().processId()), SIGTERM) == 0);
    const Outcome outcome = panel.output.finish();
    QCOMPARE(outcome.status, 0);
    QVERIFY2(outcome.err.contains("dimmer-panel: OSC: 2 messages taken, 1 button releases; "
                                  "ignored: 0 while a window was up, 0 echoes of feedback, 0 "
                                  "from the panel's own port, 1 unknown addresses, 0 wrong "
                                  "arguments, 0 values out of range, 0 malformed packets, 0 "
                                  "bundles\n"),
             qPrintable(outcome.err));
}

void tst_Startup::remotePortInUse_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("report");
    QTest::newRow("osc") << "--osc"
                         << "Cannot listen for OSC messages on %1: ";
    QTest::newRow("web") << "--web"
                         << "Cannot listen for the web remote on %1: ";
}

void tst_Startup::remotePortInUse()
{
    QFETCH(QString, option);
    QFETCH(QString, report);
    // Another program holds the port: UDP for OSC, TCP for the web remote.
    QUdpSocket udp;
    QTcpServer tcp;
    const bool held = option == "--osc" ? udp.bind(QHostAddress::LocalHost, 0)
                                        : tcp.listen(QHostAddress::LocalHost, 0);
    QVERIFY(held);
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    QTemporaryDir folder;
    const QString at =
        QStringLiteral("127.0.0.1:%1").arg(option == "--osc" ? udp.localPort() : tcp.serverPort());
    const QString expected = report.arg(at);
    const Outcome outcome = runUntilReported(
        *m_x, {"--port", line.slavePath(), "--scene-file", folder.filePath("s.co"), option, at},
        expected);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains(expected), qPrintable(outcome.err));
    QVERIFY2(!hasTroubleMark(outcome.err), qPrintable(outcome.err));
    QCOMPARE(line.readAvailable(), QByteArray());
    const QString left = leftOnLine(line);
    QVERIFY2(left.isEmpty(), qPrintable(left));
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
