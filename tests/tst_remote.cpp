#include "remote/feedbackclients.h"
#include "remote/osccounts.h"
#include "remote/oscendpoint.h"
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
#include <optional>

// Remote control of the desk over OSC, on real UDP over the loopback: each address asks
// the desk for what the control it names asks, the levels come back to the clients and to
// the targets named at start, and bad input, or input while the desk is held, moves
// nothing and is counted once.
class tst_Remote : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endpoints_data();
    void endpoints();
    void reachability_data();
    void reachability();
    void clientsExpireAfterTenMinutes();
    void clientsAreCapped();
    void whoHearsWhat();
    void noAmplifier();
    void likeTheControl_data();
    void likeTheControl();
    void ignored_data();
    void ignored();
    void droppedWhileHeld();
    void playback_data();
    void playback();
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

// The desk with remote control on a port of the loopback that the system chose, and one
// remote control talking to it.
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
        server.emplace(f.desk);
        server->listen({Loopback, 0}, &m_failure);
    }

    QString failure() const { return m_failure; }
    quint16 port() const { return server->localEndpoint().port; }
    void send(const QByteArray &datagram) { client.send(datagram, port()); }

    DeskFixture f;
    OscClient client;
    std::optional<OscServer> server;

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
        {"button releases", &counts.releases},
        {"unknown addresses", &counts.unknownAddresses},
        {"wrong arguments", &counts.wrongArguments},
        {"levels out of range", &counts.levelsOutOfRange},
        {"malformed packets", &counts.malformed},
        {"bundles", &counts.bundles}};
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

void tst_Remote::endpoints_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hostOptional");
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<QString>("problem");
    QTest::newRow("port-alone") << "9000" << true << "127.0.0.1:9000"
                                << "";
    QTest::newRow("ipv4") << "192.168.1.20:9000" << false << "192.168.1.20:9000"
                          << "";
    QTest::newRow("every-ipv4-interface") << "0.0.0.0:8000" << true << "0.0.0.0:8000"
                                          << "";
    QTest::newRow("ipv6-in-brackets") << "[::1]:9000" << false << "[::1]:9000"
                                      << "";
    QTest::newRow("name") << "localhost:9001" << false << "127.0.0.1:9001"
                          << "";
    QTest::newRow("host-needed") << "9000" << false << ""
                                 << "the host and the port are needed";
    QTest::newRow("ipv6-without-brackets") << "::1:9000" << true << ""
                                           << "an IPv6 address goes in brackets";
    QTest::newRow("brackets-without-port") << "[::1]" << true << ""
                                           << "must be followed by a colon and the port";
    QTest::newRow("ipv4-in-brackets") << "[127.0.0.1]:9000" << true << ""
                                      << "127.0.0.1 in brackets is not an IPv6 address";
    QTest::newRow("port-0") << "0" << true << ""
                            << "the port must be a number from 1 to 65535";
    QTest::newRow("port-too-high") << "localhost:65536" << false << ""
                                   << "the port must be a number from 1 to 65535";
    QTest::newRow("port-not-a-number") << "127.0.0.1:osc" << false << ""
                                       << "the port must be a number from 1 to 65535";
    QTest::newRow("host-missing") << ":9000" << true << ""
                                  << "the host is missing before the colon";
}

void tst_Remote::endpoints()
{
    QFETCH(QString, text);
    QFETCH(bool, hostOptional);
    QFETCH(QString, endpoint);
    QFETCH(QString, problem);
    QString why;
    const std::optional<OscEndpoint> parsed = OscEndpoint::parse(text, hostOptional, &why);
    QCOMPARE(parsed ? parsed->toString() : QString(), endpoint);
    QVERIFY2(why.contains(problem), qPrintable(why));
    QCOMPARE(why.isEmpty(), problem.isEmpty());
}

void tst_Remote::reachability_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("problem");
    QTest::newRow("loopback-to-loopback") << "127.0.0.1"
                                          << "127.0.0.1"
                                          << "";
    QTest::newRow("loopback-to-network") << "127.0.0.1"
                                         << "192.168.1.20"
                                         << "is not on this computer";
    QTest::newRow("every-interface-to-network") << "0.0.0.0"
                                                << "192.168.1.20"
                                                << "";
    QTest::newRow("ipv4-to-ipv6") << "127.0.0.1"
                                  << "::1"
                                  << "one is IPv4, the other IPv6";
}

