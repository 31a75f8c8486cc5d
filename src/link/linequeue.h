#pragma once

#include "link/linemessage.h"

#include <cstddef>
#include <deque>

// The messages that wait for the line, in the order written, no more of them than the
// board's state can need however fast they come. A message that makes an older waiting
// one useless, because the board would keep only the newer one's effect, takes it out:
//
// - a master level takes out every waiting level, of the channels and the master: the
//   board sets all eight channels from it;
// - a channel level takes out the waiting level of the same channel;
// - a mode takes out a waiting mode that no level follows;
// - a scene download frame takes out the waiting frame.
//
// The newer message goes to the end, so what goes out is always a part of what was written,
// in the order written, and it leaves the board in exactly the state that every message
// would have. At most nine levels, one frame and a mode before each level and after the
// last wait: under two hundred bytes, about a fifth of a second of the line.
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
    template<typename Predicate> void takeOut(Predicate superseded);
    void takeOutModesWithoutLevels();

    std::deque<LineMessage> m_messages;
    std::size_t m_bytes = 0;
};
