#pragma once

#include <QByteArray>

#include <cstdint>

// sACN (E1.31) and Art-Net packets as a console sends them, written out byte by byte here
// rather than with the readers under test.
namespace DmxPackets {

// High byte first. (QByteArray{a, b} would be a bytes of b.)
inline QByteArray word(int value) { return QByteArray(1, char(value >> 8)) + char(value); }

inline QByteArray quad(std::uint32_t value) { return word(int(value >> 16)) + word(int(value)); }

// A PDU's flags (0x7) and length, counting the two bytes themselves.
inline QByteArray pdu(const QByteArray &rest)
{
    return word(0x7000 | int(rest.size() + 2)) + rest;
}

struct Sacn
{
    QByteArray values; // after the start code
    int universe = 1;
    int priority = 100;
    int sequence = 0;
    int options = 0; // 0x80 preview data, 0x40 stream terminated
    int startCode = 0;
    char cid = 1; // each of the 16 bytes
    QByteArray name = "console";
};

inline QByteArray root(std::uint32_t vector, char cid, const QByteArray &framing)
{
    return QByteArray("\x00\x10\x00\x00", 4) + QByteArray("ASC-E1.17\0\0\0", 12) +
           pdu(quad(vector) + QByteArray(16, cid) + framing);
}

inline QByteArray sacn(const Sacn &p)
{
    const QByteArray dmp = pdu(QByteArray("\x02\xa1\x00\x00\x00\x01", 6) +
                               word(int(p.values.size() + 1)) + char(p.startCode) + p.values);
    const QByteArray framing =
        pdu(quad(2) + p.name.leftJustified(64, '\0', true) + char(p.priority) + word(0) +
            char(p.sequence) + char(p.options) + word(p.universe) + dmp);
    return root(4, p.cid, framing);
}

// Universe synchronisation: no levels.
inline QByteArray sacnSync(int syncAddress)
{
    return root(8, 1, pdu(quad(1) + char(0) + word(syncAddress) + word(0)));
}

inline QByteArray artNet(int operation)
{
    return QByteArray("Art-Net\0", 8) + char(operation) + char(operation >> 8);
}

inline QByteArray artDmx(int portAddress, const QByteArray &values, int version = 14)
{
    return artNet(0x5000) + word(version) + char(0) + char(0) + char(portAddress) +
           char(portAddress >> 8) + word(int(values.size())) + values;
}

inline QByteArray artPoll() { return artNet(0x2000) + word(14) + char(2) + char(0); }

} // namespace DmxPackets