void tst_Remote::reachability()
{
    QFETCH(QString, local);
    QFETCH(QString, target);
    QFETCH(QString, problem);
    const QString why =
        OscEndpoint{QHostAddress(target), 9001}.unreachableFrom({QHostAddress(local), 9000});
    QVERIFY2(why.contains(problem), qPrintable(why));
    QCOMPARE(why.isEmpty(), problem.isEmpty());
}

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

void tst_Remote::likeTheControl_data()
{
    QTest::addColumn<Levels>("channels");
    QTest::addColumn<int>("master");
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("mode"); // selected afterwards
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<Levels>("after"); // the eight channels, then the master

    const Levels off(8, 0);
    const auto with = [](Levels channels, int master) { return channels << master; };
    QTest::newRow("channel-1-int") << off << 0 << channel(1, 40) << -1 << Wire::setLevel(0, 40)
                                   << with({40, 0, 0, 0, 0, 0, 0, 0}, 0);
    QTest::newRow("channel-8-float-full")
        << off << 0 << Osc::message("/dimmer/channel/8", {1.0f}) << -1 << Wire::setLevel(7, 99)
        << with({0, 0, 0, 0, 0, 0, 0, 99}, 0);
    QTest::newRow("channel-3-float-half-rounds-up")
        << off << 0 << Osc::message("/dimmer/channel/3", {0.5f}) << -1 << Wire::setLevel(2, 50)
        << with({0, 0, 50, 0, 0, 0, 0, 0}, 0);
    QTest::newRow("channel-5-float-rounds-down-to-off")
        << Levels{0, 0, 0, 0, 10, 0, 0, 0} << 0 << Osc::message("/dimmer/channel/5", {0.005f})
        << -1 << Wire::setLevel(4, 0) << with(off, 0);
    QTest::newRow("channel-at-its-level-sends-nothing")
        << Levels{0, 0, 0, 40, 0, 0, 0, 0} << 0 << channel(4, 40) << -1 << QByteArray()
        << with({0, 0, 0, 40, 0, 0, 0, 0}, 0);
    QTest::newRow("master-int") << Levels{0, 70, 50, 50, 50, 50, 50, 50} << 50 << master(70) << -1
                                << Wire::setLevel(10, 70) << with(Levels(8, 70), 70);
    QTest::newRow("master-float-0")
        << Levels(8, 40) << 40 << Osc::message("/dimmer/master", {0.0f}) << -1
        << Wire::setLevel(10, 0) << with(off, 0);
    QTest::newRow("full-on-3") << off << 0 << Osc::message("/dimmer/fullon/3") << -1
                               << Wire::setLevel(2, 99) << with({0, 0, 99, 0, 0, 0, 0, 0}, 0);
    QTest::newRow("full-on-3-pressed-with-float-1")
        << off << 0 << Osc::message("/dimmer/fullon/3", {1.0f}) << -1 << Wire::setLevel(2, 99)
        << with({0, 0, 99, 0, 0, 0, 0, 0}, 0);
    QTest::newRow("full-on-8-pressed-with-int-1")
        << off << 0 << Osc::message("/dimmer/fullon/8", {1}) << -1 << Wire::setLevel(7, 99)
        << with({0, 0, 0, 0, 0, 0, 0, 99}, 0);
    QTest::newRow("off-6") << Levels{0, 0, 0, 0, 0, 60, 0, 0} << 0 << Osc::message("/dimmer/off/6")
                           << -1 << Wire::setLevel(5, 0) << with(off, 0);
    QTest::newRow("master-full-on-already")
        << Levels{99, 99, 99, 99, 10, 99, 99, 99} << 99 << Osc::message("/dimmer/master/fullon")
        << -1 << QByteArray() << with({99, 99, 99, 99, 10, 99, 99, 99}, 99);
    QTest::newRow("master-full-on")
        << Levels{0, 10, 0, 0, 0, 0, 0, 0} << 0 << Osc::message("/dimmer/master/fullon") << -1
        << Wire::setLevel(10, 99) << with(Levels(8, 99), 99);
    QTest::newRow("all-off") << Levels{0, 0, 30, 0, 0, 30, 0, 0} << 30
                             << Osc::message("/dimmer/alloff") << -1
                             << Wire::setLevel(2, 0) + Wire::setLevel(5, 0) + Wire::setLevel(10, 0)
                             << with(off, 0);
    QByteArray scene2;
    for (int k = 0; k < 8; ++k)
        scene2 += Wire::setLevel(k, 8 + k);
    QTest::newRow("scene-2") << off << 0 << Osc::message("/dimmer/scene/2") << -1 << scene2
                             << with({8, 9, 10, 11, 12, 13, 14, 15}, 0);
    QTest::newRow("scene-12-pressed-with-float-1")
        << Levels{88, 89, 90, 91, 92, 93, 94, 0} << 0 << Osc::message("/dimmer/scene/12", {1.0f})
        << -1 << Wire::setLevel(7, 95) << with({88, 89, 90, 91, 92, 93, 94, 95}, 0);
    QTest::newRow("mode-1") << off << 0 << Osc::message("/dimmer/mode/1") << 0
                            << Wire::selectMode(0) << with(off, 0);
    QTest::newRow("mode-12") << off << 0 << Osc::message("/dimmer/mode/12", {1}) << 11
                             << Wire::selectMode(11) << with(off, 0);
    QTest::newRow("download") << Levels(8, 5) << 5 << Osc::message("/dimmer/download") << -1
                              << Wire::frame(Wire::countingRecords()) << with(Levels(8, 5), 5);
    QByteArray zeros;
    QByteArray fives;
    for (int k = 0; k < 8; ++k) {
        zeros += Wire::setLevel(k, 0);
        fives += Wire::setLevel(k, 5);
    }
    QTest::newRow("blackout") << Levels(8, 5) << 5 << Osc::message("/dimmer/blackout") << -1
                              << zeros << with(off, 5);
    QTest::newRow("send-all") << Levels(8, 5) << 5 << Osc::message("/dimmer/sendall", {1}) << -1
                              << fives << with(Levels(8, 5), 5);
}

