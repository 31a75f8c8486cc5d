#include "sacnpacket.h"

namespace {

// The ACN root layer's preamble size, post-amble size and packet identifier.
constexpr char Identifier[] = "\x00\x10\x00\x00"
                              "ASC-E1.17\x00\x00\x00";
constexpr qsizetype IdentifierSize = 16;

constexpr std::uint32_t RootData = 0x00000004;
constexpr std::uint32_t RootExtended = 0x00000008;
constexpr std::uint32_t FramingData = 0x00000002;
constexpr std::uint8_t DmpSetProperty = 0x02;
constexpr std::uint8_t DmpAddressAndDataType = 0xa1;

// Where each layer begins.
constexpr qsizetype RootLayer = 16;
constexpr qsizetype FramingLayer = 38;
constexpr qsizetype DmpLayer = 115;
// An extended packet's smallest framing layer: a synchronisation packet's 11 bytes.
constexpr qsizetype SmallestExtended = FramingLayer + 11;

// Each PDU starts with its length in the low 12 bits, under the flags 0x7.
constexpr int PduFlags = 0x7;

class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}
    std::uint8_t byte(qsizetype at) const { return std::uint8_t(m_bytes[at]); }
    int word(qsizetype at) const { return byte(at) << 8 | byte(at + 1); }
    std::uint32_t quad(qsizetype at) const { return std::uint32_t(word(at)) << 16 | word(at + 2); }
    // Whether the PDU at `at` has its flags and runs to the end of the datagram.
    bool fills(qsizetype at) const
    {
        return word(at) >> 12 == PduFlags && (word(at) & 0x0fff) == m_bytes.size() - at;
    }

private:
    QByteArrayView m_bytes;
};

} // namespace

SacnPacket SacnPacket::read(QByteArrayView datagram)
{
    SacnPacket packet;
    if (datagram.size() < FramingLayer)
        return packet;
    const Reader in(datagram);
    if (datagram.first(IdentifierSize) != QByteArrayView(Identifier, IdentifierSize)) {
        packet.kind = Kind::WrongIdentifier;
        return packet;
    }
    const std::uint32_t rootVector = in.quad(RootLayer + 2);
    if (rootVector == RootExtended) {
        // Synchronisation and discovery are longer than any data packet only in the list of
        // universes that discovery carries; neither is read further.
        packet.kind = datagram.size() < SmallestExtended ? Kind::Short
                      : in.fills(RootLayer)              ? Kind::Extended
                                                         : Kind::WrongLength;
        return packet;
    }
    if (rootVector != RootData) {
        packet.kind = Kind::WrongVector;
        return packet;
    }
    if (datagram.size() < HeaderSize)
        return packet;
    if (datagram.size() > LargestSize) {
        packet.kind = Kind::Long;
        return packet;
    }
    if (!in.fills(RootLayer) || !in.fills(FramingLayer) || !in.fills(DmpLayer)) {
        packet.kind = Kind::WrongLength;
        return packet;
    }
    if (in.quad(FramingLayer + 2) != FramingData || in.byte(DmpLayer + 2) != DmpSetProperty ||
        in.byte(DmpLayer + 3) != DmpAddressAndDataType || in.word(DmpLayer + 4) != 0 ||
        in.word(DmpLayer + 6) != 1) {
        packet.kind = Kind::WrongVector;
        return packet;
    }
    const int count = in.word(DmpLayer + 8);
    if (count > 513) {
        packet.kind = Kind::TooManySlots;
        return packet;
    }
    if (count != datagram.size() - (HeaderSize - 1)) {
        packet.kind = Kind::WrongLength;
        return packet;
    }
    packet.kind = Kind::Data;
    for (std::size_t k = 0; k < packet.cid.size(); ++k)
        packet.cid[k] = in.byte(RootLayer + 6 + qsizetype(k));
    const QByteArrayView name = datagram.sliced(FramingLayer + 6, 64);
    const qsizetype nameEnd = name.indexOf('\0');
    packet.sourceName = nameEnd < 0 ? name : name.first(nameEnd);
    packet.priority = in.byte(FramingLayer + 70);
    packet.syncAddress = in.word(FramingLayer + 71);
    packet.sequence = in.byte(FramingLayer + 73);
    const std::uint8_t options = in.byte(FramingLayer + 74);
    packet.preview = options & 0x80;
    packet.terminated = options & 0x40;
    packet.universe = in.word(FramingLayer + 75);
    packet.startCode = in.byte(HeaderSize - 1);
    packet.values = datagram.sliced(HeaderSize);
    return packet;
}
