#pragma once

#include <QByteArray>

// The bytes a SetLevel command must put on the wire, written out here rather than taken
// from the encoder under test.
inline QByteArray setLevelPacket(int address, int level)
{
    QByteArray packet = QByteArray::fromHex("f1000a00fa");
    packet[1] = char(address);
    packet[3] = char(level);
    return packet;
}
