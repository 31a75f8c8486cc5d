#include "app/deskaccess.h"
#include "link/seriallink.h"
#include "remote/feedbackclients.h"
#include "remote/osccounts.h"
#include "remote/oscendpoint.h"
#include "remote/oscintent.h"
#include "remote/oscmessage.h"
#include "remote/oscserver.h"
#include "support/deskactions.h"
#include "support/deskfixture.h"
#include "support/files.h"
#include "support/osc.h"
#include "support/oscclient.h"
#include "support/wire.h"

#include <QTest>
#include <QUdpSocket>

#include <limits>

// Remote control over OSC: each message as the intent it asks the desk for, or counted once
// as what it is when it asks for none; and, on real UDP over the loopback, the levels told
// back to the clients and to the targets named at start.
class tst_Remote : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clientsExpireAfterTenMinutes();
    void clientsAreCapped();
    void whoHearsWhat();
    void noAmplifier();
    void reads_data();
    void reads();
    void heldByTheDesk();
    void feedback_data();
    void feedback();
    void feedbackToNamedTarget();
    void feedbackInTheClientsForm_data();
    void feedbackInTheClientsForm();
    void noFeedbackAfterBadInput();
    void portInUse();
};

namespace {

using Levels = QList<int>;
using Datagrams = QList<QByteArray>;

const QHostAddress Loopback(QHostAddress::LocalHost);

// The desk with remote control on a port of the loopback that the system chose, kept told
// of every level as the panel keeps it, and one remote control talking to it.
class RemoteDesk
{
public:
    // The levels are set before remote control starts: none of them is news to tell.
    explicit RemoteDesk(const Levels &channels = {}, int master = 0)
    {
        m_failure = !f.isValid() ? f.folder.errorString() : client.failure();
        if (!m_failure.isEmpty())
            return;
        f.setLevels(channels, master);
        QObject::connect(&f.desk, &Desk::channelChanged, &server, &OscServer::levelsChanged);
        QObject::connect(&f.desk, &Desk::masterChanged, &server, &OscServer::levelsChanged);
        server.listen({Loopback, 0}, &m_failure);
    }

    QString failure() const { return m_failure; }
    quint16 port() const { return server.localEndpoint().port; }
    void send(const QByteArray &datagram) { client.send(datagram, port()); }
    // Straight to the server, as its socket hands over a datagram of the remote control's.
    void hand(const QByteArray &datagram)
    {
        server.handleDatagram(datagram, {Loopback, client.port()});
    }

    DeskFixture f;
    SerialLink link;
    DeskAccess access{f.desk, link};
    OscServer server{access};
    OscClient client;

private:
    QString m_failure;
};

QStringList names(const QList<OscEndpoint> &endpoints)
{
    QStringList list;
    for (const OscEndpoint &endpoint : endpoints)
        list << endpoint.toString();
    return list;
}

// Scene n (1..12), channel k holds 8(n - 1) + k.
QByteArray countingScenes() { return Wire::frame(Wire::countingRecords()).mid(1, 96); }

QByteArray channel(int n, int level)
{
    return Osc::message("/dimmer/channel/" + QByteArray::number(n), {level});
}

QByteArray master(int level) { return Osc::message("/dimmer/master", {level}); }

const float NaN = std::numeric_limits<float>::quiet_NaN();

// The counts after one datagram that went where the summary's words say.
OscCounts countedOnce(const QString &words)
{
    OscCounts counts;
    const std::pair<const char *, qint64 *> fields[] = {
        {"button releases", &counts.releases},       {"unknown addresses", &counts.unknown},
        {"wrong arguments", &counts.wrongArguments}, {"values out of range", &counts.outOfRange},
        {"malformed packets", &counts.malformed},    {"bundles", &counts.bundles}};
    for (const auto &[name, count] : fields) {
        if (words == QLatin1String(name))
            *count = 1;
    }
    return counts;
}

// A tablet (port 9001) and a target named at start (port 9000), from time 0.
struct TabletAndTarget
{
    TabletAndTarget() { clients.addTarget(named, FeedbackClients::Levels{}); }

