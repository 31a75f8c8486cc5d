#include "support/dmxpackets.h"
#include "support/dumpboard.h"
#include "support/olaconsole.h"
#include "support/osc.h"
#include "support/oscclient.h"
#include "support/privatenetwork.h"
#include "support/remotepanel.h"

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <optional>

// A console drives the real panel on the virtual board over the network, inside a network of
// the test's own with only the loopback (and for OLA a virtual cable to a second one), so
// that nothing leaves the machine: a console the test writes, by sACN unicast and multicast
// and by Art-Net, and OLA's Art-Net output, which nobody here wrote. The board's --dump is
// the oracle. The panel sends nothing but its answers to polls, to the poller alone.
class tst_NetworkPanel : public QObject
{
    Q_OBJECT

public:
    explicit tst_NetworkPanel(const PrivateNetwork &network) : m_network(network) {}

private Q_SLOTS:
    void initTestCase();
    void sacnMovesTheLamps();
    void artNetAnswersThePollerAlone();
    void olaDrivesThePanel();

private:
    PrivateNetwork m_network;
};

namespace {

using Levels = DumpBoard::Levels;
using DmxPackets::Sacn;

QByteArray values(std::initializer_list<int> list)
{
    QByteArray bytes;
    for (const int value : list)
        bytes += char(value);
    return bytes;
}

// The panel offscreen on the virtual board, with remote control by OSC beside the network.
struct NetworkPanel
{
    explicit NetworkPanel(const QStringList &options)
        : board(home.filePath(QStringLiteral("ttyBOARD"))),
          panel(board.path, home.path(), RemotePanel::freeUdpPort(), options)
    {}

    QTemporaryDir home;
    DumpBoard board;
    RemotePanel panel;
};

} // namespace

void tst_NetworkPanel::initTestCase()
{
    if (m_network.impossible)
        QSKIP(qPrintable(m_network.problem));
    const QString problem = m_network.bringUp();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void tst_NetworkPanel::sacnMovesTheLamps()
{
    NetworkPanel lights({"--sacn", "1", "--net-interface", "lo"});
    QVERIFY(lights.panel.isUp());
    QUdpSocket console;
    const auto send = [&console](const Sacn &packet, const char *to) {
        console.writeDatagram(DmxPackets::sacn(packet), QHostAddress(QLatin1String(to)), 5568);
    };
    DumpBoard &board = lights.board;
    send({values({255, 128, 0, 0, 0, 0, 0, 51})}, "239.255.0.1");
    QVERIFY2(board.reaches({99, 50, 0, 0, 0, 0, 0, 20}, 0), qPrintable(board.shows()));
    // A second console, by unicast, with a higher priority.
    send({values({51}), 1, 150, 0, 0, 0, 2}, "127.0.0.1");
    QVERIFY2(board.reaches({20, 50, 0, 0, 0, 0, 0, 20}, 0), qPrintable(board.shows()));
    // The hand takes channel 2; the first console only repeats it, and it stays.
    OscClient hand;
    hand.send(Osc::message("/dimmer/channel/2", {10}), lights.panel.port());
    QVERIFY2(board.reaches({20, 10, 0, 0, 0, 0, 0, 20}, 0), qPrintable(board.shows()));
    send({values({255, 128, 0, 0, 0, 0, 0, 51}), 1, 100, 1}, "239.255.0.1");
    // The second one ends its stream: the first one's channel 1 at once.
    send({values({51}), 1, 150, 1, 0x40, 0, 2}, "127.0.0.1");
    QVERIFY2(board.reaches({99, 10, 0, 0, 0, 0, 0, 20}, 0), qPrintable(board.shows()));
    // Silence beyond 2.5 s: the lamps hold.
    QCOMPARE(board.quietLines(3500), QStringList());
    const ChildOutput::Outcome end = lights.panel.finish();
    QVERIFY2(end.err.contains(QLatin1String("sACN: 3 packets taken, 1 ends of stream;")),
             qPrintable(end.err));
}

void tst_NetworkPanel::artNetAnswersThePollerAlone()
{
    NetworkPanel lights({"--artnet", "0:0:1", "--sacn", "1", "--net-interface", "lo"});
    QVERIFY(lights.panel.isUp());
    const qint64 sentBefore = PrivateNetwork::udpDatagramsSent();
    // The poller listens on Art-Net's port at its own address, which the panel's socket on
    // every address gives way to, and polls the panel at another address of the loopback.
    QUdpSocket poller;
    QUdpSocket answers;
    QVERIFY(answers.bind(QHostAddress(QStringLiteral("127.0.0.1")), 6454,
                         QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
    QVERIFY(poller.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    const QHostAddress panel(QStringLiteral("127.0.0.2"));
    poller.writeDatagram(DmxPackets::artPoll(), panel, 6454);
    QTRY_VERIFY(answers.hasPendingDatagrams());
    const QByteArray reply = answers.receiveDatagram().data();
    QCOMPARE(reply.size(), 239);
    QCOMPARE(reply.mid(10, 4), QByteArray("\x7f\x00\x00\x02", 4)); // where it was polled
    QCOMPARE(reply[190], '\x01');
    poller.writeDatagram(DmxPackets::artDmx(1, values({0, 0, 255})), panel, 6454);
    QVERIFY2(lights.board.reaches({0, 0, 99, 0, 0, 0, 0, 0}, 0), qPrintable(lights.board.shows()));
    lights.panel.finish();
    // Nothing in the network sent a datagram but the poller (twice) and the panel (once).
    QCOMPARE(PrivateNetwork::udpDatagramsSent() - sentBefore, qint64(3));
}

void tst_NetworkPanel::olaDrivesThePanel()
{
    if (!m_network.root)
        QSKIP("olad refuses root, and a user's own namespace maps no other user to run it as");
    const PeerNetwork peer;
    QVERIFY2(peer.problem().isEmpty(), qPrintable(peer.problem()));
    NetworkPanel lights({"--artnet", "1"});
    QVERIFY(lights.panel.isUp());
    const OlaConsole ola(peer);
    QVERIFY2(ola.problem().isEmpty(), qPrintable(ola.problem()));
    QString problem;
    // OLA's universe 1 out of its Art-Net node's first port, port-address 0:0:1. It polls every
    // ten seconds, and sends levels only to the nodes whose answers name that port-address.
    ola.run({"ola_patch", "--device", "1", "--port", "0", "--universe", "1"}, &problem);
    QTRY_VERIFY2_WITH_TIMEOUT(ola.run({"ola_artnet", "--device", "1", "--universe", "1"}, &problem)
                                  .contains(QLatin1String(PeerNetwork::HereAddress)),
                              qPrintable(problem), 30000);
    ola.run({"ola_set_dmx", "--universe", "1", "--dmx", "255,128,0,0,0,0,0,51"}, &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY2(lights.board.reaches({99, 50, 0, 0, 0, 0, 0, 20}, 0),
             qPrintable(lights.board.shows()));
    const ChildOutput::Outcome end = lights.panel.finish();
    QVERIFY2(end.err.contains(QRegularExpression(QStringLiteral(
                 "Art-Net: [1-9][0-9]* packets taken, [1-9][0-9]* polls answered; .* 0 short"))),
             qPrintable(end.err));
}

// The test's network comes first, before Qt starts a thread.
int main(int argc, char **argv)
{
    const PrivateNetwork network = PrivateNetwork::enter();
    QCoreApplication application(argc, argv);
    tst_NetworkPanel test(network);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_networkpanel.moc"
