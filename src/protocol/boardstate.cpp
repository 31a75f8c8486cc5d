#include "boardstate.h"

void BoardState::apply(const BoardDecoder::Event &event)
{
    if (const auto *packet = std::get_if<BoardDecoder::Packet>(&event))
        applyPacket(*packet);
    else if (const auto *frame = std::get_if<BoardDecoder::Frame>(&event))
        m_scenes = frame->records;
}

void BoardState::applyPacket(const BoardDecoder::Packet &packet)
{
    // The decoder passes only packets the board takes; a packet built by hand that it
    // would not take is ignored here too rather than written out of range.
    if (packet.command == CommandPacket::SelectMode) {
        if (packet.address < ModeCount)
            m_mode = packet.address + 1;
    } else if (packet.command != CommandPacket::SetLevel) {
        return;
    } else if (packet.address == CommandPacket::MasterAddress) {
        // The board moves every channel with the master; the panel sends no channel
        // packets meanwhile, so this is the only place the channels follow it.
        m_master = packet.value;
        m_levels.fill(packet.value);
    } else if (packet.address < ChannelCount) {
        m_levels[packet.address] = packet.value;
    }
}