    FeedbackClients::Clock::time_point start{};
    OscEndpoint tablet{Loopback, 9001};
    OscEndpoint named{Loopback, 9000};
    FeedbackClients clients;
};

} // namespace

void tst_Remote::clientsExpireAfterTenMinutes()
{
    using namespace std::chrono_literals;
    const FeedbackClients::Clock::time_point start{};
    const OscEndpoint tablet{Loopback, 9001};
    const OscEndpoint bridge{Loopback, 9002};
    const OscEndpoint named{Loopback, 9000};
    const FeedbackClients::Levels off{};
    FeedbackClients clients;
    clients.addTarget(named, off);
    clients.heard(tablet, 0, 1, off, start);
    clients.heard(bridge, 0, 1, off, start + 5min);
    clients.heard(named, 0, 1, off, start + 5min); // a named target is not also a client
    QCOMPARE(names(clients.current(start + 10min)), names({named, tablet, bridge}));
    QCOMPARE(names(clients.current(start + 10min + 1ms)), names({named, bridge}));
    clients.heard(tablet, 0, 1, off, start + 11min);
    QCOMPARE(names(clients.current(start + 15min + 1ms)), names({named, tablet}));
    QCOMPARE(names(clients.current(start + 21min + 1ms)), names({named}));
}

void tst_Remote::clientsAreCapped()
{
    using namespace std::chrono_literals;
    const FeedbackClients::Clock::time_point start{};
    FeedbackClients clients;
    for (quint16 k = 0; k <= FeedbackClients::MaximumClients; ++k)
        clients.heard({Loopback, quint16(10000 + k)}, -1, 0, {}, start + k * 1s);
    const QStringList current = names(clients.current(start + 2min));
    QCOMPARE(current.size(), qsizetype(FeedbackClients::MaximumClients));
    QVERIFY(!current.contains("127.0.0.1:10000"));
    QVERIFY(current.contains("127.0.0.1:10064"));
}

void tst_Remote::whoHearsWhat()
{
    using namespace std::chrono_literals;
    using Levels = FeedbackClients::Levels;
    TabletAndTarget listeners;
    auto &[start, tablet, named, clients] = listeners;
    const auto told = [&](const Levels &levels, FeedbackClients::Clock::time_point at) {
        QStringList datagrams;
        for (const FeedbackClients::Datagram &d : clients.due(levels, at, nullptr))
            datagrams << QStringLiteral("%1 %2=%3").arg(d.to.port).arg(d.address).arg(d.level);
        return datagrams;
    };
    // The tablet set channel 1 to 50: the target hears it, the tablet shows it already.
    Levels levels{50};
    clients.heard(tablet, 0, 50, Levels{}, start);
    QCOMPARE(told(levels, start), QStringList{"9000 0=50"});
    // The tablet moved the master: it hears the channels the master moved, channels first.
    const Levels before = levels;
    levels = {70, 70, 70, 70, 70, 70, 70, 70, 70};
    clients.heard(tablet, FeedbackClients::MasterAddress, 70, before, start + 1s);
    QCOMPARE(told(levels, start + 1s).filter("9001"),
             (QStringList{"9001 0=70", "9001 1=70", "9001 2=70", "9001 3=70", "9001 4=70",
                          "9001 5=70", "9001 6=70", "9001 7=70"}));
    // What it was just told comes back as an echo for a second, not as an order.
    QVERIFY(clients.isEcho(tablet, 3, 70, start + 1s + 20ms));
    QVERIFY(!clients.isEcho(tablet, 3, 71, start + 1s + 20ms));
    QVERIFY(!clients.isEcho(tablet, 3, 70, start + 2s + 1ms));
    QVERIFY(!clients.isEcho({Loopback, 9009}, 3, 70, start + 1s));
    // Nothing changed: nobody hears anything.
    QCOMPARE(told(levels, start + 2s), QStringList());
}

