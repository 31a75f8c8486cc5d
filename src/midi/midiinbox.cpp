#include "midiinbox.h"

void MidiInbox::write(const std::uint8_t *bytes, std::size_t size)
{
    bool first = false;
    {
        const std::lock_guard lock(m_mutex);
        const bool empty = m_waiting.empty();
        m_reader.read(std::span(bytes, size), [this](const MidiMessage &message) {
            if (m_waiting.size() < Capacity)
                m_waiting.push_back(message);
            else
                ++m_dropped;
        });
        first = empty && !m_waiting.empty();
    }
    if (first)
        m_arrived();
}

void MidiInbox::cut()
{
    const std::lock_guard lock(m_mutex);
    m_reader.cut();
}

std::vector<MidiMessage> MidiInbox::take()
{
    std::vector<MidiMessage> taken;
    const std::lock_guard lock(m_mutex);
    taken.swap(m_waiting);
    return taken;
}

MidiReader::Counts MidiInbox::counts() const
{
    const std::lock_guard lock(m_mutex);
    return m_reader.counts();
}

std::int64_t MidiInbox::dropped() const
{
    const std::lock_guard lock(m_mutex);
    return m_dropped;
}
