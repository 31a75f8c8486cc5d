#include "link/seriallink.h"
#include "support/pseudoterminal.h"
#include "support/xserver.h"
#include "ui/form2table.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// The real dimmer-panel program in a child process: its options, and the ports it
// cannot open, each reported in a message box and on stderr before any window shows.
class tst_Startup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void options_data();
    void options();
    void badPort_data();
    void badPort();
    void badSceneFile_data();
    void badSceneFile();
    void deadLineWhileRunning();

private:
    std::unique_ptr<XServer> m_x;
};

namespace {

const QString Panel = QStringLiteral(DIMMER_PANEL_BINARY);

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

bool waitForText(QProcess &process, QString &err, const QString &text, int timeoutMs = 15000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!err.contains(text) && !deadline.hasExpired() && process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
        err += QString::fromLocal8Bit(process.readAllStandardError());
    }
    return err.contains(text);
}

Outcome finish(QProcess &process, QString err)
{
    Outcome outcome;
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished();
        outcome.err = QStringLiteral("<did not end>");
        return outcome;
    }
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    outcome.err = err + QString::fromLocal8Bit(process.readAllStandardError());
    return outcome;
}

// Starts the panel on the private display; when stderr says expectedError, answers the
// message box that should then be up with Enter, and waits for the end.
Outcome runUntilReported(const XServer &x, const QStringList &arguments,
                         const QString &expectedError, bool asNobody = false)
{
    QProcess process;
    process.setProcessEnvironment(x.environment());
    if (asNobody) {
        process.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
    }
    process.start(Panel, arguments);
    if (!process.waitForStarted())
        return {-1, {}, process.errorString()};
    QString err;
    if (waitForText(process, err, expectedError)) {
        const QString box = x.waitForWindow(QStringLiteral("dimmer-panel"));
        // The panel itself must not be up behind the message.
        if (!x.waitForWindow(QStringLiteral("Form1"), 0).isEmpty())
            err += QStringLiteral("<the panel was shown>");
        if (!box.isEmpty())
            x.xdotool({"windowfocus", "--sync", box, "key", "Return"});
        else
            err += QStringLiteral("<no message box>");
    }
    return finish(process, err);
}

} // namespace

void tst_Startup::initTestCase()
{
    QVERIFY2(QFile::exists(Panel), qPrintable(Panel));
    m_x = std::make_unique<XServer>();
    QVERIFY2(m_x->isRunning(), qPrintable(m_x->errorString()));
}

void tst_Startup::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stdoutHas");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("unknown") << QStringList{"--bogus"} << 2 << ""
                             << "Unknown option 'bogus'";
    QTest::newRow("missing-value") << QStringList{"--port"} << 2 << ""
                                   << "Missing value";
    QTest::newRow("empty-port") << QStringList{"--port="} << 2 << ""
                                << "--port needs";
    QTest::newRow("stray-argument") << QStringList{"COM4"} << 2 << ""
                                    << "Unexpected argument";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--scene-file"
                          << "";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "dimmer-panel "
                             << "";
}

void tst_Startup::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, stdoutHas);
    QFETCH(QString, stderrHas);
    QProcess process;
    // No display at all: these must not need one.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(environment);
    process.start(Panel, arguments);
    QVERIFY(process.waitForStarted());
    const Outcome outcome = finish(process, {});
    QCOMPARE(outcome.status, status);
    QVERIFY2(outcome.out.contains(stdoutHas), qPrintable(outcome.out));
    QVERIFY2(outcome.err.contains(stderrHas), qPrintable(outcome.err));
    if (status == 2)
        QVERIFY2(outcome.err.contains("Usage: dimmer-panel"), qPrintable(outcome.err));
}

void tst_Startup::badPort_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing"
                             << "no such device";
    QTest::newRow("not-a-serial-port") << "file"
                                       << "";
    QTest::newRow("in-use") << "busy"
                            << "";
    QTest::newRow("no-permission") << "permission"
                                   << "member of the group";
}

void tst_Startup::badPort()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PseudoTerminal line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    SerialLink holder;
    QString device = folder.filePath("ttyUSB7");
    bool asNobody = false;
    if (kind == "file") {
        QFile file(device);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == "busy") {
        device = line.slavePath();
        QString error;
        QVERIFY2(holder.open(device, &error), qPrintable(error));
    } else if (kind == "permission") {
        device = line.slavePath();
        QVERIFY(::chmod(QFile::encodeName(device).constData(), 0600) == 0);
        asNobody = ::geteuid() == 0; // root opens anything; try as an ordinary user
        if (!asNobody)
            QVERIFY(::chmod(QFile::encodeName(device).constData(), 0) == 0);
    }
    const Outcome outcome =
        runUntilReported(*m_x, {"--port", device, "--scene-file", folder.filePath("s.co")},
                         "Cannot open the serial port", asNobody);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains("Cannot open the serial port " + device),
             qPrintable(outcome.err));
    QVERIFY2(outcome.err.contains("--port"), qPrintable(outcome.err));
    QVERIFY2(outcome.err.contains(reason), qPrintable(outcome.err));
    QVERIFY2(!outcome.err.contains("<"), qPrintable(outcome.err));
    QCOMPARE(line.readAvailable(), QByteArray());
    // Start-up touches no scene file.
    QVERIFY(!QFile::exists(folder.filePath("s.co")));
}

