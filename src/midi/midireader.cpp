#include "midireader.h"

namespace {

constexpr std::uint8_t SysexStart = 0xF0;
constexpr std::uint8_t SysexEnd = 0xF7;
constexpr std::uint8_t FirstRealtime = 0xF8;
constexpr std::uint8_t FirstSystem = 0xF0;

// The data bytes of each system common message, 0xF0..0xF7; the two ends of SysEx are read
// apart.
constexpr int CommonDataBytes[8] = {0, 1, 2, 1, 0, 0, 0, 0};

} // namespace

void MidiReader::cut()
{
    breakOff();
    m_status = 0;
}

void MidiReader::breakOff()
{
    if (m_inSysex) {
        ++m_counts.sysex;
        ++m_counts.cut;
    } else if (m_have > 0) {
        ++m_counts.cut;
    }
    m_inSysex = false;
    m_have = 0;
}

void MidiReader::startStatus(std::uint8_t status)
{
    breakOff();
    m_status = status;
    m_needed = status < FirstSystem ? MidiMessage::dataBytes(MidiMessage::Kind(status >> 4))
                                    : CommonDataBytes[status - FirstSystem];
}

bool MidiReader::readByte(std::uint8_t byte)
{
    // Real-time bytes may come anywhere, even inside another message, and change nothing.
    if (byte >= FirstRealtime) {
        ++m_counts.realtime;
        return false;
    }
    if (byte == SysexStart) {
        breakOff();
        // A system message ends the running status.
        m_status = 0;
        m_inSysex = true;
        return false;
    }
    if (byte == SysexEnd) {
        if (m_inSysex) {
            ++m_counts.sysex;
            m_inSysex = false;
        } else {
            breakOff();
            m_status = 0;
            ++m_counts.strays;
        }
        return false;
    }
    if (byte & 0x80) {
        startStatus(byte);
        if (m_status >= FirstSystem && m_needed == 0) {
            ++m_counts.common;
            m_status = 0;
        }
        return false;
    }
    // A data byte.
    if (m_inSysex)
        return false;
    if (m_status == 0) {
        ++m_counts.strays;
        return false;
    }
    m_data[m_have++] = byte;
    if (m_have < m_needed)
        return false;
    m_have = 0;
    if (m_status >= FirstSystem) {
        ++m_counts.common;
        m_status = 0;
        return false;
    }
    ++m_counts.messages;
    m_message.kind = MidiMessage::Kind(m_status >> 4);
    m_message.channel = m_status & 0x0F;
    m_message.number = m_data[0];
    m_message.value = m_needed == 2 ? m_data[1] : 0;
    if (m_message.kind == MidiMessage::Kind::NoteOn && m_message.value == 0)
        m_message.kind = MidiMessage::Kind::NoteOff;
    return true;
}
