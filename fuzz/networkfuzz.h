#pragma once

#include "dmx/networkinput.h"
#include "fuzzing.h"
#include "support/deskfixture.h"
#include "support/wire.h"

#include <variant>

// The network input of a desk on a line the fuzzer reads, following universe (or
// port-address) 1 from slot 1 of one protocol.
struct NetworkFuzz
{
    explicit NetworkFuzz(DmxPatch::Protocol protocol) { input.follow({protocol, 1, 1}); }

    // What the line carried since the last look decodes, as the board reads it, into whole
    // level packets of 0..99 alone, and the desk never failed.
    void requireOnlyLevels()
    {
        for (const BoardDecoder::Event &event : Wire::decodeWhole(fixture.line.take())) {
            const auto *level = std::get_if<BoardDecoder::Packet>(&event);
            require(level && level->address < 8 && level->command == 10 && level->value <= 99);
        }
        require(fixture.failures.isEmpty());
    }

    DeskFixture fixture;
    NetworkInput input{fixture.desk, fixture.clock};
};
