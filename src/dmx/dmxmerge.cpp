#include "dmxmerge.h"

#include <algorithm>

namespace {

DeskClock::Time lossOf(DmxMerge::Protocol protocol)
{
    return protocol == DmxMerge::Protocol::Sacn ? DmxMerge::SacnLoss : DmxMerge::ArtNetLoss;
}

} // namespace

DmxMerge::Outcome DmxMerge::take(const Frame &frame)
{
    auto source = std::find_if(m_sources.begin(), m_sources.end(), [&frame](const Source &s) {
        return s.protocol == frame.protocol && s.key == frame.key;
    });
    Outcome outcome = Outcome::Taken;
    if (source == m_sources.end()) {
        if (count(frame.protocol) >=
            (frame.protocol == Protocol::Sacn ? SacnSources : ArtNetSources))
            return Outcome::TooManySources;
        Source added;
        added.protocol = frame.protocol;
        added.key = frame.key.toByteArray();
        added.number = ++m_numbered;
        source = m_sources.insert(m_sources.end(), std::move(added));
        outcome = Outcome::Changed;
    } else if (source->sequence && frame.sequence) {
        // Counted backwards round the byte: 1..20 behind the last came late, or again.
        const int behind = std::uint8_t(*source->sequence - *frame.sequence);
        if (behind >= 1 && behind <= SequenceWindow)
            return Outcome::OutOfOrder;
    }
    if (source->name != frame.name || source->priority != frame.priority) {
        source->name = frame.name.toByteArray();
        source->priority = frame.priority;
        outcome = Outcome::Changed;
    }
    source->sequence = frame.sequence;
    source->count = int(std::min<qsizetype>(frame.values.size(), SlotCount));
    for (int k = 0; k < source->count; ++k)
        source->values[std::size_t(k)] = std::uint8_t(frame.values[k]);
    source->heard = m_clock.now();
    return outcome;
}

bool DmxMerge::end(Protocol protocol, const QByteArrayView &key)
{
    return std::erase_if(m_sources, [&](const Source &s) {
               return s.protocol == protocol && s.key == key;
           }) > 0;
}

int DmxMerge::expire()
{
    const DeskClock::Time now = m_clock.now();
    return int(std::erase_if(
        m_sources, [now](const Source &s) { return now - s.heard > lossOf(s.protocol); }));
}

DmxMerge::Slots DmxMerge::merged() const
{
    Slots slots;
    std::array<int, SlotCount> priorities{};
    for (const Source &source : m_sources) {
        for (int k = 0; k < source.count; ++k) {
            const auto at = std::size_t(k);
            const std::uint8_t value = source.values[at];
            if (!slots[at] || source.priority > priorities[at] ||
                (source.priority == priorities[at] && value > slots[at]->value)) {
                slots[at] = Slot{value, source.number};
                priorities[at] = source.priority;
            }
        }
    }
    return slots;
}

std::vector<DmxMerge::SourceInfo> DmxMerge::sources(Protocol protocol) const
{
    std::vector<SourceInfo> infos;
    for (const Source &source : m_sources) {
        if (source.protocol == protocol)
            infos.push_back({QString::fromUtf8(source.name), source.priority});
    }
    return infos;
}

int DmxMerge::count(Protocol protocol) const
{
    return int(std::count_if(m_sources.begin(), m_sources.end(),
                             [protocol](const Source &s) { return s.protocol == protocol; }));
}
