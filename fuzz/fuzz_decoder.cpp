// The board's decoder over any byte stream cut into any chunks. The first bytes of the
// input choose the chunk sizes; the rest is the stream.
//
// Checks: every byte fed is accounted for after every feed (decoded + dropped + pending
// = fed); once the line goes quiet nothing is pending; the events, written back as
// bytes, give the stream again, byte for byte and in order; and how the stream was cut
// changes nothing.

#include "fuzzing.h"
#include "protocol/boarddecoder.h"

#include <cstdint>
#include <span>
#include <vector>

namespace {

std::vector<std::uint8_t> rawBytes(const BoardDecoder::Event &event)
{
    if (const auto *packet = std::get_if<BoardDecoder::Packet>(&event)) {
        const auto bytes = packet->bytes();
        return {bytes.begin(), bytes.end()};
    }
    if (const auto *frame = std::get_if<BoardDecoder::Frame>(&event)) {
        const auto bytes = frame->bytes();
        return {bytes.begin(), bytes.end()};
    }
    return std::get<BoardDecoder::Dropped>(event).bytes;
}

void append(std::vector<BoardDecoder::Event> &to, std::vector<BoardDecoder::Event> &&from)
{
    for (auto &event : from)
        to.push_back(std::move(event));
}

std::vector<BoardDecoder::Event> decode(std::span<const std::uint8_t> stream,
                                        std::span<const std::uint8_t> cuts)
{
    BoardDecoder decoder;
    std::vector<BoardDecoder::Event> events;
    std::size_t at = 0;
    std::size_t cut = 0;
    while (at < stream.size()) {
        const std::size_t size = cuts.empty() ? stream.size() : 1 + cuts[cut++ % cuts.size()];
        const auto chunk = stream.subspan(at, std::min(size, stream.size() - at));
        append(events, decoder.feed(chunk));
        at += chunk.size();
        require(decoder.bytesDecoded() + decoder.bytesDropped() + decoder.bytesPending() ==
                decoder.bytesFed());
        require(decoder.bytesFed() == at);
    }
    append(events, decoder.endOfBurst());
    require(decoder.bytesPending() == 0);
    require(decoder.isAtBoundary());
    require(decoder.bytesDecoded() + decoder.bytesDropped() == stream.size());
    return events;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t cutCount = data[0] % 8;
    if (size < 1 + cutCount)
        return 0;
    const std::span<const std::uint8_t> cuts(data + 1, cutCount);
    const std::span<const std::uint8_t> stream(data + 1 + cutCount, size - 1 - cutCount);

    const std::vector<BoardDecoder::Event> chunked = decode(stream, cuts);
    std::vector<std::uint8_t> again;
    for (const auto &event : chunked) {
        const std::vector<std::uint8_t> bytes = rawBytes(event);
        require(!bytes.empty());
        again.insert(again.end(), bytes.begin(), bytes.end());
    }
    require(again.size() == stream.size());
    require(std::equal(again.begin(), again.end(), stream.begin()));
    require(decode(stream, {}) == chunked);
    return 0;
}
