#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <mutex>

class RtMidiIn;
class RtMidiOut;

// A MIDI control surface that a test plays, through RtMidi on JACK or ALSA's sequencer: an
// output named name that the panel opens as a surface's input, and an input of the same name
// that the panel opens for its feedback, whose messages it keeps.
class MidiSender
{
public:
    enum class System { Jack, Alsa };

    MidiSender(const QString &name, System system);
    ~MidiSender();
    MidiSender(const MidiSender &) = delete;
    MidiSender &operator=(const MidiSender &) = delete;

    bool isOpen() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }

    // One event of the system, whatever bytes it holds: a whole message, or a part of one.
    void send(const QByteArray &bytes);
    void controlChange(int channel, int number, int value); // channel 1..16
    void noteOn(int channel, int number, int velocity);

    // Every message the panel sent it so far, in hexadecimal ("b0 01 40"), oldest first.
    QStringList received() const;
    void forgetReceived();

private:
    std::unique_ptr<RtMidiOut> m_out;
    std::unique_ptr<RtMidiIn> m_in;
    QString m_error;
    mutable std::mutex m_mutex;
    QStringList m_received;
};
