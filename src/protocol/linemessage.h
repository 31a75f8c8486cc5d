#pragma once

#include "protocol/commandpacket.h"
#include "protocol/scenedownloadframe.h"

#include <cstdint>
#include <variant>
#include <vector>

// One whole message for the board as the panel means it: the fields of a command packet, or
// the twelve scene records of a download frame. It becomes bytes only on its way to the line,
// so that whoever holds it back can tell what it is without reading bytes.
using LineMessage = std::variant<CommandPacket::Fields, SceneDownloadFrame::Records>;

namespace LineMessages {

inline std::vector<std::uint8_t> encode(const LineMessage &message)
{
    if (const auto *packet = std::get_if<CommandPacket::Fields>(&message)) {
        const auto bytes = packet->bytes();
        return {bytes.begin(), bytes.end()};
    }
    const auto bytes = SceneDownloadFrame::encode(std::get<SceneDownloadFrame::Records>(message));
    return {bytes.begin(), bytes.end()};
}

constexpr std::size_t size(const LineMessage &message)
{
    return std::holds_alternative<CommandPacket::Fields>(message) ? CommandPacket::Size
                                                                  : SceneDownloadFrame::Size;
}

} // namespace LineMessages
