#include "app/lampmemory.h"
#include "app/panelsettings.h"
#include "scenes/wholefile.h"
#include "support/deskactions.h"
#include "support/disks.h"
#include "support/files.h"
#include "support/linkeddesk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// What the panel keeps from one run to the next, in real files in temporary folders: the
// port the operator chose, and when not to trust it; what the board was last sent on each
// port; and what becomes of a file that the panel did not write.
class tst_Memory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void settingsFileSetAside_data();
    void settingsFileSetAside();
    void rememberedPortDoubted_data();
    void rememberedPortDoubted();
    void fadeTimeKept_data();
    void fadeTimeKept();
    void lampText();
    void oddLampFile_data();
    void oddLampFile();
    void keepsWhatTheLineTook();
    void failedSaveToldOnce();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
};

namespace {

// Makes a file of the given kind at path: "fifo", "folder", "big", or plain with text.
bool make(const QString &path, const QString &kind, const QByteArray &text)
{
    if (kind == "fifo")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == "folder")
        return QDir().mkpath(path);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
           (kind != "big" || file.resize(99'000'000));
}

const DeskState Lit{{10, 0, 0, 40, 0, 0, 0, 99}, 60, 4, {}};

LampMemory::Record kept(const DeskState &state) { return {state, 0, std::nullopt}; }

} // namespace

void tst_Memory::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("dimmer-panel"));
}

void tst_Memory::settingsFileSetAside_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // empty: read as it is
    QTest::newRow("plain") << "plain"
                           << "";
    // A FIFO would hold the start forever, waiting for a writer.
    QTest::newRow("fifo") << "fifo"
                          << "it is not a plain file";
    QTest::newRow("folder") << "folder"
                            << "it is not a plain file";
    QTest::newRow("99-megabytes") << "big"
                                  << "it holds 99000000 bytes";
}

void tst_Memory::settingsFileSetAside()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir config;
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QVERIFY(QDir(config.path()).mkpath("dimmer-panel"));
    const QString path = config.filePath("dimmer-panel/dimmer-panel.conf");
    QVERIFY(make(path, kind, "[General]\nport=/dev/ttyUSB0\n"));
    const PanelSettings memory;
    const QString remembered = memory.remembered();
    qunsetenv("XDG_CONFIG_HOME");
    if (reason.isEmpty()) {
        QCOMPARE(memory.problem(), QString());
        QCOMPARE(remembered, QString("/dev/ttyUSB0"));
        return;
    }
    QVERIFY2(memory.problem().contains(path) && memory.problem().contains(reason) &&
                 memory.problem().contains(path + ".set-aside"),
             qPrintable(memory.problem()));
    QCOMPARE(remembered, QString());
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(QFileInfo::exists(path + ".set-aside"));
}

void tst_Memory::rememberedPortDoubted_data()
{
    QTest::addColumn<QByteArray>("settings"); // "PTY" and "LINK" stand for a live one
    QTest::addColumn<QString>("doubt");       // empty: opened without asking
    QTest::newRow("nothing-remembered") << QByteArray() << "";
    QTest::newRow("pseudo-terminal") << QByteArray("port=PTY\nidentity=\n") << "pseudo-terminal";
    QTest::newRow("link-to-a-pseudo-terminal")
        << QByteArray("port=LINK\nidentity=\n") << "pseudo-terminal";
    QTest::newRow("same-device") << QByteArray("port=/dev/null\nidentity=\n") << "";
    QTest::newRow("another-device-now")
        << QByteArray("port=/dev/null\nidentity=0403:6001 FT4XYZ FTDI FT232R USB UART\n")
        << "is now another device (a device the system tells nothing of) than the one chosen "
           "(0403:6001 FT4XYZ FTDI FT232R USB UART)";
    // Remembered before the panel kept what the device was: taken as it is.
    QTest::newRow("no-identity-kept") << QByteArray("port=/dev/null\n") << "";
    // Not there at all: opening it fails and says why.
    QTest::newRow("gone") << QByteArray("port=/dev/ttyUSB77\nidentity=0403:6001 FT4XYZ\n") << "";
}

