#include "dmx/artnetpacket.h"
#include "dmx/dmxpatch.h"
#include "dmx/networkinput.h"
#include "support/deskfixture.h"
#include "support/dmxpackets.h"

#include <QRegularExpression>
#include <QTest>

#include <chrono>

using namespace std::chrono_literals;

// A console's levels over the network, without a socket: crafted sACN and Art-Net packets
// handed to the input before the real desk, each turned into the channel changes it asks for
// or ignored and counted once; the merge of sources and their loss on the desk's test clock.
class tst_NetworkInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void patches_data();
    void patches();
    void packets_data();
    void packets();
    void lossHoldsTheLamps();
    void lossHandsOverToTheNextPriority();
    void endOfStreamHandsOverAtOnce();
    void theHandKeepsAChannelUntilTheConsoleMovesIt();
    void heldWhileAWindowIsUp();
    void pollReply();
    void pollRepliesAreBounded();
};

namespace {

using Protocol = DmxPatch::Protocol;
using DmxPackets::Sacn;

// One datagram, and the Art-Net sender it came from; a sender of 0 means sACN.
struct Datagram
{
    QByteArray bytes;
    std::uint32_t artNetFrom = 0;
};
using Datagrams = QList<Datagram>;

constexpr std::uint32_t Console = 0x0a000002; // 10.0.0.2
constexpr std::uint32_t Panel = 0x0a000001;   // 10.0.0.1

Datagram viaSacn(const Sacn &packet) { return {DmxPackets::sacn(packet), 0}; }

Datagram viaArtNet(const QByteArray &slots, int portAddress = 1, std::uint32_t from = Console)
{
    return {DmxPackets::artDmx(portAddress, slots), from};
}

QByteArray values(std::initializer_list<int> list)
{
    QByteArray bytes;
    for (const int value : list)
        bytes += char(value);
    return bytes;
}

// The desk with the input following sACN universe 1 and Art-Net port-address 1 from start,
// and every change the network made, "channel=level", in order.
struct NetworkDesk
{
    explicit NetworkDesk(int start = 1)
    {
        input.follow({Protocol::Sacn, 1, start});
        input.follow({Protocol::ArtNet, 1, start});
        QObject::connect(&f.desk, &Desk::channelChanged, &f.desk,
                         [this](int channel, int level, Source source) {
                             if (source.kind == Source::Kind::Network)
                                 changes << QStringLiteral("%1=%2").arg(channel).arg(level);
                         });
    }
    void send(const Datagram &datagram)
    {
        if (datagram.artNetFrom)
            input.handleArtNet(datagram.bytes, datagram.artNetFrom, Panel);
        else
            input.handleSacn(datagram.bytes);
    }
    void after(std::chrono::milliseconds time)
    {
        f.clock.set(f.clock.now() + time);
        input.expire();
    }
    QStringList take() { return std::exchange(changes, {}); }

    DeskFixture f;
    NetworkInput input{f.desk, f.clock};
    QStringList changes;
};

} // namespace

Q_DECLARE_METATYPE(Datagrams)

void tst_NetworkInput::patches_data()
{
    QTest::addColumn<bool>("artNet");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("universe"); // -1: refused
    QTest::addColumn<int>("start");
    QTest::newRow("sacn") << false << "1" << 1 << 1;
    QTest::newRow("sacn-last-universe-last-start") << false << "63999/505" << 63999 << 505;
    QTest::newRow("sacn-universe-0") << false << "0" << -1 << 0;
    QTest::newRow("sacn-universe-64000") << false << "64000" << -1 << 0;
    QTest::newRow("sacn-start-506") << false << "1/506" << -1 << 0;
    QTest::newRow("sacn-start-0") << false << "1/0" << -1 << 0;
    QTest::newRow("sacn-signed") << false << "+1" << -1 << 0;
    QTest::newRow("sacn-two-slashes") << false << "1/2/3" << -1 << 0;
    QTest::newRow("artnet-0") << true << "0" << 0 << 1;
    QTest::newRow("artnet-15-bits") << true << "32767/9" << 32767 << 9;
    QTest::newRow("artnet-net-sub-uni") << true << "1:2:3/17" << 0x123 << 17;
    QTest::newRow("artnet-too-high") << true << "32768" << -1 << 0;
    QTest::newRow("artnet-net-128") << true << "128:0:0" << -1 << 0;
    QTest::newRow("artnet-sub-16") << true << "0:16:0" << -1 << 0;
    QTest::newRow("artnet-two-fields") << true << "0:1" << -1 << 0;
}