void tst_Remote::likeTheControl()
{
    QFETCH(Levels, channels);
    QFETCH(int, master);
    QFETCH(QByteArray, datagram);
    QFETCH(int, mode);
    QFETCH(QByteArray, wire);
    QFETCH(Levels, after);
    RemoteDesk remote;
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    QVERIFY(Files::write(remote.f.scenePath(), countingScenes()));
    remote.f.setLevels(channels, master);

    remote.send(datagram);
    QTRY_COMPARE(remote.server->counts().taken, qint64(1));
    QCOMPARE(Wire::hex(remote.f.line.take()), Wire::hex(wire));
    QCOMPARE(remote.f.levels(), after);
    QCOMPARE(remote.f.desk.mode(), mode);
    QCOMPARE(remote.server->counts().total(), qint64(1));
    QVERIFY2(remote.f.failures.isEmpty(), qPrintable(remote.f.failures.join('\n')));
}

void tst_Remote::ignored_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QString>("counted");

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

    QTest::newRow("int-100") << channel(1, 100) << "levels out of range";
    QTest::newRow("int-minus-1") << channel(8, -1) << "levels out of range";
    QTest::newRow("int-lowest") << master(std::numeric_limits<std::int32_t>::min())
                                << "levels out of range";
    QTest::newRow("master-int-100") << master(100) << "levels out of range";
    QTest::newRow("float-above-1") << Osc::message(level, {1.01f}) << "levels out of range";
    QTest::newRow("float-below-0") << Osc::message(level, {-0.01f}) << "levels out of range";
    QTest::newRow("float-nan") << Osc::message("/dimmer/master", {NaN}) << "levels out of range";
    QTest::newRow("float-infinity")
        << Osc::message(level, {std::numeric_limits<float>::infinity()}) << "levels out of range";

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

    const QByteArray fade("/dimmer/fade");
    QTest::newRow("fade-missing") << Osc::message(fade) << "wrong arguments";
    QTest::newRow("fade-as-text") << Osc::message(fade, {QByteArray("2")}) << "wrong arguments";
    QTest::newRow("fade-above-10-s") << Osc::message(fade, {10.01f}) << "levels out of range";
    QTest::newRow("fade-int-11-s") << Osc::message(fade, {11}) << "levels out of range";
    QTest::newRow("fade-below-0") << Osc::message(fade, {-0.1f}) << "levels out of range";
    QTest::newRow("fade-nan") << Osc::message(fade, {NaN}) << "levels out of range";
    QTest::newRow("undo-released") << Osc::message("/dimmer/undo", {0}) << "button releases";
}