void tst_Memory::rememberedPortDoubted()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, doubt);
    QTemporaryDir config;
    PtyPair line;
    QVERIFY(config.isValid() && line.isOpen());
    const QString link = config.filePath("ttyBOARD");
    QVERIFY(QFile::link(line.slavePath(), link));
    settings.replace("PTY", QFile::encodeName(line.slavePath()));
    settings.replace("LINK", QFile::encodeName(link));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QVERIFY(QDir(config.path()).mkpath("dimmer-panel"));
    if (!settings.isEmpty())
        QVERIFY(Files::write(config.filePath("dimmer-panel/dimmer-panel.conf"),
                             "[General]\n" + settings));
    PanelSettings memory;
    const QString said = memory.doubt();
    // What is remembered is the choice and what the system says of it now.
    memory.remember("/dev/null");
    const QByteArray written = Files::bytes(config.filePath("dimmer-panel/dimmer-panel.conf"));
    qunsetenv("XDG_CONFIG_HOME");
    if (doubt.isEmpty())
        QCOMPARE(said, QString());
    else
        QVERIFY2(said.contains(doubt), qPrintable(said));
    QCOMPARE(written, QByteArray("[General]\nidentity=\nport=/dev/null\n"));
}

void tst_Memory::fadeTimeKept_data()
{
    QTest::addColumn<QByteArray>("settings"); // empty: no file
    QTest::addColumn<int>("tenths");

    QTest::newRow("none-kept") << QByteArray() << 0;
    QTest::newRow("kept") << QByteArray("fade-tenths=25\n") << 25;
    QTest::newRow("longest") << QByteArray("fade-tenths=100\n") << 100;
    QTest::newRow("beside-a-port") << QByteArray("port=/dev/ttyS0\nfade-tenths=7\n") << 7;
    // A hand-edited file: what is no fade time the desk takes is no fade.
    QTest::newRow("too-long") << QByteArray("fade-tenths=101\n") << 0;
    QTest::newRow("negative") << QByteArray("fade-tenths=-5\n") << 0;
    QTest::newRow("seconds-as-text") << QByteArray("fade-tenths=2.5s\n") << 0;
    QTest::newRow("empty") << QByteArray("fade-tenths=\n") << 0;
}

void tst_Memory::fadeTimeKept()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, tenths);
    QTemporaryDir config;
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString path = config.filePath("dimmer-panel/dimmer-panel.conf");
    QVERIFY(QDir(config.path()).mkpath("dimmer-panel"));
    if (!settings.isEmpty())
        QVERIFY(Files::write(path, "[General]\n" + settings));
    const int read = PanelSettings().fadeTime();
    // Kept, it is read back by the next start; the port beside it stays.
    PanelSettings().rememberFadeTime(38);
    const int next = PanelSettings().fadeTime();
    const QByteArray written = Files::bytes(path);
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(read, tenths);
    QCOMPARE(next, 38);
    QVERIFY2(written.contains("fade-tenths=38\n"), written.constData());
    QCOMPARE(written.contains("port=/dev/ttyS0"), settings.contains("port="));
}

void tst_Memory::lampText()
{
    QCOMPARE(LampMemory::toText("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", kept(Lit)),
             QByteArray("# What dimmer-panel last set on the board behind this port.\n"
                        "port=/dev/serial/by-id/usb-FTDI_FT232R-if00-port0\n"
                        "channels=10 0 0 40 0 0 0 99\n"
                        "master=60\n"
                        "mode=5\n"));
    LampMemory::Record dark{Lit, 3, LampMemory::FarSide{4192, 123456}};
    dark.state.channels = {};
    dark.state.mode = DeskState::NoMode;
    dark.state.beforeBlackout = Lit.channels;
    const QByteArray text = LampMemory::toText("/dev/pts/3", dark);
    QVERIFY2(text.endsWith("mode=none\nblackout=10 0 0 40 0 0 0 99\nfar-side=4192 123456\n"
                           "unsent=3\n"),
             text.constData());
    for (const LampMemory::Record &record : {kept(Lit), dark, kept({})}) {
        QString why;
        QCOMPARE(LampMemory::fromText(LampMemory::toText("/dev/ttyS3", record), &why), record);
        QCOMPARE(why, QString());
    }
}

