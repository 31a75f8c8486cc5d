#pragma once

#include "link/boardnumbers.h"

#include <array>
#include <cstdint>
#include <optional>

// What the desk has set on the board: the eight channel levels, the master and the mode,
// and, while a blackout holds the channels at 0, the levels it will bring back.
struct DeskState
{
    static constexpr int NoMode = -1;
    using Levels = std::array<std::uint8_t, Board::ChannelCount>;

    Levels channels{};
    int master = Board::Off;
    // 0..11, or NoMode before one was chosen.
    int mode = NoMode;
    std::optional<Levels> beforeBlackout;

    bool operator==(const DeskState &) const = default;
};