void tst_Remote::ignored()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QString, counted);
    RemoteDesk remote;
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    QVERIFY(Files::write(remote.f.scenePath(), countingScenes()));
    const Levels before = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    remote.f.setLevels(before.first(8), before.last());

    remote.send(datagram);
    QTRY_COMPARE(remote.server->counts().total(), qint64(1));
    QCOMPARE(remote.f.line.take(), QByteArray());
    QCOMPARE(remote.f.levels(), before);
    QCOMPARE(remote.f.desk.mode(), Desk::NoMode);
    QCOMPARE(remote.server->counts().summary(), countedOnce(counted).summary());
}

void tst_Remote::playback_data()
{
    QTest::addColumn<QByteArrayList>("datagrams");
    QTest::addColumn<int>("fadeTenths");
    QTest::addColumn<Levels>("after");

    const QByteArray fade("/dimmer/fade");
    const Levels start{10, 20, 30, 40, 50, 60, 70, 80, 0};
    QTest::newRow("fade-float-seconds")
        << QByteArrayList{Osc::message(fade, {2.5f})} << 25 << start;
    QTest::newRow("fade-int-seconds") << QByteArrayList{Osc::message(fade, {3})} << 30 << start;
    QTest::newRow("fade-to-the-tenth")
        << QByteArrayList{Osc::message(fade, {0.96f})} << 10 << start;
    QTest::newRow("fade-longest") << QByteArrayList{Osc::message(fade, {10.0f})} << 100 << start;
    QTest::newRow("fade-back-to-a-cut")
        << QByteArrayList{Osc::message(fade, {4}), Osc::message(fade, {0.0f})} << 0 << start;
    QTest::newRow("undo") << QByteArrayList{Osc::message("/dimmer/alloff"),
                                            Osc::message("/dimmer/undo")}
                          << 0 << start;
    QTest::newRow("redo") << QByteArrayList{Osc::message("/dimmer/alloff"),
                                            Osc::message("/dimmer/undo", {1}),
                                            Osc::message("/dimmer/redo", {1.0f})}
                          << 0 << Levels(9, 0);
}

void tst_Remote::playback()
{
    QFETCH(QByteArrayList, datagrams);
    QFETCH(int, fadeTenths);
    QFETCH(Levels, after);
    RemoteDesk remote;
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    DeskState start;
    start.channels = {10, 20, 30, 40, 50, 60, 70, 80};
    remote.f.desk.restore(start);
    for (const QByteArray &datagram : datagrams)
        remote.send(datagram);
    QTRY_COMPARE(remote.server->counts().taken, qint64(datagrams.size()));
    QCOMPARE(remote.f.desk.fadeTime(), fadeTenths);
    QCOMPARE(remote.f.levels(), after);
}

