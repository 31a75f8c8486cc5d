// The line's queue against a board that gets every message: any sequence of level, master,
// mode and download messages, in actions of one message or several, with the line taking the
// next message now and then, in any mix that the input's bytes choose.
//
// Checks: what the line takes, encoded and decoded as the board reads it, leaves the board
// in exactly the state that every message written leaves it in; what the line takes is a
// part of what was written, in the order written; an action whose messages all went before
// the next action began reached the line whole, in its order; what waits never exceeds
// nine levels, one frame and a mode before each level and after the last, and one action's
// own messages.

#include "fuzzing.h"
#include "link/linequeue.h"
#include "protocol/boardstate.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// One action of the panel's sends each level (of a channel, of the master) once at most, and
// at most one mode and one frame.
constexpr std::size_t MostOfAnAction = SceneDownloadFrame::Size + 10 * CommandPacket::Size;

// What an action has sent so far: the level addresses, a mode, a frame, as bits.
std::uint32_t partOf(const LineMessage &message)
{
    const auto *packet = std::get_if<CommandPacket::Fields>(&message);
    if (!packet)
        return 1u << 30;
    if (packet->command == CommandPacket::SelectMode)
        return 1u << 29;
    return 1u << packet->address;
}
constexpr std::size_t MostWaiting =
    9 * CommandPacket::Size + SceneDownloadFrame::Size + 10 * CommandPacket::Size + MostOfAnAction;

bool endsWith(const std::vector<std::uint8_t> &stream, const std::vector<std::uint8_t> &tail)
{
    return stream.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(), stream.end() - std::ptrdiff_t(tail.size()));
}

std::vector<BoardDecoder::Event> decoded(const std::vector<std::uint8_t> &stream)
{
    BoardDecoder decoder;
    std::vector<BoardDecoder::Event> events = decoder.feed(stream);
    for (BoardDecoder::Event &event : decoder.endOfBurst())
        events.push_back(std::move(event));
    return events;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    LineQueue queue;
    std::vector<std::uint8_t> written;
    std::vector<std::uint8_t> line;
    // What the action under way wrote: it may grow up to MostOfAnAction.
    std::vector<std::uint8_t> action;
    std::uint32_t actionParts = 0;
    const auto actionDone = [&] {
        actionParts = 0;
        // Nothing of a later action could take out any of it: all of it went, in order.
        if (queue.isEmpty())
            require(endsWith(line, action));
        action.clear();
        queue.beginAction();
    };
    const auto append = [](std::vector<std::uint8_t> &stream, const LineMessage &message) {
        const std::vector<std::uint8_t> bytes = LineMessages::encode(message);
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    };
    for (std::size_t at = 0; at + 1 < size; at += 2) {
        const std::uint8_t what = data[at];
        const std::uint8_t value = data[at + 1];
        LineMessage message;
        switch (what % 7) {
        case 0: // the line takes the next message
            if (!queue.isEmpty())
                append(line, queue.take());
            continue;
        case 4: // one action ends, the next begins
            actionDone();
            continue;
        case 1:
            message = CommandPacket::Fields{CommandPacket::MasterAddress, CommandPacket::SetLevel,
                                            std::uint8_t(value % (Board::FullOn + 1))};
            break;
        case 2:
            message = CommandPacket::Fields{std::uint8_t(value % Board::ModeCount),
                                            CommandPacket::SelectMode, 0};
            break;
        case 3: {
            SceneDownloadFrame::Records records{};
            records[value % Board::SceneCount].fill(value);
            message = records;
            break;
        }
        default:
            message = CommandPacket::Fields{std::uint8_t(what / 7 % Board::ChannelCount),
                                            CommandPacket::SetLevel,
                                            std::uint8_t(value % (Board::FullOn + 1))};
        }
        // A message that an action of the panel's would not send twice starts another.
        if (actionParts & partOf(message))
            actionDone();
        actionParts |= partOf(message);
        append(written, message);
        append(action, message);
        queue.push(message);
        require(queue.byteCount() <= MostWaiting);
    }
    while (!queue.isEmpty())
        append(line, queue.take());
    actionDone();

    const std::vector<BoardDecoder::Event> sent = decoded(written);
    const std::vector<BoardDecoder::Event> got = decoded(line);
    BoardState all;
    for (const BoardDecoder::Event &event : sent) {
        require(!std::holds_alternative<BoardDecoder::Dropped>(event));
        all.apply(event);
    }
    BoardState board;
    std::size_t next = 0;
    for (const BoardDecoder::Event &event : got) {
        while (next < sent.size() && !(sent[next] == event))
            ++next;
        require(next < sent.size());
        ++next;
        board.apply(event);
    }
    require(board.levels() == all.levels() && board.master() == all.master() &&
            board.mode() == all.mode() && board.scenes() == all.scenes());
    return 0;
}
