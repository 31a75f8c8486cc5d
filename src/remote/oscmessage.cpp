#include "oscmessage.h"

#include <lo/lo_lowlevel.h>

#include <cstring>
#include <memory>
#include <type_traits>

namespace {

using Message = std::unique_ptr<std::remove_pointer_t<lo_message>, decltype(&lo_message_free)>;

// The bytes of the type tag string, which follows the padded address; empty when the
// datagram ends first.
QByteArrayView typeTagsAfter(QByteArrayView datagram, const char *address)
{
    const qsizetype padded = (qsizetype(std::strlen(address)) / 4 + 1) * 4;
    const QByteArrayView rest = datagram.sliced(padded);
    const qsizetype end = rest.indexOf('\0');
    return end < 0 ? rest : rest.first(end);
}

} // namespace

OscMessage OscMessage::read(QByteArrayView datagram)
{
    OscMessage message;
    if (datagram.startsWith(QByteArrayView("#bundle", 8))) {
        message.kind = Kind::Bundle;
        return message;
    }
    // liblo takes the bytes as writable but only reads them: what it keeps, it copies.
    void *data = const_cast<char *>(datagram.data());
    const char *address = lo_get_path(data, datagram.size());
    if (!address)
        return message;

    // liblo 0.31 reads a blob's length before it checks that the datagram still holds
    // those four bytes. The panel takes no blob, so such a message is judged by its type
    // tags alone and never handed to liblo's reader.
    const QByteArrayView types = typeTagsAfter(datagram, address);
    if (types.startsWith(',') && types.contains('b')) {
        message.kind = Kind::Message;
        message.address = address;
        for (const char type : types.sliced(1))
            message.arguments.push_back({type});
        return message;
    }

    int result = 0;
    const Message decoded(lo_message_deserialise(data, std::size_t(datagram.size()), &result),
                          &lo_message_free);
    if (!decoded)
        return message;
    message.kind = Kind::Message;
    message.address = address;
    const char *tags = lo_message_get_types(decoded.get());
    lo_arg **values = lo_message_get_argv(decoded.get());
    const int count = lo_message_get_argc(decoded.get());
    for (int i = 0; i < count; ++i) {
        // liblo's lo_arg holds 64-bit members too, but each argument lies only 4-byte aligned
        // in the message: its bytes are copied, never read through the union.
        Argument argument{tags[i]};
        if (argument.type == LO_INT32)
            std::memcpy(&argument.integer, values[i], sizeof argument.integer);
        else if (argument.type == LO_FLOAT)
            std::memcpy(&argument.real, values[i], sizeof argument.real);
        message.arguments.push_back(argument);
    }
    return message;
}

namespace {

QByteArray serialise(lo_message message, const QByteArray &address)
{
    std::size_t size = lo_message_length(message, address.constData());
    QByteArray bytes(qsizetype(size), '\0');
    lo_message_serialise(message, address.constData(), bytes.data(), &size);
    return bytes;
}

} // namespace

QByteArray OscMessage::write(const QByteArray &address, std::int32_t value)
{
    const Message message(lo_message_new(), &lo_message_free);
    lo_message_add_int32(message.get(), value);
    return serialise(message.get(), address);
}

QByteArray OscMessage::write(const QByteArray &address, float value)
{
    const Message message(lo_message_new(), &lo_message_free);
    lo_message_add_float(message.get(), value);
    return serialise(message.get(), address);
}