void tst_Memory::oddLampFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    const QByteArray good = LampMemory::toText("/dev/ttyS3", kept(Lit));
    const auto with = [&good](const char *from, const char *to) {
        return QByteArray(good).replace(from, to);
    };
    QTest::newRow("fifo") << "fifo" << QByteArray() << "it is not a plain file";
    QTest::newRow("folder") << "folder" << QByteArray() << "it is not a plain file";
    QTest::newRow("99-megabytes") << "big" << good << "it holds 99000000 bytes";
    QTest::newRow("no-master") << "plain" << with("master=60\n", "") << "it has no master";
    QTest::newRow("level-100") << "plain" << with("=10 0", "=100 0") << "out of range";
    QTest::newRow("seven-levels") << "plain" << with("=10 0 0", "=10 0") << "out of range";
    QTest::newRow("level-with-sign") << "plain" << with("=10 0", "=+10 0") << "out of range";
    QTest::newRow("mode-0") << "plain" << with("mode=5", "mode=0") << "out of range";
    QTest::newRow("mode-13") << "plain" << with("mode=5", "mode=13") << "out of range";
    QTest::newRow("field-twice") << "plain" << good + "master=3\n"
                                 << "a field twice";
    QTest::newRow("unknown-field") << "plain" << good + "fade=2\n"
                                   << "does not write";
    QTest::newRow("no-field") << "plain" << good + "\x01\xff\n"
                              << "is no field";
    QTest::newRow("far-side-without-start") << "plain" << good + "far-side=4192\n"
                                            << "far side";
    QTest::newRow("unsent-0") << "plain" << good + "unsent=0\n"
                              << "not sent is out of range";
    QTest::newRow("unsent-11") << "plain" << good + "unsent=11\n"
                               << "not sent is out of range";
}

void tst_Memory::oddLampFile()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = LampMemory("/dev/ttyS3", folder.path()).path();
    QVERIFY(make(path, kind, text));
    const LampMemory memory("/dev/ttyS3", folder.path());
    QCOMPARE(memory.recalled(), std::nullopt);
    // Nothing is lost: the file is kept aside, and the message says where and why.
    for (const QString &part : {path, reason, path + ".set-aside", QString("every level at 0")})
        QVERIFY2(memory.problem().contains(part), qPrintable(memory.problem()));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(QFileInfo::exists(path + ".set-aside"));
}

void tst_Memory::keepsWhatTheLineTook()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    LinkedDesk f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    const QString usb = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KZP4S-if00-port0";
    LampMemory memory(usb, folder.path());
    QCOMPARE(memory.recalled(), std::nullopt);
    QCOMPARE(memory.problem(), QString());
    QVERIFY2(memory.path().startsWith(folder.path() + "/") && memory.path().endsWith(".state"),
             qPrintable(memory.path()));
    memory.follow(f.desk, f.link);
    // Channel 8 full on and mode 7, taken by the line: saved within the second, not at once.
    f.desk.apply(want(Intent::Kind::FullOn, 7));
    f.desk.apply(want(Intent::Kind::Mode, 6));
    QVERIFY(!f.sent().isEmpty());
    DeskState lit;
    lit.channels[7] = 99;
    lit.mode = 6;
    QCOMPARE(Files::bytes(memory.path()), QByteArray("<missing>"));
    QTRY_COMPARE_WITH_TIMEOUT(Files::bytes(memory.path()), LampMemory::toText(usb, kept(lit)),
                              3 * LampMemory::SaveDelayMilliseconds);

    // The line is pulled out: what changes now never reaches the lamps, and the panel is
    // closed before it comes back.
    f.line.closeMaster();
    QTRY_COMPARE(f.link.state(), SerialLink::State::Lost);
    f.desk.apply(want(Intent::Kind::Off, 7));
    f.desk.apply(want(Intent::Kind::Mode, 8));
    f.desk.apply(want(Intent::Kind::Download));
    QCOMPARE(memory.flush(), 3);
    const LampMemory next(usb, folder.path());
    QCOMPARE(next.recalled(), lit);
    QCOMPARE(next.unsentLastTime(), 3);

    // The blackout's levels go with the levels it holds at 0, once the line took those.
    LinkedDesk g;
    QVERIFY2(g.failure().isEmpty(), qPrintable(g.failure()));
    const QString longName = "/tmp/" + QString(300, 'x');
    LampMemory other(longName, folder.path());
    QVERIFY(other.path() != memory.path());
    other.follow(g.desk, g.link);
    g.desk.apply(want(Intent::Kind::FullOn, 2));
    g.desk.apply(want(Intent::Kind::Blackout));
    g.sent();
    QCOMPARE(other.flush(), 0);
    QCOMPARE(LampMemory(longName, folder.path()).recalled(), g.desk.state());
    QVERIFY(g.desk.state().beforeBlackout.has_value());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
}

