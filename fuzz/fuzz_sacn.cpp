// Any datagram, read as sACN (E1.31) and handed to the network input of the desk, which takes
// universe 1 from slot 1.
//
// Checks: a data packet's slots lie within the datagram, after its 126 bytes of layers, and
// number at most 512; each datagram is counted exactly once; what goes on the line decodes, as
// the board reads it, into whole level packets of 0..99; the desk never fails.

#include "dmx/networkinput.h"
#include "dmx/sacnpacket.h"
#include "support/deskfixture.h"
#include "support/wire.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>
#include <variant>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

struct Network
{
    Network() { input.follow({DmxPatch::Protocol::Sacn, 1, 1}); }

    DeskFixture fixture;
    NetworkInput input{fixture.desk, fixture.clock};
};

Network *network = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    network = new Network;
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
    for (const BoardDecoder::Event &event : Wire::decodeWhole(network->fixture.line.take())) {
        const auto *level = std::get_if<BoardDecoder::Packet>(&event);
        require(level && level->address < 8 && level->command == 10 && level->value <= 99);
    }
    require(network->fixture.failures.isEmpty());
    return 0;
}
