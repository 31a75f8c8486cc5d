#include "support/deskactions.h"
#include "support/deskfixture.h"
#include "support/files.h"
#include "support/wire.h"

#include <QSignalSpy>
#include <QTest>

// The desk, the panel's model, without a window: every intent of the operator, the exact
// bytes it puts on the line in order, the levels, the master and the registers afterwards,
// and the scene file's bytes.
class tst_Desk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void intents_data();
    void intents();
    void reportsWhatChanged();
    void refusesAScene();
    void scenesThatCannotBeRead();
    void restoreSendsNothing();
};

namespace {

using Levels = QList<int>;
using Wire::frame;
using Wire::master;
using Wire::selectMode;
using Wire::setLevel;

const Levels Off(8, 0);
const QByteArray Missing("<missing>");
const QByteArray Unchanged("<unchanged>");

QByteArray record(const Levels &levels)
{
    QByteArray bytes;
    for (int level : levels)
        bytes += char(level);
    return bytes;
}

} // namespace

void tst_Desk::intents_data()
{
    QTest::addColumn<Levels>("channels");
    QTest::addColumn<int>("masterLevel");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<Levels>("after");     // the eight channels, then the master
    QTest::addColumn<Levels>("registers"); // address, value, command; empty: as before
    QTest::addColumn<QByteArray>("fileAfter");

    const auto row = [](const char *name) { return &QTest::newRow(name); };
    const auto levels = [](Levels channels, int masterLevel) { return channels << masterLevel; };

    // Channels, one packet for each change.
    *row("channel-3-to-40") << Off << 0 << Missing << "set 3 40" << setLevel(3, 40)
                            << levels({0, 0, 0, 40, 0, 0, 0, 0}, 0) << Levels{3, 40, 10}
                            << Missing;
    *row("channel-0-back-to-0") << Levels{25, 0, 0, 0, 0, 0, 0, 0} << 0 << Missing << "set 0 0"
                                << setLevel(0, 0) << levels(Off, 0) << Levels{0, 0, 10} << Missing;
    *row("channel-7-to-99") << Off << 0 << Missing << "move 7 99" << setLevel(7, 99)
                            << levels({0, 0, 0, 0, 0, 0, 0, 99}, 0) << Levels{7, 99, 10}
                            << Missing;
    *row("set-to-its-level-runs-nothing")
        << Levels{0, 0, 0, 0, 0, 33, 0, 0} << 0 << Missing << "mode 3;set 5 33" << selectMode(3)
        << levels({0, 0, 0, 0, 0, 33, 0, 0}, 0) << Levels{3, 0, 11} << Missing;
    *row("drag-20-40-60-then-its-end")
        << Off << 0 << Missing << "move 2 20;move 2 40;move 2 60;move 2 60"
        << setLevel(2, 20) + setLevel(2, 40) + setLevel(2, 60) + setLevel(2, 60)
        << levels({0, 0, 60, 0, 0, 0, 0, 0}, 0) << Levels{2, 60, 10} << Missing;
    *row("out-of-range-ignored") << Off << 0 << Missing << "set 8 5;set -1 5;set 0 100;move 1 -1"
                                 << QByteArray() << levels(Off, 0) << Levels{} << Missing;

    // The master: the channels silently, then its one packet.
    *row("master-to-99") << Off << 0 << Missing << "moveMaster 99" << master(99)
                         << levels(Levels(8, 99), 99) << Levels{10, 99, 10} << Missing;
    *row("master-50-to-70") << Levels{0, 70, 50, 50, 50, 50, 50, 50} << 50 << Missing
                            << "master 70" << master(70) << levels(Levels(8, 70), 70)
                            << Levels{10, 70, 10} << Missing;
    *row("master-drag-repeats-its-end")
        << Off << 0 << Missing << "moveMaster 30;moveMaster 30" << master(30) + master(30)
        << levels(Levels(8, 30), 30) << Levels{10, 30, 10} << Missing;
    *row("master-then-channel-sends-at-once")
        << Off << 0 << Missing << "master 20;set 4 25" << master(20) + setLevel(4, 25)
        << levels({20, 20, 20, 20, 25, 20, 20, 20}, 20) << Levels{4, 25, 10} << Missing;

    // The buttons.
    *row("full-on-3-twice") << Off << 0 << Missing << "fullOn 3;fullOn 3" << setLevel(3, 99)
                            << levels({0, 0, 0, 99, 0, 0, 0, 0}, 0) << Levels{3, 99, 10}
                            << Missing;
    *row("off-5") << Levels{0, 0, 0, 0, 0, 60, 0, 0} << 0 << Missing << "off 5" << setLevel(5, 0)
                  << levels(Off, 0) << Levels{5, 0, 10} << Missing;
    *row("off-already-off") << Off << 0 << Missing << "off 2" << QByteArray() << levels(Off, 0)
                            << Levels{} << Missing;
    *row("master-full-on") << Levels{0, 10, 0, 0, 0, 0, 0, 0} << 0 << Missing << "masterFullOn"
                           << master(99) << levels(Levels(8, 99), 99) << Levels{10, 99, 10}
                           << Missing;
    *row("master-full-on-already")
        << Levels{99, 99, 99, 99, 10, 99, 99, 99} << 99 << Missing << "masterFullOn"
        << QByteArray() << levels({99, 99, 99, 99, 10, 99, 99, 99}, 99) << Levels{} << Missing;
    *row("all-off-two-channels-then-master")
        << Levels{0, 0, 30, 0, 0, 30, 0, 0} << 30 << Missing << "allOff"
        << setLevel(2, 0) + setLevel(5, 0) + master(0) << levels(Off, 0) << Levels{10, 0, 10}
        << Missing;
    *row("all-off-master-only") << Off << 40 << Missing << "allOff" << master(0) << levels(Off, 0)
                                << Levels{10, 0, 10} << Missing;
    *row("all-off-nothing-on") << Off << 0 << Missing << "allOff" << QByteArray() << levels(Off, 0)
                               << Levels{} << Missing;

    // Modes: one packet for each choice, the levels untouched.
    *row("mode-1") << Off << 0 << Missing << "mode 0" << selectMode(0) << levels(Off, 0)
                   << Levels{0, 0, 11} << Missing;
    *row("mode-12-twice") << Levels(8, 5) << 5 << Missing << "mode 11;mode 11"
                          << selectMode(11) + selectMode(11) << levels(Levels(8, 5), 5)
                          << Levels{11, 0, 11} << Missing;
    *row("mode-6-then-channel-2") << Off << 0 << Missing << "mode 5;set 2 30"
                                  << selectMode(5) + setLevel(2, 30)
                                  << levels({0, 0, 30, 0, 0, 0, 0, 0}, 0) << Levels{2, 30, 10}
                                  << Missing;

    // Recall: the channels that change, in ascending order; the master stays.
    const QByteArray full = QByteArray(96, '\x07');
    *row("recall-two-channels") << Off << 33 << record({0, 99, 0, 0, 0, 0, 0, 50}) << "recall 1"
                                << setLevel(1, 99) + setLevel(7, 50)
                                << levels({0, 99, 0, 0, 0, 0, 0, 50}, 33) << Levels{7, 50, 10}
                                << Unchanged;
    *row("recall-what-is-there") << Levels{1, 2, 3, 4, 5, 6, 7, 8} << 0
                                 << record({1, 2, 3, 4, 5, 6, 7, 8}) << "recall 1" << QByteArray()
                                 << levels({1, 2, 3, 4, 5, 6, 7, 8}, 0) << Levels{} << Unchanged;
    QByteArray eight;
    for (int k = 0; k < 8; ++k)
        eight += setLevel(k, 10 + k);
    *row("recall-every-channel-in-order")
        << Off << 8 << QByteArray(8, '\0') + record({10, 11, 12, 13, 14, 15, 16, 17}) << "recall 2"
        << eight << levels({10, 11, 12, 13, 14, 15, 16, 17}, 8) << Levels{7, 17, 10} << Unchanged;
    *row("recall-12-reads-bytes-88-to-95")
        << Off << 0 << QByteArray(88, '\x05') + record({9, 0, 0, 0, 0, 0, 0, 99}) << "recall 12"
        << setLevel(0, 9) + setLevel(7, 99) << levels({9, 0, 0, 0, 0, 0, 0, 99}, 0)
        << Levels{7, 99, 10} << Unchanged;
    *row("recall-never-stored-is-off")
        << Levels{40, 0, 0, 0, 0, 0, 0, 40} << 0 << record({1, 1, 1, 1, 1, 1, 1, 1}) << "recall 6"
        << setLevel(0, 0) + setLevel(7, 0) << levels(Off, 0) << Levels{7, 0, 10} << Unchanged;
    *row("recall-cut-short-record")
        << Levels(8, 30) << 0 << QByteArray(8, '\0') + record({30, 30, 30}) << "recall 2"
        << setLevel(3, 0) + setLevel(4, 0) + setLevel(5, 0) + setLevel(6, 0) + setLevel(7, 0)
        << levels({30, 30, 30, 0, 0, 0, 0, 0}, 0) << Levels{7, 0, 10} << Unchanged;
    *row("recall-without-file-makes-it-empty") << Off << 0 << Missing << "recall 4" << QByteArray()
                                               << levels(Off, 0) << Levels{} << QByteArray();

    // Store: LevelBuf as one record, nothing on the line.
    *row("store-1-full-on-into-missing")
        << Levels(8, 99) << 99 << Missing << "store 1" << QByteArray() << levels(Levels(8, 99), 99)
        << Levels{} << QByteArray(8, '\x63');
    *row("store-12-into-missing") << Levels{1, 2, 3, 4, 5, 6, 7, 8} << 0 << Missing << "store 12"
                                  << QByteArray() << levels({1, 2, 3, 4, 5, 6, 7, 8}, 0)
                                  << Levels{}
                                  << QByteArray(88, '\0') + record({1, 2, 3, 4, 5, 6, 7, 8});
    *row("store-2-into-full") << Levels{0, 10, 20, 30, 40, 50, 60, 70} << 0 << full << "store 2"
                              << QByteArray() << levels({0, 10, 20, 30, 40, 50, 60, 70}, 0)
                              << Levels{}
                              << full.left(8) + record({0, 10, 20, 30, 40, 50, 60, 70}) +
                                     full.mid(16);
    *row("store-leaves-bytes-beyond-96")
        << Levels(8, 3) << 0 << QByteArray(100, '\x09') << "store 7" << QByteArray()
        << levels(Levels(8, 3), 0) << Levels{}
        << QByteArray(48, '\x09') + QByteArray(8, '\x03') + QByteArray(44, '\x09');
    *row("store-then-recall-sends-nothing")
        << Levels{12, 0, 34, 0, 56, 0, 78, 99} << 0 << Missing
        << "store 5;recall 5;allOff;recall 5"
        << setLevel(0, 0) + setLevel(2, 0) + setLevel(4, 0) + setLevel(6, 0) + setLevel(7, 0) +
               setLevel(0, 12) + setLevel(2, 34) + setLevel(4, 56) + setLevel(6, 78) +
               setLevel(7, 99)
        << levels({12, 0, 34, 0, 56, 0, 78, 99}, 0) << Levels{7, 99, 10}
        << QByteArray(32, '\0') + record({12, 0, 34, 0, 56, 0, 78, 99});

    // Download: the file's twelve records in one frame, whatever they hold.
    QByteArray counting;
    for (int i = 0; i < 96; ++i)
        counting += char(i);
    *row("download-full-file") << Levels(8, 50) << 0 << counting << "download" << frame(counting)
                               << levels(Levels(8, 50), 0) << Levels{} << Unchanged;
    *row("download-short-file-pads-zeros") << Off << 0 << QByteArray(20, '\x22') << "download"
                                           << frame(QByteArray(20, '\x22') + QByteArray(76, '\0'))
                                           << levels(Off, 0) << Levels{} << Unchanged;
    *row("download-without-file") << Off << 0 << Missing << "download;download"
                                  << frame('\0') + frame('\0') << levels(Off, 0) << Levels{}
                                  << QByteArray();
    const QByteArray startAndEnd = QByteArray("\xfa\xfb\xf1\xff", 4) + QByteArray(92, '\xfa');
    *row("download-start-and-end-bytes-inside")
        << Off << 0 << startAndEnd << "download" << frame(startAndEnd) << levels(Off, 0)
        << Levels{} << Unchanged;
    // Blackout: every channel's 0, sent whatever the desk believed; again, every level from
    // before. The master stays as it is.
    QByteArray zeros;
    for (int k = 0; k < 8; ++k)
        zeros += setLevel(k, 0);
    const Levels lit{10, 0, 0, 40, 0, 0, 0, 99};
    QByteArray litAgain;
    for (int k = 0; k < 8; ++k)
        litAgain += setLevel(k, lit[k]);
    *row("blackout-sends-eight-zeros") << lit << 0 << Missing << "blackout" << zeros
                                       << levels(Off, 0) << Levels{7, 0, 10} << Missing;
    *row("blackout-when-all-off-still-sends") << Off << 30 << Missing << "blackout" << zeros
                                              << levels(Off, 30) << Levels{7, 0, 10} << Missing;
    *row("blackout-and-back") << lit << 0 << Missing << "blackout;blackout" << zeros + litAgain
                              << levels(lit, 0) << Levels{7, 99, 10} << Missing;
    *row("blackout-kept-across-a-mode")
        << lit << 0 << Missing << "blackout;mode 2;blackout" << zeros + selectMode(2) + litAgain
        << levels(lit, 0) << Levels{7, 99, 10} << Missing;
    *row("blackout-ended-by-a-level")
        << lit << 0 << Missing << "blackout;set 2 30;blackout" << zeros + setLevel(2, 30) + zeros
        << levels(Off, 0) << Levels{7, 0, 10} << Missing;
    *row("blackout-ended-by-the-master")
        << lit << 0 << Missing << "blackout;master 20;blackout" << zeros + master(20) + zeros
        << levels(Off, 20) << Levels{7, 0, 10} << Missing;

    // Send all: the mode, if one was chosen, then all eight levels.
    *row("send-all-without-mode") << lit << 0 << Missing << "sendAll" << litAgain << levels(lit, 0)
                                  << Levels{7, 99, 10} << Missing;
    *row("send-all-with-mode") << lit << 5 << Missing << "mode 4;sendAll"
                               << selectMode(4) + selectMode(4) + litAgain << levels(lit, 5)
                               << Levels{7, 99, 10} << Missing;

    *row("download-longer-file") << Off << 0 << counting + QByteArray(10, '\x77') << "download"
                                 << frame(counting) << levels(Off, 0) << Levels{} << Unchanged;
}