void tst_Remote::noAmplifier()
{
    using namespace std::chrono_literals;
    using Levels = FeedbackClients::Levels;
    TabletAndTarget listeners;
    auto &[start, tablet, named, clients] = listeners;
    // One message from the tablet; then the panel's operator drags the master for long.
    clients.heard(tablet, 0, 1, Levels{}, start);
    int tabletHeard = 0;
    int namedHeard = 0;
    for (int tick = 1; tick <= 600; ++tick) {
        const int level = tick % 100;
        const Levels levels{level, level, level, level, level, level, level, level, level};
        for (const FeedbackClients::Datagram &d :
             clients.due(levels, start + tick * 16ms, nullptr))
            ++(d.to == tablet ? tabletHeard : namedHeard);
    }
    // The tablet hears no more than one message can change; the named target hears at the
    // line's rate, no faster: 9.6 s of nine levels a tick would be 5,400.
    QCOMPARE(tabletHeard, FeedbackClients::DatagramsPerMessage);
    QVERIFY2(namedHeard <= 11 * FeedbackClients::MostPerSecond && namedHeard > 1500,
             qPrintable(QString::number(namedHeard)));
}

void tst_Remote::reads_data()
{
    QTest::addColumn<QByteArray>("datagram");
    // The intent asked for, as the desk's tests write it; or what the datagram counts as.
    QTest::addColumn<QString>("asks");

    const auto row = [](const char *name, const QByteArray &datagram, const char *asks) {
        QTest::newRow(name) << datagram << QString::fromLatin1(asks);
    };
    row("channel-1-int", channel(1, 40), "set 0 40");
    row("channel-8-float-full", Osc::message("/dimmer/channel/8", {1.0f}), "set 7 99");
    row("channel-3-float-half-rounds-up", Osc::message("/dimmer/channel/3", {0.5f}), "set 2 50");
    row("channel-5-float-rounds-down-to-off", Osc::message("/dimmer/channel/5", {0.005f}),
        "set 4 0");
    row("master-int", master(70), "master 70");
    row("master-float-0", Osc::message("/dimmer/master", {0.0f}), "master 0");
    row("full-on-3", Osc::message("/dimmer/fullon/3"), "fullOn 2");
    row("full-on-3-pressed-with-float-1", Osc::message("/dimmer/fullon/3", {1.0f}), "fullOn 2");
    row("full-on-8-pressed-with-int-1", Osc::message("/dimmer/fullon/8", {1}), "fullOn 7");
    row("off-6", Osc::message("/dimmer/off/6"), "off 5");
    row("master-full-on", Osc::message("/dimmer/master/fullon"), "masterFullOn");
    row("all-off", Osc::message("/dimmer/alloff"), "allOff");
    row("scene-2", Osc::message("/dimmer/scene/2"), "recall 2");
    row("scene-12-pressed-with-float-1", Osc::message("/dimmer/scene/12", {1.0f}), "recall 12");
    row("scene-3-over-2.5-s", Osc::message("/dimmer/scene/3", {1, 2.5f}), "recall 3 25");
    row("scene-3-over-4-s", Osc::message("/dimmer/scene/3", {1.0f, 4}), "recall 3 40");
    row("scene-1-cut-at-once", Osc::message("/dimmer/scene/1", {1, 0.0f}), "recall 1 0");
    row("mode-1", Osc::message("/dimmer/mode/1"), "mode 0");
    row("mode-12", Osc::message("/dimmer/mode/12", {1}), "mode 11");
    row("download", Osc::message("/dimmer/download"), "download");
    row("blackout", Osc::message("/dimmer/blackout"), "blackout");
    row("send-all", Osc::message("/dimmer/sendall", {1}), "sendAll");
    const QByteArray fade("/dimmer/fade");
    row("fade-float-seconds", Osc::message(fade, {2.5f}), "fade 25");
    row("fade-int-seconds", Osc::message(fade, {3}), "fade 30");
    row("fade-to-the-tenth", Osc::message(fade, {0.96f}), "fade 10");
    row("fade-longest", Osc::message(fade, {10.0f}), "fade 100");
    row("fade-a-cut", Osc::message(fade, {0.0f}), "fade 0");
    row("undo", Osc::message("/dimmer/undo"), "undo");
    row("undo-pressed-with-int-1", Osc::message("/dimmer/undo", {1}), "undo");
    row("redo-pressed-with-float-1", Osc::message("/dimmer/redo", {1.0f}), "redo");
    row("go", Osc::message("/dimmer/go"), "go");
    row("back-pressed-with-int-1", Osc::message("/dimmer/back", {1}), "back");
    row("pause", Osc::message("/dimmer/pause", {1.0f}), "pause");
    row("goto-cue-2.5", Osc::message("/dimmer/cue/goto", {2.5f}), "goto 25");
    row("goto-cue-7-int", Osc::message("/dimmer/cue/goto", {7}), "goto 70");
    row("record-cue-3-times-not-given", Osc::message("/dimmer/cue/record", {3.0f}),
        "recordCue 30 0");
    row("record-cue-0.1-up-2", Osc::message("/dimmer/cue/record", {0.1f, 2.0f}), "recordCue 1 20");
    row("record-cue-9999.9-up-down", Osc::message("/dimmer/cue/record", {9999.9f, 2, 1.5f}),
        "recordCue 99999 20 15");
    QTest::newRow("goto-cue-0") << Osc::message("/dimmer/cue/goto", {0.0f})
                                << "values out of range";
    QTest::newRow("record-cue-time-601")
        << Osc::message("/dimmer/cue/record", {1, 601}) << "values out of range";
    QTest::newRow("goto-no-number") << Osc::message("/dimmer/cue/goto") << "wrong arguments";
    QTest::newRow("record-four-numbers")
        << Osc::message("/dimmer/cue/record", {1, 1, 1, 1}) << "wrong arguments";

    const QByteArray fullOn = Osc::message("/dimmer/fullon/1");
    for (const char *address :
         {"/dimmer/chanel/1", "/dimmer/channel/0", "/dimmer/channel/9", "/dimmer/channel/01",
          "/dimmer/channel/+1", "/dimmer/channel", "/dimmer/channel/[1-8]", "/dimmer/*",
          "/dimmer/fullon/9", "/dimmer/off/0", "/dimmer/scene/13", "/dimmer/mode/0",
          "/dimmer/download/", "dimmer/download", "/Dimmer/download", ""}) {
        QTest::addRow("unknown-address-'%s'", address)
            << Osc::message(address, {40}) << "unknown addresses";
    }

    const QByteArray level = "/dimmer/channel/1";
    QTest::newRow("level-missing") << Osc::message(level) << "wrong arguments";
    QTest::newRow("master-level-missing") << Osc::message("/dimmer/master") << "wrong arguments";
    // The second argument lies 4-byte aligned, where liblo's union wants 8.
    QTest::newRow("two-levels") << Osc::message(level, {40, 41}) << "wrong arguments";
    QTest::newRow("found-by-fuzzing-two-floats")
        << QByteArray::fromBase64("Ly+/ACxmZgACAC+/AP9FAA==") << "unknown addresses";
    QTest::newRow("level-as-text") << Osc::message(level, {QByteArray("40")}) << "wrong arguments";
    QTest::newRow("level-as-double")
        << Osc::raw(level, "d", QByteArray::fromHex("3fe0000000000000")) << "wrong arguments";
    QTest::newRow("level-as-int64")
        << Osc::raw(level, "h", QByteArray::fromHex("0000000000000028")) << "wrong arguments";
    QTest::newRow("level-as-true") << Osc::raw(level, "T") << "wrong arguments";
    QTest::newRow("level-as-blob")
        << Osc::raw(level, "b", Osc::bigEndian32(1) + QByteArray("\x28\0\0\0", 4))
        << "wrong arguments";
    QTest::newRow("blob-cut-short")
        << Osc::raw("/dimmer/download", "b", QByteArray(2, '\0')) << "wrong arguments";
    QTest::newRow("button-two-arguments")
        << Osc::message("/dimmer/fullon/1", {1, 1}) << "wrong arguments";
    QTest::newRow("button-text") << Osc::message("/dimmer/download", {QByteArray("go")})
                                 << "wrong arguments";
    QTest::newRow("button-nan") << Osc::message("/dimmer/alloff", {NaN}) << "wrong arguments";
    QTest::newRow("button-true") << Osc::raw("/dimmer/master/fullon", "T") << "wrong arguments";

    QTest::newRow("int-100") << channel(1, 100) << "values out of range";
    QTest::newRow("int-minus-1") << channel(8, -1) << "values out of range";
    QTest::newRow("int-lowest") << master(std::numeric_limits<std::int32_t>::min())
                                << "values out of range";
    QTest::newRow("master-int-100") << master(100) << "values out of range";
    QTest::newRow("float-above-1") << Osc::message(level, {1.01f}) << "values out of range";
    QTest::newRow("float-below-0") << Osc::message(level, {-0.01f}) << "values out of range";
    QTest::newRow("float-nan") << Osc::message("/dimmer/master", {NaN}) << "values out of range";
    QTest::newRow("float-infinity")
        << Osc::message(level, {std::numeric_limits<float>::infinity()}) << "values out of range";

    QTest::newRow("empty-datagram") << QByteArray() << "malformed packets";
    QTest::newRow("cut-in-argument") << channel(1, 40).chopped(2) << "malformed packets";
    QTest::newRow("argument-missing") << Osc::raw(level, "i") << "malformed packets";
    QTest::newRow("cut-in-type-tags") << fullOn.left(21) << "malformed packets";
    QTest::newRow("cut-in-address") << fullOn.left(6) << "malformed packets";
    QTest::newRow("bytes-after-arguments")
        << channel(1, 40) + QByteArray(4, '\0') << "malformed packets";
    QTest::newRow("no-type-tags") << Osc::padded("/dimmer/download") << "malformed packets";
    QTest::newRow("type-tags-without-comma")
        << Osc::padded("/dimmer/fullon/1") + Osc::padded("i") + Osc::bigEndian32(1)
        << "malformed packets";
    QTest::newRow("address-not-padded")
        << QByteArray("/dimmer/download\0,\0\0\0", 21) << "malformed packets";
    QTest::newRow("unknown-type-tag")
        << Osc::raw("/dimmer/download", "x", Osc::bigEndian32(1)) << "malformed packets";
    QTest::newRow("garbage") << QByteArray::fromHex("f1000a63fa") << "malformed packets";

    QTest::newRow("bundle") << Osc::bundle({fullOn}) << "bundles";
    QTest::newRow("empty-bundle") << Osc::bundle({}) << "bundles";
    QTest::newRow("bundle-cut-short") << Osc::bundle({fullOn}).left(12) << "bundles";

    QTest::newRow("release-float")
        << Osc::message("/dimmer/fullon/1", {0.0f}) << "button releases";
    QTest::newRow("release-negative-zero")
        << Osc::message("/dimmer/alloff", {-0.0f}) << "button releases";
    QTest::newRow("release-int") << Osc::message("/dimmer/scene/1", {0}) << "button releases";

    QTest::newRow("fade-missing") << Osc::message(fade) << "wrong arguments";
    QTest::newRow("fade-as-text") << Osc::message(fade, {QByteArray("2")}) << "wrong arguments";
    QTest::newRow("fade-above-10-s") << Osc::message(fade, {10.01f}) << "values out of range";
    QTest::newRow("fade-int-11-s") << Osc::message(fade, {11}) << "values out of range";
    QTest::newRow("fade-below-0") << Osc::message(fade, {-0.1f}) << "values out of range";
    QTest::newRow("fade-nan") << Osc::message(fade, {NaN}) << "values out of range";
    QTest::newRow("undo-released") << Osc::message("/dimmer/undo", {0}) << "button releases";

    row("scene-fade-above-10-s", Osc::message("/dimmer/scene/1", {1, 11}), "values out of range");
    row("scene-fade-as-text", Osc::message("/dimmer/scene/1", {1, QByteArray("2")}),
        "wrong arguments");
    row("scene-three-arguments", Osc::message("/dimmer/scene/1", {1, 2, 3}), "wrong arguments");
    row("scene-released-with-fade", Osc::message("/dimmer/scene/1", {0, 2.0f}), "button releases");
    row("scene-released-with-text", Osc::message("/dimmer/scene/1", {0, QByteArray("2")}),
        "wrong arguments");
    row("mode-with-fade", Osc::message("/dimmer/mode/2", {1, 2}), "wrong arguments");
}

