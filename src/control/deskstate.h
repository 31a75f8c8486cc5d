#pragma once

#include "protocol/boardimage.h"
#include "protocol/boardnumbers.h"

#include <array>
#include <cstddef>
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

    // What a board holds, as far as the desk can hold it.
    static DeskState of(const BoardImage &board)
    {
        return DeskState{board.levels, board.master, board.mode, std::nullopt};
    }
    BoardImage board() const { return BoardImage{channels, master, mode}; }

    // The changes a board that holds taken has not had yet: each channel that differs, and
    // the mode. The master is no state of the board's own: it set the channels.
    int changesFrom(const DeskState &taken) const
    {
        int count = mode != taken.mode ? 1 : 0;
        for (std::size_t channel = 0; channel < channels.size(); ++channel)
            count += channels[channel] != taken.channels[channel] ? 1 : 0;
        return count;
    }

    bool operator==(const DeskState &) const = default;
};
