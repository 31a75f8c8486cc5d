#include "seriallink.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <poll.h>

SerialLink::SerialLink(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onErrorOccurred);
}

SerialLink::~SerialLink() { release(); }

QString SerialLink::defaultPortName()
{
    // Port 4 is the fourth serial port; Linux counts them from ttyS0.
    return QStringLiteral("/dev/ttyS3");
}

bool SerialLink::open(const QString &portName, QString *errorMessage)
{
    m_device = portName;
    // Locked and opened by the name it resolves to, so that a second panel cannot reach
    // the same line through a symbolic link to it.
    const QString resolved = QFileInfo(portName).canonicalFilePath();
    const QString device = resolved.isEmpty() ? portName : resolved;
    PortProblem problem = PortProblem::beforeOpen(device);
    if (problem.kind == PortProblem::Kind::None) {
        m_port.setPortName(device);
        // The line settings apply when the port opens; flow control, DTR and RTS are left
        // at the platform's defaults because the board needs none of them.
        m_port.setBaudRate(QSerialPort::Baud9600);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        // The board never answers, so nothing is ever read: open for writing only.
        if (m_port.open(QIODevice::WriteOnly)) {
            m_failed = false;
            m_problem = PortProblem::Kind::None;
            return true;
        }
        problem = PortProblem::afterOpen(device, m_port.error(), m_port.errorString());
        m_port.clearError();
    }
    m_problem = problem.kind;
    if (errorMessage) {
        const QString named = device == QDir::cleanPath(portName)
                                  ? portName
                                  : tr("%1 (that is %2)").arg(portName, device);
        *errorMessage = tr("Cannot open the serial port %1: %2.").arg(named, problem.reason);
    }
    return false;
}

bool SerialLink::isOpen() const { return m_port.isOpen(); }

void SerialLink::write(std::span<const std::uint8_t> bytes)
{
    if (m_failed || !m_port.isOpen())
        return;
    const auto size = qint64(bytes.size());
    if (m_port.write(reinterpret_cast<const char *>(bytes.data()), size) != size) {
        fail(m_port.errorString());
        return;
    }
    // Hand the bytes to the kernel now rather than at the next turn of the event loop:
    // the board should follow a slider without waiting for the window to repaint.
    m_port.flush();
}

qint64 SerialLink::drain()
{
    if (m_failed || !m_port.isOpen())
        return 0;
    // One deadline for the whole queue: 9600 baud 8N1 moves a byte in just over a
    // millisecond. A board that takes nothing must not hold the program for long.
    QDeadlineTimer deadline(qMin<qint64>(m_port.bytesToWrite() * 11 / 10 + 500, 5000));
    m_draining = true;
    while (m_port.bytesToWrite() > 0 && !deadline.hasExpired() && !lineHungUp())
        m_port.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())));
    m_draining = false;
    return m_port.bytesToWrite();
}

qint64 SerialLink::release()
{
    const qint64 lost = drain();
    // Closing takes the lock file away and ends the exclusive use, so that the next
    // panel, of this user or another, opens the line at once.
    m_port.blockSignals(true);
    m_port.close();
    m_port.blockSignals(false);
    return lost;
}

qint64 SerialLink::bytesQueued() const { return m_port.isOpen() ? m_port.bytesToWrite() : 0; }

void SerialLink::onErrorOccurred(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || m_failed || !m_port.isOpen())
        return;
    // At the end of the run the caller asks for what could not be delivered; nothing
    // is reported from there.
    if (m_draining) {
        m_port.clearError();
        return;
    }
    if (isBackPressure(error)) {
        m_port.clearError();
        return;
    }
    fail(m_port.errorString());
}

bool SerialLink::isBackPressure(QSerialPort::SerialPortError error) const
{
    // A full kernel buffer (EAGAIN) and a dead line (EIO, ENXIO) both come as a
    // ResourceError; only the first is back-pressure, whose bytes stay queued and
    // drain later. Qt gives the reason only as the system's text for its errno.
    static const QString full = QString::fromLocal8Bit(std::strerror(EAGAIN));
    return error == QSerialPort::ResourceError && m_port.errorString() == full && !lineHungUp();
}

bool SerialLink::lineHungUp() const
{
    if (!m_port.isOpen())
        return true;
    pollfd descriptor{};
    descriptor.fd = int(m_port.handle());
    descriptor.events = POLLOUT;
    if (::poll(&descriptor, 1, 0) < 0)
        return false;
    return (descriptor.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void SerialLink::fail(const QString &reason)
{
    if (m_failed)
        return;
    m_failed = true;
    const QString device = m_device;
    // Closing stops the port's notifiers; a dead line would otherwise report its error
    // again on every turn of the event loop.
    m_port.blockSignals(true);
    m_port.close();
    m_port.blockSignals(false);
    Q_EMIT failed(tr("Writing to the serial port %1 failed: %2.\n\n"
                     "The board's line is gone (unplugged adapter or cable?). "
                     "The panel has stopped; nothing more was sent.")
                      .arg(device, reason));
}
