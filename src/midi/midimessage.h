#pragma once

#include <cstdint>

// One channel message of MIDI, as a control surface sends it and takes it back: a note, a
// control change, and the rest that the panel reads only to count. Channels count from 0
// here, as on the wire; people and the profile files count them from 1.
struct MidiMessage
{
    enum class Kind : std::uint8_t {
        NoteOff = 0x8,
        NoteOn = 0x9,
        PolyPressure = 0xA,
        ControlChange = 0xB,
        ProgramChange = 0xC,
        ChannelPressure = 0xD,
        PitchBend = 0xE,
    };

    Kind kind = Kind::ControlChange;
    std::uint8_t channel = 0; // 0..15
    std::uint8_t number = 0;  // the note or controller, 0..127
    std::uint8_t value = 0;   // the velocity or value, 0..127

    bool operator==(const MidiMessage &) const = default;

    static constexpr std::uint8_t HighestChannel = 15;
    static constexpr std::uint8_t HighestValue = 127;

    // How many data bytes follow the status byte of kind.
    static constexpr int dataBytes(Kind kind)
    {
        return kind == Kind::ProgramChange || kind == Kind::ChannelPressure ? 1 : 2;
    }

    std::uint8_t status() const { return std::uint8_t(std::uint8_t(kind) << 4 | channel); }
};
