#include "control/cuelist.h"
#include "scenes/cuefile.h"
#include "support/deskactions.h"
#include "support/deskfixture.h"
#include "support/files.h"
#include "support/wire.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The cue list played on the desk, on a clock the test moves: what each GO, BACK and PAUSE
// puts on the line, and when.
class tst_Cues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sequences_data();
    void sequences();
    void tenCuesRunFromOneGo();
    void list_data();
    void list();
    void fileRoundTrip();
    void fileSetAside_data();
    void fileSetAside();
};

namespace {

using Cues = QList<Cue>;

Cue cue(int number, DeskState::Levels levels, int up, int down, int wait = 0,
        std::optional<int> follow = std::nullopt)
{
    return Cue{number, QString(), levels, up, down, wait, follow};
}

// What the line carried, as "channel=level" for each packet in order, "m=level" for the
// master; the board's byte rules themselves are the desk's tests'.
QString changes(const QByteArray &bytes)
{
    QStringList told;
    for (qsizetype at = 0; at + 5 <= bytes.size(); at += 5) {
        const int address = quint8(bytes[at + 1]);
        told << (address == 10 ? QStringLiteral("m") : QString::number(address)) + '=' +
                    QString::number(quint8(bytes[at + 3]));
    }
    return told.join(' ');
}

const DeskState::Levels Warm{80, 60, 0, 0, 0, 0, 0, 0};
const DeskState::Levels Cold{0, 0, 0, 0, 90, 70, 0, 0};
const DeskState::Levels Full{99, 99, 99, 99, 99, 99, 99, 99};

} // namespace

