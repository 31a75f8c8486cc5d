#pragma once

#include "protocol/boarddecoder.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdio>

// Writes one line for each event for scripts and tests, flushed at once, so that a
// reader sees every event as it happens. The lines, after the device path that the
// program prints first:
//
//   level C L HEX      channel C as on the wire (0..7) set to level L (0..99)
//   master L HEX       the master, and with it every channel, set to L
//   mode M HEX         mode M as people read it (1..12): the wire address plus one
//   scenes HEX         a scene download; its body is scene 1 channel 0 .. scene 12
//                      channel 7, eight levels a scene
//   dropped N REASON HEX
//                      N bytes the board could not use; REASON is why the first of
//                      them was dropped: stray-byte, bad-address, bad-command,
//                      bad-value, bad-end-byte, no-frame-end or cut-short
//   unplugged          the line was pulled out (after the message it cut short, if any)
//   plugged PATH       the line is back, as the new device PATH
//
// A board with a window prints the last two as well, and nothing else after its path.
//
// Numbers are decimal. HEX is every byte of the message, or of the dropped run, as
// lower-case two-digit hex separated by single spaces; the fields before it are fixed in
// number for each kind of line. For example:
//   level 3 40 f1 03 0a 28 fa
//   master 99 f1 0a 0a 63 fa
//   mode 6 f1 05 0b 00 fa
//   dropped 3 stray-byte 03 0a 28
//   plugged /dev/pts/7
class DumpWriter : public QObject
{
    Q_OBJECT

public:
    DumpWriter(std::FILE *stream, QObject *parent);

    // The lines without their newline.
    static QByteArray line(const BoardDecoder::Event &event);
    static QByteArray unpluggedLine() { return QByteArrayLiteral("unplugged"); }
    static QByteArray pluggedLine(const QString &devicePath);
    // The format as the --help text gives it.
    static QString formatDescription();

    void write(const BoardDecoder::Event &event);
    void writeLine(const QByteArray &line);

Q_SIGNALS:
    // Writing failed, most likely because the reader closed the pipe.
    void streamLost();

private:
    std::FILE *m_stream;
    bool m_lost = false;
};
