#pragma once

#include "web/requesthead.h"

#include <QByteArray>
#include <QByteArrayView>

// The answer to a request that opens a page's WebSocket (RFC 6455, 4.2): the switch to the
// WebSocket protocol, or a refusal after which the connection closes. Which hosts and
// origins may open one is the caller's to decide.
namespace WebSocketOpening {

// The Sec-WebSocket-Accept that answers a Sec-WebSocket-Key.
QByteArray acceptKey(QByteArrayView key);

// The whole response to head: 101 when it asks for a WebSocket as RFC 6455 says, else
// 400, or 426 for another version of the protocol. *opens tells which.
QByteArray answer(const RequestHead &head, bool *opens);

// A response with status and no body, after which the connection closes.
QByteArray refusal(int status, QByteArrayView reason, QByteArrayView headers = {});

} // namespace WebSocketOpening
