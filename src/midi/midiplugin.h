#pragma once

#include "control/intent.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// The seam between the panel and its MIDI surfaces, which are a module of their own, loaded
// only when a MIDI option asks for it: a panel started without one maps neither RtMidi nor
// the ALSA and JACK libraries it brings. Nothing crosses but these interfaces and plain
// values, so the module needs no symbol of the program's.

// What a surface's faders and lights follow: the eight channels and the master, the mode,
// the live scene, blackout.
struct MidiPanelView
{
    std::array<int, Board::ChannelCount + 1> levels{}; // the channels, then the master
    int mode = -1;                                     // 0..11; -1: none chosen
    int liveScene = 0;                                 // 1..12; 0: none
    bool liveChanged = false;
    bool blackout = false;

    bool operator==(const MidiPanelView &) const = default;
};

// The panel as its surfaces see it.
class MidiPanel
{
public:
    // Where a fader that waits for pickup stands against its level: below it (to be pushed
    // up to it), or above.
    enum class Pickup : std::uint8_t { None, Below, Above };

    virtual ~MidiPanel() = default;
    virtual MidiPanelView view() const = 0;
    virtual Intent::Outcome act(const Intent &intent) = 0;
    // Whether a fader of target (channel 0..7, the master 8) waits for pickup, and where.
    virtual void showPickup(int target, Pickup pickup) = 0;
    // A pair learned, in words, for the operator.
    virtual void showLearned(const QString &pair) = 0;
    // Something the operator should know, for stderr: a surface gone or back, a profile
    // that could not be kept.
    virtual void tell(const QString &message) = 0;
};

// Where the surfaces are, and how they are read.
struct MidiSettings
{
    enum class System : std::uint8_t {
        Default, // ALSA's sequencer, or JACK where the machine has no sequencer
        Alsa,
        Jack,
    };
    System system = System::Default;
    // The surface: the input (and the output, for feedback) whose name holds this.
    QString pattern;
    // A built-in profile's name, or a profile file; empty: the operator's, else generic.
    QString profile;
    // The operator's profile, which learn writes.
    QString operatorProfile;
};

// The panel's MIDI surfaces: the one named, and the panel's own virtual port, which other
// programs connect to.
class MidiRemote
{
public:
    virtual ~MidiRemote() = default;
    // Reads the profile and opens the MIDI system and the virtual port; false, with why,
    // when any of it fails. A surface that is not there yet is waited for.
    virtual bool start(const MidiSettings &settings, QString *errorMessage) = 0;
    // A level of the panel changed (target: channel 0..7, the master 8), from source.
    virtual void levelChanged(int target, int level, const Source &source) = 0;
    // Something else the lights show changed: the mode, the live scene, blackout.
    virtual void panelChanged() = 0;
    // The operator changed this on the panel itself (a channel or the master to a level, a
    // recall, a mode, blackout): what learn pairs with the next surface control moved.
    virtual void touched(const Intent &change) = 0;
    virtual void setLearning(bool on) = 0;
    // What became of the surfaces' messages, one line for the end of the run.
    virtual QString countsSummary() const = 0;
};

// The module's entry points, found by name: the surfaces of panel; and the inputs and
// outputs that the MIDI system of settings has, or false with why.
extern "C" {
using DimmerMidiCreate = MidiRemote *(*)(MidiPanel *panel);
using DimmerMidiList = bool (*)(const MidiSettings *settings, QStringList *inputs,
                                QStringList *outputs, QString *errorMessage);
}
inline constexpr const char *DimmerMidiCreateName = "dimmer_midi_create";
inline constexpr const char *DimmerMidiListName = "dimmer_midi_list";
