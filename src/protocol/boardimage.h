#pragma once

#include "protocol/linemessage.h"

#include <array>
#include <cstdint>

// What the board holds as far as the line took it: the eight channel levels, the last
// master level and the mode. A message counts once the kernel has taken all of its bytes for
// the line; what waited, or went while the line was gone, never reached the lamps.
struct BoardImage
{
    static constexpr int NoMode = -1;
    using Levels = std::array<std::uint8_t, Board::ChannelCount>;

    Levels levels{};
    int master = Board::Off;
    // 0..11 as on the wire, or NoMode while the board was never told one.
    int mode = NoMode;

    // The board's own rules: a master level sets all eight channels; a message it would
    // not take changes nothing.
    void apply(const LineMessage &message)
    {
        const auto *packet = std::get_if<CommandPacket::Fields>(&message);
        if (!packet)
            return;
        if (packet->command == CommandPacket::SelectMode) {
            if (packet->address < Board::ModeCount)
                mode = packet->address;
        } else if (packet->command == CommandPacket::SetLevel && packet->value <= Board::FullOn) {
            if (packet->address == CommandPacket::MasterAddress) {
                master = packet->value;
                levels.fill(packet->value);
            } else if (packet->address < Board::ChannelCount) {
                levels[packet->address] = packet->value;
            }
        }
    }

    bool operator==(const BoardImage &) const = default;
};
