#pragma once

#include "midi/midiplugin.h"

#include <QObject>
#include <QString>

class Desk;
class MidiMarks;

// The desk as the MIDI surfaces see it, and the surfaces kept told of it: its levels with
// their sources (for soft takeover and feedback), what the lights show, and what the
// operator touched on the panel itself (for learn). What the surfaces ask for goes to the
// desk as intents of their own source; whether a fader waits for pickup, and the pairs
// learned, go to the panel's marks.
class MidiAccess : public QObject, public MidiPanel
{
    Q_OBJECT

public:
    explicit MidiAccess(Desk &desk, QObject *parent = nullptr);

    // From now on, the surfaces hear of every change.
    void follow(MidiRemote &remote);
    // Where the pickup marks and the learn button are; none: not shown.
    void showOn(MidiMarks *marks);

    MidiPanelView view() const override;
    Intent::Outcome act(const Intent &intent) override;
    void showPickup(int target, Pickup pickup) override;
    void showLearned(const QString &pair) override;
    void tell(const QString &message) override;

private:
    Desk &m_desk;
    MidiRemote *m_remote = nullptr;
    MidiMarks *m_marks = nullptr;
};
