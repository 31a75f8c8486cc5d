#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

// Owns the serial port to the dimmer board: opens it with the board's line settings,
// queues what the panel writes in order, tells a full buffer from a dead line, and
// hands every queued byte to the line before the port goes.
class SerialLink : public QObject
{
    Q_OBJECT

public:
    explicit SerialLink(QObject *parent = nullptr);

    // The device that the board's port number 4 stands for on this platform.
    static QString defaultPortName();

    // Returns false with a message naming the device and the reason when it cannot open.
    bool open(const QString &portName, QString *errorMessage);
    bool isOpen() const;
    QString portName() const;

    // Queues the bytes for the line and pushes out as many as the kernel takes now.
    void write(const QByteArray &bytes);
    void write(const char *data, qsizetype size) { write(QByteArray(data, size)); }

    // Waits, a few seconds at most, until every queued byte has been handed to the
    // kernel; returns how many were not.
    qint64 drain();

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
    bool m_failed = false;
    bool m_draining = false;
};
