#include "surfacestate.h"

#include <algorithm>
#include <cstdlib>

SurfaceState::SurfaceState(const MidiProfile &profile) : m_profile(profile)
{
    for (std::size_t k = 0; k < profile.mappings.size(); ++k) {
        const MidiMapping &mapping = profile.mappings[k];
        if (mapping.isFader())
            m_faders.push_back(Fader{k, mapping.target(), mapping.motor, {}, false, {}});
        else if (mapping.led)
            m_lights.push_back(Light{k, {}});
    }
}

// Rounded to the nearest: 127 / 99 is more than one, so each level has a value of its own,
// no further than half a value from it, and that comes back as the level.
int SurfaceState::toMidi(int level)
{
    return (level * MidiMessage::HighestValue + Board::FullOn / 2) / Board::FullOn;
}

int SurfaceState::toLevel(int value)
{
    return (value * Board::FullOn + MidiMessage::HighestValue / 2) / MidiMessage::HighestValue;
}

SurfaceState::Fader *SurfaceState::faderOf(std::size_t mapping)
{
    const auto found =
        std::find_if(m_faders.begin(), m_faders.end(),
                     [mapping](const Fader &fader) { return fader.mapping == mapping; });
    return found == m_faders.end() ? nullptr : &*found;
}

std::optional<int> SurfaceState::moved(std::size_t mapping, int value, Time now)
{
    Fader *fader = faderOf(mapping);
    if (!fader)
        return std::nullopt;
    const std::optional<int> before = fader->position;
    fader->position = value;
    fader->movedAt = now;
    if (fader->motor || fader->picked)
        return toLevel(value);
    const int at = toMidi(m_panel.levels[std::size_t(fader->target)]);
    const bool reached = std::abs(value - at) <= PickupWindow;
    // From one side of the level to the other between two moves: a fast hand skips values.
    const bool crossed = before && (*before < at) != (value < at);
    if (!reached && !crossed)
        return std::nullopt;
    fader->picked = true;
    return toLevel(value);
}

void SurfaceState::levelChanged(int target, int level, std::optional<std::size_t> by)
{
    m_panel.levels[std::size_t(target)] = level;
    for (Fader &fader : m_faders) {
        if (fader.target != target || fader.motor || (by && fader.mapping == *by))
            continue;
        if (!fader.position || std::abs(*fader.position - toMidi(level)) > PickupWindow)
            fader.picked = false;
    }
}

void SurfaceState::panelChanged(const Panel &panel)
{
    for (int target = 0; target < TargetCount; ++target) {
        if (panel.levels[std::size_t(target)] != m_panel.levels[std::size_t(target)])
            levelChanged(target, panel.levels[std::size_t(target)]);
    }
    m_panel = panel;
}

SurfaceState::Side SurfaceState::waiting(int target) const
{
    const Fader *last = nullptr;
    for (const Fader &fader : m_faders) {
        if (fader.target != target || fader.motor || fader.picked || !fader.position)
            continue;
        if (!last || (fader.movedAt && (!last->movedAt || *fader.movedAt > *last->movedAt)))
            last = &fader;
    }
    if (!last)
        return Side::None;
    return *last->position < toMidi(m_panel.levels[std::size_t(target)]) ? Side::Below
                                                                         : Side::Above;
}

int SurfaceState::lightValue(const MidiMapping &mapping) const
{
    using Kind = Intent::Kind;
    const Levels &levels = m_panel.levels;
    const auto channels = [&levels](int level) {
        return std::all_of(levels.begin(), levels.begin() + Board::ChannelCount,
                           [level](int at) { return at == level; });
    };
    bool lit = false;
    switch (mapping.action) {
    case Kind::FullOn:
        lit = levels[std::size_t(mapping.index)] == Board::FullOn;
        break;
    case Kind::Off:
        lit = levels[std::size_t(mapping.index)] == Board::Off;
        break;
    case Kind::MasterFullOn:
        lit = levels[MidiMapping::MasterTarget] == Board::FullOn && channels(Board::FullOn);
        break;
    case Kind::AllOff:
        lit = channels(Board::Off);
        break;
    case Kind::Recall:
        if (m_panel.liveScene == mapping.index)
            return m_panel.liveChanged ? mapping.changed : mapping.lit;
        break;
    case Kind::Mode:
        lit = m_panel.mode == mapping.index;
        break;
    case Kind::Blackout:
        lit = m_panel.blackout;
        break;
    default:
        break;
    }
    return lit ? mapping.lit : mapping.dark;
}

std::vector<MidiMessage> SurfaceState::feedback(Time now)
{
    std::vector<MidiMessage> messages;
    for (Fader &fader : m_faders) {
        if (!fader.motor || (fader.movedAt && now - *fader.movedAt < HandOff))
            continue;
        const int level = m_panel.levels[std::size_t(fader.target)];
        if (fader.position && toLevel(*fader.position) == level)
            continue;
        fader.position = toMidi(level);
        messages.push_back(
            m_profile.mappings[fader.mapping].feedbackControl().message(*fader.position));
    }
    for (Light &light : m_lights) {
        const MidiMapping &mapping = m_profile.mappings[light.mapping];
        const int value = lightValue(mapping);
        if (light.shown == value)
            continue;
        light.shown = value;
        messages.push_back(mapping.feedbackControl().message(value));
    }
    return messages;
}

void SurfaceState::forget()
{
    for (Fader &fader : m_faders) {
        fader.position.reset();
        fader.picked = false;
        fader.movedAt.reset();
    }
    for (Light &light : m_lights)
        light.shown.reset();
}
