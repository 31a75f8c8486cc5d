#pragma once

#include <QCoreApplication>
#include <QHostAddress>
#include <QString>

#include <optional>

// One end of the OSC traffic: an address and a UDP port.
struct OscEndpoint
{
    Q_DECLARE_TR_FUNCTIONS(OscEndpoint)

public:
    QHostAddress address;
    quint16 port = 0;

    bool operator==(const OscEndpoint &other) const = default;

    // "127.0.0.1:9000", "[::1]:9000".
    QString toString() const;

    // Where the panel listens when no address is given: this computer only.
    static QHostAddress defaultAddress() { return QHostAddress(QHostAddress::LocalHost); }

    // "HOST:PORT", or also "PORT" alone when the host may be left out (it is then the
    // default address). HOST is an IPv4 address, an IPv6 address in brackets, or a name,
    // which is looked up now; of a name's addresses an IPv4 one is taken first, as most
    // OSC programs and bridges speak IPv4. Empty, with why, when the text is none of these.
    static std::optional<OscEndpoint> parse(const QString &text, bool hostOptional,
                                            QString *problem);

    // Why datagrams sent from a socket bound to local cannot reach this endpoint; empty
    // when they can.
    QString unreachableFrom(const OscEndpoint &local) const;
    // Whether this endpoint is a socket bound to local itself: its port, and its address or,
    // for a socket on every address, any address of this computer.
    bool isWhere(const OscEndpoint &local) const;
};
