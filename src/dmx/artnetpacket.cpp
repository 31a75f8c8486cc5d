#include "artnetpacket.h"

#include <algorithm>

namespace {

constexpr QByteArrayView Identifier("Art-Net\0", 8);
constexpr std::uint16_t OpPoll = 0x2000;
constexpr std::uint16_t OpPollReply = 0x2100;
constexpr std::uint16_t OpDmx = 0x5000;
constexpr int Version = 14;
// The identifier, the operation and the protocol version.
constexpr qsizetype SmallestPoll = 14;

// Who the panel says it is: no maker's code of its own (the unknown OEM code, and a
// manufacturer code from the range kept for prototypes).
constexpr std::uint16_t Oem = 0x00ff;
constexpr std::uint16_t EstaManufacturer = 0x7ff0;
constexpr char ShortName[] = "dimmer-panel";
constexpr char LongName[] = "dimmer-panel: eight-channel dimmer board";

// A node's report opens with a status code: power on, all well.
constexpr int ReportPowerOk = 0x0001;

std::uint8_t byteAt(QByteArrayView bytes, qsizetype at) { return std::uint8_t(bytes[at]); }

// The Art-Net fields of two bytes: the operation is sent low byte first, the rest high first.
int highFirst(QByteArrayView bytes, qsizetype at)
{
    return byteAt(bytes, at) << 8 | byteAt(bytes, at + 1);
}

void put(QByteArray &packet, qsizetype at, QByteArrayView text, qsizetype room)
{
    // Always ends in a zero within its room.
    const qsizetype size = std::min(text.size(), room - 1);
    std::copy_n(text.data(), size, packet.begin() + at);
}

} // namespace

ArtNetPacket ArtNetPacket::read(QByteArrayView datagram)
{
    ArtNetPacket packet;
    if (datagram.size() < 10)
        return packet;
    if (datagram.first(Identifier.size()) != Identifier) {
        packet.kind = Kind::WrongIdentifier;
        return packet;
    }
    const int operation = byteAt(datagram, 8) | byteAt(datagram, 9) << 8;
    if (operation == OpPollReply) {
        packet.kind = Kind::PollReply;
        return packet;
    }
    if (operation != OpPoll && operation != OpDmx) {
        packet.kind = Kind::Other;
        return packet;
    }
    if (datagram.size() < (operation == OpPoll ? SmallestPoll : DmxHeaderSize))
        return packet;
    if (highFirst(datagram, 10) < Version) {
        packet.kind = Kind::OldVersion;
        return packet;
    }
    if (operation == OpPoll) {
        packet.kind = Kind::Poll;
        return packet;
    }
    const int length = highFirst(datagram, 16);
    if (datagram.size() > LargestDmx)
        packet.kind = Kind::Long;
    else if (length > 512)
        packet.kind = Kind::TooManySlots;
    else if (length > 0 && datagram.size() >= DmxHeaderSize + length)
        packet.kind = Kind::Dmx;
    if (packet.kind != Kind::Dmx)
        return packet;
    // The sub-net and universe in one byte, then the net's seven bits.
    packet.portAddress = (byteAt(datagram, 15) & 0x7f) << 8 | byteAt(datagram, 14);
    packet.values = datagram.sliced(DmxHeaderSize, length);
    return packet;
}

QByteArray ArtNetPacket::pollReply(const Node &node)
{
    QByteArray packet(PollReplySize, '\0');
    const auto set = [&packet](qsizetype at, int value) { packet[at] = char(value & 0xff); };
    put(packet, 0, Identifier, Identifier.size() + 1);
    set(8, OpPollReply);
    set(9, OpPollReply >> 8);
    for (int k = 0; k < 4; ++k) {
        set(10 + k, int(node.address >> (24 - 8 * k)));  // the address
        set(207 + k, int(node.address >> (24 - 8 * k))); // and the one the port is bound to
    }
    set(14, Port);
    set(15, Port >> 8);
    set(17, 1); // the firmware's version
    set(18, node.portAddress >> 8);
    set(19, node.portAddress >> 4 & 0x0f);
    set(20, Oem >> 8);
    set(21, Oem);
    // Indicators normal; the port-address set on the node itself, not over the network.
    set(23, 0xd0);
    set(24, EstaManufacturer);
    set(25, EstaManufacturer >> 8);
    put(packet, 26, ShortName, 18);
    put(packet, 44, LongName, 64);
    QByteArray report = '#' + QByteArray::number(ReportPowerOk, 16).rightJustified(4, '0') + " [" +
                        QByteArray::number(node.replies % 10000).rightJustified(4, '0') + "] " +
                        (node.receiving ? "receiving" : "waiting for levels");
    if (node.merging)
        report += ", merging";
    put(packet, 108, report, 64);
    set(173, 1);    // one port,
    set(174, 0x80); // which outputs DMX512 from the network
    set(182, (node.receiving ? 0x80 : 0) | (node.merging ? 0x08 : 0));
    set(190, node.portAddress & 0x0f);
    set(211, 1);    // the node's root device
    set(212, 0x08); // 15-bit port-addresses
    return packet;
}
