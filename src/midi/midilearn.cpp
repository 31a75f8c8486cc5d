#include "midilearn.h"

#include "protocol/boardnumbers.h"

#include <algorithm>

namespace {

// Whether two touches are of the same control of the panel, whatever level they set.
bool sameControl(const Intent &a, const Intent &b)
{
    return a.kind == b.kind && a.index == b.index;
}

} // namespace

void MidiLearn::reset()
{
    m_moved.reset();
    m_touched.reset();
    m_pairedControl.reset();
    m_pairedTouch.reset();
}

std::optional<MidiMapping> MidiLearn::moved(const MidiMessage &message, Time now)
{
    const std::optional<MidiControl> control = MidiControl::of(message);
    if (!control)
        return std::nullopt;
    if (m_pairedControl == control && now - m_controlLast < Quiet) {
        m_controlLast = now;
        return std::nullopt;
    }
    const bool release = message.kind == MidiMessage::Kind::NoteOff || message.value == 0;
    // The rest of the gesture that began it: the first value tells a button from a fader.
    if (release || (m_moved && m_moved->control == *control))
        return std::nullopt;
    m_moved = Moved{*control, message.value};
    return pair(now);
}

std::optional<Intent> MidiLearn::touchOf(const std::vector<Intent> &changes)
{
    using Kind = Intent::Kind;
    // A recall, a mode or blackout changes channels too: each says which control it was.
    for (const Kind kind : {Kind::Blackout, Kind::Recall, Kind::Mode, Kind::Master}) {
        const auto found =
            std::find_if(changes.begin(), changes.end(),
                         [kind](const Intent &change) { return change.kind == kind; });
        if (found != changes.end())
            return *found;
    }
    // Several channels and nothing else: undo, redo or all off, none of which it can tell;
    // one channel, however often it moved, is that channel's control.
    const bool oneChannel = std::all_of(changes.begin(), changes.end(), [&](const Intent &change) {
        return change.kind == Kind::Channel && change.index == changes.front().index;
    });
    if (!changes.empty() && oneChannel)
        return changes.back();
    return std::nullopt;
}

std::optional<MidiMapping> MidiLearn::touched(const std::vector<Intent> &changes, Time now)
{
    const std::optional<Intent> touch = touchOf(changes);
    if (!touch)
        return std::nullopt;
    if (m_pairedTouch && sameControl(*m_pairedTouch, *touch) && now - m_touchLast < Quiet) {
        m_touchLast = now;
        return std::nullopt;
    }
    m_touched = touch;
    m_touchLast = now;
    return pair(now);
}

std::optional<MidiMapping> MidiLearn::pair(Time now)
{
    if (!m_moved || !m_touched)
        return std::nullopt;
    using Kind = Intent::Kind;
    const Moved moved = *m_moved;
    const Intent touch = *m_touched;
    MidiMapping mapping;
    mapping.control = moved.control;
    mapping.action = touch.kind;
    mapping.index = touch.index;
    // A button's press sends the top value; a fader's first move rarely does.
    const bool button =
        moved.control.kind == MidiControl::Kind::Note || moved.value == MidiMessage::HighestValue;
    if (touch.kind == Kind::Channel || touch.kind == Kind::Master) {
        const bool master = touch.kind == Kind::Master;
        if (button && (touch.value == Board::FullOn || touch.value == Board::Off)) {
            mapping.action = touch.value == Board::FullOn
                                 ? (master ? Kind::MasterFullOn : Kind::FullOn)
                                 : (master ? Kind::AllOff : Kind::Off);
        } else if (moved.control.kind == MidiControl::Kind::Note) {
            // A note is no fader: wait for a control that can be one, or a button's touch.
            return std::nullopt;
        }
        if (master)
            mapping.index = 0;
    }
    m_pairedControl = moved.control;
    m_controlLast = now;
    m_touchLast = now;
    m_pairedTouch = touch;
    m_moved.reset();
    m_touched.reset();
    return mapping;
}
