#include "linequeue.h"

#include <algorithm>

namespace {

const CommandPacket::Fields *packetOf(const LineMessage &message)
{
    return std::get_if<CommandPacket::Fields>(&message);
}

bool isLevel(const LineMessage &message)
{
    const CommandPacket::Fields *packet = packetOf(message);
    return packet && packet->command == CommandPacket::SetLevel;
}

bool isMode(const LineMessage &message)
{
    const CommandPacket::Fields *packet = packetOf(message);
    return packet && packet->command == CommandPacket::SelectMode;
}

bool isFrame(const LineMessage &message)
{
    return std::holds_alternative<SceneDownloadFrame::Records>(message);
}

} // namespace

template<typename Predicate> void LineQueue::takeOut(Predicate superseded)
{
    for (const LineMessage &waiting : m_messages) {
        if (superseded(waiting))
            m_bytes -= LineMessages::size(waiting);
    }
    m_messages.erase(std::remove_if(m_messages.begin(), m_messages.end(), superseded),
                     m_messages.end());
}

void LineQueue::takeOutModesWithoutLevels()
{
    // A mode that another mode follows with no level between them: the board would
    // leave it again before anything it changes could come.
    bool modeWaiting = false;
    for (auto message = m_messages.rbegin(); message != m_messages.rend();) {
        if (isLevel(*message)) {
            modeWaiting = false;
        } else if (isMode(*message)) {
            if (modeWaiting) {
                m_bytes -= LineMessages::size(*message);
                message = std::make_reverse_iterator(m_messages.erase(std::next(message).base()));
                continue;
            }
            modeWaiting = true;
        }
        ++message;
    }
}

void LineQueue::push(const LineMessage &message)
{
    if (const CommandPacket::Fields *packet = packetOf(message); isLevel(message)) {
        if (packet->address == CommandPacket::MasterAddress)
            takeOut(isLevel);
        else
            takeOut([packet](const LineMessage &waiting) {
                return isLevel(waiting) && packetOf(waiting)->address == packet->address;
            });
    } else if (isFrame(message)) {
        takeOut(isFrame);
    }
    m_messages.push_back(message);
    m_bytes += LineMessages::size(message);
    takeOutModesWithoutLevels();
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
