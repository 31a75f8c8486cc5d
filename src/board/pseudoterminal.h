#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

class QSocketNotifier;

// A pseudo-terminal that stands in for the board's serial port: the panel opens the
// slave device as if it were the port, and what it writes arrives here on the master.
// The line is raw, so every byte passes untranslated, and the board keeps the slave open
// itself, so that a panel closing its end does not hang the line up.
//
// The board's UART receives 9600 baud 8N1, 960 bytes a second, so by default the master is
// read no faster: what the line could not have carried yet stays in the kernel, and a
// packet is taken once its last byte would have arrived. Full speed reads all at once.
//
// A panel takes the line for its exclusive use, and the flag outlives a panel that was
// killed, since the board's own descriptor keeps the terminal alive: when a program
// closes the device and nobody else still holds it, the board clears the flag, so that
// the next panel can open the line.
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    explicit PseudoTerminal(QObject *parent);
    ~PseudoTerminal() override;

    // Before open(): read as fast as the panel writes rather than at the line's pace.
    void setFullSpeed(bool fullSpeed) { m_fullSpeed = fullSpeed; }

    // False with the reason when the system gives no pseudo-terminal. An open line is
    // closed first: the new one is another pseudo-terminal.
    bool open(QString *errorMessage);
    // Closing the master hangs up whoever holds the slave: their writes fail with EIO and
    // poll() reports POLLHUP, as for an adapter that was pulled out. Bytes written but not
    // yet taken at the line's pace are lost with it, as in the adapter's buffer.
    void close();
    bool isOpen() const { return m_master >= 0; }
    // The slave device, e.g. /dev/pts/5; empty while closed.
    QString devicePath() const { return m_devicePath; }

Q_SIGNALS:
    void bytesArrived(const QByteArray &bytes);

private:
    using Clock = std::chrono::steady_clock;

    void onReadable();
    void readDue();
    // Reads up to limit bytes; false when the master reported an error.
    bool readUpTo(qint64 limit, QByteArray &arrived);
    void waitForNextBytes();
    void resume();
    void onDeviceClosed();

    int m_master = -1;
    int m_slave = -1;
    QString m_devicePath;
    QSocketNotifier *m_notifier = nullptr;
    int m_closes = -1; // inotify: another program closed the slave
    QSocketNotifier *m_closesNotifier = nullptr;
    QTimer m_retry;
    QTimer m_pace;
    bool m_fullSpeed = false;
    Clock::time_point m_nextByte; // when the next byte starts on the line
};
