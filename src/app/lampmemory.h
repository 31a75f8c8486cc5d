#pragma once

#include "control/deskstate.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class Desk;

// What the panel last set on the board behind one port, kept in the operator's state
// folder from one run to the next, so that a panel started again shows what the lamps
// show: all-off then turns off what is lit. One small file for each port, by the port's
// stable name, so that two panels on two boards never write the same file. Each save
// replaces the file whole, synced to the disk, so that a crash or a power cut leaves the
// old state or the new one, never half of either.
class LampMemory : public QObject
{
    Q_OBJECT

public:
    // How long a change may go unsaved: a fader moving saves about once a second.
    static constexpr int SaveDelayMilliseconds = 1000;

    LampMemory(const QString &port, const QString &folder, QObject *parent = nullptr);

    QString path() const { return m_path; }
    // The state kept for the port; none on a first start, for a port never used, or when
    // the file could not be used, which problem() then tells.
    std::optional<DeskState> recalled() const { return m_recalled; }
    QString problem() const { return m_problem; }

    // Keeps the desk's state from now on, within SaveDelayMilliseconds of a change.
    void follow(const Desk &desk);
    // Saves what has not been saved yet, now.
    void flush();

    // The file's text: readable, one field a line, the levels 0..99 and the mode 1..12
    // as the operator numbers them.
    static QByteArray toText(const QString &port, const DeskState &state);
    // Empty with the reason when the text is none that toText() writes.
    static std::optional<DeskState> fromText(const QByteArray &text, QString *why);

Q_SIGNALS:
    // A save failed; told once, and again only after a save has succeeded since.
    void failed(const QString &message);

private:
    void read();
    void save();

    const Desk *m_desk = nullptr;
    QString m_port;
    QString m_path;
    QString m_problem;
    std::optional<DeskState> m_recalled;
    QTimer m_saveTimer;
    bool m_failing = false;
};
