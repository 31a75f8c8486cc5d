#pragma once

#include "protocol/boarddecoder.h"
#include "protocol/linemessage.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The bytes the board must receive, written out here rather than taken from the encoders
// under test, and the ways the tests print and compare them.
namespace Wire {

// Whole messages, as they are handed to the link and read back from the line.
using Messages = QList<QByteArray>;

inline QByteArray packet(int address, int command, int value)
{
    return QByteArray{"\xf1"} + char(address) + char(command) + char(value) + '\xfa';
}

inline QByteArray setLevel(int address, int level) { return packet(address, 10, level); }

inline QByteArray selectMode(int mode) { return packet(mode, 11, 0); }

// The master level: address 10, outside the channels.
inline QByteArray master(int level) { return setLevel(10, level); }

// The scene download frame around a 96-byte body.
inline QByteArray frame(const QByteArray &body) { return '\xfa' + body + '\xfb'; }

// A frame whose twelve scenes hold one byte throughout.
inline QByteArray frame(char fill) { return frame(QByteArray(96, fill)); }

// Lower-case hex pairs separated by spaces, as the virtual board's dump writes them.
inline QString hex(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ')); }

inline QByteArray bytes(std::span<const std::uint8_t> data)
{
    return QByteArray(reinterpret_cast<const char *>(data.data()), qsizetype(data.size()));
}

inline std::span<const std::uint8_t> span(const QByteArray &bytes)
{
    return {reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())};
}

using Records = SceneDownloadFrame::Records;

// What the desk means by these bytes: a packet's fields, or a frame's twelve records.
inline LineMessage message(const QByteArray &bytes)
{
    if (bytes.size() == qsizetype(CommandPacket::Size))
        return CommandPacket::Fields{std::uint8_t(bytes[1]), std::uint8_t(bytes[2]),
                                     std::uint8_t(bytes[3])};
    Records records{};
    for (std::size_t n = 0; n < records.size(); ++n) {
        for (std::size_t k = 0; k < records[n].size(); ++k)
            records[n][k] = std::uint8_t(bytes[qsizetype(1 + 8 * n + k)]);
    }
    return records;
}

inline QByteArray bytes(const LineMessage &message)
{
    return bytes(LineMessages::encode(message));
}

// Scene n channel k holds 8n + k: levels only, no start or end byte.
inline Records countingRecords()
{
    Records records{};
    for (std::size_t n = 0; n < records.size(); ++n) {
        for (std::size_t k = 0; k < records[n].size(); ++k)
            records[n][k] = std::uint8_t(8 * n + k);
    }
    return records;
}

inline QByteArray frame(const Records &records)
{
    QByteArray body;
    for (const auto &record : records)
        body += bytes(record);
    return frame(body);
}

inline std::vector<BoardDecoder::Event> feed(BoardDecoder &decoder, const QByteArray &stream)
{
    return decoder.feed(span(stream));
}

// The whole stream, then the quiet that ends it: every byte is in an event.
inline std::vector<BoardDecoder::Event> decodeWhole(const QByteArray &stream)
{
    BoardDecoder decoder;
    std::vector<BoardDecoder::Event> events = decoder.feed(span(stream));
    for (auto &event : decoder.endOfBurst())
        events.push_back(std::move(event));
    return events;
}

} // namespace Wire
