#pragma once

#include "midi/midimessage.h"
#include "midi/midireader.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

// Where a port's bytes wait for the panel: the MIDI system hands them over on a thread of its
// own (JACK's real-time one among them), which reads them at once and leaves only whole
// messages, a few bytes each, so that a SysEx of any length costs nothing here. At most
// Capacity messages wait: a surface that sends faster than the panel reads loses the newest,
// counted, and the panel's memory stays bounded.
class MidiInbox
{
public:
    static constexpr std::size_t Capacity = 16384;

    // arrived is called, on the writing thread, when messages wait where none did.
    explicit MidiInbox(std::function<void()> arrived) : m_arrived(std::move(arrived)) {}

    // From the MIDI system's thread: bytes of the port, in any pieces.
    void write(const std::uint8_t *bytes, std::size_t size);
    // The port went away: a message under way will never end.
    void cut();
    // The messages that wait, oldest first; none wait then.
    std::vector<MidiMessage> take();

    MidiReader::Counts counts() const;
    std::int64_t dropped() const;

private:
    mutable std::mutex m_mutex;
    MidiReader m_reader;
    std::vector<MidiMessage> m_waiting;
    std::int64_t m_dropped = 0;
    std::function<void()> m_arrived;
};