void tst_NetworkInput::patches()
{
    QFETCH(bool, artNet);
    QFETCH(QString, text);
    QFETCH(int, universe);
    QFETCH(int, start);
    QString problem;
    const auto patch = DmxPatch::parse(artNet ? Protocol::ArtNet : Protocol::Sacn, text, &problem);
    QCOMPARE(patch ? patch->universe : -1, universe);
    QCOMPARE(patch ? patch->start : 0, start);
    QCOMPARE(problem.isEmpty(), patch.has_value());
}

void tst_NetworkInput::packets_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<Datagrams>("datagrams");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("counted");

    const QByteArray full = values({255, 128, 0, 1, 2, 3, 127, 254});
    const QStringList fullLevels = {"0=99", "1=50", "4=1", "5=1", "6=49", "7=99"};
    const Sacn levels{full};
    QTest::newRow("sacn-levels-rounded")
        << 1 << Datagrams{viaSacn(levels)} << fullLevels << "1 packets taken";
    QTest::newRow("artnet-levels-rounded")
        << 1 << Datagrams{viaArtNet(full)} << fullLevels << "1 packets taken";
    QTest::newRow("repeat-asks-nothing")
        << 1 << Datagrams{viaSacn(levels), viaSacn({full, 1, 100, 1})} << fullLevels
        << "2 packets taken";
    QTest::newRow("start-slot") << 5
                                << Datagrams{viaSacn({QByteArray(4, '\0') +
                                                      values({255, 0, 0, 0, 0, 0, 0, 51})})}
                                << QStringList{"0=99", "7=20"} << "1 packets taken";
    QTest::newRow("fewer-slots-than-channels") << 1 << Datagrams{viaSacn({values({255, 255})})}
                                               << QStringList{"0=99", "1=99"} << "1 packets taken";
    QTest::newRow("no-slot-of-the-board")
        << 9 << Datagrams{viaSacn({full})} << QStringList{} << "1 packets taken";
    QTest::newRow("highest-priority-wins")
        << 1
        << Datagrams{viaSacn({values({255}), 1, 100}), viaSacn({values({10}), 1, 150, 0, 0, 0, 2})}
        << QStringList{"0=99", "0=4"} << "2 packets taken";
    QTest::newRow("lower-priority-waits")
        << 1
        << Datagrams{viaSacn({values({10}), 1, 150}), viaSacn({values({255}), 1, 100, 0, 0, 0, 2})}
        << QStringList{"0=4"} << "2 packets taken";
    QTest::newRow("equal-priorities-highest-takes-precedence")
        << 1
        << Datagrams{viaSacn({values({255, 0})}), viaSacn({values({0, 255}), 1, 100, 0, 0, 0, 2})}
        << QStringList{"0=99", "1=99"} << "2 packets taken";
    QTest::newRow("artnet-merges-with-sacn-at-100")
        << 1 << Datagrams{viaSacn({values({51, 0})}), viaArtNet(values({0, 102}))}
        << QStringList{"0=20", "1=40"} << "1 packets taken, 1 packets taken"; // one each
    QTest::newRow("sequence-behind-dropped")
        << 1 << Datagrams{viaSacn({values({255}), 1, 100, 10}), viaSacn({values({0}), 1, 100, 9})}
        << QStringList{"0=99"} << "1 packets taken, 1 out of sequence";
    QTest::newRow("sequence-20-behind-dropped")
        << 1
        << Datagrams{viaSacn({values({255}), 1, 100, 10}), viaSacn({values({0}), 1, 100, 246})}
        << QStringList{"0=99"} << "1 packets taken, 1 out of sequence";
    QTest::newRow("sequence-21-behind-taken")
        << 1
        << Datagrams{viaSacn({values({255}), 1, 100, 10}), viaSacn({values({0}), 1, 100, 245})}
        << QStringList{"0=99", "0=0"} << "2 packets taken";
    QTest::newRow("sequence-round-the-byte")
        << 1 << Datagrams{viaSacn({values({255}), 1, 100, 250}), viaSacn({values({0}), 1, 100, 3})}
        << QStringList{"0=99", "0=0"} << "2 packets taken";
    QTest::newRow("seventh-sacn-source") << 1 <<
        [] {
            Datagrams datagrams;
            for (char cid = 1; cid <= 7; ++cid)
                datagrams << viaSacn({values({cid * 10}), 1, 100, 0, 0, 0, cid});
            return datagrams;
        }() << QStringList{"0=4", "0=8", "0=12", "0=16", "0=19", "0=23"}
                                         << "6 packets taken, 1 beyond 6 sources";
    QTest::newRow("third-artnet-source")
        << 1
        << Datagrams{viaArtNet(values({10}), 1, 1), viaArtNet(values({20}), 1, 2),
                     viaArtNet(values({30}), 1, 3)}
        << QStringList{"0=4", "0=8"} << "2 packets taken, 1 beyond 2 sources";
    QTest::newRow("sacn-other-universe")
        << 1 << Datagrams{viaSacn({full, 2})} << QStringList{} << "1 other universes";
    QTest::newRow("artnet-other-port-address")
        << 1 << Datagrams{viaArtNet(full, 0x101)} << QStringList{} << "1 other universes";
    QTest::newRow("start-code") << 1 << Datagrams{viaSacn({full, 1, 100, 0, 0, 0xdd})}
                                << QStringList{} << "1 other start codes";
    QTest::newRow("priority-201") << 1 << Datagrams{viaSacn({full, 1, 201})} << QStringList{}
                                  << "1 priorities over 200";
    QTest::newRow("preview") << 1 << Datagrams{viaSacn({full, 1, 100, 0, 0x80})} << QStringList{}
                             << "1 preview data";
    QTest::newRow("end-of-stream-takes-no-levels")
        << 1 << Datagrams{viaSacn({full, 1, 100, 0, 0x40})} << QStringList{} << "1 ends of stream";
    QTest::newRow("sacn-synchronisation") << 1 << Datagrams{{DmxPackets::sacnSync(7), 0}}
                                          << QStringList{} << "1 synchronisation or discovery";

    const QByteArray good = DmxPackets::sacn(levels);
    const auto changed = [&good](int at, QByteArray bytes) {
        QByteArray bad = good;
        return bad.replace(at, bytes.size(), bytes);
    };
    const QList<std::pair<const char *, QByteArray>> refused = {
        {"short", good.first(125)},
        {"short", good.first(37)},
        {"long", DmxPackets::sacn({QByteArray(513, '\0')})},
        {"wrong identifiers", changed(4, "ASC-E1.18")},
        {"wrong identifiers", changed(1, "\x11")},
        {"wrong vectors", changed(21, "\x05")},
        {"wrong vectors", changed(43, "\x03")},
        {"wrong vectors", changed(118, "\xa2")},
        {"wrong vectors", changed(122, "\x02")},
        {"wrong lengths", changed(17, QByteArray(1, '\0'))},
        {"wrong lengths", good + '\0'},
        {"wrong lengths", changed(124, "\x08")},
        {"wrong lengths", changed(115, "\x30")},
        {"over 512 slots", changed(123, QByteArray("\x02\x02", 2))},
    };
    for (int k = 0; k < refused.size(); ++k) {
        const auto &[counter, bytes] = refused[k];
        QTest::addRow("sacn-%d-%s", k, counter)
            << 1 << Datagrams{{bytes, 0}} << QStringList{} << QStringLiteral("1 %1").arg(counter);
    }
    const QByteArray dmx = DmxPackets::artDmx(1, full);
    const QList<std::pair<const char *, QByteArray>> artRefused = {
        {"short", dmx.first(9)},
        {"short", dmx.first(17)},
        {"short", dmx.first(25)},
        {"short", DmxPackets::artDmx(1, {})},
        {"long", DmxPackets::artDmx(1, QByteArray(513, '\0')).first(531)},
        {"over 512 slots", DmxPackets::artDmx(1, QByteArray(513, '\0')).first(530)},
        {"wrong identifiers", QByteArray(dmx).replace(0, 3, "ART")},
        {"versions before 14", DmxPackets::artDmx(1, full, 13)},
        {"other operations", DmxPackets::artNet(0x5200) + QByteArray(4, '\0')},
    };
    for (int k = 0; k < artRefused.size(); ++k) {
        const auto &[counter, bytes] = artRefused[k];
        QTest::addRow("artnet-%d-%s", k, counter)
            << 1 << Datagrams{{bytes, Console}} << QStringList{}
            << QStringLiteral("1 %1").arg(counter);
    }
}

