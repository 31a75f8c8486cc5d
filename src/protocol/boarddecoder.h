#pragma once

#include "protocol/commandpacket.h"
#include "protocol/scenedownloadframe.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

// Turns the byte stream that the panel sends back into command packets and scene
// download frames, the way the board reads it, and accounts for every byte it cannot use.
//
// The stream has no escaping and no checksum, and 0xFA both ends a packet and starts a
// frame, so the decoder reads it greedily from the left, one candidate at a time:
//
// - At a message boundary, 0xF1 opens a packet candidate and 0xFA a frame candidate;
//   any other byte is dropped on the spot as a stray byte. A packet's own end byte is
//   consumed with the packet, so only an 0xFA at a boundary can open a frame.
// - A packet candidate is refused by the first of its bytes that rules it out: an
//   address above 11, a command other than SetLevel or SelectMode, an address that the
//   command does not take (SetLevel: 0..7 and MasterAddress), a value it does not take
//   (SetLevel: 0..99, SelectMode: 0), an end byte other than 0xFA.
// - The body of a frame may hold any byte, so nothing inside it can refuse it: a frame
//   candidate stands or falls by its byte 97 alone, which must be 0xFB. A frame that
//   was cut short, by a lost byte or by a sender that stopped, therefore swallows what
//   followed it until its 98th byte shows that it was no frame.
// - A refused candidate drops only its start byte; decoding starts again at the byte
//   after it, so a packet or frame that hid inside the refused bytes is still found.
//
// Deciding on a candidate looks at a bounded number of bytes at fixed offsets, and
// every decision consumes at least one byte, so decoding is linear in the bytes fed;
// at most one candidate's bytes (under 98) wait for more input. The events do not depend
// on how the stream was cut into feeds.
//
// A candidate cannot be refused before its last byte arrives, and an 0xFA that is the
// tail of a packet whose start was lost opens a frame candidate that holds the packets
// behind it until 97 more bytes have come. A reader of a live line calls endOfBurst()
// once the line has been quiet for longer than a message takes to send: what is still
// incomplete then was cut short, and what hid inside it comes out at once.
//
// Dropped bytes come out in runs. A run starts with a refused candidate's start byte,
// or with a stray byte when no run is open, and takes the stray bytes that follow; it ends
// at the next message, the next refused candidate, endOfBurst(), or MaxRunLength bytes.
// Its reason is why its first byte was dropped. An open run counts as pending.
class BoardDecoder
{
public:
    static constexpr std::size_t MaxRunLength = 64;

    using Packet = CommandPacket::Fields;

    struct Frame
    {
        SceneDownloadFrame::Records records{};

        SceneDownloadFrame::Bytes bytes() const;
        bool operator==(const Frame &) const = default;
    };

    enum class DropReason {
        StrayByte,  // neither 0xF1 nor 0xFA where a message could start
        BadAddress, // a packet address that its command does not take
        BadCommand, // a packet command other than SetLevel and SelectMode
        BadValue,   // a packet value that its command does not take
        BadEndByte, // a packet whose fifth byte is not 0xFA
        NoFrameEnd, // a frame whose byte 97 is not 0xFB
        CutShort,   // a message still incomplete at endOfBurst()
    };

    struct Dropped
    {
        std::vector<std::uint8_t> bytes;
        DropReason reason = DropReason::StrayByte;

        bool operator==(const Dropped &) const = default;
    };

    using Event = std::variant<Packet, Frame, Dropped>;

    // A short fixed name for scripts and logs, e.g. "bad-end-byte".
    static std::string_view reasonName(DropReason reason);

    std::vector<Event> feed(std::span<const std::uint8_t> bytes);
    // The line went quiet: every incomplete candidate was cut short. Leaves nothing pending.
    std::vector<Event> endOfBurst();

    std::uint64_t bytesFed() const { return m_fed; }
    std::uint64_t bytesDecoded() const { return m_decoded; }
    // Bytes in emitted Dropped events.
    std::uint64_t bytesDropped() const { return m_dropped; }
    // Bytes fed but not yet in an event: an undecided candidate and the open dropped run.
    std::size_t bytesPending() const { return undecided() + m_run.bytes.size(); }
    // True at a message boundary, with no candidate waiting for bytes.
    bool isAtBoundary() const { return undecided() == 0; }

private:
    enum class Verdict { Accept, Refuse, NeedMore };

    std::size_t undecided() const { return m_buffer.size() - m_head; }
    void decode(bool endOfBurst, std::vector<Event> &events);
    Verdict judgePacket(DropReason &reason) const;
    Verdict judgeFrame(DropReason &reason) const;
    void drop(std::uint8_t byte, DropReason reason, std::vector<Event> &events);
    void closeRun(std::vector<Event> &events);

    std::vector<std::uint8_t> m_buffer;
    std::size_t m_head = 0;
    Dropped m_run;
    std::uint64_t m_fed = 0;
    std::uint64_t m_decoded = 0;
    std::uint64_t m_dropped = 0;
};
