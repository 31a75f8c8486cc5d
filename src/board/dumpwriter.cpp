#include "dumpwriter.h"

#include "board/virtualboard.h"

#include <QFile>

namespace {

QByteArray number(int value) { return QByteArray::number(value); }

QByteArray meaningOf(const BoardDecoder::Packet &packet)
{
    if (packet.command == CommandPacket::SelectMode)
        return "mode " + number(packet.address + 1);
    if (packet.address == CommandPacket::MasterAddress)
        return "master " + number(packet.value);
    return "level " + number(packet.address) + ' ' + number(packet.value);
}

QByteArray meaningOf(const BoardDecoder::Event &event)
{
    if (const auto *packet = std::get_if<BoardDecoder::Packet>(&event))
        return meaningOf(*packet);
    if (std::holds_alternative<BoardDecoder::Frame>(event))
        return "scenes";
    const auto &dropped = std::get<BoardDecoder::Dropped>(event);
    const std::string_view reason = BoardDecoder::reasonName(dropped.reason);
    return "dropped " + number(int(dropped.bytes.size())) + ' ' +
           QByteArray(reason.data(), qsizetype(reason.size()));
}

} // namespace

DumpWriter::DumpWriter(std::FILE *stream, QObject *parent) : QObject(parent), m_stream(stream) {}

QByteArray DumpWriter::line(const BoardDecoder::Event &event)
{
    return meaningOf(event) + ' ' + VirtualBoard::rawBytes(event).toHex(' ');
}

QByteArray DumpWriter::pluggedLine(const QString &devicePath)
{
    return "plugged " + QFile::encodeName(devicePath);
}

QString DumpWriter::formatDescription()
{
    // Each line's own words stay as the dump writes them, in every language; what they mean
    // is told in the reader's. A meaning that runs on continues under itself.
    struct Row
    {
        const char *line;
        const char *meaning;
    };
    static constexpr Row Rows[] = {
        {"level C L HEX", QT_TR_NOOP("channel C as on the wire (0..7) set to level L (0..99)")},
        {"master L HEX", QT_TR_NOOP("the master, and with it every channel, set to L")},
        {"mode M HEX", QT_TR_NOOP("mode M as people read it (1..12): wire address + 1")},
        {"scenes HEX", QT_TR_NOOP("a scene download; its body is scene 1 channel 0 ..\n"
                                  "scene 12 channel 7, eight levels a scene")},
        //: The words in lower case joined by hyphens are the reasons as the dump writes
        //: them: keep them as they are.
        {"dropped N REASON HEX",
         QT_TR_NOOP("N bytes the board could not use; REASON (why the first\n"
                    "was dropped) is stray-byte, bad-address, bad-command,\n"
                    "bad-value, bad-end-byte, no-frame-end or cut-short")},
        {"unplugged", QT_TR_NOOP("the line was pulled out (SIGUSR1)")},
        {"plugged PATH", QT_TR_NOOP("the line is back, as the new device PATH (SIGUSR2)")},
    };
    constexpr int LineWidth = 20;
    const QString indent(2 + LineWidth + 2, QLatin1Char(' '));
    QString text =
        tr("With --dump, one line follows for each event, flushed at once:") + QLatin1Char('\n');
    for (const Row &row : Rows) {
        text += QStringLiteral("  %1  %2\n")
                    .arg(QLatin1String(row.line), -LineWidth)
                    .arg(tr(row.meaning).replace(QLatin1Char('\n'), QLatin1Char('\n') + indent));
    }
    //: %1 is a line of the dump, as it is written.
    return text + tr("Numbers are decimal; HEX is every byte of the message or dropped run in\n"
                     "lower-case hex pairs separated by spaces, e.g. '%1'.\n"
                     "A message still incomplete after %2 ms without a byte was cut short.")
                      .arg(QStringLiteral("level 3 40 f1 03 0a 28 fa"))
                      .arg(VirtualBoard::QuietTime.count());
}

void DumpWriter::write(const BoardDecoder::Event &event) { writeLine(line(event)); }

void DumpWriter::writeLine(const QByteArray &line)
{
    if (m_lost)
        return;
    const QByteArray text = line + '\n';
    const bool written = std::fwrite(text.constData(), 1, std::size_t(text.size()), m_stream) ==
                             std::size_t(text.size()) &&
                         std::fflush(m_stream) == 0;
    if (!written) {
        m_lost = true;
        Q_EMIT streamLost();
    }
}
