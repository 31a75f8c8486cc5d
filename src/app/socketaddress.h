#pragma once

#include <QCoreApplication>
#include <QString>

#include <optional>
#include <sys/socket.h>

// An address and a port that an option names, as the system's sockets take them: read and
// looked up with the system's own calls, so that a panel without remote control never loads
// the network library. The remote modules take it as it is.
struct SocketAddress
{
    Q_DECLARE_TR_FUNCTIONS(SocketAddress)

public:
    sockaddr_storage storage{};
    QString name; // the host's name, when it was given by one rather than its address

    // "HOST:PORT", or also "PORT" alone when the host may be left out (it is then this
    // computer's loopback, 127.0.0.1). HOST is an IPv4 address, an IPv6 address in brackets,
    // or a name, which is looked up now; of a name's addresses an IPv4 one is taken first,
    // as most OSC programs and bridges speak IPv4. Empty, with why, when the text is none of
    // these.
    static std::optional<SocketAddress> parse(const QString &text, bool hostOptional,
                                              QString *problem);
    // Where the panel listens when no address is given: this computer only.
    static QString defaultHost() { return QStringLiteral("127.0.0.1"); }

    bool isIPv6() const { return storage.ss_family == AF_INET6; }
    quint16 port() const;
    // The address alone, in numbers: "127.0.0.1", "::1".
    QString host() const;
    // "127.0.0.1:9000", "[::1]:9000".
    QString toString() const;

    // Why datagrams sent from a socket bound to local cannot reach this address; empty when
    // they can.
    QString unreachableFrom(const SocketAddress &local) const;
    // Whether this is where a socket bound to local is: its port, and its address or, for a
    // socket on every address, any address of this computer.
    bool isWhere(const SocketAddress &local) const;
};