void tst_Desk::intents()
{
    QFETCH(Levels, channels);
    QFETCH(int, masterLevel);
    QFETCH(QByteArray, file);
    QFETCH(QString, actions);
    QFETCH(QByteArray, wire);
    QFETCH(Levels, after);
    QFETCH(Levels, registers);
    QFETCH(QByteArray, fileAfter);

    DeskFixture f;
    QVERIFY2(f.isValid(), qPrintable(f.folder.errorString()));
    f.setLevels(channels, masterLevel);
    if (file != Missing)
        QVERIFY(Files::write(f.scenePath(), file));
    const Module1 before = f.desk.registers();

    perform(f, actions);
    QCOMPARE(Wire::hex(f.line.take()), Wire::hex(wire));
    QCOMPARE(f.levels(), after);
    const Module1 &now = f.desk.registers();
    for (int k = 0; k < 8; ++k)
        QCOMPARE(int(now.LevelBuf[k]), after[k]);
    if (registers.isEmpty())
        registers = {before.PktAddress, before.PktValue, before.PktCommand};
    QCOMPARE((Levels{now.PktAddress, now.PktValue, now.PktCommand}), registers);
    QCOMPARE(now.MasterSync, 0);
    QCOMPARE(Wire::hex(Files::bytes(f.scenePath())),
             Wire::hex(fileAfter == Unchanged ? file : fileAfter));
    QVERIFY2(f.failures.isEmpty(), qPrintable(f.failures.join('\n')));
    QVERIFY2(f.refusals.isEmpty(), qPrintable(f.refusals.join('\n')));
}

