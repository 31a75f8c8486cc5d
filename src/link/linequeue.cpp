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
    // Only what earlier actions left waiting: the action under way goes out whole.
    const auto earlier = [this, &superseded](const Waiting &waiting) {
        return waiting.action != m_action && superseded(waiting.message);
    };
    for (const Waiting &waiting : m_messages) {
        if (earlier(waiting))
            m_bytes -= LineMessages::size(waiting.message);
    }
    m_messages.erase(std::remove_if(m_messages.begin(), m_messages.end(), earlier),
                     m_messages.end());
}

void LineQueue::takeOutModesWithoutLevels()
{
    // A mode that a mode of a later action follows with no level between them: the board
    // would leave it again before anything it changes could come.
    const std::uint64_t none = m_action + 1;
    std::uint64_t modeWaiting = none;
    for (auto waiting = m_messages.rbegin(); waiting != m_messages.rend();) {
        if (isLevel(waiting->message)) {
            modeWaiting = none;
        } else if (isMode(waiting->message)) {
            if (modeWaiting != none && modeWaiting != waiting->action) {
                m_bytes -= LineMessages::size(waiting->message);
                waiting = std::make_reverse_iterator(m_messages.erase(std::next(waiting).base()));
                continue;
            }
            modeWaiting = waiting->action;
        }
        ++waiting;
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
    m_messages.push_back({message, m_action});
    m_bytes += LineMessages::size(message);
    takeOutModesWithoutLevels();
}

const SceneDownloadFrame::Records *LineQueue::waitingFrame() const
{
    for (const Waiting &waiting : m_messages) {
        if (const auto *records = std::get_if<SceneDownloadFrame::Records>(&waiting.message))
            return records;
    }
    return nullptr;
}

LineMessage LineQueue::take()
{
    LineMessage message = std::move(m_messages.front().message);
    m_messages.pop_front();
    m_bytes -= LineMessages::size(message);
    return message;
}

void LineQueue::clear()
{
    m_messages.clear();
    m_bytes = 0;
}