void tst_Remote::reads()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QString, asks);
    RemoteDesk remote;
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    remote.hand(datagram);
    QCOMPARE(remote.server.counts().total(), qint64(1));
    if (const std::optional<Intent> intent = intentOf(asks)) {
        const OscIntent asked = OscIntent::read(OscMessage::read(datagram), {});
        QVERIFY(asked.acts());
        QCOMPARE(describe(asked.intent), describe(*intent));
        QCOMPARE(remote.server.counts().taken, qint64(1));
    } else {
        QCOMPARE(remote.server.counts().summary(), countedOnce(asks).summary());
        QCOMPARE(remote.f.line.take(), QByteArray());
    }
}

void tst_Remote::heldByTheDesk()
{
    RemoteDesk remote;
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    // The scene key window or a question is up: the desk takes nothing, and says so.
    remote.f.desk.holdInput(true);
    remote.hand(channel(1, 40));
    remote.hand(Osc::message("/dimmer/mode/3"));
    QCOMPARE(remote.server.counts().held, qint64(2));
    QCOMPARE(remote.f.line.take(), QByteArray());
    remote.f.desk.holdInput(false);
    remote.hand(channel(1, 40));
    QCOMPARE(remote.server.counts().taken, qint64(1));
    QCOMPARE(remote.server.counts().total(), qint64(3));
}

