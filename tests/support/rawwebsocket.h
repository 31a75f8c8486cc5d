#pragma once

#include <QByteArray>

// What a WebSocket client sends, written out here rather than taken from the code under
// test, so that a test can also send what no browser would: unmasked frames, pings whose
// answers it never reads, a reset instead of a close.
namespace RawWebSocket {

enum Opcode : quint8 {
    Continuation = 0x0,
    Text = 0x1,
    Binary = 0x2,
    Close = 0x8,
    Ping = 0x9,
    Pong = 0xA,
};

// The opening of the page's WebSocket, at host and from origin (none when empty).
inline QByteArray opening(const QByteArray &host, const QByteArray &origin)
{
    return "GET /ws HTTP/1.1\r\nHost: " + host +
           "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
           "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n" +
           (origin.isEmpty() ? QByteArray() : "Origin: " + origin + "\r\n") + "\r\n";
}

// One frame as a client sends it: masked (with a fixed key), unless asked not to be.
inline QByteArray frame(quint8 opcode, const QByteArray &payload, bool masked = true,
                        bool last = true)
{
    QByteArray bytes(1, char((last ? 0x80 : 0) | opcode));
    const int lengthBytes = payload.size() < 126 ? 0 : payload.size() <= 0xFFFF ? 2 : 8;
    bytes += char((masked ? 0x80 : 0) | (lengthBytes == 0   ? payload.size()
                                         : lengthBytes == 2 ? 126
                                                            : 127));
    for (int shift = 8 * (lengthBytes - 1); shift >= 0; shift -= 8)
        bytes += char((quint64(payload.size()) >> shift) & 0xFF);
    const QByteArray key = masked ? QByteArray("\x12\x34\x56\x78") : QByteArray(4, '\0');
    bytes += masked ? key : QByteArray();
    for (qsizetype i = 0; i < payload.size(); ++i)
        bytes += char(payload[i] ^ key[i % 4]);
    return bytes;
}

// A close as a client sends it, with code and reason.
inline QByteArray close(quint16 code, const QByteArray &reason = {})
{
    return frame(Close, QByteArray(1, char(code >> 8)) + char(code & 0xFF) + reason);
}

} // namespace RawWebSocket
