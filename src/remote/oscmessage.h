#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <vector>

// One OSC packet as it arrives in a UDP datagram, read with liblo, and the one kind of
// message the panel sends back, written with liblo. liblo refuses a message that is cut
// short, misaligned, unterminated or of an unknown type, so nothing beyond the datagram
// is ever read.
struct OscMessage
{
    enum class Kind {
        Message,
        Bundle,    // "#bundle": the panel takes single messages only
        Malformed, // not an OSC message at all
    };

    // An argument as its type tag gives it. Only int32 ('i') and float32 ('f') carry a
    // value here: the panel takes no other kind.
    struct Argument
    {
        char type = 0;
        std::int32_t integer = 0;
        float real = 0;
    };

    Kind kind = Kind::Malformed;
    QByteArray address;
    std::vector<Argument> arguments;

    static OscMessage read(QByteArrayView datagram);
    // The message address with one int32 argument.
    static QByteArray write(const QByteArray &address, std::int32_t value);
    // The message address with one float32 argument.
    static QByteArray write(const QByteArray &address, float value);
};
