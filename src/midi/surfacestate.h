#pragma once

#include "midi/midimessage.h"
#include "midi/midiplugin.h"
#include "midi/midiprofile.h"
#include "protocol/boardnumbers.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

// What one surface's faders and lights stand at, against the panel's levels: soft takeover
// for faders without motors, and what a motor fader or a light is to be told. No device: the
// surface's moves come in, the panel's changes come in, the messages to send come out, and
// the time is given with each call that depends on it.
//
// A fader without a motor takes its channel only once it has reached the channel's level
// (within PickupWindow of 127) or crossed it; until then it changes nothing, and waits on
// the side where it stands. A change it did not make, from any other source, leaves it
// waiting again, unless it still stands at the new level.
//
// A motor fader takes its channel at once, and is told every change that it did not make
// itself, once the hand has been off it for HandOff: a motor that the program drives under
// the operator's fingers fights them. Each level goes to 0..127 and back to the same level,
// and a fader is never told a level its own position already means, so that the motor
// never creeps by a step after the hand lets go.
class SurfaceState
{
public:
    using Time = std::chrono::milliseconds;
    static constexpr int PickupWindow = 3;
    static constexpr Time HandOff{300};

    // The channels, then the master.
    static constexpr int TargetCount = Board::ChannelCount + 1;
    using Levels = decltype(MidiPanelView::levels);

    // What the lights show, and the levels the faders take.
    using Panel = MidiPanelView;

    using Side = MidiPanel::Pickup;

    explicit SurfaceState(const MidiProfile &profile);

    // A level 0..99 as a fader's value 0..127, and back: back(toMidi(level)) == level.
    static int toMidi(int level);
    static int toLevel(int value);

    // The surface moved the fader of mapping (its place in the profile) to value: the level
    // to ask for, or none while it waits for pickup.
    std::optional<int> moved(std::size_t mapping, int value, Time now);
    // The panel's level of target changed; by: the mapping of this surface whose move made
    // it, none when anything else did.
    void levelChanged(int target, int level, std::optional<std::size_t> by = std::nullopt);
    // Everything the lights show, and the levels with it.
    void panelChanged(const Panel &panel);

    // Where the faders of target stand, of those waiting for pickup: the one moved last.
    Side waiting(int target) const;
    // What the motor faders and the lights are to be told now.
    std::vector<MidiMessage> feedback(Time now);

    // The surface went away, and may come back: where its faders stand and what its lights
    // show is not known until it says or is told.
    void forget();

private:
    struct Fader
    {
        std::size_t mapping = 0;
        int target = 0;
        bool motor = false;
        std::optional<int> position; // its last value, from it or told to it
        bool picked = false;
        std::optional<Time> movedAt; // by the hand
    };
    struct Light
    {
        std::size_t mapping = 0;
        std::optional<int> shown;
    };

    Fader *faderOf(std::size_t mapping);
    int lightValue(const MidiMapping &mapping) const;

    const MidiProfile &m_profile;
    std::vector<Fader> m_faders;
    std::vector<Light> m_lights;
    Panel m_panel;
};
