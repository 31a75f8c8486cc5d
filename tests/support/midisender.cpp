#include "midisender.h"

#include <rtmidi/RtMidi.h>

MidiSender::MidiSender(const QString &name, System system)
{
    const RtMidi::Api api = system == System::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
    try {
        m_out = std::make_unique<RtMidiOut>(api, name.toStdString());
        m_out->openVirtualPort(name.toStdString());
        m_in = std::make_unique<RtMidiIn>(api, name.toStdString());
        m_in->setCallback(
            [](double, std::vector<unsigned char> *bytes, void *sender) {
                auto *self = static_cast<MidiSender *>(sender);
                const QByteArray message(reinterpret_cast<const char *>(bytes->data()),
                                         qsizetype(bytes->size()));
                const std::lock_guard lock(self->m_mutex);
                self->m_received << QString::fromLatin1(message.toHex(' '));
            },
            this);
        m_in->openVirtualPort(name.toStdString());
    } catch (const RtMidiError &error) {
        m_error = QString::fromStdString(error.getMessage());
    }
}

MidiSender::~MidiSender()
{
    // The input's thread stops before what it writes to goes.
    m_in.reset();
}

void MidiSender::send(const QByteArray &bytes)
{
    m_out->sendMessage(reinterpret_cast<const unsigned char *>(bytes.constData()),
                       std::size_t(bytes.size()));
}

namespace {

QByteArray message(int status, int number, int value)
{
    QByteArray bytes;
    bytes += char(status);
    bytes += char(number);
    bytes += char(value);
    return bytes;
}

} // namespace

void MidiSender::controlChange(int channel, int number, int value)
{
    send(message(0xB0 + channel - 1, number, value));
}

void MidiSender::noteOn(int channel, int number, int velocity)
{
    send(message(0x90 + channel - 1, number, velocity));
}

QStringList MidiSender::received() const
{
    const std::lock_guard lock(m_mutex);
    return m_received;
}

void MidiSender::forgetReceived()
{
    const std::lock_guard lock(m_mutex);
    m_received.clear();
}
