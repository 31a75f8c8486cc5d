#pragma once

#include "midi/midimessage.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Reads the byte stream of a MIDI port into channel messages, in whatever pieces it comes:
// running status (a status byte that stays in force for the messages after it), system
// exclusive messages of any length (counted, and none of their bytes kept), real-time bytes
// in the middle of a message (counted, and the message goes on around them), and system
// common messages. A note-on of velocity 0 is a note-off, as MIDI has it. Whatever cannot
// be read is counted and skipped; nothing it reads can make it keep more than two bytes.
class MidiReader
{
public:
    struct Counts
    {
        std::int64_t messages = 0; // channel messages read whole
        std::int64_t sysex = 0;    // system exclusive messages, ended or cut
        std::int64_t realtime = 0; // clock, start, stop, active sensing and the like
        std::int64_t common = 0;   // system common messages: time code, song position
        std::int64_t strays = 0;   // data bytes under no status, an end of SysEx alone
        std::int64_t cut = 0;      // messages a new status byte or a lost port broke off

        bool operator==(const Counts &) const = default;
    };

    // Reads bytes, handing each channel message read whole to take(const MidiMessage &).
    template<typename Take> void read(std::span<const std::uint8_t> bytes, Take &&take)
    {
        for (const std::uint8_t byte : bytes) {
            if (readByte(byte))
                take(m_message);
        }
    }

    // The port went away: a message under way will never end.
    void cut();

    const Counts &counts() const { return m_counts; }

private:
    // True when byte ended a channel message, which m_message then holds.
    bool readByte(std::uint8_t byte);
    void startStatus(std::uint8_t status);
    void breakOff();

    Counts m_counts;
    std::uint8_t m_status = 0; // the status in force; 0: none
    int m_needed = 0;          // the data bytes its messages take
    int m_have = 0;            // of which this message has read so far
    std::uint8_t m_data[2] = {};
    bool m_inSysex = false;
    MidiMessage m_message;
};
