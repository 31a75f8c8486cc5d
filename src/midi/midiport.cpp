#include "midiport.h"

#include "midi/midiinbox.h"

#include <rtmidi/RtMidi.h>

namespace {

RtMidi::Api apiOf(MidiPort::System system)
{
    return system == MidiPort::System::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}

// Without a callback of its own, RtMidi prints each complaint and throws on the worse: here
// each is kept for the message that follows.
void complained(RtMidiError::Type, const std::string &text, void *error)
{
    *static_cast<std::string *>(error) = text;
}

bool isOwn(const QString &name) { return name.startsWith(QLatin1String(MidiPort::ClientName)); }

template<typename Ports> QStringList namesOf(Ports &ports)
{
    QStringList names;
    const unsigned int count = ports.getPortCount();
    for (unsigned int k = 0; k < count; ++k)
        names << QString::fromStdString(ports.getPortName(k));
    return names;
}

// The first port whose name holds pattern and is not the panel's own; -1 when none.
template<typename Ports> int find(Ports &ports, const QString &pattern, QString *name)
{
    const QStringList names = namesOf(ports);
    for (int k = 0; k < names.size(); ++k) {
        if (!isOwn(names[k]) && names[k].contains(pattern, Qt::CaseInsensitive)) {
            *name = names[k];
            return k;
        }
    }
    return -1;
}

QStringList withoutOwn(const QStringList &names)
{
    QStringList others;
    for (const QString &name : names) {
        if (!isOwn(name))
            others << name;
    }
    return others;
}

} // namespace

MidiPort::MidiPort(System system, MidiInbox &inbox) : m_system(system), m_inbox(inbox) {}

MidiPort::~MidiPort()
{
    // The input's thread stops before the inbox it writes to can go.
    if (m_in)
        m_in->closePort();
}

std::unique_ptr<MidiPort> MidiPort::open(System system, const QString &client, MidiInbox &inbox,
                                         QString *errorMessage)
{
    std::unique_ptr<MidiPort> port(new MidiPort(system, inbox));
    try {
        port->m_in = std::make_unique<RtMidiIn>(apiOf(system), client.toStdString());
        port->m_out = std::make_unique<RtMidiOut>(apiOf(system), client.toStdString());
        port->m_in->setErrorCallback(complained, &port->m_error);
        port->m_out->setErrorCallback(complained, &port->m_error);
        // A JACK client is made only when first asked: asked now, so that a server that is
        // not there is told at start.
        port->m_in->getPortCount();
        port->m_out->getPortCount();
    } catch (const RtMidiError &error) {
        port->m_error = error.getMessage();
    }
    if (!port->m_error.empty()) {
        *errorMessage =
            tr("The MIDI system (%1) cannot be opened: %2")
                .arg(system == System::Jack ? QStringLiteral("JACK") : QStringLiteral("ALSA"),
                     QString::fromStdString(port->m_error));
        return nullptr;
    }
    // SysEx, clock and active sensing come through to be read and counted, not dropped
    // unseen.
    port->m_in->ignoreTypes(false, false, false);
    port->m_in->setCallback(received, &inbox);
    return port;
}

void MidiPort::received(double, std::vector<unsigned char> *bytes, void *inbox)
{
    static_cast<MidiInbox *>(inbox)->write(bytes->data(), bytes->size());
}

QStringList MidiPort::inputs() { return withoutOwn(namesOf(*m_in)); }

QStringList MidiPort::outputs() { return withoutOwn(namesOf(*m_out)); }

bool MidiPort::offerVirtual(const QString &name, QString *errorMessage)
{
    m_error.clear();
    try {
        m_in->openVirtualPort(name.toStdString());
        m_out->openVirtualPort(name.toStdString());
    } catch (const RtMidiError &error) {
        m_error = error.getMessage();
    }
    if (!m_error.empty()) {
        *errorMessage = tr("The panel's own MIDI port %1 cannot be offered: %2")
                            .arg(name, QString::fromStdString(m_error));
        return false;
    }
    m_virtual = true;
    m_input = m_output = name;
    return true;
}

bool MidiPort::openNamed(const QString &pattern)
{
    close();
    QString input;
    const int in = find(*m_in, pattern, &input);
    if (in < 0)
        return false;
    m_error.clear();
    try {
        m_in->openPort(unsigned(in), "dimmer-panel in");
    } catch (const RtMidiError &error) {
        m_error = error.getMessage();
    }
    if (!m_error.empty() || !m_in->isPortOpen())
        return false;
    m_input = input;
    QString output;
    if (const int out = find(*m_out, pattern, &output); out >= 0) {
        try {
            m_out->openPort(unsigned(out), "dimmer-panel out");
        } catch (const RtMidiError &) {
        }
        if (m_out->isPortOpen())
            m_output = output;
    }
    return true;
}

bool MidiPort::isThere() { return m_virtual || namesOf(*m_in).contains(m_input); }

void MidiPort::close()
{
    if (m_virtual)
        return;
    if (m_in->isPortOpen())
        m_in->closePort();
    if (m_out->isPortOpen())
        m_out->closePort();
    m_input.clear();
    m_output.clear();
}

void MidiPort::send(const MidiMessage &message)
{
    const std::uint8_t bytes[3] = {message.status(), message.number, message.value};
    if (!m_output.isEmpty())
        m_out->sendMessage(bytes, std::size_t(1 + MidiMessage::dataBytes(message.kind)));
}

void MidiPort::send(const std::vector<std::uint8_t> &bytes)
{
    if (!m_output.isEmpty())
        m_out->sendMessage(bytes.data(), bytes.size());
}