void tst_Desk::reportsWhatChanged()
{
    DeskFixture f;
    QVERIFY(Files::write(f.scenePath(), Wire::frame(Wire::countingRecords()).mid(1, 96)));
    f.setLevels({0, 70, 50, 50, 50, 50, 50, 50}, 50);
    QSignalSpy channels(&f.desk, &Desk::channelChanged);
    QSignalSpy masters(&f.desk, &Desk::masterChanged);
    QSignalSpy modes(&f.desk, &Desk::modeChanged);
    QSignalSpy scenes(&f.desk, &Desk::sceneRecalled);
    // Each change as "what=level by source", the last argument the source.
    const auto told = [](QSignalSpy &spy) {
        QStringList changes;
        for (const QList<QVariant> &change : spy) {
            QStringList values;
            for (qsizetype k = 0; k + 1 < change.size(); ++k)
                values << change[k].toString();
            const Source source = change.last().value<Source>();
            changes << values.join('=') +
                           QStringLiteral(" by %1/%2").arg(int(source.kind)).arg(source.client);
        }
        spy.clear();
        return changes.join(", ");
    };
    const auto from = [](Intent intent, Source::Kind kind, std::uint32_t client) {
        intent.source = Source{kind, client};
        return intent;
    };
    const int osc = int(Source::Kind::Osc);
    f.desk.apply(from(want(Intent::Kind::Master, 0, 70), Source::Kind::Osc, 3));
    QCOMPARE(told(masters), QString("70 by %1/3").arg(osc));
    // Channel 1 held 70 already: it is not told.
    QCOMPARE(told(channels), QString("0=70 by %1/3, 2=70 by %1/3, 3=70 by %1/3, 4=70 by %1/3, "
                                     "5=70 by %1/3, 6=70 by %1/3, 7=70 by %1/3")
                                 .arg(osc));

    const int web = int(Source::Kind::Web);
    f.desk.apply(from(want(Intent::Kind::Channel, 4, 71), Source::Kind::Web, 2));
    f.desk.apply(from(want(Intent::Kind::Mode, 6), Source::Kind::Web, 2));
    QCOMPARE(told(channels), QString("4=71 by %1/2").arg(web));
    QCOMPARE(told(modes), QString("6 by %1/2").arg(web));
    QCOMPARE(f.desk.mode(), 6);
    // A fade's steps are the fade's; the recall that started it is the key's.
    f.desk.apply(want(Intent::Kind::Recall, 1));
    QCOMPARE(told(scenes), QString("1 by %1/0").arg(int(Source::Kind::Key)));
    QCOMPARE(told(channels).count(QString(" by %1/0").arg(int(Source::Kind::Key))), 8);
    Intent slow = want(Intent::Kind::Recall, 2);
    slow.fade = 10;
    f.desk.apply(slow);
    f.clock.set(std::chrono::milliseconds(1000));
    f.desk.stepFades();
    QCOMPARE(told(channels).count(QString(" by %1/0").arg(int(Source::Kind::Fade))), 8);
    QCOMPARE(told(masters), QString());
}