void tst_Remote::feedback_data()
{
    QTest::addColumn<Levels>("channels");
    QTest::addColumn<int>("master");
    QTest::addColumn<QByteArray>("datagram"); // from the tablet
    QTest::addColumn<Datagrams>("toTablet");
    QTest::addColumn<Datagrams>("toOther"); // a remote control heard from before

    const Levels off(8, 0);
    // The tablet shows what it set itself; the other hears it.
    QTest::newRow("channel") << off << 0 << channel(3, 50) << Datagrams{}
                             << Datagrams{channel(3, 50)};
    QTest::newRow("channel-at-its-level")
        << Levels{0, 0, 40, 0, 0, 0, 0, 0} << 0 << channel(3, 40) << Datagrams{} << Datagrams{};
    // The channels that the master's copy moves, then the master; the tablet hears the
    // channels only.
    const Datagrams moved = {channel(1, 70), channel(3, 70), channel(4, 70), channel(5, 70),
                             channel(6, 70), channel(7, 70), channel(8, 70)};
    QTest::newRow("master") << Levels{0, 70, 50, 50, 50, 50, 50, 50} << 50 << master(70) << moved
                            << Datagrams(moved) + Datagrams{master(70)};
    QTest::newRow("full-on") << off << 0 << Osc::message("/dimmer/fullon/2")
                             << Datagrams{channel(2, 99)} << Datagrams{channel(2, 99)};
    const Datagrams allOff = {channel(3, 0), channel(6, 0), master(0)};
    QTest::newRow("all-off") << Levels{0, 0, 30, 0, 0, 30, 0, 0} << 30
                             << Osc::message("/dimmer/alloff") << allOff << allOff;
    const Datagrams scene = {channel(2, 1), channel(3, 2), channel(4, 3), channel(5, 4),
                             channel(6, 5), channel(7, 6), channel(8, 7)};
    QTest::newRow("scene") << off << 0 << Osc::message("/dimmer/scene/1") << scene << scene;
    QTest::newRow("mode") << off << 0 << Osc::message("/dimmer/mode/4") << Datagrams{}
                          << Datagrams{};
    QTest::newRow("download") << off << 0 << Osc::message("/dimmer/download") << Datagrams{}
                              << Datagrams{};
    // A release does nothing, and makes nobody a client: the tablet hears nothing after it.
    QTest::newRow("release") << off << 0 << Osc::message("/dimmer/fullon/1", {0.0f}) << Datagrams{}
                             << Datagrams{};
}

