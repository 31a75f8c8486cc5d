#pragma once

#include "link/linesink.h"

#include <QByteArray>

// A line that keeps what it is sent, as the bytes the board would get, at once.
class RecordingLine : public LineSink
{
public:
    void send(const LineMessage &message) override
    {
        for (std::uint8_t byte : LineMessages::encode(message))
            m_bytes += char(byte);
    }

    // What was sent since the last call.
    QByteArray take() { return std::exchange(m_bytes, QByteArray()); }

private:
    QByteArray m_bytes;
};
