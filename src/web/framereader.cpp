#include "framereader.h"

#include <QtEndian>

#include <utility>

namespace {

enum Opcode : quint8 {
    Continuation = 0x0,
    Text = 0x1,
    Binary = 0x2,
    Close = 0x8,
    Ping = 0x9,
    Pong = 0xA,
};

constexpr qsizetype MaskSize = 4;
constexpr qsizetype LongestControlPayload = 125;

// The codes an endpoint may send in a close (RFC 6455, 7.4): those defined, bar the ones
// that only name what happened locally, and those left to libraries and applications.
bool isSendableCode(quint16 code)
{
    return (code >= 1000 && code <= 1003) || (code >= 1007 && code <= 1014) ||
           (code >= 3000 && code <= 4999);
}

} // namespace

void FrameReader::add(QByteArrayView bytes)
{
    if (!m_ended)
        m_bytes.append(bytes);
}

FrameReader::Event FrameReader::fail(quint16 code)
{
    m_ended = true;
    m_bytes.clear();
    m_at = 0;
    m_message.clear();
    return {Kind::Failed, {}, code};
}

std::optional<FrameReader::Event> FrameReader::next()
{
    while (!m_ended) {
        const auto *at = reinterpret_cast<const uchar *>(m_bytes.constData()) + m_at;
        const qsizetype available = pending();
        if (available < 2)
            break;
        const bool last = at[0] & 0x80;
        const quint8 opcode = at[0] & 0x0F;
        const bool control = opcode & 0x08;
        if ((at[0] & 0x70) != 0 || (opcode > Binary && opcode < Close) || opcode > Pong)
            return fail(ProtocolError);
        if (!(at[1] & 0x80))
            return fail(ProtocolError); // unmasked
        quint64 length = at[1] & 0x7F;
        qsizetype header = 2;
        if (control && (!last || length > LongestControlPayload))
            return fail(ProtocolError);
        if (length == 126) {
            if (available < 4)
                break;
            length = qFromBigEndian<quint16>(at + 2);
            header = 4;
            if (length < 126)
                return fail(ProtocolError);
        } else if (length == 127) {
            if (available < 10)
                break;
            length = qFromBigEndian<quint64>(at + 2);
            header = 10;
            if (length <= 0xFFFF || (length >> 63) != 0)
                return fail(ProtocolError);
        }
        if (!control) {
            if ((opcode == Continuation) != m_inMessage)
                return fail(ProtocolError);
            const quint64 before = m_inMessage ? quint64(m_message.size()) : 0;
            if (before + length > quint64(m_largest))
                return fail(TooBig);
        }
        if (quint64(available) < quint64(header + MaskSize) + length)
            break;
        const uchar *mask = at + header;
        QByteArray payload(reinterpret_cast<const char *>(mask + MaskSize), qsizetype(length));
        for (qsizetype i = 0; i < payload.size(); ++i)
            payload[i] = char(payload[i] ^ mask[i % MaskSize]);
        m_at += header + MaskSize + qsizetype(length);

        switch (opcode) {
        case Ping:
            return Event{Kind::Ping, payload};
        case Pong:
            return Event{Kind::Pong, payload};
        case Close: {
            if (payload.size() == 1)
                return fail(ProtocolError);
            quint16 code = NoStatus;
            if (payload.size() >= 2) {
                code = qFromBigEndian<quint16>(payload.constData());
                if (!isSendableCode(code))
                    return fail(ProtocolError);
                payload.remove(0, 2);
            }
            if (!payload.isValidUtf8())
                return fail(NotUtf8);
            m_ended = true;
            m_bytes.clear();
            m_at = 0;
            return Event{Kind::Close, payload, code};
        }
        case Text:
        case Binary:
            m_inMessage = true;
            m_messageKind = opcode == Text ? Kind::Text : Kind::Binary;
            m_message = payload;
            break;
        default:
            m_message += payload;
            break;
        }
        if (!last)
            continue;
        m_inMessage = false;
        if (m_messageKind == Kind::Text && !m_message.isValidUtf8())
            return fail(NotUtf8);
        return Event{m_messageKind, std::exchange(m_message, {})};
    }
    // What is left is less than a frame: it moves to the front, for the rest to join it.
    if (m_at > 0) {
        m_bytes.remove(0, m_at);
        m_at = 0;
    }
    return {};
}
