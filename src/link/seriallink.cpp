#include "seriallink.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <algorithm>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

// At the end of the run what waits for the line gets its own line time and a tenth more,
// plus half a second for a line that starts slowly, but never more than five seconds: a
// board that takes nothing must not hold the closing panel for long.
constexpr int DrainSlackPercent = 10;
constexpr std::chrono::milliseconds DrainGrace = 500ms;
constexpr std::chrono::milliseconds DrainLimit = 5s;
// While draining, how long one wait for the kernel to take bytes may last before the
// deadline is looked at again.
constexpr std::chrono::milliseconds DrainPoll = 10ms;

} // namespace

SerialLink::SerialLink(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onErrorOccurred);
    // The kernel took bytes that it had refused: the messages behind them may follow.
    connect(&m_port, &QSerialPort::bytesWritten, this, &SerialLink::pump);
    m_paceTimer.setSingleShot(true);
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_paceTimer, &QTimer::timeout, this, &SerialLink::pump);
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
            return true;
        }
        problem = PortProblem::afterOpen(device, m_port.error(), m_port.errorString());
        m_port.clearError();
    }
    if (errorMessage) {
        const QString named = device == QDir::cleanPath(portName)
                                  ? portName
                                  : tr("%1 (that is %2)").arg(portName, device);
        *errorMessage = tr("Cannot open the serial port %1: %2.").arg(named, problem.reason);
    }
    return false;
}

bool SerialLink::isOpen() const { return m_port.isOpen(); }

void SerialLink::send(const LineMessage &message)
{
    if (m_failed || !m_port.isOpen())
        return;
    m_queue.push(message);
    // A line busy with earlier messages is woken by its timer when it has room.
    if (!m_paceTimer.isActive())
        pump();
}

void SerialLink::pump()
{
    // Handing over flushes the port, which may report bytes written and so come back here.
    if (m_pumping)
        return;
    const QScopedValueRollback pumping(m_pumping, true);
    while (!m_queue.isEmpty() && !m_failed && m_port.isOpen()) {
        // Bytes that the kernel refused wait in the port; the messages behind them wait
        // here, where a newer level can still take the place of theirs.
        if (m_port.bytesToWrite() > 0)
            return;
        const auto wait = m_pace.wait(LinePace::Clock::now(), driverQueued());
        if (wait > 0ns) {
            if (!m_draining)
                m_paceTimer.start(std::chrono::ceil<std::chrono::milliseconds>(wait));
            return;
        }
        handOver(m_queue.take());
    }
}

void SerialLink::handOver(const LineMessage &message)
{
    const std::vector<std::uint8_t> bytes = LineMessages::encode(message);
    const auto size = qint64(bytes.size());
    if (m_port.write(reinterpret_cast<const char *>(bytes.data()), size) != size) {
        fail(m_port.errorString());
        return;
    }
    m_pace.handed(bytes.size(), LinePace::Clock::now());
    // Hand the bytes to the kernel now rather than at the next turn of the event loop:
    // the board should follow a slider without waiting for the window to repaint.
    m_port.flush();
}

std::size_t SerialLink::driverQueued() const
{
    // A UART's driver counts what it has not sent yet; a pseudo-terminal always says 0.
    int queued = 0;
    if (::ioctl(int(m_port.handle()), TIOCOUTQ, &queued) != 0 || queued < 0)
        return 0;
    return std::size_t(queued);
}

qint64 SerialLink::drain()
{
    if (m_failed || !m_port.isOpen())
        return 0;
    // One deadline for the whole queue, from its time on the line with a margin; a
    // board that takes nothing must not hold the program for long.
    const auto queued = m_queue.byteCount() + std::size_t(m_port.bytesToWrite());
    const auto lineTime =
        LineRate::lineTime(queued) + m_pace.backlog(LinePace::Clock::now(), driverQueued());
    const auto allowed =
        std::chrono::ceil<std::chrono::milliseconds>(lineTime * (100 + DrainSlackPercent) / 100) +
        DrainGrace;
    QDeadlineTimer deadline(std::min(allowed, DrainLimit));
    m_draining = true;
    m_paceTimer.stop();
    // Still at the line's pace, one whole message at a time: what misses the deadline
    // stays out whole, rather than leaving the line on half a packet.
    while (!m_failed && m_port.isOpen() && !deadline.hasExpired() && !lineHungUp()) {
        pump();
        const auto left = std::chrono::milliseconds(std::max<qint64>(1, deadline.remainingTime()));
        if (m_port.bytesToWrite() > 0) {
            m_port.waitForBytesWritten(int(std::min(left, DrainPoll).count()));
            continue;
        }
        if (m_queue.isEmpty())
            break;
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(
            m_pace.wait(LinePace::Clock::now(), driverQueued()), left));
    }
    m_draining = false;
    // What missed the deadline goes on at the next turn of the event loop, if the port
    // stays open; until then the count returned stays true.
    if (!m_queue.isEmpty())
        m_paceTimer.start(0);
    return bytesQueued();
}

qint64 SerialLink::release()
{
    const qint64 lost = drain();
    m_paceTimer.stop();
    m_queue.clear();
    // Closing takes the lock file away and ends the exclusive use, so that the next
    // panel, of this user or another, opens the line at once.
    m_port.blockSignals(true);
    m_port.close();
    m_port.blockSignals(false);
    return lost;
}

qint64 SerialLink::bytesQueued() const
{
    return m_port.isOpen() ? qint64(m_queue.byteCount()) + m_port.bytesToWrite() : 0;
}

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
    // A full kernel buffer and a dead line both come as a ResourceError; only a line that
    // has not hung up is back-pressure, whose bytes stay queued in the port and go later.
    if (error == QSerialPort::ResourceError && !lineHungUp()) {
        m_port.clearError();
        return;
    }
    fail(m_port.errorString());
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
    m_paceTimer.stop();
    m_queue.clear();
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