void tst_Cues::sequences_data()
{
    QTest::addColumn<Cues>("cues");
    QTest::addColumn<QString>("actions");  // deskactions' words; "at T" moves the clock
    QTest::addColumn<QStringList>("sent"); // after each action: "action: what the line took"

    // Cue 1 Warm, rising over 2 s and falling over 1 s; cue 2 Cold, the same times.
    const Cues two{cue(10, Warm, 20, 10), cue(20, Cold, 20, 10)};
    QTest::newRow("go-rises-and-falls-in-their-times")
        << two << "go;at 1000;at 2000;at 3000"
        << QStringList{"go: ", "at 1000: 0=40 1=30", "at 2000: 0=80 1=60", "at 3000: "};
    QTest::newRow("falling-channels-take-the-down-time")
        << two << "go;at 2000;go;at 2500;at 3000;at 4000"
        << QStringList{"go: ",
                       "at 2000: 0=80 1=60",
                       "go: ",
                       "at 2500: 0=40 1=30 4=23 5=18",
                       "at 3000: 0=0 1=0 4=45 5=35",
                       "at 4000: 4=90 5=70"};
    // GO while a cue runs starts the next from where the levels stand.
    QTest::newRow("go-during-a-cue-starts-the-next-from-there")
        << two << "go;at 1000;go;at 1500;at 3000"
        << QStringList{"go: ", "at 1000: 0=40 1=30", "go: ", "at 1500: 0=20 1=15 4=23 5=18",
                       "at 3000: 0=0 1=0 4=90 5=70"};
    // A second GO within 200 ms is the same GO: cue 2 stays the standby.
    QTest::newRow("double-go-is-one-go")
        << Cues{cue(10, Warm, 0, 0), cue(20, Cold, 0, 0)} << "go;at 150;go;at 400;go"
        << QStringList{"go: 0=80 1=60", "at 150: ", "go: ", "at 400: ", "go: 0=0 1=0 4=90 5=70"};
    QTest::newRow("wait-holds-the-start")
        << Cues{cue(10, Warm, 10, 10, 5)} << "go;at 400;at 1000;at 1500"
        << QStringList{"go: ", "at 400: ", "at 1000: 0=40 1=30", "at 1500: 0=80 1=60"};
    QTest::newRow("follow-starts-the-next-by-itself")
        << Cues{cue(10, Warm, 0, 0, 0, 10), cue(20, Cold, 0, 0)} << "go;at 20;at 900;at 1020"
        << QStringList{"go: 0=80 1=60", "at 20: ", "at 900: ", "at 1020: 0=0 1=0 4=90 5=70"};
    // PAUSE holds a running cue where it stands; GO resumes it, the pause added.
    QTest::newRow("pause-and-go-resumes")
        << two << "go;at 1000;pause;at 3000;go;at 4000"
        << QStringList{
               "go: ", "at 1000: 0=40 1=30", "pause: ", "at 3000: ", "go: ", "at 4000: 0=80 1=60"};
    // BACK goes to the previous cue in its own times.
    QTest::newRow("back-to-the-previous-cue")
        << two << "go;at 2000;go;at 4000;back;at 5000;at 6000"
        << QStringList{"go: ",
                       "at 2000: 0=80 1=60",
                       "go: ",
                       "at 4000: 0=0 1=0 4=90 5=70",
                       "back: ",
                       "at 5000: 0=40 1=30 4=0 5=0",
                       "at 6000: 0=80 1=60"};
    // The hand wins over a running cue per channel; the others go on.
    QTest::newRow("the-hand-takes-a-channel")
        << two << "go;at 1000;set 0 10;at 2000"
        << QStringList{"go: ", "at 1000: 0=40 1=30", "set 0 10: 0=10", "at 2000: 1=60"};
    // A recall of one of the twelve scenes stops the cue's fade.
    QTest::newRow("a-recall-stops-the-cue")
        << two << "go;at 1000;recall 2;at 2000"
        << QStringList{"go: ", "at 1000: 0=40 1=30", "recall 2: 0=0 1=0", "at 2000: "};
    // Undo takes back a GO as one step.
    QTest::newRow("undo-takes-back-a-go")
        << two << "go;at 2000;undo" << QStringList{"go: ", "at 2000: 0=80 1=60", "undo: 0=0 1=0"};
    // The cue it started is the standby again: the next GO does not skip it.
    QTest::newRow("undo-makes-the-gos-cue-standby-again")
        << two << "go;at 2000;go;at 4000;undo;go;at 6000"
        << QStringList{"go: ",
                       "at 2000: 0=80 1=60",
                       "go: ",
                       "at 4000: 0=0 1=0 4=90 5=70",
                       "undo: 0=80 1=60 4=0 5=0",
                       "go: ",
                       "at 6000: 0=0 1=0 4=90 5=70"};
    // A chain of follows started by one GO is that GO's one step.
    QTest::newRow("undo-takes-back-a-follow-chain")
        << Cues{cue(10, Warm, 0, 0, 0, 0), cue(20, Cold, 0, 0)} << "go;at 20;at 300;undo;go"
        << QStringList{"go: 0=80 1=60", "at 20: 0=0 1=0 4=90 5=70", "at 300: ", "undo: 4=0 5=0",
                       "go: 0=80 1=60"};
    QTest::newRow("goto-runs-a-cue-in-its-times-and-makes-it-current")
        << two << "goto 20;at 2000;go;back;at 4000"
        << QStringList{"goto 20: ", "at 2000: 4=90 5=70",
                       "go: ", "back: ", "at 4000: 0=80 1=60 4=0 5=0"};
    QTest::newRow("nothing-after-the-last-cue")
        << Cues{cue(10, Warm, 0, 0)} << "go;at 300;go"
        << QStringList{"go: 0=80 1=60", "at 300: ", "go: "};
}

void tst_Cues::sequences()
{
    QFETCH(Cues, cues);
    QFETCH(QString, actions);
    QFETCH(QStringList, sent);
    DeskFixture f;
    f.cues.replaceAll({cues.begin(), cues.end()});
    QStringList took;
    for (const QString &action : actions.split(';')) {
        perform(f, action);
        took << action + ": " + changes(f.line.take());
    }
    QCOMPARE(took, sent);
}

void tst_Cues::tenCuesRunFromOneGo()
{
    // A show of ten cues with waits and follows runs from one GO to the last cue's levels.
    DeskFixture f;
    std::vector<Cue> show;
    for (int n = 1; n <= 10; ++n) {
        DeskState::Levels levels{};
        levels[std::size_t(n % 8)] = std::uint8_t(10 * n - 1);
        show.push_back(
            cue(10 * n, levels, n, 10 - n, n % 3, n < 10 ? std::optional(n) : std::nullopt));
    }
    f.cues.replaceAll(show);
    perform(f, "go");
    for (int ms = 20; ms <= 30000; ms += 20)
        perform(f, QStringLiteral("at %1").arg(ms));
    QCOMPARE(f.desk.cues().current(), 100);
    QVERIFY(!f.desk.cues().isRunning() && !f.desk.cues().isFollowing());
    QCOMPARE(f.levels(), (QList<int>{0, 0, 99, 0, 0, 0, 0, 0, 0}));
}

