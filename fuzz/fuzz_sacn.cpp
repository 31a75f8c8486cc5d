// Any datagram, read as sACN (E1.31) and handed to the network input of the desk, which takes
// universe 1 from slot 1.
//
// Checks: a data packet's slots lie within the datagram, after its 126 bytes of layers, and
// number at most 512; each datagram is counted exactly once; what goes on the line decodes, as
// the board reads it, into whole level packets of 0..99; the desk never fails.

#include "dmx/sacnpacket.h"
#include "networkfuzz.h"

#include <QCoreApplication>

#include <cstdint>

namespace {

NetworkFuzz *network = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    network = new NetworkFuzz(DmxPatch::Protocol::Sacn);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView datagram(reinterpret_cast<const char *>(data), qsizetype(size));
    const SacnPacket packet = SacnPacket::read(datagram);
    if (packet.kind == SacnPacket::Kind::Data) {
        require(packet.values.data() == datagram.data() + SacnPacket::HeaderSize);
        require(packet.values.size() <= 512 &&
                SacnPacket::HeaderSize + packet.values.size() == datagram.size());
        require(packet.sourceName.size() <= 64);
    }
    const qint64 before = network->input.counts(DmxPatch::Protocol::Sacn).total();
    network->input.handleSacn(datagram);
    require(network->input.counts(DmxPatch::Protocol::Sacn).total() == before + 1);
    network->requireOnlyLevels();
    return 0;
}
