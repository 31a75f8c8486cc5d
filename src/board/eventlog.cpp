#include "eventlog.h"

#include "board/virtualboard.h"

#include <QFont>
#include <QFontDatabase>
#include <QTime>

namespace {

QString reasonText(BoardDecoder::DropReason reason)
{
    switch (reason) {
    case BoardDecoder::DropReason::StrayByte:
        return QStringLiteral("不是起始位元組");
    case BoardDecoder::DropReason::BadAddress:
        return QStringLiteral("位址不對");
    case BoardDecoder::DropReason::BadCommand:
        return QStringLiteral("命令不對");
    case BoardDecoder::DropReason::BadValue:
        return QStringLiteral("數值不對");
    case BoardDecoder::DropReason::BadEndByte:
        return QStringLiteral("結束位元組不對");
    case BoardDecoder::DropReason::NoFrameEnd:
        return QStringLiteral("場景資料缺結束位元組");
    case BoardDecoder::DropReason::CutShort:
        return QStringLiteral("訊息不完整");
    }
    return {};
}

} // namespace

EventLog::EventLog(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setMaximumBlockCount(MaximumEntries);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setPlaceholderText(QStringLiteral("尚未收到資料"));
}

QString EventLog::channelName(int channel)
{
    static constexpr const char16_t *Numerals[] = {u"一", u"二", u"三", u"四",
                                                   u"五", u"六", u"七", u"八"};
    if (channel < 0 || channel >= Board::ChannelCount)
        return QStringLiteral("調光%1").arg(channel + 1);
    return QStringLiteral("調光") + QString::fromUtf16(Numerals[channel]);
}

QString EventLog::masterName() { return QStringLiteral("調光全"); }

QString EventLog::meaning(const BoardDecoder::Event &event)
{
    if (const auto *packet = std::get_if<BoardDecoder::Packet>(&event)) {
        if (packet->command == CommandPacket::SelectMode)
            return QStringLiteral("模式 %1").arg(packet->address + 1);
        const QString name = packet->address == CommandPacket::MasterAddress
                                 ? masterName()
                                 : channelName(packet->address);
        return QStringLiteral("%1 ＝ %2").arg(name).arg(packet->value);
    }
    if (std::holds_alternative<BoardDecoder::Frame>(event))
        return QStringLiteral("場景下載（十二個場景）");
    const auto &dropped = std::get<BoardDecoder::Dropped>(event);
    return QStringLiteral("丟棄 %1 位元組：%2")
        .arg(dropped.bytes.size())
        .arg(reasonText(dropped.reason));
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