void tst_Remote::droppedWhileHeld()
{
    RemoteDesk remote;
    QVERIFY2(remote.failure().isEmpty(), qPrintable(remote.failure()));
    // The scene key window or a question is up.
    remote.f.desk.holdInput(true);
    remote.send(channel(1, 40));
    remote.send(Osc::message("/dimmer/mode/3"));
    QTRY_COMPARE(remote.server->counts().whileWindowUp, qint64(2));
    QCOMPARE(remote.f.line.take(), QByteArray());
    QCOMPARE(remote.f.levels(), Levels(9, 0));
    QCOMPARE(remote.f.desk.mode(), Desk::NoMode);

    // With the window gone the same message is taken.
    remote.f.desk.holdInput(false);
    remote.send(channel(1, 40));
    QTRY_COMPARE(remote.server->counts().taken, qint64(1));
    QCOMPARE(Wire::hex(remote.f.line.take()), Wire::hex(Wire::setLevel(0, 40)));
    QCOMPARE(remote.server->counts().total(), qint64(3));
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
    QTRY_COMPARE(remote.server->counts().taken, qint64(1));

    remote.send(datagram);
    QTRY_COMPARE(remote.server->counts().total(), qint64(2));
    QTRY_COMPARE(other.received.size(), toOther.size());
    QTRY_COMPARE(remote.client.received.size(), toTablet.size());
    // A last move of the other, which only the tablet hears: it comes alone.
    other.send(channel(8, 77), remote.port());
    if (remote.server->counts().releases == 0)
        toTablet << channel(8, 77);
    QTRY_COMPARE(remote.server->counts().taken, qint64(remote.server->counts().releases ? 2 : 3));
    QTRY_COMPARE(remote.client.received.size(), toTablet.size());
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
    remote.server->addFeedbackTarget({Loopback, named.port()});

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
    QTRY_COMPARE(named.received.size(), byPanel.size());
    for (qsizetype k = 0; k < byPanel.size(); ++k)
        QCOMPARE(Wire::hex(named.received[k]), Wire::hex(byPanel[k]));

    // A remote control's move goes to the target, not back to the remote control.
    remote.send(channel(4, 12));
    QTRY_COMPARE(named.received.size(), byPanel.size() + 1);
    QCOMPARE(Wire::hex(named.received.last()), Wire::hex(channel(4, 12)));
    // What the panel changes then, it hears.
    remote.f.desk.apply(want(Intent::Kind::Off, 0));
    QTRY_COMPARE(remote.client.received.size(), 1);
    QCOMPARE(Wire::hex(remote.client.received[0]), Wire::hex(channel(1, 0)));
    // Named with ,float, it hears floats, whatever form it sends itself.
    remote.server->addFeedbackTarget({Loopback, named.port()}, FeedbackClients::Form::Float);
    named.send(channel(2, 5), remote.port());
    remote.f.desk.apply(want(Intent::Kind::Channel, 6, 33));
    QTRY_COMPARE(named.received.size(), byPanel.size() + 3);
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
    for (const QByteArray &datagram : sent) {
        remote.send(datagram);
        QTest::qWait(30);
    }
    QTRY_COMPARE(remote.server->counts().taken, qint64(sent.size()));
    QTest::qWait(50);
    remote.client.received.clear();
    OscClient other;
    other.send(channel(8, 77), remote.port());
    QTRY_COMPARE(remote.client.received.size(), 1);
    const QByteArray expected = floats ? Osc::message("/dimmer/channel/8", {77.0f / 99})
                                       : Osc::message("/dimmer/channel/8", {77});
    QCOMPARE(Wire::hex(remote.client.received[0]), Wire::hex(expected));
    // Its echo, in the same form, is known for one.
    remote.send(expected);
    QTRY_COMPARE(remote.server->counts().echoes, qint64(1));
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
    QTRY_COMPARE(remote.server->counts().taken, qint64(1));
    remote.f.desk.apply(want(Intent::Kind::Channel, 2, 30));
    QTRY_COMPARE(remote.client.received.size(), 1);
    QCOMPARE(stranger.received.size(), 0);

    // Once it speaks properly it hears back, from the next change on.
    stranger.send(channel(2, 20), remote.port());
    QTRY_COMPARE(remote.server->counts().taken, qint64(2));
    remote.f.desk.apply(want(Intent::Kind::Channel, 3, 30));
    QTRY_COMPARE(stranger.received.size(), 1);
    QCOMPARE(Wire::hex(stranger.received[0]), Wire::hex(channel(4, 30)));
    QCOMPARE(remote.server->counts().total(), qint64(8));
}

void tst_Remote::portInUse()
{
    QUdpSocket holder;
    QVERIFY2(holder.bind(Loopback, 0), qPrintable(holder.errorString()));
    DeskFixture f;
    OscServer server(f.desk);
    QString error;
    QVERIFY(!server.listen({Loopback, holder.localPort()}, &error));
    QVERIFY2(error.contains(QStringLiteral("127.0.0.1:%1").arg(holder.localPort())),
             qPrintable(error));
}

QTEST_MAIN(tst_Remote)
#include "tst_remote.moc"
