#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <cstdint>
#include <cstring>
#include <variant>

// OSC packets as a remote control sends them, written out byte by byte here rather than
// with the library under test: strings padded with NULs to a multiple of four bytes,
// numbers big-endian.
namespace Osc {

// An int32 ('i'), a float32 ('f') or a string ('s').
using Argument = std::variant<std::int32_t, float, QByteArray>;

inline QByteArray padded(QByteArray text)
{
    text += '\0';
    while (text.size() % 4 != 0)
        text += '\0';
    return text;
}

inline QByteArray bigEndian32(std::uint32_t value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// Any type tags with the argument bytes as given: for types that the panel does not take
// and for arguments that do not match their tags.
inline QByteArray raw(const QByteArray &address, const QByteArray &typeTags,
                      const QByteArray &argumentBytes = {})
{
    return padded(address) + padded(',' + typeTags) + argumentBytes;
}

inline QByteArray message(const QByteArray &address, const QList<Argument> &arguments = {})
{
    QByteArray tags;
    QByteArray bytes;
    for (const Argument &argument : arguments) {
        if (const auto *integer = std::get_if<std::int32_t>(&argument)) {
            tags += 'i';
            bytes += bigEndian32(std::uint32_t(*integer));
        } else if (const auto *real = std::get_if<float>(&argument)) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, real, sizeof bits);
            tags += 'f';
            bytes += bigEndian32(bits);
        } else {
            tags += 's';
            bytes += padded(std::get<QByteArray>(argument));
        }
    }
    return raw(address, tags, bytes);
}

// A bundle to be performed at once, holding the packets given.
inline QByteArray bundle(const QList<QByteArray> &elements)
{
    QByteArray bytes = padded("#bundle") + bigEndian32(0) + bigEndian32(1);
    for (const QByteArray &element : elements)
        bytes += bigEndian32(std::uint32_t(element.size())) + element;
    return bytes;
}

} // namespace Osc
