#include "protocol/boardstate.h"
#include "support/childoutput.h"
#include "support/linereader.h"
#include "support/osc.h"
#include "support/oscclient.h"
#include "support/ptypair.h"
#include "support/remotepanel.h"
#include "support/wire.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

// Remote control that cannot run away: the real panel with its real UDP socket on the
// loopback, on a line read at the board's pace, in the setups where levels could chase each
// other for ever or the panel could be made to send far more than it is sent. Each settles
// within a second of the last change a person made, with the board at that level.
class tst_OscLoops : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void forgedFromItsOwnPort();
    void feedbackToItselfIsRefused();
    void twoPanelsTellingEachOther();
    void remoteThatEchoesEverything();
    void noAmplifier();
    void lastOfEverythingReachesTheLineAtExit();
};

namespace {

const QString PanelProgram = QStringLiteral(DIMMER_PANEL_BINARY);

// The real panel on a pseudo-terminal read at the board's pace, remote control on port.
class Panel
{
public:
    Panel(quint16 port, const QStringList &more = {})
        : m_board(m_line.masterFd()), m_panel(m_line.slavePath(), m_home.path(), port, more)
    {}

    bool isUp() { return m_panel.isUp(); }
    QByteArray line() const { return m_board.bytes(); }
    // The board's state from what has arrived.
    BoardState board() const
    {
        BoardState state;
        for (const BoardDecoder::Event &event : Wire::decodeWhole(line()))
            state.apply(event);
        return state;
    }
    quint16 port() const { return m_panel.port(); }
    ChildOutput::Outcome finish() { return m_panel.finish(); }

private:
    QTemporaryDir m_home;
    PtyPair m_line;
    LineReader m_board;
    RemotePanel m_panel;
};

// A person at a tablet: five quick moves of channel 1, the last to 50.
void fiveQuickMoves(OscClient &hand, quint16 port)
{
    for (int level : {10, 20, 30, 40, 50}) {
        hand.send(Osc::message("/dimmer/channel/1", {level}), port);
        QTest::qWait(20);
    }
}

// Whether the line has stopped: within a second of the last move, then still for two, with
// channel 1 at the level the person left it at.
QString settles(const QList<Panel *> &panels)
{
    QTest::qWait(1000);
    QList<qsizetype> after;
    for (Panel *panel : panels)
        after << panel->line().size();
    QTest::qWait(2000);
    for (qsizetype k = 0; k < panels.size(); ++k) {
        if (panels[k]->line().size() != after[k])
            return QStringLiteral("panel %1 still sends: %2 bytes more in 2 s")
                .arg(k + 1)
                .arg(panels[k]->line().size() - after[k]);
        if (panels[k]->board().level(0) != 50)
            return QStringLiteral("panel %1 left channel 1 at %2")
                .arg(k + 1)
                .arg(panels[k]->board().level(0));
    }
    return {};
}

// A person's five quick moves of channel 1 on the panel at port, then whether the panels
// settle (empty when they do).
QString handSettles(quint16 port, const QList<Panel *> &panels)
{
    OscClient hand;
    if (!hand.failure().isEmpty())
        return hand.failure();
    fiveQuickMoves(hand, port);
    return settles(panels);
}

// A UDP datagram whose sender claims to be 127.0.0.1:from, as anyone may forge one; a raw
// socket needs root.
bool sendForged(const QByteArray &payload, quint16 from, quint16 to)
{
    const int raw = ::socket(AF_INET, SOCK_RAW, IPPROTO_RAW);
    if (raw < 0)
        return false;
    QByteArray packet(int(sizeof(iphdr) + sizeof(udphdr)), '\0');
    auto *ip = reinterpret_cast<iphdr *>(packet.data());
    ip->version = 4;
    ip->ihl = 5;
    ip->ttl = 64;
    ip->protocol = IPPROTO_UDP;
    ip->saddr = htonl(INADDR_LOOPBACK);
    ip->daddr = htonl(INADDR_LOOPBACK);
    ip->tot_len = htons(quint16(packet.size() + payload.size()));
    auto *udp = reinterpret_cast<udphdr *>(packet.data() + sizeof(iphdr));
    udp->source = htons(from);
    udp->dest = htons(to);
    udp->len = htons(quint16(sizeof(udphdr) + payload.size()));
    packet += payload;
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool sent = ::sendto(raw, packet.constData(), std::size_t(packet.size()), 0,
                               reinterpret_cast<const sockaddr *>(&destination),
                               sizeof destination) == packet.size();
    ::close(raw);
    return sent;
}

} // namespace

void tst_OscLoops::forgedFromItsOwnPort()
{
    if (::geteuid() != 0)
        QSKIP("forging a datagram's sender needs a raw socket, and so root");
    Panel panel(RemotePanel::freeUdpPort());
    QVERIFY2(panel.isUp(), "the panel did not come up");
    QVERIFY(sendForged(Osc::message("/dimmer/channel/2", {33}), panel.port(), panel.port()));
    const QString problem = handSettles(panel.port(), {&panel});
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const ChildOutput::Outcome outcome = panel.finish();
    QVERIFY2(outcome.err.contains(" 1 from the panel's own port"), qPrintable(outcome.err));
}

void tst_OscLoops::feedbackToItselfIsRefused()
{
    const quint16 port = RemotePanel::freeUdpPort();
    QProcess process;
    process.start(PanelProgram, {"--osc", QString::number(port), "--osc-feedback",
                                 QStringLiteral("127.0.0.1:%1").arg(port)});
    const ChildOutput::Outcome outcome = ChildOutput(process).finish();
    QCOMPARE(outcome.status, 2);
    QVERIFY2(outcome.err.contains("is where the panel itself listens"), qPrintable(outcome.err));
}

