#pragma once

#include "link/linemessage.h"

#include <cstddef>
#include <deque>

// The messages that wait for the line, each whole, in the order written. The board keeps
// only the last level of each address, so a SetLevel packet that is still waiting takes
// the level of a newer one for the same address instead of letting both go, unless a
// message between them depends on the order:
//
// - the master packet sets every channel, so a channel packet and a master packet never
//   pass each other;
// - a SelectMode packet and the scene download frame are never merged, and nothing
//   passes them.
//
// So the board ends in the state that every message would have left it in, every message
// that is not a SetLevel packet goes exactly once, and the last level of each address
// always goes.
class LineQueue
{
public:
    void push(const LineMessage &message);

    bool isEmpty() const { return m_messages.empty(); }
    // What the waiting messages take on the wire.
    std::size_t byteCount() const { return m_bytes; }

    // Removes the message that goes next and gives it; only while the queue is not empty.
    LineMessage take();
    void clear();

private:
    std::deque<LineMessage> m_messages;
    std::size_t m_bytes = 0;
};
