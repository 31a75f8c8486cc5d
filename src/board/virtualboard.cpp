#include "virtualboard.h"

VirtualBoard::VirtualBoard(QObject *parent) : QObject(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(QuietTime);
    connect(&m_quiet, &QTimer::timeout, this, &VirtualBoard::onQuiet);
}

QByteArray VirtualBoard::rawBytes(const BoardDecoder::Event &event)
{
    const auto toBytes = [](const auto &bytes) {
        return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    };
    if (const auto *packet = std::get_if<BoardDecoder::Packet>(&event))
        return toBytes(packet->bytes());
    if (const auto *frame = std::get_if<BoardDecoder::Frame>(&event))
        return toBytes(frame->bytes());
    return toBytes(std::get<BoardDecoder::Dropped>(event).bytes);
}

void VirtualBoard::receive(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.constData());
    report(m_decoder.feed({data, std::size_t(bytes.size())}));
    if (m_decoder.bytesPending() > 0)
        m_quiet.start();
    else
        m_quiet.stop();
}

void VirtualBoard::onQuiet() { report(m_decoder.endOfBurst()); }

void VirtualBoard::finish()
{
    m_quiet.stop();
    report(m_decoder.endOfBurst());
}

void VirtualBoard::report(const std::vector<BoardDecoder::Event> &events)
{
    for (const BoardDecoder::Event &event : events) {
        m_state.apply(event);
        Q_EMIT eventDecoded(event);
    }
}
