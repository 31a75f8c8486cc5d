#include "linerules.h"

#include "protocol/boardstate.h"
#include "support/wire.h"

#include <tuple>
#include <vector>

namespace {

std::vector<BoardDecoder::Event> messagesOf(const QByteArray &stream, QString *problem)
{
    std::vector<BoardDecoder::Event> messages = Wire::decodeWhole(stream);
    for (const BoardDecoder::Event &event : messages) {
        if (const auto *dropped = std::get_if<BoardDecoder::Dropped>(&event)) {
            *problem = QStringLiteral("bytes the board could not use: %1 (%2)")
                           .arg(Wire::hex(Wire::bytes(dropped->bytes)),
                                QString::fromLatin1(BoardDecoder::reasonName(dropped->reason)));
            return {};
        }
    }
    return messages;
}

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
    const std::vector<BoardDecoder::Event> sent = messagesOf(written.join(), &problem);
    if (!problem.isEmpty())
        return QStringLiteral("written: ") + problem;
    const std::vector<BoardDecoder::Event> got = messagesOf(arrived, &problem);
    if (!problem.isEmpty())
        return problem;

    std::size_t next = 0;
    for (const BoardDecoder::Event &message : got) {
        while (next < sent.size() && !(sent[next] == message))
            ++next;
        if (next == sent.size())
            return QStringLiteral("%1 arrived out of the order written, or was never written")
                .arg(describe(message));
        ++next;
    }
    BoardState all;
    for (const BoardDecoder::Event &message : sent)
        all.apply(message);
    BoardState line;
    for (const BoardDecoder::Event &message : got)
        line.apply(message);
    if (held(line) != held(all))
        return QStringLiteral("the board ends elsewhere than every message written leaves it");
    return {};
}
