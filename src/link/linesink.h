#pragma once

#include "protocol/linemessage.h"

// Where the panel's messages for the board go: the serial link, or a test's recorder. A
// message is taken whole; when it reaches the wire is the sink's affair.
class LineSink
{
public:
    virtual ~LineSink() = default;
    // What is sent from now on belongs to one action of the operator's (a click, a key, a
    // recall, a remote's message): the line never lets its messages take out each other.
    virtual void beginAction() {}
    // The operator's word that a lost line is theirs again (a board switched off and on, a
    // port that does not come back by itself): true when it came back now, which sends the
    // whole state anyway.
    virtual bool retry() { return false; }
    virtual void send(const LineMessage &message) = 0;
};
