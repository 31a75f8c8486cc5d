#include "seriallink.h"

#include <QDeadlineTimer>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString groupOwning(const QString &device)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0)
        return {};
    if (const group *owner = ::getgrgid(info.st_gid))
        return QString::fromLocal8Bit(owner->gr_name);
    return QString::number(info.st_gid);
}

QString reasonFor(const QSerialPort &port, const QString &device)
{
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("there is no such device (is the board's adapter plugged in?)");
    case QSerialPort::PermissionError: {
        if (QFileInfo::exists(device) &&
            ::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0) {
            const QString group = groupOwning(device);
            return QStringLiteral("permission denied; the user must be a member of the "
                                  "group that owns the device (%1), for example with "
                                  "'sudo adduser $USER %1' and a new login")
                .arg(group.isEmpty() ? QStringLiteral("dialout") : group);
        }
        return QStringLiteral("it is in use by another program (%1)").arg(port.errorString());
    }
    default:
        return port.errorString();
    }
}

} // namespace

SerialLink::SerialLink(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onErrorOccurred);
}

QString SerialLink::defaultPortName()
{
    // Port 4 is the fourth serial port; Linux counts them from ttyS0.
    return QStringLiteral("/dev/ttyS3");
}

bool SerialLink::open(const QString &portName, QString *errorMessage)
{
    m_device = portName;
    m_port.setPortName(portName);
    // The line settings apply when the port opens; flow control, DTR and RTS are left
    // at the platform's defaults because the board needs none of them.
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    // The board never answers, so nothing is ever read: open for writing only.
    if (!m_port.open(QIODevice::WriteOnly)) {
        if (errorMessage) {
            *errorMessage = QStringLiteral("Cannot open the serial port %1: %2.\n\n"
                                           "Name the board's device with --port, "
                                           "for example --port /dev/ttyUSB0.")
                                .arg(portName, reasonFor(m_port, portName));
        }
        m_port.clearError();
        return false;
    }
    m_failed = false;
    return true;
}

bool SerialLink::isOpen() const { return m_port.isOpen(); }

QString SerialLink::portName() const { return m_device; }

void SerialLink::write(const QByteArray &bytes)
{
    if (m_failed || !m_port.isOpen())
        return;
    if (m_port.write(bytes) != bytes.size()) {
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
    Q_EMIT failed(QStringLiteral("Writing to the serial port %1 failed: %2.\n\n"
                                 "The board's line is gone (unplugged adapter or cable?). "
                                 "The panel has stopped; nothing more was sent.")
                      .arg(device, reason));
}
