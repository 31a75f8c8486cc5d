#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

// One Art-Net datagram read with bounds: an ArtDmx's port-address and slot values, an ArtPoll, or
// why it is refused; and the ArtPollReply that tells a console what the panel listens to.
// The slot values are a view into the datagram.
struct ArtNetPacket
{
    enum class Kind : std::uint8_t {
        Dmx,
        Poll,
        PollReply,
        Other, // an operation the panel has no use for
        // Refused:
        Short,
        Long,
        WrongIdentifier, // not "Art-Net" and its zero
        OldVersion,      // a protocol version before 14
        TooManySlots,    // a length over 512
    };

    static constexpr std::uint16_t Port = 6454;
    static constexpr qsizetype DmxHeaderSize = 18;
    static constexpr qsizetype LargestDmx = DmxHeaderSize + 512;
    static constexpr qsizetype PollReplySize = 239;

    Kind kind = Kind::Short;
    int portAddress = 0; // 15 bits: net, sub-net and universe
    QByteArrayView values;

    static ArtNetPacket read(QByteArrayView datagram);

    // What the reply to a poll says of the panel: one output port, for the board.
    struct Node
    {
        std::uint32_t address = 0; // the panel's IPv4 address as the poller reaches it
        int portAddress = 0;
        bool receiving = false; // levels arrive for the port
        bool merging = false;   // from more than one source
        int replies = 0;        // sent so far in this run, for the node report
    };
    static QByteArray pollReply(const Node &node);
};
