#include "support/childoutput.h"
#include "support/linereader.h"
#include "support/osc.h"
#include "support/oscclient.h"
#include "support/ptypair.h"
#include "support/remotepanel.h"
#include "support/wire.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// A show that survives the hall: the real panel, run by remote control, on the real virtual
// board behind a link of its own, as an adapter behind its stable name. The board killed
// and started again, or pulled out and plugged in while a fader moves: the panel stays up
// and the board ends with the panel's levels and mode. The panel closed and started again
// knows what the lamps show.
class tst_LineReturns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boardKilledAndBack();
    void unpluggedWhileAFaderMoves();
    void restartKnowsTheLamps();
};

namespace {

using Levels = QList<int>;

// The virtual board in --dump mode, keeping a link at linkPath; its lamps and mode as the
// lines it prints leave them.
class DumpBoard
{
public:
    explicit DumpBoard(const QString &linkPath)
    {
        m_process.start(QStringLiteral(DIMMER_BOARD_BINARY), {"--dump", "--link", linkPath});
        path = m_output.lines(1).value(0);
    }
    ~DumpBoard()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    void signal(int number) const { ::kill(pid_t(m_process.processId()), number); }

    // Whether the board comes to the levels and the mode (1..12, 0: none) within timeoutMs.
    bool reaches(const Levels &levels, int mode, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        do {
            for (const QString &line : m_output.quietLines(50))
                apply(line.split(' '));
            if (lamps == levels && this->mode == mode)
                return true;
        } while (!deadline.hasExpired());
        return false;
    }
    // What it is told by then, as the test's message says it.
    QString shows() const
    {
        QStringList levels;
        for (int level : lamps)
            levels << QString::number(level);
        return QStringLiteral("lamps %1, mode %2, line %3")
            .arg(levels.join(' '))
            .arg(mode)
            .arg(path);
    }

    QString path;
    Levels lamps = Levels(8, 0);
    int mode = 0;

private:
    void apply(const QStringList &word)
    {
        if (word.value(0) == "level")
            lamps[word.value(1).toInt()] = word.value(2).toInt();
        else if (word.value(0) == "master")
            lamps.fill(word.value(1).toInt());
        else if (word.value(0) == "mode")
            mode = word.value(1).toInt();
        else if (word.value(0) == "plugged")
            path = word.value(1);
    }

    QProcess m_process;
    ChildOutput m_output{m_process};
};

void send(OscClient &hand, const RemotePanel &panel, const QByteArray &address,
          QList<Osc::Argument> arguments = {})
{
    hand.send(Osc::message(address, arguments), panel.port());
}

} // namespace

void tst_LineReturns::boardKilledAndBack()
{
    QTemporaryDir home;
    const QString link = home.filePath("ttyBOARD");
    auto board = std::make_unique<DumpBoard>(link);
    QVERIFY2(board->path.startsWith("/dev/pts/"), qPrintable(board->path));
    RemotePanel panel(link, home.path(), RemotePanel::freeUdpPort());
    QVERIFY2(panel.isUp(), "the panel did not come up");
    OscClient hand;
    send(hand, panel, "/dimmer/channel/1", {40});
    send(hand, panel, "/dimmer/mode/3");
    QVERIFY2(board->reaches({40, 0, 0, 0, 0, 0, 0, 0}, 3), qPrintable(board->shows()));

    // Killed outright, as a pulled cable leaves it: its link stays behind, pointing nowhere.
    board.reset();
    send(hand, panel, "/dimmer/channel/2", {70});
    send(hand, panel, "/dimmer/mode/5");
    send(hand, panel, "/dimmer/channel/1", {0});
    QTest::qWait(1500);
    QVERIFY2(panel.isRunning(), "the panel ended for a lost line");

    // A new board, all dark, behind the same link: the panel finds it and sends it all.
    board = std::make_unique<DumpBoard>(link);
    QVERIFY2(board->reaches({0, 70, 0, 0, 0, 0, 0, 0}, 5), qPrintable(board->shows()));
    QCOMPARE(panel.finish().status, 0);
}

void tst_LineReturns::unpluggedWhileAFaderMoves()
{
    QTemporaryDir home;
    const QString link = home.filePath("ttyBOARD");
    DumpBoard board(link);
    RemotePanel panel(link, home.path(), RemotePanel::freeUdpPort());
    QVERIFY2(panel.isUp(), "the panel did not come up");
    OscClient hand;
    send(hand, panel, "/dimmer/mode/2");
    // A fader moving at a tablet's sixty changes a second, through two unplugs: pulled and
    // back while it moves, then pulled while it moves and back once it has stopped.
    int level = 0;
    const auto move = [&](int steps) {
        for (int k = 0; k < steps; ++k) {
            level = (level + 7) % 100;
            send(hand, panel, "/dimmer/channel/4", {level});
            QTest::qWait(16);
        }
    };
    move(20);
    board.signal(SIGUSR1);
    move(40);
    board.signal(SIGUSR2);
    move(40);
    board.signal(SIGUSR1);
    move(30);
    board.signal(SIGUSR2);
    QVERIFY2(board.reaches({0, 0, 0, level, 0, 0, 0, 0}, 2), qPrintable(board.shows()));
    QVERIFY2(QFileInfo(link).canonicalFilePath() == board.path, qPrintable(board.path));
    QVERIFY(panel.isRunning());
}

void tst_LineReturns::restartKnowsTheLamps()
{
    QTemporaryDir home;
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    LineReader board(line.masterFd());
    OscClient hand;
    const Levels lit{99, 0, 99, 0, 60, 0, 0, 0};
    {
        RemotePanel panel(line.slavePath(), home.path(), RemotePanel::freeUdpPort());
        QVERIFY2(panel.isUp(), "the panel did not come up");
        send(hand, panel, "/dimmer/fullon/1");
        send(hand, panel, "/dimmer/fullon/3");
        send(hand, panel, "/dimmer/channel/5", {60});
        QTRY_COMPARE(board.count(), 15);
        QCOMPARE(panel.finish().status, 0);
    }
    QCOMPARE(QDir(QDir(home.path()).filePath("XDG_STATE_HOME/dimmer-panel"))
                 .entryList(QDir::Files)
                 .size(),
             1);
    RemotePanel panel(line.slavePath(), home.path(), RemotePanel::freeUdpPort());
    QVERIFY2(panel.isUp(), "the panel did not come up");
    // Nothing at start: the lamps kept what they had.
    QTest::qWait(300);
    QCOMPARE(board.count(), 15);
    // Blackout: every channel's 0, and back.
    QByteArray zeros;
    QByteArray levels;
    for (int k = 0; k < 8; ++k) {
        zeros += Wire::setLevel(k, 0);
        levels += Wire::setLevel(k, lit[k]);
    }
    // Each step once the last is on the line, where a newer level would take the place of a
    // waiting one.
    send(hand, panel, "/dimmer/blackout");
    QTRY_COMPARE(board.count(), 15 + zeros.size());
    send(hand, panel, "/dimmer/blackout");
    QTRY_COMPARE(board.count(), 15 + zeros.size() + levels.size());
    // All off turns off the three that are lit: the panel knew them.
    send(hand, panel, "/dimmer/alloff");
    const QByteArray expected =
        zeros + levels + Wire::setLevel(0, 0) + Wire::setLevel(2, 0) + Wire::setLevel(4, 0);
    QTRY_COMPARE(board.count(), 15 + expected.size());
    QCOMPARE(Wire::hex(board.bytes().mid(15)), Wire::hex(expected));
}

QTEST_GUILESS_MAIN(tst_LineReturns)
#include "tst_linereturns.moc"
