#pragma once

#include "link/portproblem.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <span>

// Owns the serial port to the dimmer board: opens it with the board's line settings,
// queues what the panel writes in order, tells a full buffer from a dead line, and
// hands every queued byte to the line before the port goes.
class SerialLink : public QObject
{
    Q_OBJECT

public:
    explicit SerialLink(QObject *parent = nullptr);
    ~SerialLink() override;

    // The device that the board's port number 4 stands for on this platform.
    static QString defaultPortName();

    // Returns false with a message naming the device and the reason when it cannot open.
    // A symbolic link is followed, so that the device is locked by its own name.
    bool open(const QString &portName, QString *errorMessage);
    bool isOpen() const;
    // As given to open().
    QString portName() const { return m_device; }
    // Why the last open() failed.
    PortProblem::Kind problem() const { return m_problem; }

    // Queues the bytes for the line and pushes out as many as the kernel takes now.
    void write(std::span<const std::uint8_t> bytes);

    // Waits, a few seconds at most, until every queued byte has been handed to the
    // kernel; returns how many were not.
    qint64 drain();
    // Drains and lets go of the port, its lock and its exclusive use.
    qint64 release();

    qint64 bytesQueued() const;
    bool hasFailed() const { return m_failed; }

Q_SIGNALS:
    // Emitted once, when the line is gone; the port is closed and takes no more bytes.
    void failed(const QString &message);

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);
    bool isBackPressure(QSerialPort::SerialPortError error) const;
    bool lineHungUp() const;
    void fail(const QString &reason);

    QSerialPort m_port;
    QString m_device; // as given: QSerialPort drops the /dev/ of a path
    PortProblem::Kind m_problem = PortProblem::Kind::None;
    bool m_failed = false;
    bool m_draining = false;
};