void tst_Remote::feedback()
{
    QFETCH(Levels, channels);
    QFETCH(int, master);
    QFETCH(QByteArray, datagram);
    QFETCH(Datagrams, toTablet);
    QFETCH(Datagrams, toOther);
    RemoteDesk remote(channels, master);
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    QVERIFY(Files::write(remote.f.scenePath(), countingScenes()));
    OscClient other;
    QVERIFY2(other.failure().isEmpty(), qPrintable(other.failure()));
    // The other speaks first, with a level the panel holds: it changes nothing.
    other.send(channel(8, remote.f.desk.channel(7)), remote.port());
    QVERIFY(QTest::qWaitFor([&] { return remote.server.counts().taken == qint64(1); }));

    remote.send(datagram);
    QVERIFY(QTest::qWaitFor([&] { return remote.server.counts().total() == qint64(2); }));
    QVERIFY(QTest::qWaitFor([&] { return other.received.size() == toOther.size(); }));
    QVERIFY(QTest::qWaitFor([&] { return remote.client.received.size() == toTablet.size(); }));
    // A last move of the other, which only the tablet hears: it comes alone.
    other.send(channel(8, 77), remote.port());
    if (remote.server.counts().releases == 0)
        toTablet << channel(8, 77);
    const qint64 taken = remote.server.counts().releases ? 2 : 3;
    QVERIFY(QTest::qWaitFor([&] { return remote.server.counts().taken == taken; }));
    QVERIFY(QTest::qWaitFor([&] { return remote.client.received.size() == toTablet.size(); }));
    for (qsizetype k = 0; k < toTablet.size(); ++k)
        QCOMPARE(Wire::hex(remote.client.received[k]), Wire::hex(toTablet[k]));
    for (qsizetype k = 0; k < toOther.size(); ++k)
        QCOMPARE(Wire::hex(other.received[k]), Wire::hex(toOther[k]));
    QCOMPARE(other.received.size(), toOther.size());
}

