// Any bytes a MIDI port may deliver, handed to the MIDI reader in pieces whose sizes the
// input's first byte chooses.
//
// Checks: nothing crashes or reads beyond the bytes; the pieces read exactly as the whole
// does, messages and counts alike; every message read names a channel, a number and a value
// that MIDI has, and a note-on is never of velocity 0; each message read is counted once.

#include "fuzzing.h"
#include "midi/midireader.h"

#include <cstdint>
#include <span>
#include <vector>

namespace {

std::vector<MidiMessage> readAll(MidiReader &reader, std::span<const std::uint8_t> bytes,
                                 std::size_t piece)
{
    std::vector<MidiMessage> messages;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        reader.read(bytes.subspan(at, std::min(piece, bytes.size() - at)),
                    [&messages](const MidiMessage &message) { messages.push_back(message); });
    }
    return messages;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t piece = data[0] % 16 + 1;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    MidiReader whole;
    const std::vector<MidiMessage> read = readAll(whole, bytes, bytes.size() + 1);
    MidiReader pieces;
    require(readAll(pieces, bytes, piece) == read);
    require(pieces.counts() == whole.counts());
    require(whole.counts().messages == std::int64_t(read.size()));
    for (const MidiMessage &message : read) {
        require(message.channel <= MidiMessage::HighestChannel);
        require(message.number <= MidiMessage::HighestValue);
        require(message.value <= MidiMessage::HighestValue);
        require(message.kind != MidiMessage::Kind::NoteOn || message.value > 0);
    }
    whole.cut();
    return 0;
}
