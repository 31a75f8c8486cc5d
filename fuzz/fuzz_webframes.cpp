// Any bytes a connection may send the web remote: read as the head of its first request,
// and as a page's WebSocket frames, whole and in the pieces that the first byte chooses.
//
// Checks: nothing crashes or reads beyond the bytes; a head read whole lies within them;
// the frames read in pieces give what they give read whole; a message is never longer
// than the largest taken and its text is UTF-8; nothing comes after a close or a failure;
// and no more than one frame is ever kept waiting for the rest.

#include "fuzzing.h"
#include "web/framereader.h"
#include "web/requesthead.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// As the server takes them.
constexpr qsizetype LargestMessage = 4096;
constexpr qsizetype LongestHeader = 14;

void checkEvent(const FrameReader::Event &event)
{
    using Kind = FrameReader::Kind;
    switch (event.kind) {
    case Kind::Text:
        require(event.payload.isValidUtf8());
        [[fallthrough]];
    case Kind::Binary:
        require(event.payload.size() <= LargestMessage);
        break;
    case Kind::Ping:
    case Kind::Pong:
        require(event.payload.size() <= 125);
        break;
    case Kind::Close:
        require(event.payload.size() <= 123 && event.payload.isValidUtf8());
        break;
    case Kind::Failed:
        require(event.code == FrameReader::ProtocolError || event.code == FrameReader::NotUtf8 ||
                event.code == FrameReader::TooBig);
        break;
    }
}

std::vector<FrameReader::Event> frames(QByteArrayView bytes, qsizetype piece)
{
    FrameReader reader(LargestMessage);
    std::vector<FrameReader::Event> events;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        reader.add(bytes.sliced(at, std::min(piece, bytes.size() - at)));
        while (const std::optional<FrameReader::Event> event = reader.next()) {
            require(events.empty() || (events.back().kind != FrameReader::Kind::Close &&
                                       events.back().kind != FrameReader::Kind::Failed));
            checkEvent(*event);
            events.push_back(*event);
        }
        require(reader.pending() <= LongestHeader + LargestMessage);
    }
    return events;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype piece = 1 + data[0] % 16;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    RequestHead head;
    qsizetype length = 0;
    if (RequestHead::read(bytes, &head, &length) == RequestHead::Status::Complete)
        require(length >= 4 && length <= bytes.size() && !head.method.isEmpty());
    require(frames(bytes, piece) == frames(bytes, std::max<qsizetype>(bytes.size(), 1)));
    return 0;
}
