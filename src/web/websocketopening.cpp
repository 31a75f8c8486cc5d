#include "websocketopening.h"

#include <QCryptographicHash>

namespace WebSocketOpening {

QByteArray acceptKey(QByteArrayView key)
{
    constexpr QByteArrayView Guid = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
    return QCryptographicHash::hash(key.toByteArray() + Guid.toByteArray(),
                                    QCryptographicHash::Sha1)
        .toBase64();
}

QByteArray answer(const RequestHead &head, bool *opens)
{
    *opens = false;
    constexpr int KeyBytes = 16;
    const QByteArray key = head.value("sec-websocket-key");
    const auto decoded =
        QByteArray::fromBase64Encoding(key, QByteArray::AbortOnBase64DecodingErrors);
    const bool asks = head.method == "GET" && head.version == "HTTP/1.1" &&
                      head.lists("upgrade", "websocket") && head.lists("connection", "upgrade") &&
                      head.count("sec-websocket-key") == 1 && decoded &&
                      decoded.decoded.size() == KeyBytes;
    if (!asks)
        return refusal(400, "Bad Request");
    if (head.value("sec-websocket-version") != "13")
        return refusal(426, "Upgrade Required", "Sec-WebSocket-Version: 13\r\n");
    *opens = true;
    return "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
           "Sec-WebSocket-Accept: " +
           acceptKey(key) + "\r\n\r\n";
}

QByteArray refusal(int status, QByteArrayView reason, QByteArrayView headers)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason.toByteArray() + "\r\n" +
           headers.toByteArray() + "Connection: close\r\nContent-Length: 0\r\n\r\n";
}

} // namespace WebSocketOpening
