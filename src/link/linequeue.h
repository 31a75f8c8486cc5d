#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

// The messages that wait for the line, each whole, in the order written. The board keeps
// only the last level of each address, so a SetLevel packet that is still waiting takes
// the level of a newer one for the same address instead of letting both go, unless a
// message between them depends on the order:
//
// - the master packet sets every channel, so a channel packet and a master packet never
//   pass each other;
// - a SelectMode packet, the scene download frame and anything else that is not a
//   SetLevel packet is never merged, and nothing passes it.
//
// So the board ends in the state that every message would have left it in, every message
// that is not a SetLevel packet goes exactly once, and the last level of each address
// always goes.
class LineQueue
{
public:
    // One whole message, as one writer hands it over: a command packet or a frame.
    void push(std::span<const std::uint8_t> message);

    bool isEmpty() const { return m_messages.empty(); }
    std::size_t messageCount() const { return m_messages.size(); }
    std::size_t byteCount() const { return m_bytes; }

    // Removes the message that goes next and gives it; only while the queue is not empty.
    std::vector<std::uint8_t> take();
    void clear();

private:
    std::deque<std::vector<std::uint8_t>> m_messages;
    std::size_t m_bytes = 0;
};
