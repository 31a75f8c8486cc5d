#include "eventlog.h"

#include "board/virtualboard.h"

#include <QFont>
#include <QFontDatabase>
#include <QTime>

#include <iterator>

namespace {

QString reasonText(BoardDecoder::DropReason reason)
{
    switch (reason) {
    case BoardDecoder::DropReason::StrayByte:
        return EventLog::tr("not a start byte");
    case BoardDecoder::DropReason::BadAddress:
        return EventLog::tr("wrong address");
    case BoardDecoder::DropReason::BadCommand:
        return EventLog::tr("wrong command");
    case BoardDecoder::DropReason::BadValue:
        return EventLog::tr("wrong value");
    case BoardDecoder::DropReason::BadEndByte:
        return EventLog::tr("wrong end byte");
    case BoardDecoder::DropReason::NoFrameEnd:
        return EventLog::tr("scene data without its end byte");
    case BoardDecoder::DropReason::CutShort:
        return EventLog::tr("message cut short");
    }
    return {};
}

} // namespace

EventLog::EventLog(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setMaximumBlockCount(MaximumEntries);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setPlaceholderText(tr("Nothing received yet"));
}

QString EventLog::channelName(int channel)
{
    // One text each: the panel's names count in words, not in digits.
    static constexpr const char *Names[] = {QT_TR_NOOP("Channel 1"), QT_TR_NOOP("Channel 2"),
                                            QT_TR_NOOP("Channel 3"), QT_TR_NOOP("Channel 4"),
                                            QT_TR_NOOP("Channel 5"), QT_TR_NOOP("Channel 6"),
                                            QT_TR_NOOP("Channel 7"), QT_TR_NOOP("Channel 8")};
    static_assert(std::size(Names) == Board::ChannelCount);
    if (channel < 0 || channel >= Board::ChannelCount)
        return tr("Channel %1").arg(channel + 1);
    return tr(Names[channel]);
}

QString EventLog::masterName() { return tr("Master"); }

QString EventLog::meaning(const BoardDecoder::Event &event)
{
    if (const auto *packet = std::get_if<BoardDecoder::Packet>(&event)) {
        if (packet->command == CommandPacket::SelectMode)
            return tr("Mode %1").arg(packet->address + 1);
        const QString name = packet->address == CommandPacket::MasterAddress
                                 ? masterName()
                                 : channelName(packet->address);
        return tr("%1 = %2").arg(name).arg(packet->value);
    }
    if (std::holds_alternative<BoardDecoder::Frame>(event))
        return tr("Scene download (twelve scenes)");
    const auto &dropped = std::get<BoardDecoder::Dropped>(event);
    return tr("Dropped bytes (%1): %2").arg(dropped.bytes.size()).arg(reasonText(dropped.reason));
}

void EventLog::append(const BoardDecoder::Event &event)
{
    const bool dropped = std::holds_alternative<BoardDecoder::Dropped>(event);
    const QString colour = dropped ? QStringLiteral("#ff6b6b") : QStringLiteral("#ffe246");
    const QString hex = QString::fromLatin1(VirtualBoard::rawBytes(event).toHex(' '));
    appendHtml(QStringLiteral("<span style=\"color:#8a8f98\">%1</span> "
                              "<span style=\"color:%2\">%3</span> "
                              "<span style=\"color:#a9b4c2; font-family:monospace\">%4</span>")
                   .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")), colour,
                        meaning(event).toHtmlEscaped(), hex));
}