void tst_NetworkInput::packets()
{
    QFETCH(int, start);
    QFETCH(Datagrams, datagrams);
    QFETCH(QStringList, changes);
    QFETCH(QString, counted);
    NetworkDesk desk(start);
    for (const Datagram &datagram : datagrams)
        desk.send(datagram);
    QCOMPARE(desk.take(), changes);
    // Each datagram counts once: the counts named add up to them, and no other is above 0.
    const QString summaries = desk.input.counts(Protocol::Sacn).sacnSummary() + "; " +
                              desk.input.counts(Protocol::ArtNet).artNetSummary();
    qint64 named = 0;
    for (const QString &count : counted.split(", ")) {
        QVERIFY2(summaries.contains(QRegularExpression("[:,;] " + count + "[,;]|" + count + "$")),
                 qPrintable(summaries));
        named += count.section(' ', 0, 0).toLongLong();
    }
    QCOMPARE(named, qint64(datagrams.size()));
    QCOMPARE(desk.input.counts(Protocol::Sacn).total() +
                 desk.input.counts(Protocol::ArtNet).total(),
             named);
}

void tst_NetworkInput::lossHoldsTheLamps()
{
    NetworkDesk desk;
    desk.send(viaSacn({values({255, 128})}));
    desk.after(2500ms);
    QCOMPARE(desk.input.stateText(), QStringLiteral("sACN 1\n1 source\n\nArt-Net 0:0:1\nwaiting"));
    desk.after(1ms);
    QCOMPARE(desk.input.look(), NetworkInput::Look::Lost);
    QVERIFY(desk.input.stateText().startsWith(QLatin1String("sACN 1\nlost\n")));
    desk.send(viaArtNet(values({255, 128, 51})));
    QCOMPARE(desk.input.look(), NetworkInput::Look::Lost);
    desk.after(10000ms);
    QVERIFY(desk.input.stateText().endsWith(QLatin1String("Art-Net 0:0:1\n1 source")));
    desk.after(1ms);
    QVERIFY(desk.input.stateText().contains(QLatin1String("Art-Net 0:0:1\nlost\n")));
    QCOMPARE(desk.take(), QStringList({"0=99", "1=50", "2=20"}));
    QCOMPARE(desk.f.levels(), QList<int>({99, 50, 20, 0, 0, 0, 0, 0, 0}));
}

