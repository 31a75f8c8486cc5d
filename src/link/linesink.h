#pragma once

#include "link/linemessage.h"

// Where the panel's messages for the board go: the serial link, or a test's recorder. A
// message is taken whole; when it reaches the wire is the sink's affair.
class LineSink
{
public:
    virtual ~LineSink() = default;
    virtual void send(const LineMessage &message) = 0;
};
