#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The frames a page sends over its WebSocket (RFC 6455, section 5), read from the bytes as
// they come, in whatever pieces: whole messages, pings, pongs and the close. What the RFC
// forbids a browser to send ends the connection as a protocol error (1002): an unmasked
// frame, reserved bits or opcodes, a control frame over 125 bytes or in pieces, a piece
// with nothing to continue, a new message before the last one ended, a length not written
// in its shortest form. A message longer than the most allowed ends it as too big (1009)
// as soon as a frame's header says so, before its payload is kept; text that is not UTF-8
// ends it as 1007. Reading is a pure function of the bytes, so that anything a page sends
// is safe to hand to it, and it never holds more than one frame of them.
class FrameReader
{
public:
    enum class Kind { Text, Binary, Ping, Pong, Close, Failed };

    // Close codes, as RFC 6455 (7.4.1) numbers them.
    static constexpr quint16 Normal = 1000;
    static constexpr quint16 ProtocolError = 1002;
    static constexpr quint16 NoStatus = 1005; // a close that gave no code
    static constexpr quint16 NotUtf8 = 1007;
    static constexpr quint16 TooBig = 1009;

    struct Event
    {
        Kind kind = Kind::Failed;
        QByteArray payload; // a message's, a ping's or a pong's; a close's reason
        quint16 code = 0;   // a close's code, or why the reader failed

        bool operator==(const Event &other) const = default;
    };

    explicit FrameReader(qsizetype largestMessage) : m_largest(largestMessage) {}

    void add(QByteArrayView bytes);
    // The next event that the bytes added so far complete; none until more come. After a
    // close or a failure there is none ever again.
    std::optional<Event> next();
    // Bytes added and not yet taken as part of a whole frame.
    qsizetype pending() const { return m_bytes.size() - m_at; }

private:
    Event fail(quint16 code);

    qsizetype m_largest;
    QByteArray m_bytes;
    qsizetype m_at = 0; // where the bytes not yet taken start
    bool m_inMessage = false;
    Kind m_messageKind = Kind::Text;
    QByteArray m_message;
    bool m_ended = false;
};