void tst_NetworkInput::lossHandsOverToTheNextPriority()
{
    NetworkDesk desk;
    desk.send(viaSacn({values({51}), 1, 90, 0, 0, 0, 1}));
    desk.after(1000ms);
    desk.send(viaSacn({values({255}), 1, 120, 0, 0, 0, 2}));
    desk.after(2000ms);
    desk.send(viaSacn({values({51}), 1, 90, 1, 0, 0, 1}));
    desk.after(501ms);
    QCOMPARE(desk.take(), QStringList({"0=20", "0=99", "0=20"}));
}

void tst_NetworkInput::endOfStreamHandsOverAtOnce()
{
    NetworkDesk desk;
    desk.send(viaSacn({values({51}), 1, 90, 0, 0, 0, 1}));
    desk.send(viaSacn({values({255}), 1, 120, 0, 0, 0, 2}));
    desk.send(viaSacn({values({255}), 1, 120, 1, 0x40, 0, 2}));
    QCOMPARE(desk.take(), QStringList({"0=20", "0=99", "0=20"}));
    desk.send(viaSacn({values({51}), 1, 90, 1, 0x40, 0, 1}));
    QCOMPARE(desk.input.look(), NetworkInput::Look::Waiting);
    QVERIFY(desk.input.stateText().startsWith(QLatin1String("sACN 1\nended\n")));
    QCOMPARE(desk.input.counts(Protocol::Sacn).endsOfStream, qint64(2));
    QCOMPARE(desk.f.levels().first(), 20);
}

