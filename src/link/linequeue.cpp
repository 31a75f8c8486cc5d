#include "linequeue.h"

namespace {

// The SetLevel packet in a message; none for anything else.
CommandPacket::Fields *levelPacket(LineMessage &message)
{
    auto *packet = std::get_if<CommandPacket::Fields>(&message);
    return packet && packet->command == CommandPacket::SetLevel ? packet : nullptr;
}

} // namespace

void LineQueue::push(const LineMessage &message)
{
    LineMessage incoming = message;
    if (const CommandPacket::Fields *level = levelPacket(incoming)) {
        for (auto waiting = m_messages.rbegin(); waiting != m_messages.rend(); ++waiting) {
            CommandPacket::Fields *other = levelPacket(*waiting);
            if (!other)
                break;
            if (other->address == level->address) {
                other->value = level->value;
                return;
            }
            if (other->address == CommandPacket::MasterAddress ||
                level->address == CommandPacket::MasterAddress)
                break;
        }
    }
    m_bytes += LineMessages::size(incoming);
    m_messages.push_back(std::move(incoming));
}

LineMessage LineQueue::take()
{
    LineMessage message = std::move(m_messages.front());
    m_messages.pop_front();
    m_bytes -= LineMessages::size(message);
    return message;
}

void LineQueue::clear()
{
    m_messages.clear();
    m_bytes = 0;
}
