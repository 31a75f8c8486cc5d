// Any text handed to the MIDI profile reader, as a profile file may hold.
//
// Checks: nothing crashes; a profile that is read maps each control once, to an action with
// a channel, scene or mode that exists, with lights' values MIDI has and opening messages
// within their bounds; and what it writes reads back as the same profile.

#include "fuzzing.h"
#include "midi/midiprofile.h"
#include "protocol/boardnumbers.h"

#include <cstdint>

namespace {

void checkRanges(const MidiMapping &mapping)
{
    using Kind = Intent::Kind;
    require(mapping.control.channel <= MidiMessage::HighestChannel);
    require(mapping.control.number <= MidiMessage::HighestValue);
    switch (mapping.action) {
    case Kind::Channel:
    case Kind::FullOn:
    case Kind::Off:
        require(mapping.index >= 0 && mapping.index < Board::ChannelCount);
        break;
    case Kind::Recall:
        require(mapping.index >= 1 && mapping.index <= Board::SceneCount);
        break;
    case Kind::Mode:
        require(mapping.index >= 0 && mapping.index < Board::ModeCount);
        break;
    default:
        require(mapping.index == 0);
    }
    require(!mapping.isFader() || mapping.control.kind == MidiControl::Kind::ControlChange);
    require(!(mapping.motor && mapping.led));
    for (const int value : {mapping.lit, mapping.dark, mapping.changed})
        require(value >= 0 && value <= MidiMessage::HighestValue);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    QString problem;
    const std::optional<MidiProfile> profile = MidiProfile::read(text, &problem);
    if (!profile) {
        require(!problem.isEmpty());
        return 0;
    }
    require(profile->opening.size() <= MidiProfile::MostOpenings);
    for (const std::vector<std::uint8_t> &message : profile->opening)
        require(!message.empty() && message.size() <= MidiProfile::LongestOpening);
    for (std::size_t k = 0; k < profile->mappings.size(); ++k) {
        checkRanges(profile->mappings[k]);
        require(profile->find(profile->mappings[k].control) == &profile->mappings[k]);
    }
    const std::optional<MidiProfile> again = MidiProfile::read(profile->text(), &problem);
    require(again && again->mappings == profile->mappings && again->opening == profile->opening);
    return 0;
}