void tst_NetworkInput::theHandKeepsAChannelUntilTheConsoleMovesIt()
{
    NetworkDesk desk;
    desk.send(viaSacn({values({128})}));
    desk.f.desk.apply({Intent::Kind::Channel, 0, 20, std::nullopt, {Source::Kind::Window, 0}});
    desk.send(viaSacn({values({128}), 1, 100, 1}));
    QCOMPARE(desk.f.desk.channel(0), 20);
    desk.send(viaSacn({values({155}), 1, 100, 2}));
    QCOMPARE(desk.f.desk.channel(0), 60);
    QCOMPARE(desk.take(), QStringList({"0=50", "0=60"}));
}

void tst_NetworkInput::heldWhileAWindowIsUp()
{
    NetworkDesk desk;
    desk.f.desk.holdInput(true);
    desk.send(viaSacn({values({255})}));
    QCOMPARE(desk.f.desk.channel(0), 0);
    QCOMPARE(desk.input.counts(Protocol::Sacn).whileWindowUp, qint64(1));
    desk.f.desk.holdInput(false);
    // The console's next refresh brings what it asked for meanwhile.
    desk.send(viaSacn({values({255}), 1, 100, 1}));
    QCOMPARE(desk.take(), QStringList({"0=99"}));
}

void tst_NetworkInput::pollReply()
{
    NetworkDesk desk(17);
    desk.input.follow({Protocol::ArtNet, 0x123, 17});
    const QByteArray reply = desk.input.handleArtNet(DmxPackets::artPoll(), Console, Panel);
    QCOMPARE(reply.size(), ArtNetPacket::PollReplySize);
    QCOMPARE(ArtNetPacket::read(reply).kind, ArtNetPacket::Kind::PollReply);
    QCOMPARE(reply.mid(10, 6), QByteArray("\x0a\x00\x00\x01\x36\x19", 6)); // address, port
    QCOMPARE(reply.mid(18, 2), QByteArray("\x01\x02"));                    // net, sub-net
    QCOMPARE(reply.mid(26, 13), QByteArray("dimmer-panel\0", 13));
    QCOMPARE(reply.mid(172, 3), QByteArray("\x00\x01\x80", 3)); // one output port
    QCOMPARE(reply[182], '\0');                                 // nothing output yet
    QCOMPARE(reply[190], '\x03');                               // its universe
    QCOMPARE(reply.mid(207, 4), reply.mid(10, 4));
    QVERIFY(reply.mid(108, 64).startsWith("#0001 [0001] waiting for levels"));
    // Its own reply, back on the port it shares with the poller.
    QCOMPARE(desk.input.handleArtNet(reply, Panel, Panel), QByteArray());
    QCOMPARE(desk.input.counts(Protocol::ArtNet).ownReplies, qint64(1));
    desk.send(viaArtNet(QByteArray(16, '\0') + '\x01', 0x123));
    desk.after(1s);
    const QByteArray second = desk.input.handleArtNet(DmxPackets::artPoll(), Console, Panel);
    QCOMPARE(second[182], '\x80');
    QVERIFY(second.mid(108, 64).startsWith("#0001 [0002] receiving"));
}

void tst_NetworkInput::pollRepliesAreBounded()
{
    NetworkDesk desk;
    for (int k = 0; k < 6; ++k)
        desk.input.handleArtNet(DmxPackets::artPoll(), Console, Panel);
    desk.after(999ms);
    QCOMPARE(desk.input.handleArtNet(DmxPackets::artPoll(), Console, Panel), QByteArray());
    desk.after(1ms);
    QCOMPARE(desk.input.handleArtNet(DmxPackets::artPoll(), Console, Panel).size(), 239);
    QCOMPARE(desk.input.counts(Protocol::ArtNet).pollsAnswered, qint64(5));
    QCOMPARE(desk.input.counts(Protocol::ArtNet).pollsTooFast, qint64(3));
}

QTEST_GUILESS_MAIN(tst_NetworkInput)
#include "tst_networkinput.moc"