void tst_Desk::refusesAScene()
{
    DeskFixture f;
    f.setLevels(Levels(8, 5), 0);
    QSignalSpy scenes(&f.desk, &Desk::sceneRecalled);
    QVERIFY(Files::write(f.scenePath(),
                         QByteArray(16, '\0') + record({10, 20, 30, 40, 150, 60, 70, 255})));
    f.desk.apply(want(Intent::Kind::Recall, 3));
    QCOMPARE(f.line.take(), QByteArray());
    QCOMPARE(f.refusals, QStringList{"3 4 150"});
    QCOMPARE(f.levels(), Levels(8, 5) << 0);
    QCOMPARE(scenes.count(), 0);
    // The desk carries on.
    f.desk.apply(want(Intent::Kind::Channel, 0, 6));
    QCOMPARE(Wire::hex(f.line.take()), Wire::hex(setLevel(0, 6)));
}

void tst_Desk::scenesThatCannotBeRead()
{
    DeskFixture f;
    f.setLevels(Levels(8, 5), 0);
    // A folder where the file should be: no recall, store or download can open it.
    QVERIFY(QDir().mkpath(f.scenePath()));
    f.desk.apply(want(Intent::Kind::Recall, 1));
    f.desk.apply(want(Intent::Kind::Store, 1));
    f.desk.apply(want(Intent::Kind::Download));
    QCOMPARE(f.line.take(), QByteArray());
    QCOMPARE(f.failures.size(), 3);
    for (const QString &failure : f.failures)
        QVERIFY2(failure.contains(f.scenePath()), qPrintable(failure));
    QCOMPARE(f.levels(), Levels(8, 5) << 0);
}

