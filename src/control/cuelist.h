#pragma once

#include "control/deskstate.h"
#include "control/intent.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

// One look of a show that runs in order: its number (in tenths, so that 2.5 goes between 2
// and 3), a label, the eight levels, the time a rising channel takes and the time a falling
// one takes, a wait before it starts, and, if the next cue follows by itself, how long after
// this one completes. Times are in tenths of a second.
struct Cue
{
    int number = 10;
    QString label;
    DeskState::Levels levels{};
    int up = 0;
    int down = 0;
    int wait = 0;
    std::optional<int> follow;

    bool operator==(const Cue &) const = default;
};

// The cue list: cues in the order of their numbers, each number once. Told when it changes,
// so that its file and its window follow.
class CueList : public QObject
{
    Q_OBJECT

public:
    // 0.1 .. 9999.9
    static constexpr int LowestNumber = 1;
    static constexpr int HighestNumber = Intent::HighestCueNumber;
    // 600 s
    static constexpr int LongestTime = Intent::LongestCueTime;

    explicit CueList(QObject *parent = nullptr);

    // Whether a cue's number and times are in range.
    static bool fits(const Cue &cue);
    // "2.5", "10": a number in tenths as the operator writes it.
    static QString numberText(int number);

    const std::vector<Cue> &cues() const { return m_cues; }
    bool isEmpty() const { return m_cues.empty(); }
    const Cue *find(int number) const;
    // The first cue numbered above number (0: the first cue); null when there is none.
    const Cue *after(int number) const;
    // The last cue numbered below number; null when there is none.
    const Cue *before(int number) const;

    // Puts the cue in, over one of the same number. False when it does not fit.
    bool record(const Cue &cue);
    bool remove(int number);
    // Gives a cue another number, free and in range.
    bool renumber(int from, int to);
    // The whole list, as read from its file; cues that do not fit are left out.
    void replaceAll(std::vector<Cue> cues);

Q_SIGNALS:
    void changed();
    // The cue numbered from is numbered to now (told before changed()).
    void renumbered(int from, int to);

private:
    std::vector<Cue> m_cues;
};
