#pragma once

#include "protocol/boardnumbers.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <array>

class QPushButton;

// A small arrow beside a level's read-out, there while a MIDI fader waits for pickup: it
// points the way the fader must go to reach the level.
class PickupMark : public QWidget
{
    Q_OBJECT

public:
    enum class Pickup { None, Below, Above };

    explicit PickupMark(QWidget *parent);
    void showPickup(Pickup pickup);
    Pickup pickup() const { return m_pickup; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Pickup m_pickup = Pickup::None;
};

// What the panel shows of its MIDI surfaces, in its free space and without moving any of its
// controls: a pickup mark beside each read-out (the eight channels, then the master), and
// the learn button in the corner under the mode row. Made only when a MIDI option is given.
class MidiMarks : public QObject
{
    Q_OBJECT

public:
    using Pickup = PickupMark::Pickup;

    explicit MidiMarks(QWidget *panel);

    // target: channel 0..7, the master 8.
    void showPickup(int target, Pickup pickup);
    // The pair learned last, in words.
    void showLearned(const QString &pair);

Q_SIGNALS:
    void learningToggled(bool on);

private:
    std::array<PickupMark *, Board::ChannelCount + 1> m_marks{};
    QPushButton *m_learn = nullptr;
};
