#pragma once

#include "control/deskclock.h"
#include "dmx/dmxcounts.h"
#include "dmx/dmxmerge.h"
#include "dmx/dmxpatch.h"
#include "dmx/dmxsocket.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <optional>

class Desk;

// A lighting console drives the board over the network: the eight slots of a DMX universe
// from sACN (E1.31) or Art-Net, or both, become the eight channels. Each packet is read with
// bounds, judged, counted, merged with the other sources (see DmxMerge), and a channel whose
// merged level changed is asked of the desk as a network change, which reaches the line as
// any change does. A level that a console only repeats asks nothing, so that the hand keeps a
// channel until the console moves it; on loss the lamps hold their levels.
//
// The panel sends nothing but the answer to an Art-Net poll, to the poller alone.
class NetworkInput : public QObject
{
    Q_OBJECT

public:
    using Protocol = DmxPatch::Protocol;
    // Polls answered at most, in all: each answer is many times the poll's size, and UDP lets
    // anyone name another computer as the poller.
    static constexpr int PollRepliesPerSecond = 4;
    // A DMX value 0..255 as a level 0..99, rounded.
    static constexpr int levelOf(int value) { return (value * 99 + 127) / 255; }

    explicit NetworkInput(Desk &desk, const DeskClock &clock = DeskClock::steady(),
                          QObject *parent = nullptr);

    // Takes sACN for patch: unicast to any local address, and the universe's multicast group
    // joined on the interface named, or on every one that is up. False with why when the port
    // or every group cannot be had.
    bool listenSacn(const DmxPatch &patch, const QString &interface, QString *errorMessage);
    // Takes Art-Net for patch, on every address; answers polls.
    bool listenArtNet(const DmxPatch &patch, QString *errorMessage);
    // Takes the protocol's packets for patch, with no socket: for the tests and fuzzers, which
    // hand datagrams in themselves.
    void follow(const DmxPatch &patch);

    // One datagram as it came: read, judged, counted and, when taken, merged and the changed
    // levels asked of the desk.
    void handleSacn(QByteArrayView datagram);
    // The same for Art-Net, from the address `from` to the local address `to`; the reply to a
    // poll, for the poller, or empty.
    QByteArray handleArtNet(QByteArrayView datagram, std::uint32_t from, std::uint32_t to);
    // The sources silent too long are lost. A timer calls it while there are sources; a test
    // calls it after moving its clock.
    void expire();

    const DmxCounts &counts(Protocol protocol) const { return m_follows[index(protocol)].counts; }
    bool isFollowing(Protocol protocol) const
    {
        return m_follows[index(protocol)].patch.has_value();
    }

    // The network's state, short enough for a narrow strip: each protocol's universe, then
    // how many sources it has, or since when none. The whole of it in the tool tip, as rich
    // text with everything from the network escaped.
    enum class Look : std::uint8_t { Waiting, Live, Lost };
    QString stateText() const;
    QString stateToolTip() const;
    Look look() const;

Q_SIGNALS:
    // A source came or went, or changed its name or priority.
    void stateChanged();

private:
    struct Follow
    {
        std::optional<DmxPatch> patch;
        DmxCounts counts;
        DmxSocket socket;
        int sources = 0;
        QDateTime goneAt;   // when the last source went; null while there are sources
        bool ended = false; // it ended its stream, rather than fell silent
    };
    static constexpr std::size_t index(Protocol protocol) { return std::size_t(protocol); }

    void take(Follow &follow, const DmxMerge::Frame &frame);
    void sourcesChanged(bool ended);
    // The merged levels that changed, asked of the desk; false when it held one.
    bool applyMerged();
    QByteArray answerPoll(std::uint32_t to);
    QString followToolTip(const Follow &follow) const;

    Desk &m_desk;
    const DeskClock &m_clock;
    DmxMerge m_merge;
    std::array<Follow, 2> m_follows;
    // The last level taken from the network for each channel; none before the first.
    std::array<std::optional<int>, DmxMerge::SlotCount> m_taken{};
    QTimer m_expiry;
    // When the last answers to polls went, oldest first round the ring.
    std::array<DeskClock::Time, PollRepliesPerSecond> m_replies{};
    std::size_t m_repliesSent = 0;
    QByteArray m_lastReply;
};
