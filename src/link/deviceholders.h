#pragma once

#include <QList>
#include <QString>

// The processes other than this one that hold a device open, as far as /proc shows them:
// a user sees the descriptors of their own processes only (root sees all).
namespace DeviceHolders {

struct Holder
{
    qint64 pid = 0;
    QString program;
};

QList<Holder> of(const QString &device);
// The processes that hold the master side of the pseudo-terminal whose far side is slave
// (/dev/pts/N): the program that reads what is written to it.
QList<Holder> ofPseudoTerminal(const QString &slave);
// The program's name as the system shows it (/proc/PID/comm); empty when it is gone.
QString programOf(qint64 pid);
// When the process started, in the system's clock ticks since boot (/proc/PID/stat): with
// the pid, it tells one process from a later one that was given the same number. 0 when
// it is gone.
qint64 startTimeOf(qint64 pid);
// A process whose controlling terminal the character device is (a shell's terminal, say):
// whatever is written to it lands in front of a person. None when no process has it.
QList<Holder> withControllingTerminal(const QString &device);

} // namespace DeviceHolders