void tst_Remote::feedbackToNamedTarget()
{
    RemoteDesk remote;
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    OscClient named;
    QVERIFY2(named.failure().isEmpty(), qPrintable(named.failure()));
    remote.server.addFeedbackTarget({Loopback, named.port()});

    // The operator's own clicks are told too, and a thumb drag.
    remote.f.desk.apply(want(Intent::Kind::FullOn, 0));
    remote.f.desk.apply(want(Intent::Kind::MasterFullOn));
    remote.f.desk.apply(want(Intent::Kind::Channel, 5, 60, Source::Kind::Window));
    remote.f.desk.apply(want(Intent::Kind::Channel, 5, 30, Source::Kind::Window));
    remote.f.desk.apply(want(Intent::Kind::Channel, 5, 30, Source::Kind::Window));
    // Told together, the newest level of each.
    const Datagrams byPanel = {channel(1, 99), channel(2, 99), channel(3, 99),
                               channel(4, 99), channel(5, 99), channel(6, 30),
                               channel(7, 99), channel(8, 99), master(99)};
    QVERIFY(QTest::qWaitFor([&] { return named.received.size() == byPanel.size(); }));
    for (qsizetype k = 0; k < byPanel.size(); ++k)
        QCOMPARE(Wire::hex(named.received[k]), Wire::hex(byPanel[k]));

    // A remote control's move goes to the target, not back to the remote control.
    remote.send(channel(4, 12));
    QVERIFY(QTest::qWaitFor([&] { return named.received.size() == byPanel.size() + 1; }));
    QCOMPARE(Wire::hex(named.received.last()), Wire::hex(channel(4, 12)));
    // What the panel changes then, it hears.
    remote.f.desk.apply(want(Intent::Kind::Off, 0));
    QVERIFY(QTest::qWaitFor([&] { return remote.client.received.size() == 1; }));
    QCOMPARE(Wire::hex(remote.client.received[0]), Wire::hex(channel(1, 0)));
    // Named with ,float, it hears floats, whatever form it sends itself.
    remote.server.addFeedbackTarget({Loopback, named.port()}, FeedbackClients::Form::Float);
    named.send(channel(2, 5), remote.port());
    remote.f.desk.apply(want(Intent::Kind::Channel, 6, 33));
    QVERIFY(QTest::qWaitFor([&] { return named.received.size() == byPanel.size() + 3; }));
    QCOMPARE(Wire::hex(named.received.last()),
             Wire::hex(Osc::message("/dimmer/channel/7", {33.0f / 99})));
}

