#pragma once

#include "protocol/boarddecoder.h"
#include "protocol/boardnumbers.h"

#include <array>
#include <cstdint>
#include <optional>

// What the dimmer board holds as the panel drives it: the eight channel levels, the
// master, the selected mode and the twelve scenes of the last download. Dropped bytes
// change nothing, as on the board, which ignores what it cannot read.
class BoardState
{
public:
    static constexpr int ChannelCount = Board::ChannelCount;
    static constexpr int ModeCount = Board::ModeCount;

    using Levels = std::array<std::uint8_t, ChannelCount>;
    using Scenes = std::array<SceneDownloadFrame::Record, SceneDownloadFrame::SceneCount>;

    void apply(const BoardDecoder::Event &event);

    int level(int channel) const { return m_levels.at(std::size_t(channel)); }
    const Levels &levels() const { return m_levels; }
    int master() const { return m_master; }
    // The mode as people read it, 1..12; none until the first SelectMode.
    std::optional<int> mode() const { return m_mode; }
    // None until the first download.
    const std::optional<Scenes> &scenes() const { return m_scenes; }

private:
    void applyPacket(const BoardDecoder::Packet &packet);

    Levels m_levels{};
    int m_master = 0;
    std::optional<int> m_mode;
    std::optional<Scenes> m_scenes;
};