void tst_Startup::badSceneFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << "folder"
                            << "Is a directory";
    QTest::newRow("cannot-create") << "sysfs"
                                   << "Permission denied";
    QTest::newRow("disk-full") << "full"
                               << "No space left on device";
}

void tst_Startup::badSceneFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PseudoTerminal line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    QString path = folder.filePath("lightLevel.co");
    if (kind == "folder")
        QVERIFY(QDir().mkpath(path));
    else if (kind == "sysfs")
        path = "/sys/lightLevel.co";
    else
        path = "/dev/full";

    QProcess process;
    process.setProcessEnvironment(m_x->environment());
    process.start(Panel, {"--port", line.slavePath(), "--scene-file", path});
    QVERIFY(process.waitForStarted());
    const QString panel = m_x->waitForWindow("Form1");
    if (panel.isEmpty())
        process.waitForFinished(1000);
    QVERIFY2(!panel.isEmpty(), qPrintable("the panel did not come up: " +
                                          QString::fromLocal8Bit(process.readAllStandardError())));
    if (kind == "full") {
        // A save: the store image, then key 1 of the scene key window, then Yes from the
        // keyboard.
        m_x->xdotool({"mousemove", "--window", panel, "773", "358", "click", "1"});
        const QString keys = m_x->waitForUntitledWindow(QSize(322, 261));
        QVERIFY2(!keys.isEmpty(), "the scene key window did not come up");
        const QPoint key1 = Form2Table::Image1(0).toPixels().center();
        m_x->xdotool({"mousemove", "--sync", "--window", keys, QString::number(key1.x()),
                      QString::number(key1.y()), "click", "1"});
        const QString question = m_x->waitForWindow("確定對話方塊");
        QVERIFY2(!question.isEmpty(), "no question came up");
        m_x->xdotool({"windowfocus", "--sync", question, "key", "alt+y"});
    } else {
        // The download reads every scene.
        m_x->xdotool({"mousemove", "--window", panel, "776", "260", "click", "1"});
    }
    QString err;
    QVERIFY2(waitForText(process, err, "the scene file"), qPrintable(err));
    const QString errorBox = m_x->waitForWindow("dimmer-panel");
    QVERIFY2(!errorBox.isEmpty(), "no message box");
    m_x->xdotool({"windowfocus", "--sync", errorBox, "key", "Return"});
    const Outcome outcome = finish(process, err);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains(path) && outcome.err.contains(reason), qPrintable(outcome.err));
    // Nothing reached the line: no frame from a file that could not be read.
    QCOMPARE(line.readAvailable(), QByteArray());
}

void tst_Startup::deadLineWhileRunning()
{
    PseudoTerminal line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    QTemporaryDir folder;
    QProcess process;
    process.setProcessEnvironment(m_x->environment());
    process.start(Panel, {"--port", line.slavePath(), "--scene-file", folder.filePath("s.co")});
    QVERIFY(process.waitForStarted());
    const QString panel = m_x->waitForWindow("Form1");
    if (panel.isEmpty())
        process.waitForFinished(1000);
    QVERIFY2(!panel.isEmpty(), qPrintable("the panel did not come up: " +
                                          QString::fromLocal8Bit(process.readAllStandardError())));
    // Command1(0), full on for channel 1, then the line goes away and Command1(1).
    m_x->xdotool({"mousemove", "--window", panel, "76", "356", "click", "1"});
    QCOMPARE(line.read(5).toHex(), QByteArray("f1000a63fa"));
    line.closeMaster();
    m_x->xdotool({"mousemove", "--window", panel, "148", "356", "click", "1"});
    QString err;
    QVERIFY2(waitForText(process, err, "Writing to the serial port"), qPrintable(err));
    QVERIFY2(err.contains(line.slavePath()), qPrintable(err));
    const QString box = m_x->waitForWindow("dimmer-panel");
    QVERIFY2(!box.isEmpty(), "no message box");
    m_x->xdotool({"windowfocus", "--sync", box, "key", "Return"});
    const Outcome outcome = finish(process, err);
    QCOMPARE(outcome.status, 1);
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
