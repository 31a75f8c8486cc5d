// The MIDI module's entry points, which the panel finds by name when a MIDI option asks for
// them (see midiplugin.h).
#include "midi/midiinbox.h"
#include "midi/midiinput.h"
#include "midi/midiplugin.h"
#include "midi/midiport.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) MidiRemote *dimmer_midi_create(MidiPanel *panel)
{
    return new MidiInput(*panel);
}

extern "C" __attribute__((visibility("default"))) bool
dimmer_midi_list(const MidiSettings *settings, QStringList *inputs, QStringList *outputs,
                 QString *errorMessage)
{
    MidiInbox inbox([] {});
    const std::unique_ptr<MidiPort> port =
        MidiPort::open(MidiInput::systemOf(settings->system),
                       QString::fromLatin1(MidiPort::SurfaceClientName), inbox, errorMessage);
    if (!port)
        return false;
    *inputs = port->inputs();
    *outputs = port->outputs();
    return true;
}

// The signatures the panel calls them by.
static_assert(std::is_same_v<decltype(&dimmer_midi_create), DimmerMidiCreate>);
static_assert(std::is_same_v<decltype(&dimmer_midi_list), DimmerMidiList>);
