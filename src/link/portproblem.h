#pragma once

#include <QCoreApplication>
#include <QSerialPort>
#include <QString>

// Why a serial device would not open, in words an operator can act on: there is no such
// device, it is no serial line (a terminal, the console, the pseudo-terminal multiplexer),
// another program holds it (named where the system shows which) or a lock file of one that
// has ended, or this user may not write to it (with the remedy that fits its owner, group
// and mode).
struct PortProblem
{
    Q_DECLARE_TR_FUNCTIONS(PortProblem)

public:
    enum class Kind { None, Missing, NotSerial, Busy, Forbidden, PathTooLong, Other };

    Kind kind = Kind::None;
    QString reason; // a clause without the device's name: "there is no such device"

    // Before an open: a path that QSerialPort could not lock, or none.
    static PortProblem beforeOpen(const QString &device);
    // After a failed open of device (already resolved) with Qt's error.
    static PortProblem afterOpen(const QString &device, QSerialPort::SerialPortError error,
                                 const QString &errorText);

    // The lock file QSerialPort takes for a device in folder, e.g. LCK..ttyUSB0.
    static QString lockFileName(const QString &device);
    // Folders where QSerialPort puts its lock files, in the order it tries them.
    static QStringList lockFolders();

    // "dimmer-panel (process 4192)" for another process of this system holding device
    // open or locked, where the system lets us see it; empty otherwise.
    static QString holderOf(const QString &device);
    // Why a lock file of a program that has ended keeps device locked; empty when none does.
    static QString staleLockOf(const QString &device);
    static QString permissionAdvice(const QString &device);
};