void tst_Cues::list_data()
{
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QStringList>("numbers"); // the list after
    QTest::addColumn<int>("standby");

    QTest::newRow("record-goes-in-order")
        << "recordCue 30 0;recordCue 10 0;recordCue 25 0" << QStringList{"1", "2.5", "3"} << 10;
    QTest::newRow("record-over-a-cue")
        << "recordCue 10 0;set 0 50;recordCue 10 20 5" << QStringList{"1"} << 10;
    QTest::newRow("out-of-range-refused")
        << "recordCue 0 0;recordCue 100000 0;recordCue 10 6001" << QStringList{} << 0;
    QTest::newRow("renumbered-current-keeps-its-place")
        << "recordCue 10 0;recordCue 20 0;go;renumber 10 30" << QStringList{"2", "3"} << 0;
    QTest::newRow("standby-after-go")
        << "recordCue 10 0;recordCue 20 0;go" << QStringList{"1", "2"} << 20;
}

void tst_Cues::list()
{
    QFETCH(QString, actions);
    QFETCH(QStringList, numbers);
    QFETCH(int, standby);
    DeskFixture f;
    for (const QString &action : actions.split(';')) {
        if (action.startsWith("renumber "))
            QVERIFY(f.cues.renumber(action.section(' ', 1, 1).toInt(),
                                    action.section(' ', 2, 2).toInt()));
        else
            perform(f, action);
    }
    QStringList have;
    for (const Cue &cue : f.cues.cues())
        have << CueList::numberText(cue.number);
    QCOMPARE(have, numbers);
    QCOMPARE(f.desk.cues().standby(f.cues), standby);
    if (const Cue *over = f.cues.find(10); over && actions.endsWith("20 5")) {
        QCOMPARE(over->levels[0], 50);
        QCOMPARE(over->up, 20);
        QCOMPARE(over->down, 5);
    }
}

void tst_Cues::fileRoundTrip()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("show.cues");
    std::vector<Cue> show{cue(1, Warm, 0, 6000, 0, 25), cue(25, Cold, 15, 15, 3),
                          cue(99999, Full, 1, 2)};
    show[0].label = QString::fromUtf8("開場\tlook");
    {
        CueList cues;
        CueFile file(path, cues);
        QCOMPARE(file.problem(), QString());
        cues.replaceAll(show);
    }
    const QByteArray text = Files::bytes(path);
    QVERIFY2(text.contains("dimmer-panel cues 1\n0.1\t0.0\t600.0\t0.0\t2.5\t80 60 0 0 0 0 0 "
                           "0\t\xe9\x96\x8b\xe5\xa0\xb4 look\n2.5\t1.5\t1.5\t0.3\t-\t"),
             text.constData());
    CueList again;
    CueFile file(path, again);
    QCOMPARE(file.problem(), QString());
    show[0].label = QString::fromUtf8("開場 look");
    QCOMPARE(again.cues(), show);
}

void tst_Cues::fileSetAside_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    const QByteArray good = CueFile::toText({cue(10, Warm, 20, 10)});
    const auto with = [&good](const char *from, const char *to) {
        return QByteArray(good).replace(from, to);
    };
    QTest::newRow("newer-version") << with("cues 1", "cues 2") << "a newer version";
    QTest::newRow("not-a-cue-list") << QByteArray("[General]\nport=x\n") << "not a cue list";
    QTest::newRow("level-100") << with("80 60", "100 60") << "line 4";
    QTest::newRow("two-decimals") << with("2.0\t1.0", "2.05\t1.0") << "line 4";
    QTest::newRow("cut-short") << good.left(good.size() - 12) << "line 4";
    QTest::newRow("out-of-order") << good + "0.5\t0.0\t0.0\t0.0\t-\t0 0 0 0 0 0 0 0\t\n"
                                  << "out of the order";
}

void tst_Cues::fileSetAside()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    const QString path = folder.filePath("show.cues");
    QVERIFY(Files::write(path, text));
    CueList cues;
    CueFile file(path, cues);
    QVERIFY(cues.isEmpty());
    QVERIFY2(file.problem().contains(reason) && file.problem().contains(".set-aside-"),
             qPrintable(file.problem()));
    // Nothing is lost: the file is kept whole aside, and a new list goes where it was.
    const QStringList aside = QDir(folder.path()).entryList({"show.cues.set-aside-*"});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(Files::bytes(folder.filePath(aside.first())), text);
    cues.record(cue(10, Full, 0, 0));
    QVERIFY(Files::bytes(path).contains("dimmer-panel cues 1"));
}

QTEST_GUILESS_MAIN(tst_Cues)
#include "tst_cues.moc"
