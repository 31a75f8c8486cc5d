#pragma once

#include "protocol/boardnumbers.h"

#include <array>
#include <cstdint>

// The panel's registers: the eight channel levels and the fields of the next command
// packet, as the board's panel has always kept them. The desk owns the one instance.
struct Module1
{
    // Element i is the level of channel i.
    std::array<std::uint8_t, Board::ChannelCount> LevelBuf{};

    // The fields of the next command packet; each keeps its last value after a send.
    std::uint8_t PktAddress = 0;
    std::uint8_t PktCommand = 0;
    std::uint8_t PktValue = 0;

    // 1 only while the master copies its level into the channels, so that they stay
    // silent and the master sends one packet for all of them.
    std::uint8_t MasterSync = 0;
};
