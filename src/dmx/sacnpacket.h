#pragma once

#include <QByteArrayView>

#include <array>
#include <cstdint>

// One E1.31 (sACN) datagram read with bounds: a data packet's fields and slot values, or what
// it is, or why it is refused. Nothing here trusts a length the datagram states: every field
// is read only once the datagram is known to hold it. The views point into the datagram.
struct SacnPacket
{
    enum class Kind : std::uint8_t {
        Data,
        // Universe synchronisation or universe discovery: well formed, but no levels.
        Extended,
        // Refused:
        Short,
        Long,
        WrongIdentifier, // not the ACN preamble and packet identifier
        WrongVector,     // a root, framing or DMP vector, or a DMP field, of no data packet
        WrongLength,     // a PDU length that the datagram does not match
        TooManySlots,    // a property count over 513 (the start code and 512 slots)
    };

    // The largest data packet: 126 bytes of layers and start code, then 512 slots.
    static constexpr qsizetype HeaderSize = 126;
    static constexpr qsizetype LargestSize = HeaderSize + 512;
    static constexpr int HighestPriority = 200;
    static constexpr std::uint16_t Port = 5568;

    Kind kind = Kind::Short;
    std::array<std::uint8_t, 16> cid{}; // the source's component identifier
    QByteArrayView sourceName;          // up to its terminating zero
    int priority = 0;
    int syncAddress = 0;
    std::uint8_t sequence = 0;
    bool preview = false;    // visualisers only, not for the lamps
    bool terminated = false; // the source has ended its stream
    int universe = 0;
    int startCode = 0;
    QByteArrayView values; // after the start code, 0..512

    static SacnPacket read(QByteArrayView datagram);
};