void tst_Remote::feedbackInTheClientsForm_data()
{
    QTest::addColumn<QByteArrayList>("sent"); // by the tablet first
    QTest::addColumn<bool>("floats");         // whether it hears floats then

    const QByteArray ch3("/dimmer/channel/3");
    QTest::newRow("float-fader") << QByteArrayList{Osc::message(ch3, {0.5f})} << true;
    QTest::newRow("int-fader") << QByteArrayList{Osc::message(ch3, {40})} << false;
    QTest::newRow("float-master") << QByteArrayList{Osc::message("/dimmer/master", {0.25f})}
                                  << true;
    QTest::newRow("last-level-counts")
        << QByteArrayList{Osc::message(ch3, {0.5f}), Osc::message(ch3, {40})} << false;
    QTest::newRow("int-then-float")
        << QByteArrayList{Osc::message(ch3, {40}), Osc::message(ch3, {0.1f})} << true;
    // A button's 1.0 or a fade time tells nothing of the tablet's faders.
    QTest::newRow("float-button-only")
        << QByteArrayList{Osc::message("/dimmer/fullon/2", {1.0f})} << false;
    QTest::newRow("float-fader-then-int-button")
        << QByteArrayList{Osc::message(ch3, {0.5f}), Osc::message("/dimmer/fullon/2", {1}),
                          Osc::message("/dimmer/fade", {2})}
        << true;
}

void tst_Remote::feedbackInTheClientsForm()
{
    QFETCH(QByteArrayList, sent);
    QFETCH(bool, floats);
    RemoteDesk remote;
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    for (const QByteArray &datagram : sent)
        remote.hand(datagram);
    QCOMPARE(remote.server.counts().taken, qint64(sent.size()));
    QTest::qWait(50);
    remote.client.received.clear();
    OscClient other;
    other.send(channel(8, 77), remote.port());
    QVERIFY(QTest::qWaitFor([&] { return remote.client.received.size() == 1; }));
    const QByteArray expected = floats ? Osc::message("/dimmer/channel/8", {77.0f / 99})
                                       : Osc::message("/dimmer/channel/8", {77});
    QCOMPARE(Wire::hex(remote.client.received[0]), Wire::hex(expected));
    // Its echo, in the same form, is known for one.
    remote.send(expected);
    QVERIFY(QTest::qWaitFor([&] { return remote.server.counts().echoes == qint64(1); }));
}

void tst_Remote::noFeedbackAfterBadInput()
{
    RemoteDesk remote;
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    OscClient stranger;
    QVERIFY2(stranger.failure().isEmpty(), qPrintable(stranger.failure()));
    for (const QByteArray &bad :
         {Osc::message("/dimmer/channel/9", {1}), channel(1, 100),
          Osc::message("/dimmer/master", {QByteArray("x")}), channel(1, 40).chopped(1),
          Osc::bundle({channel(1, 40)}), Osc::message("/dimmer/fullon/2", {0.0f})})
        stranger.send(bad, remote.port());
    remote.send(channel(1, 10));
    QVERIFY(QTest::qWaitFor([&] { return remote.server.counts().taken == qint64(1); }));
    remote.f.desk.apply(want(Intent::Kind::Channel, 2, 30));
    QVERIFY(QTest::qWaitFor([&] { return remote.client.received.size() == 1; }));
    QCOMPARE(stranger.received.size(), 0);

    // Once it speaks properly it hears back, from the next change on.
    stranger.send(channel(2, 20), remote.port());
    QVERIFY(QTest::qWaitFor([&] { return remote.server.counts().taken == qint64(2); }));
    remote.f.desk.apply(want(Intent::Kind::Channel, 3, 30));
    QVERIFY(QTest::qWaitFor([&] { return stranger.received.size() == 1; }));
    QCOMPARE(Wire::hex(stranger.received[0]), Wire::hex(channel(4, 30)));
    QCOMPARE(remote.server.counts().total(), qint64(8));
}

void tst_Remote::portInUse()
{
    QUdpSocket holder;
    QVERIFY2(holder.bind(Loopback, 0), qPrintable(holder.errorString()));
    RemoteDesk remote;
    QString error;
    QVERIFY(!remote.server.listen({Loopback, holder.localPort()}, &error));
    QVERIFY2(error.contains(QStringLiteral("127.0.0.1:%1").arg(holder.localPort())),
             qPrintable(error));
}

QTEST_MAIN(tst_Remote)
#include "tst_remote.moc"