void tst_OscLoops::twoPanelsTellingEachOther()
{
    const quint16 first = RemotePanel::freeUdpPort();
    const quint16 second = RemotePanel::freeUdpPort();
    Panel one(first, {"--osc-feedback", QStringLiteral("127.0.0.1:%1").arg(second)});
    Panel two(second, {"--osc-feedback", QStringLiteral("127.0.0.1:%1").arg(first)});
    QVERIFY2(one.isUp() && two.isUp(), "the panels did not come up");
    const QString problem = handSettles(first, {&one, &two});
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void tst_OscLoops::remoteThatEchoesEverything()
{
    Panel panel(RemotePanel::freeUdpPort());
    QVERIFY2(panel.isUp(), "the panel did not come up");
    // A remote control that tells back every datagram it gets, 20 ms later.
    QUdpSocket echo;
    QVERIFY(echo.bind(QHostAddress::LocalHost, 0));
    QObject::connect(&echo, &QUdpSocket::readyRead, &echo, [&echo, &panel] {
        while (echo.hasPendingDatagrams()) {
            const QByteArray datagram = echo.receiveDatagram().data();
            QTimer::singleShot(20, &echo, [&echo, &panel, datagram] {
                echo.writeDatagram(datagram, QHostAddress::LocalHost, panel.port());
            });
        }
    });
    // It speaks first, so that it hears the panel.
    echo.writeDatagram(Osc::message("/dimmer/channel/8", {5}), QHostAddress::LocalHost,
                       panel.port());
    QTest::qWait(100);
    const QString problem = handSettles(panel.port(), {&panel});
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const ChildOutput::Outcome outcome = panel.finish();
    QVERIFY2(!outcome.err.contains(" 0 echoes of feedback"), qPrintable(outcome.err));
}

void tst_OscLoops::noAmplifier()
{
    Panel panel(RemotePanel::freeUdpPort());
    QVERIFY2(panel.isUp(), "the panel did not come up");
    // Sixty-four senders, as forged sources would be, 100 datagrams of 24 bytes in all:
    // levels that change something, and releases, which change nothing.
    std::vector<std::unique_ptr<QUdpSocket>> senders;
    qint64 in = 0;
    for (int k = 0; k < 100; ++k) {
        if (k < 64) {
            senders.push_back(std::make_unique<QUdpSocket>());
            QVERIFY(senders.back()->bind(QHostAddress::LocalHost, 0));
        }
        const QByteArray datagram =
            k % 4 == 3 ? Osc::message("/dimmer/fullon/1", {0})
                       : Osc::message("/dimmer/channel/" + QByteArray::number(k % 8 + 1), {k});
        in += senders[std::size_t(k % 64)]->writeDatagram(datagram, QHostAddress::LocalHost,
                                                          panel.port());
    }
    QDeadlineTimer deadline(3000);
    qint64 out = 0;
    while (!deadline.hasExpired()) {
        QTest::qWait(50);
        for (const auto &sender : senders) {
            while (sender->hasPendingDatagrams())
                out += sender->receiveDatagram().data().size();
        }
    }
    qInfo("%lld bytes in, %lld bytes out: %.1f times", in, out, double(out) / double(in));
    QVERIFY2(out <= 10 * in, qPrintable(QStringLiteral("%1 bytes out").arg(out)));
}

void tst_OscLoops::lastOfEverythingReachesTheLineAtExit()
{
    // A listener on the feedback shows when the panel has taken the last message: UDP gives
    // no other sign, and a close before that would test the kernel's queue, not the panel's.
    OscClient watcher;
    QVERIFY2(watcher.failure().isEmpty(), qPrintable(watcher.failure()));
    Panel panel(RemotePanel::freeUdpPort(),
                {"--osc-feedback", QStringLiteral("127.0.0.1:%1").arg(watcher.port())});
    QVERIFY2(panel.isUp(), "the panel did not come up");
    OscClient hand;
    QVERIFY2(hand.failure().isEmpty(), qPrintable(hand.failure()));
    // Far more than the line carries in the time, in bursts that the socket's buffer holds
    // on a loaded machine; then the last of each, and the panel closed as soon as it has
    // them, as its close box closes it.
    for (int k = 0; k < 400; ++k) {
        hand.send(k % 2 ? Osc::message("/dimmer/master", {k % 100})
                        : Osc::message("/dimmer/channel/2", {k % 100}),
                  panel.port());
        if (k % 8 == 0)
            hand.send(Osc::message("/dimmer/mode/" + QByteArray::number(k % 12 + 1)),
                      panel.port());
        if (k % 50 == 49)
            QTest::qWait(5);
    }
    hand.send(Osc::message("/dimmer/master", {33}), panel.port());
    hand.send(Osc::message("/dimmer/mode/5"), panel.port());
    hand.send(Osc::message("/dimmer/channel/2", {77}), panel.port());
    // Datagrams are taken in order: the last level told means the mode before it was taken.
    QTRY_VERIFY2_WITH_TIMEOUT(watcher.received.contains(Osc::message("/dimmer/channel/2", {77})),
                              "the panel never took the last level", 5000);
    QCOMPARE(panel.finish().status, 0);
    QTRY_VERIFY2_WITH_TIMEOUT(panel.board().mode() == 5, "the last mode did not arrive", 3000);
    const BoardState board = panel.board();
    QCOMPARE(board.master(), 33);
    QCOMPARE(board.level(0), 33);
    QCOMPARE(board.level(1), 77);
}

QTEST_GUILESS_MAIN(tst_OscLoops)
#include "tst_oscloops.moc"
