#pragma once

#include "midi/midimessage.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MidiInbox;
class RtMidiIn;
class RtMidiOut;

// One end of the panel on the MIDI system, through RtMidi: an input, whose bytes go to an
// inbox on the system's own thread, and an output for feedback. Either the input and output
// of a surface found by a part of its name, or the panel's own virtual ports, which other
// programs connect to. The panel's own ports are never taken for a surface's: that would
// feed its feedback back to itself.
class MidiPort
{
    Q_DECLARE_TR_FUNCTIONS(MidiPort)

public:
    enum class System : std::uint8_t { Alsa, Jack };

    // What the panel's own clients' names begin with: the virtual port's is this, the
    // surface's SurfaceClientName.
    static constexpr const char *ClientName = "dimmer-panel";
    static constexpr const char *SurfaceClientName = "dimmer-panel-surface";

    // The ports of system as the client named client, its bytes to inbox; null, with why,
    // when the system cannot be opened (no sequencer, no JACK server).
    static std::unique_ptr<MidiPort> open(System system, const QString &client, MidiInbox &inbox,
                                          QString *errorMessage);
    ~MidiPort();

    // The names of the inputs and outputs the system has now, the panel's own left out.
    QStringList inputs();
    QStringList outputs();

    // Offers the panel's own input and output, named name; false, with why, when it cannot.
    bool offerVirtual(const QString &name, QString *errorMessage);
    // Opens the first input whose name holds pattern (in any case), and the first such output
    // if there is one; false when there is no such input.
    bool openNamed(const QString &pattern);
    bool isOpen() const { return !m_input.isEmpty(); }
    // The input it opened, and the output; empty when none.
    QString input() const { return m_input; }
    QString output() const { return m_output; }
    // Whether the input it opened is still on the system.
    bool isThere();
    void close();

    void send(const MidiMessage &message);
    void send(const std::vector<std::uint8_t> &bytes);

private:
    MidiPort(System system, MidiInbox &inbox);
    static void received(double delta, std::vector<unsigned char> *bytes, void *inbox);

    System m_system;
    MidiInbox &m_inbox;
    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
    QString m_input;
    QString m_output;
    bool m_virtual = false;
    std::string m_error; // the system's last complaint, for the next message
};
