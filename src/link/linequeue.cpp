#include "linequeue.h"

#include "link/commandpacket.h"

#include <optional>

namespace {

// The address of a SetLevel packet; nothing for any other message.
std::optional<std::uint8_t> levelAddress(std::span<const std::uint8_t> message)
{
    if (message.size() != CommandPacket::Size || message[0] != CommandPacket::StartByte ||
        message[2] != CommandPacket::SetLevel || message[4] != CommandPacket::EndByte)
        return std::nullopt;
    return message[1];
}

} // namespace

void LineQueue::push(std::span<const std::uint8_t> message)
{
    if (const auto address = levelAddress(message)) {
        for (auto waiting = m_messages.rbegin(); waiting != m_messages.rend(); ++waiting) {
            const auto other = levelAddress(*waiting);
            if (!other)
                break;
            if (*other == *address) {
                (*waiting)[3] = message[3];
                return;
            }
            if (*other == CommandPacket::MasterAddress || *address == CommandPacket::MasterAddress)
                break;
        }
    }
    m_messages.emplace_back(message.begin(), message.end());
    m_bytes += message.size();
}

std::vector<std::uint8_t> LineQueue::take()
{
    std::vector<std::uint8_t> message = std::move(m_messages.front());
    m_messages.pop_front();
    m_bytes -= message.size();
    return message;
}

void LineQueue::clear()
{
    m_messages.clear();
    m_bytes = 0;
}