void tst_Desk::restoreSendsNothing()
{
    DeskFixture f;
    QSignalSpy channels(&f.desk, &Desk::channelChanged);
    QSignalSpy blackouts(&f.desk, &Desk::blackoutChanged);
    DeskState kept{{10, 0, 0, 40, 0, 0, 0, 99}, 60, 4, DeskState::Levels{1, 2, 3, 4, 5, 6, 7, 8}};
    f.desk.restore(kept);
    QCOMPARE(f.line.take(), QByteArray());
    QCOMPARE(f.desk.state(), kept);
    QCOMPARE(channels.count(), 8);
    QCOMPARE(blackouts.takeLast(), (QVariantList{true}));
    // A state no panel writes moves nothing.
    for (DeskState odd : {DeskState{{100}, 0, 0, {}}, DeskState{{}, -1, 0, {}},
                          DeskState{{}, 0, 12, {}}, DeskState{{}, 0, 0, DeskState::Levels{200}}}) {
        f.desk.restore(odd);
        QCOMPARE(f.desk.state(), kept);
    }
    // The blackout brought back from the last run ends as any other.
    f.desk.apply(want(Intent::Kind::Blackout));
    QCOMPARE(Wire::hex(f.line.take()),
             Wire::hex(setLevel(0, 1) + setLevel(1, 2) + setLevel(2, 3) + setLevel(3, 4) +
                       setLevel(4, 5) + setLevel(5, 6) + setLevel(6, 7) + setLevel(7, 8)));
    QVERIFY(!f.desk.isBlackout());
}

QTEST_MAIN(tst_Desk)
#include "tst_desk.moc"
