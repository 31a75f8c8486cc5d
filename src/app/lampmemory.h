#pragma once

#include "control/deskstate.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class Desk;
class SerialLink;

// What the board behind one port holds, kept in the operator's state folder from one run
// to the next, so that a panel started again shows what the lamps show: all-off then turns
// off what is lit. It keeps what the line took, not what the operator asked for: a change
// made while the line was lost never reached the lamps, and when the panel is closed
// before the line comes back, the next start shows the lamps as they are and says how many
// changes were not sent.
//
// One small file for each port, by the port's stable name, so that two panels on two boards
// never write the same file. Each save replaces the file whole, synced to the disk, so that
// a crash, a power cut or a full disk leaves the old state or the new one, never half of
// either. A save that fails is tried again and told once, until one succeeds.
class LampMemory : public QObject
{
    Q_OBJECT

public:
    // How long a change may go unsaved: a fader moving saves about once a second.
    static constexpr int SaveDelayMilliseconds = 1000;
    // How soon a failed save is tried again when nothing else changes.
    static constexpr int RetryMilliseconds = 5000;

    // The program that held a pseudo-terminal's far side: its number is given to the next
    // program that asks for one, so a state is only the lamps' while the same program holds
    // it.
    struct FarSide
    {
        qint64 pid = 0;
        qint64 started = 0; // the system's clock ticks since boot

        bool operator==(const FarSide &) const = default;
    };

    // What one file holds.
    struct Record
    {
        DeskState state;
        // Changes the operator made that the line never took.
        int unsent = 0;
        std::optional<FarSide> farSide;

        bool operator==(const Record &) const = default;
    };

    LampMemory(const QString &port, const QString &folder, QObject *parent = nullptr);

    QString path() const { return m_path; }
    // The state kept for the port; none on a first start, for a port never used, for a
    // pseudo-terminal now held by another program, or when the file could not be used,
    // which problem() then tells.
    std::optional<DeskState> recalled() const { return m_recalled; }
    // How many changes of the last run never reached the lamps; 0 when all did.
    int unsentLastTime() const { return m_unsentLastTime; }
    QString problem() const { return m_problem; }

    // Keeps what the line takes from now on, within SaveDelayMilliseconds of a change.
    void follow(const Desk &desk, const SerialLink &link);
    // Saves now, at the end of the run: the changes the line has not taken by then are
    // counted as never sent, and their number returned.
    int flush();

    // The file's text: readable, one field a line, the levels 0..99 and the mode 1..12
    // as the operator numbers them.
    static QByteArray toText(const QString &port, const Record &record);
    // Empty with the reason when the text is none that toText() writes.
    static std::optional<Record> fromText(const QByteArray &text, QString *why);

Q_SIGNALS:
    // Saving began to fail, with why; or, with an empty problem, works again.
    void keepingChanged(const QString &problem);

private:
    void read();
    void changed();
    int save(bool last);
    Record record(bool last);
    const std::optional<FarSide> &farSide();

    const Desk *m_desk = nullptr;
    const SerialLink *m_link = nullptr;
    QString m_port;
    QString m_path;
    QString m_problem;
    std::optional<FarSide> m_farSide;
    bool m_farSideLooked = false;
    std::optional<DeskState> m_recalled;
    std::optional<DeskState::Levels> m_keptBlackout;
    int m_unsentLastTime = 0;
    QTimer m_saveTimer;
    bool m_failing = false;
};
