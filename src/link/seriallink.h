#pragma once

#include "link/linepace.h"
#include "link/linequeue.h"
#include "link/linesink.h"
#include "link/portproblem.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <chrono>
#include <span>

// Owns the serial port to the dimmer board: opens it with the board's line settings,
// hands what the panel writes to the kernel at the line's own pace, whole message by
// whole message (a waiting level gives way to a newer one, see LineQueue), tells a full
// buffer from a dead line, and hands what is queued to the line before the port goes.
class SerialLink : public QObject, public LineSink
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

    // Takes one whole message, a command packet or the scene download frame, for the
    // line. On an idle line it reaches the kernel before this returns; on a busy one it
    // waits until the line has room.
    void send(const LineMessage &message) override;

    // Waits, for as long as the queue takes on the line and a few seconds at most, until
    // every queued message has been handed to the kernel; returns how many bytes were
    // not. Messages that miss the deadline are left out whole.
    qint64 drain();
    // Drains and lets go of the port, its lock and its exclusive use.
    qint64 release();

    qint64 bytesQueued() const;

Q_SIGNALS:
    // Emitted once, when the line is gone; the port is closed and takes no more bytes.
    void failed(const QString &message);

private:
    void pump();
    void handOver(const LineMessage &message);
    std::size_t driverQueued() const;
    void onErrorOccurred(QSerialPort::SerialPortError error);
    bool lineHungUp() const;
    void fail(const QString &reason);

    QSerialPort m_port;
    LineQueue m_queue;
    LinePace m_pace;
    QTimer m_paceTimer;
    QString m_device; // as given: QSerialPort drops the /dev/ of a path
    bool m_failed = false;
    bool m_draining = false;
    bool m_pumping = false;
};
