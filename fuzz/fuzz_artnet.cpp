// Any datagram, read as Art-Net and handed to the network input of the desk, which takes
// port-address 1 from slot 1, as if from a console at 10.0.0.2 to the panel at 10.0.0.1.
//
// Checks: an ArtDmx's 1..512 slots lie within the datagram, after its 18 bytes of header; each
// datagram is counted exactly once; only a poll is answered, with 239 bytes; what goes on the
// line decodes, as the board reads it, into whole level packets of 0..99; the desk never fails.

#include "dmx/artnetpacket.h"
#include "networkfuzz.h"

#include <QCoreApplication>

#include <cstdint>

namespace {

NetworkFuzz *network = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    network = new NetworkFuzz(DmxPatch::Protocol::ArtNet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView datagram(reinterpret_cast<const char *>(data), qsizetype(size));
    const ArtNetPacket packet = ArtNetPacket::read(datagram);
    if (packet.kind == ArtNetPacket::Kind::Dmx) {
        require(packet.values.data() == datagram.data() + ArtNetPacket::DmxHeaderSize);
        require(!packet.values.isEmpty() && packet.values.size() <= 512 &&
                ArtNetPacket::DmxHeaderSize + packet.values.size() <= datagram.size());
        require(packet.portAddress <= 0x7fff);
    }
    // Time passes between datagrams, so that the replies' bound lets some through.
    network->fixture.clock.set(network->fixture.clock.now() + DeskClock::Time(100));
    const qint64 before = network->input.counts(DmxPatch::Protocol::ArtNet).total();
    const QByteArray reply = network->input.handleArtNet(datagram, 0x0a000002, 0x0a000001);
    require(network->input.counts(DmxPatch::Protocol::ArtNet).total() == before + 1);
    require(reply.isEmpty() || (packet.kind == ArtNetPacket::Kind::Poll &&
                                reply.size() == ArtNetPacket::PollReplySize));
    network->requireOnlyLevels();
    return 0;
}
