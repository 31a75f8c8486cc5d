#pragma once

#include <chrono>
#include <cstddef>

// The board's line: 9600 baud, 8 data bits, no parity, one stop bit. With the start bit a
// byte is ten bits on the wire, so the line carries 960 bytes a second, a command packet in
// 5.2 ms and a download frame in 102 ms. Everything that paces itself by the line (the link,
// the virtual board, the tests' reader) takes the byte time from here.
namespace LineRate {

inline constexpr long long Baud = 9600;
inline constexpr long long BitsPerByte = 10;
inline constexpr long long BytesPerSecond = Baud / BitsPerByte;

// 1,041,667 ns, rounded up: no real line is faster.
inline constexpr std::chrono::nanoseconds ByteTime{
    (std::chrono::nanoseconds(std::chrono::seconds(1)).count() * BitsPerByte + Baud - 1) / Baud};

constexpr std::chrono::nanoseconds lineTime(std::size_t bytes)
{
    return ByteTime * static_cast<long long>(bytes);
}

} // namespace LineRate
