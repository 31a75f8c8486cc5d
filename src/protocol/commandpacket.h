#pragma once

#include "protocol/boardnumbers.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The five-byte command packet that carries every command to the dimmer board:
// start byte, address, command, value, end byte. No length, checksum or escaping.
namespace CommandPacket {

inline constexpr std::uint8_t StartByte = 0xF1;
inline constexpr std::uint8_t EndByte = 0xFA;
inline constexpr std::size_t Size = 5;

// Command codes.
inline constexpr std::uint8_t SetLevel = 10;
inline constexpr std::uint8_t SelectMode = 11;

// The address that carries the master level, outside the channel addresses 0..7.
inline constexpr std::uint8_t MasterAddress = 10;

using Bytes = std::array<std::uint8_t, Size>;

// The address comes before the command on the wire.
constexpr Bytes encode(std::uint8_t address, std::uint8_t command, std::uint8_t value)
{
    return {StartByte, address, command, value, EndByte};
}

// The three fields between the start and the end byte.
struct Fields
{
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    std::uint8_t value = 0;

    constexpr Bytes bytes() const { return encode(address, command, value); }
    bool operator==(const Fields &) const = default;
};

} // namespace CommandPacket
