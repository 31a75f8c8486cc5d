#pragma once

#include <QHostAddress>
#include <QString>

#include <sys/socket.h>

// One end of the OSC traffic: an address and a UDP port.
struct OscEndpoint
{
    QHostAddress address;
    quint16 port = 0;

    bool operator==(const OscEndpoint &other) const = default;

    // As the system's sockets give it.
    static OscEndpoint of(const sockaddr_storage &address);

    // "127.0.0.1:9000", "[::1]:9000".
    QString toString() const;

    // Whether this endpoint is a socket bound to local itself: its port, and its address or,
    // for a socket on every address, any address of this computer.
    bool isWhere(const OscEndpoint &local) const;
};