void tst_Memory::failedSaveToldOnce()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // A plain file where the state folder should be: no folder can be made there.
    QVERIFY(Files::write(folder.filePath("state"), "x"));
    LinkedDesk f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    LampMemory memory("/dev/ttyS3", folder.filePath("state"));
    QSignalSpy told(&memory, &LampMemory::keepingChanged);
    memory.follow(f.desk, f.link);
    for (int level : {10, 20, 30}) {
        f.desk.apply(want(Intent::Kind::Channel, 0, level));
        f.sent();
        memory.flush();
    }
    QCOMPARE(told.count(), 1);
    const QString message = told.first().first().toString();
    QVERIFY2(message.contains("/dev/ttyS3") && message.contains(folder.filePath("state")),
             qPrintable(message));
    // Room again: the next save succeeds, and says so once.
    QVERIFY(QFile::remove(folder.filePath("state")));
    memory.flush();
    QCOMPARE(told.count(), 2);
    QCOMPARE(told.last().first().toString(), QString());
    QCOMPARE(LampMemory("/dev/ttyS3", folder.filePath("state")).recalled()->channels[0], 30);
}

void tst_Memory::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("filesystem"); // a real filesystem filled up, else a size limit
    QTest::newRow("file-size-limit") << false;
    QTest::newRow("full-filesystem") << true;
}

void tst_Memory::fullDiskKeepsTheOldFile()
{
    QFETCH(bool, filesystem);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath("disk/ttyS3.state");
    const QByteArray before = LampMemory::toText("/dev/ttyS3", kept(Lit));
    const QByteArray after =
        QByteArray(before).replace("master=60", "master=61") + QByteArray(8000, '#') + '\n';
    // In a child process: the filesystem of its own, or the limit, ends with it.
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const QByteArray disk = QFile::encodeName(folder.filePath("disk"));
        ::mkdir(disk.constData(), 0700);
        if (filesystem && !Disks::mountSmall(disk.constData()))
            ::_exit(77);
        if (!Files::write(path, before))
            ::_exit(2);
        QString why;
        if (filesystem) {
            Disks::fill(disk + "/filler");
        } else {
            const rlimit small{rlim_t(before.size()), rlim_t(before.size())};
            ::setrlimit(RLIMIT_FSIZE, &small);
        }
        const bool replaced = WholeFile::replace(path, after, &why);
        const bool kept = Files::bytes(path) == before;
        const QStringList left = QDir(folder.filePath("disk")).entryList(QDir::Files);
        ::_exit(!replaced && kept && !why.isEmpty() && left.size() == (filesystem ? 2 : 1) ? 0
                                                                                           : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        QSKIP("no filesystem of its own to fill here: neither root nor a user namespace");
    QCOMPARE(WEXITSTATUS(status), 0);
}

QTEST_GUILESS_MAIN(tst_Memory)
#include "tst_memory.moc"
