#pragma once

#include "control/deskclock.h"
#include "dmx/dmxpatch.h"
#include "protocol/boardnumbers.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The board's slots from several sources on the network, merged as consoles expect: per slot,
// the highest priority among the sources that carry it, and among equals the highest value
// (HTP). Art-Net has no priority: its sources stand at sACN's default, so that a console on
// either protocol merges with one on the other as two of one protocol would.
//
// A few sources of each protocol are followed; more are ignored until one of them goes. A
// source goes when it ends its stream, or when it has been silent for its protocol's time.
// What is merged holds the last levels when every source has gone: no source never means
// a blackout. Runs on a clock of its own, so that a test moves time.
class DmxMerge
{
public:
    using Protocol = DmxPatch::Protocol;
    static constexpr int SlotCount = Board::ChannelCount;
    static constexpr int SacnSources = 6;
    static constexpr int ArtNetSources = 2;
    // The silence after which a source is lost: E1.31's network data loss, and Art-Net's
    // merge timeout.
    static constexpr DeskClock::Time SacnLoss{2500};
    static constexpr DeskClock::Time ArtNetLoss{10000};
    static constexpr int DefaultPriority = 100;
    // A packet this far behind the last of its source came late: E1.31's window.
    static constexpr int SequenceWindow = 20;

    // What one data packet brings.
    struct Frame
    {
        Protocol protocol = Protocol::Sacn;
        QByteArrayView key;  // who sent it: an sACN source's CID, an Art-Net sender's address
        QByteArrayView name; // UTF-8
        int priority = DefaultPriority;
        std::optional<std::uint8_t> sequence;
        QByteArrayView values; // the board's slots, as many of the eight as the packet holds
    };
    enum class Outcome : std::uint8_t {
        Taken,
        Changed, // taken from a new source, or one with a new name or priority
        OutOfOrder,
        TooManySources,
    };

    // A merged slot: its value and the source that gave it, numbered from 1 in the run.
    struct Slot
    {
        std::uint8_t value = 0;
        std::uint32_t source = 0;
    };
    using Slots = std::array<std::optional<Slot>, SlotCount>;

    struct SourceInfo
    {
        QString name;
        int priority = DefaultPriority;
    };

    explicit DmxMerge(const DeskClock &clock) : m_clock(clock) {}

    Outcome take(const Frame &frame);
    // The source ended its stream: it goes at once. False when it was not followed.
    bool end(Protocol protocol, const QByteArrayView &key);
    // The sources silent for longer than their protocol allows go; how many went.
    int expire();

    // None where no source carries the slot.
    Slots merged() const;
    std::vector<SourceInfo> sources(Protocol protocol) const;
    int count(Protocol protocol) const;
    bool isEmpty() const { return m_sources.empty(); }

private:
    struct Source
    {
        Protocol protocol = Protocol::Sacn;
        QByteArray key;
        QByteArray name;
        std::uint32_t number = 0;
        int priority = -1; // none yet
        std::optional<std::uint8_t> sequence;
        std::array<std::uint8_t, SlotCount> values{};
        int count = 0;
        DeskClock::Time heard{0};
    };

    const DeskClock &m_clock;
    std::vector<Source> m_sources;
    std::uint32_t m_numbered = 0;
};
