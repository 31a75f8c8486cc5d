#include "linerules.h"

#include "board/boardstate.h"
#include "support/wire.h"

#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace {

struct Message
{
    BoardDecoder::Event event;
    bool isLevel = false;
    bool isMaster = false;
    int address = -1;
};

std::vector<Message> messagesOf(const QByteArray &stream, QString *problem)
{
    std::vector<Message> messages;
    for (const BoardDecoder::Event &event : Wire::decodeWhole(stream)) {
        if (const auto *dropped = std::get_if<BoardDecoder::Dropped>(&event)) {
            *problem = QStringLiteral("bytes the board could not use: %1 (%2)")
                           .arg(Wire::hex(Wire::bytes(dropped->bytes)),
                                QString::fromLatin1(BoardDecoder::reasonName(dropped->reason)));
            return {};
        }
        Message message{event};
        if (const auto *packet = std::get_if<BoardDecoder::Packet>(&event)) {
            message.isLevel = packet->command == CommandPacket::SetLevel;
            message.isMaster = message.isLevel && packet->address == CommandPacket::MasterAddress;
            message.address = packet->address;
        }
        messages.push_back(message);
    }
    return messages;
}

// The board's levels and master, the part that the order of the messages decides.
auto held(const BoardState &state)
{
    return std::make_tuple(state.levels(), state.master(), state.mode(), state.scenes());
}

QString describe(const BoardDecoder::Event &event)
{
    if (const auto *packet = std::get_if<BoardDecoder::Packet>(&event))
        return Wire::hex(Wire::bytes(packet->bytes()));
    return QStringLiteral("a scene download frame");
}

} // namespace

QString LineRules::check(const QList<QByteArray> &written, const QByteArray &arrived)
{
    QString problem;
    const std::vector<Message> sent = messagesOf(written.join(), &problem);
    if (!problem.isEmpty())
        return QStringLiteral("written: ") + problem;
    const std::vector<Message> got = messagesOf(arrived, &problem);
    if (!problem.isEmpty())
        return problem;

    // Where each message written leaves the board.
    BoardState board;
    using Held = decltype(held(board));
    std::vector<Held> sentBefore; // before each message that is not a level
    std::vector<Held> sentAfterMaster;
    std::map<int, int> sentLevels;
    for (const Message &message : sent) {
        if (!message.isLevel)
            sentBefore.push_back(held(board));
        board.apply(message.event);
        if (message.isMaster)
            sentAfterMaster.push_back(held(board));
        if (message.isLevel)
            ++sentLevels[message.address];
    }
    const Held sentEnd = held(board);

    std::vector<BoardDecoder::Event> sentOthers;
    for (const Message &message : sent) {
        if (!message.isLevel)
            sentOthers.push_back(message.event);
    }

    BoardState line;
    std::size_t other = 0;
    std::size_t master = 0;
    std::map<int, int> gotLevels;
    for (const Message &message : got) {
        if (!message.isLevel) {
            if (other >= sentOthers.size() || !(sentOthers[other] == message.event))
                return QStringLiteral("%1 arrived out of its place").arg(describe(message.event));
            if (held(line) != sentBefore[other])
                return QStringLiteral("the levels before %1 differ from those written before it")
                    .arg(describe(message.event));
            ++other;
        }
        line.apply(message.event);
        if (message.isMaster) {
            while (master < sentAfterMaster.size() && sentAfterMaster[master] != held(line))
                ++master;
            if (master == sentAfterMaster.size())
                return QStringLiteral("%1 left the board as no master packet written did")
                    .arg(describe(message.event));
        }
        if (message.isLevel && ++gotLevels[message.address] > sentLevels[message.address])
            return QStringLiteral("more level packets for address %1 than written")
                .arg(message.address);
    }
    if (other != sentOthers.size())
        return QStringLiteral("%1 of %2 modes and frames arrived")
            .arg(other)
            .arg(sentOthers.size());
    if (held(line) != sentEnd)
        return QStringLiteral("the board ends elsewhere than every message written leaves it");
    return {};
}
