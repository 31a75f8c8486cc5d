#pragma once

#include "control/intent.h"
#include "midi/midimessage.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// A control of a surface: a controller number (a fader, a knob, or a button that sends
// control changes) or a note (a button or a pad), on one MIDI channel.
struct MidiControl
{
    enum class Kind : std::uint8_t { ControlChange, Note };

    Kind kind = Kind::ControlChange;
    std::uint8_t channel = 0; // 0..15
    std::uint8_t number = 0;  // 0..127

    bool operator==(const MidiControl &) const = default;

    // The control that sent message: a control change or a note; none for the rest.
    static std::optional<MidiControl> of(const MidiMessage &message);
    // The message that sets it to value: a control change, or a note-on.
    MidiMessage message(int value) const;
    // "CC 7 on channel 1", "note 36 on channel 10", in the operator's language.
    QString name() const;
};

// What one control of a surface does: a fader or knob takes a channel or the master, a button
// does what the panel's button of that name does. Faders are control changes: a note's
// velocity is no fader, and 14-bit pairs are not read.
struct MidiMapping
{
    MidiControl control;
    Intent::Kind action = Intent::Kind::Channel;
    // Of Channel, FullOn and Off the channel 0..7; of Recall the scene 1..12; of Mode the
    // mode 0..11; otherwise 0.
    int index = 0;
    // A fader that moves to the level itself (a motor fader, or a knob with a ring of lights
    // that takes its value): it takes the level at once, and is told every change.
    // Otherwise the fader waits for pickup after a change it did not make.
    bool motor = false;
    // A button whose light shows its state: lit, dark, or changed (a live scene whose levels
    // changed since), sent as the velocity of a note or the value of a control change.
    bool led = false;
    int lit = MidiMessage::HighestValue;
    int dark = 0;
    int changed = MidiMessage::HighestValue;
    // Where the motor's position or the light goes, when the surface takes it on another
    // control than the one it sends from.
    std::optional<MidiControl> feedback;

    bool operator==(const MidiMapping &) const = default;

    bool isFader() const;
    // A fader's target: channel 0..7, or MasterTarget.
    int target() const;
    static constexpr int MasterTarget = 8;
    MidiControl feedbackControl() const { return feedback.value_or(control); }
};

// A surface's profile: which control does what, and the messages a surface needs before its
// lights follow (a mode, a channel). Read from a small text file, one control a line; the
// panel has four built in.
struct MidiProfile
{
    Q_DECLARE_TR_FUNCTIONS(MidiProfile)

public:
    QString name;
    // Sent to the surface each time it is opened, one whole message each.
    std::vector<std::vector<std::uint8_t>> opening;
    std::vector<MidiMapping> mappings;

    // The mapping of control; null when it does nothing.
    const MidiMapping *find(const MidiControl &control) const;
    // Puts mapping in the place of the one of its control, or adds it.
    void learn(const MidiMapping &mapping);

    // What mapping does, in the operator's language: "channel 3", "scene 2", "blackout".
    static QString describe(const MidiMapping &mapping);

    // The profile as its file holds it.
    QByteArray text() const;
    // The profile that text holds; none, with the line and what is wrong with it, when it
    // is not one.
    static std::optional<MidiProfile> read(const QByteArray &text, QString *problem);

    // The built-in profiles by name: generic (the default), nanokontrol2, xtouch-mini,
    // apc-mini.
    static QStringList builtInNames();
    static QByteArray builtInText(const QString &name);

    // The longest profile file read.
    static constexpr qsizetype LargestText = 64 * 1024;
    // The most opening messages, and the longest of them.
    static constexpr std::size_t MostOpenings = 16;
    static constexpr std::size_t LongestOpening = 256;
};
