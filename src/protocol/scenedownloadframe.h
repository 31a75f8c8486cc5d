#pragma once

#include "protocol/boardnumbers.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The 98-byte frame that downloads all twelve scenes to the board at once:
// 0xFA, the twelve 8-byte scene records in scene order, 0xFB. The body is copied
// byte for byte, so stored levels may hold any byte, the start and end bytes too.
namespace SceneDownloadFrame {

inline constexpr std::uint8_t StartByte = 0xFA;
inline constexpr std::uint8_t EndByte = 0xFB;
inline constexpr std::size_t SceneCount = Board::SceneCount;
// A scene record holds one level for each channel.
inline constexpr std::size_t RecordSize = Board::ChannelCount;
inline constexpr std::size_t BodySize = SceneCount * RecordSize;
inline constexpr std::size_t Size = BodySize + 2;

using Record = std::array<std::uint8_t, RecordSize>;
using Records = std::array<Record, SceneCount>;
using Bytes = std::array<std::uint8_t, Size>;

// Scene n (1..12) lands at offsets 8n-7 .. 8n.
constexpr std::size_t offsetOfScene(int sceneNumber)
{
    return 1 + RecordSize * static_cast<std::size_t>(sceneNumber - 1);
}

constexpr Bytes encode(const Records &records)
{
    Bytes frame{};
    frame[0] = StartByte;
    for (std::size_t n = 0; n < SceneCount; ++n) {
        for (std::size_t k = 0; k < RecordSize; ++k)
            frame[1 + RecordSize * n + k] = records[n][k];
    }
    frame[Size - 1] = EndByte;
    return frame;
}

} // namespace SceneDownloadFrame
