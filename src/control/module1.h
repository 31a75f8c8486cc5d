#pragma once

#include "link/boardnumbers.h"

#include <array>
#include <cstdint>

// The panel's shared state: the eight channel levels and the registers of the next
// command packet. One instance lives for the whole run and is handed to the windows,
// so that every test can start from a fresh one.
struct Module1
{
    // Element i is the level of channel i; always equal to the channel sliders
    // between events.
    std::array<std::uint8_t, Board::ChannelCount> LevelBuf{};

    // The fields of the next command packet; each keeps its last value after a send.
    std::uint8_t PktAddress = 0;
    std::uint8_t PktCommand = 0;
    std::uint8_t PktValue = 0;

    // 1 only while the master slider copies its level into the channel sliders, so
    // that they stay silent and the master sends one packet for all of them.
    std::uint8_t MasterSync = 0;
};
