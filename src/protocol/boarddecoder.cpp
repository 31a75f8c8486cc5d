#include "boarddecoder.h"

#include <algorithm>

namespace {

constexpr std::uint8_t HighestMode = Board::ModeCount - 1;
constexpr std::uint8_t HighestChannel = Board::ChannelCount - 1;
constexpr std::uint8_t HighestLevel = Board::FullOn;

// Offsets inside a packet.
constexpr std::size_t AddressAt = 1;
constexpr std::size_t CommandAt = 2;
constexpr std::size_t ValueAt = 3;
constexpr std::size_t EndAt = 4;

bool takesAddress(std::uint8_t command, std::uint8_t address)
{
    if (command == CommandPacket::SetLevel)
        return address <= HighestChannel || address == CommandPacket::MasterAddress;
    return address <= HighestMode;
}

bool takesValue(std::uint8_t command, std::uint8_t value)
{
    if (command == CommandPacket::SetLevel)
        return value <= HighestLevel;
    return value == 0;
}

} // namespace

SceneDownloadFrame::Bytes BoardDecoder::Frame::bytes() const
{
    return SceneDownloadFrame::encode(records);
}

std::string_view BoardDecoder::reasonName(DropReason reason)
{
    switch (reason) {
    case DropReason::StrayByte:
        return "stray-byte";
    case DropReason::BadAddress:
        return "bad-address";
    case DropReason::BadCommand:
        return "bad-command";
    case DropReason::BadValue:
        return "bad-value";
    case DropReason::BadEndByte:
        return "bad-end-byte";
    case DropReason::NoFrameEnd:
        return "no-frame-end";
    case DropReason::CutShort:
        return "cut-short";
    }
    return "unknown";
}

std::vector<BoardDecoder::Event> BoardDecoder::feed(std::span<const std::uint8_t> bytes)
{
    m_fed += bytes.size();
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    std::vector<Event> events;
    decode(false, events);
    return events;
}

std::vector<BoardDecoder::Event> BoardDecoder::endOfBurst()
{
    std::vector<Event> events;
    decode(true, events);
    closeRun(events);
    return events;
}

void BoardDecoder::decode(bool endOfBurst, std::vector<Event> &events)
{
    while (m_head < m_buffer.size()) {
        const std::uint8_t start = m_buffer[m_head];
        DropReason reason = DropReason::StrayByte;
        Verdict verdict = Verdict::Refuse;
        if (start == CommandPacket::StartByte)
            verdict = judgePacket(reason);
        else if (start == SceneDownloadFrame::StartByte)
            verdict = judgeFrame(reason);

        if (verdict == Verdict::NeedMore && !endOfBurst)
            break;
        if (verdict == Verdict::NeedMore) {
            verdict = Verdict::Refuse;
            reason = DropReason::CutShort;
        }
        if (verdict == Verdict::Refuse) {
            drop(start, reason, events);
            ++m_head;
            continue;
        }

        closeRun(events);
        const std::uint8_t *at = m_buffer.data() + m_head;
        if (start == CommandPacket::StartByte) {
            events.emplace_back(Packet{at[AddressAt], at[CommandAt], at[ValueAt]});
            m_head += CommandPacket::Size;
            m_decoded += CommandPacket::Size;
        } else {
            Frame frame;
            for (std::size_t n = 0; n < SceneDownloadFrame::SceneCount; ++n) {
                const std::uint8_t *record = at + SceneDownloadFrame::offsetOfScene(int(n) + 1);
                std::copy_n(record, SceneDownloadFrame::RecordSize, frame.records[n].begin());
            }
            events.emplace_back(frame);
            m_head += SceneDownloadFrame::Size;
            m_decoded += SceneDownloadFrame::Size;
        }
    }
    // What is left is one candidate's worth of bytes, so the shift is bounded.
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(m_head));
    m_head = 0;
}

BoardDecoder::Verdict BoardDecoder::judgePacket(DropReason &reason) const
{
    const std::size_t available = undecided();
    const std::uint8_t *at = m_buffer.data() + m_head;
    // Each byte is judged as soon as it is there, so a hopeless candidate lets go early.
    if (available > AddressAt && at[AddressAt] > HighestMode) {
        reason = DropReason::BadAddress;
        return Verdict::Refuse;
    }
    if (available > CommandAt) {
        const std::uint8_t command = at[CommandAt];
        if (command != CommandPacket::SetLevel && command != CommandPacket::SelectMode) {
            reason = DropReason::BadCommand;
            return Verdict::Refuse;
        }
        if (!takesAddress(command, at[AddressAt])) {
            reason = DropReason::BadAddress;
            return Verdict::Refuse;
        }
        if (available > ValueAt && !takesValue(command, at[ValueAt])) {
            reason = DropReason::BadValue;
            return Verdict::Refuse;
        }
    }
    if (available > EndAt && at[EndAt] != CommandPacket::EndByte) {
        reason = DropReason::BadEndByte;
        return Verdict::Refuse;
    }
    return available >= CommandPacket::Size ? Verdict::Accept : Verdict::NeedMore;
}

BoardDecoder::Verdict BoardDecoder::judgeFrame(DropReason &reason) const
{
    if (undecided() < SceneDownloadFrame::Size)
        return Verdict::NeedMore;
    if (m_buffer[m_head + SceneDownloadFrame::Size - 1] != SceneDownloadFrame::EndByte) {
        reason = DropReason::NoFrameEnd;
        return Verdict::Refuse;
    }
    return Verdict::Accept;
}

void BoardDecoder::drop(std::uint8_t byte, DropReason reason, std::vector<Event> &events)
{
    // A refused candidate starts a run of its own, so that its reason is not lost.
    const bool startsRun = reason != DropReason::StrayByte;
    if (startsRun || m_run.bytes.size() >= MaxRunLength)
        closeRun(events);
    if (m_run.bytes.empty())
        m_run.reason = reason;
    m_run.bytes.push_back(byte);
}

void BoardDecoder::closeRun(std::vector<Event> &events)
{
    if (m_run.bytes.empty())
        return;
    m_dropped += m_run.bytes.size();
    events.emplace_back(std::move(m_run));
    m_run = Dropped{};
}
