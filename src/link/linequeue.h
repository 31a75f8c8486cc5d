#pragma once

#include "protocol/linemessage.h"

#include <cstddef>
#include <cstdint>
#include <deque>

// The messages that wait for the line, in the order written, no more of them than the
// board's state can need however fast they come. A message that makes a waiting one of an
// earlier action useless, because the board would keep only the newer one's effect, takes
// it out:
//
// - a master level takes out every waiting level, of the channels and the master: the
//   board sets all eight channels from it;
// - a channel level takes out the waiting level of the same channel;
// - a mode takes out a waiting mode that no level follows;
// - a scene download frame takes out the waiting frame.
//
// The messages of one action (a click, a key, a recall, a remote's message) never take out
// each other: all-off is its channels' zeros and then the master's, whole, even when the
// first is already on the line and the others wait their turn.
//
// The newer message goes to the end, so what goes out is always a part of what was written,
// in the order written, and it leaves the board in exactly the state that every message
// would have. What waits is at most nine levels, one frame and a mode before each level and
// after the last, from earlier actions, and the messages of the action under way: about a
// quarter of a second of the line.
class LineQueue
{
public:
    // What is pushed from now on is one action of its own.
    void beginAction() { ++m_action; }
    void push(const LineMessage &message);

    bool isEmpty() const { return m_messages.empty(); }
    // What the waiting messages take on the wire.
    std::size_t byteCount() const { return m_bytes; }

    // The scene download frame among the waiting messages, if one waits.
    const SceneDownloadFrame::Records *waitingFrame() const;

    // Removes the message that goes next and gives it; only while the queue is not empty.
    LineMessage take();
    void clear();

private:
    struct Waiting
    {
        LineMessage message;
        std::uint64_t action;
    };

    template<typename Predicate> void takeOut(Predicate superseded);
    void takeOutModesWithoutLevels();

    std::deque<Waiting> m_messages;
    std::size_t m_bytes = 0;
    std::uint64_t m_action = 0;
};
