#include "seriallink.h"

#include "link/portnames.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

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
// How often a lost port is looked for: sooner than a person plugging an adapter back in
// turns to the panel.
constexpr std::chrono::milliseconds ReopenInterval = 500ms;
// How long a device that would not open (a shell's terminal, one in use) is left alone
// before it is asked again.
constexpr std::chrono::milliseconds RefusedRecheck = 5s;
// How long the process that finishes a message outlives the panel, waiting for a line that
// takes nothing, before it gives up.
constexpr unsigned FinisherSeconds = 60;

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Writes what the kernel did not take of a message once the line takes bytes again, in a
// process of its own that outlives the panel. Only calls that are safe after fork() in a
// program with threads.
void finishAfterExit(int descriptor, const std::vector<std::uint8_t> &tail)
{
    const pid_t child = ::fork();
    if (child != 0)
        return;
    ::alarm(FinisherSeconds);
    // Nothing but the line: the X connection and the rest go with the panel.
    for (int other = 3; other < 1024; ++other) {
        if (other != descriptor)
            ::close(other);
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::size_t done = 0;
    while (done < tail.size()) {
        const ssize_t put = ::write(descriptor, tail.data() + done, tail.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        done += std::size_t(put);
    }
    ::_exit(0);
}

} // namespace

SerialLink::SerialLink(QObject *parent) : QObject(parent)
{
    m_paceTimer.setSingleShot(true);
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_paceTimer, &QTimer::timeout, this, &SerialLink::pump);
    m_reopenTimer.setInterval(ReopenInterval);
    connect(&m_reopenTimer, &QTimer::timeout, this, &SerialLink::tryReopen);
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
    if (!openPort(m_device, errorMessage))
        return false;
    // An adapter plugged in again may come back under another ttyUSB number, but under
    // the same stable name.
    m_watched = PortNames::stable(m_device);
    m_comesBack = QFileInfo(m_watched).isSymLink() || !PortNames::isPseudoTerminal(m_device);
    setState(State::Up);
    return true;
}

bool SerialLink::openPort(const QString &name, QString *errorMessage)
{
    // Locked and opened by the name it resolves to, so that a second panel cannot reach
    // the same line through a symbolic link to it.
    const QString resolved = QFileInfo(name).canonicalFilePath();
    const QString device = resolved.isEmpty() ? name : resolved;
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
            m_pace = LinePace();
            // A line that goes away reads as hung up.
            m_readable = std::make_unique<QSocketNotifier>(descriptor(), QSocketNotifier::Read);
            connect(m_readable.get(), &QSocketNotifier::activated, this, &SerialLink::onReadable);
            return true;
        }
        problem = PortProblem::afterOpen(device, m_port.error(), m_port.errorString());
        m_port.clearError();
    }
    if (errorMessage) {
        const QString named =
            device == QDir::cleanPath(name) ? name : tr("%1 (that is %2)").arg(name, device);
        *errorMessage = tr("Cannot open the serial port %1: %2.").arg(named, problem.reason);
    }
    return false;
}

bool SerialLink::isOpen() const { return m_port.isOpen(); }

int SerialLink::descriptor() const { return int(m_port.handle()); }

void SerialLink::beginAction() { m_queue.beginAction(); }

void SerialLink::send(const LineMessage &message)
{
    if (!m_port.isOpen()) {
        // The scenes are not part of the state that goes again when the line is back.
        const auto *records = std::get_if<SceneDownloadFrame::Records>(&message);
        if (records && m_state == State::Lost)
            m_owedFrame = *records;
        return;
    }
    // An idle line with room takes the message at once; only one that has to wait goes into
    // the queue, where a newer message may take its place.
    const bool idle = m_queue.isEmpty() && m_tail.empty() && !m_paceTimer.isActive();
    if (idle && !m_pumping && m_pace.wait(LinePace::Clock::now(), driverQueued()) == 0ns) {
        handOver(message);
        return;
    }
    m_queue.push(message);
    // A line busy with earlier messages is woken by its timer, or by the kernel taking the
    // rest of one, when it has room.
    if (!m_paceTimer.isActive() && m_tail.empty())
        pump();
}

void SerialLink::pump()
{
    if (m_pumping)
        return;
    const QScopedValueRollback pumping(m_pumping, true);
    while (m_port.isOpen() && finishTail() && !m_queue.isEmpty()) {
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
    // Straight to the kernel, as one write, before the window repaints: the board follows
    // a slider at once. What the kernel does not take is kept and goes before anything
    // else, so that the line never carries part of a message followed by another.
    m_tail = LineMessages::encode(message);
    m_tailMessage = message;
    m_tailStarted = false;
    finishTail();
}

void SerialLink::took(const LineMessage &message)
{
    if (const auto *records = std::get_if<SceneDownloadFrame::Records>(&message)) {
        m_frameOnLine = *records;
        m_frameCarriedBy = m_pace.lineFree();
    }
    const BoardImage before = m_board;
    m_board.apply(message);
    if (m_board != before)
        Q_EMIT boardChanged();
}

bool SerialLink::finishTail()
{
    while (!m_tail.empty()) {
        const ssize_t put = ::write(descriptor(), m_tail.data(), m_tail.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN) {
            lose(systemError(errno));
            return false;
        }
        if (put <= 0) {
            // The kernel is full: nothing reads the line's far side. The rest goes when it
            // has room again.
            if (!m_writable) {
                m_writable =
                    std::make_unique<QSocketNotifier>(descriptor(), QSocketNotifier::Write);
                connect(m_writable.get(), &QSocketNotifier::activated, this, &SerialLink::pump);
            }
            m_writable->setEnabled(true);
            setState(State::Waiting, tr("the line takes nothing: nothing reads its far side"));
            return false;
        }
        m_pace.handed(std::size_t(put), LinePace::Clock::now());
        m_tail.erase(m_tail.begin(), m_tail.begin() + put);
        m_tailStarted = true;
    }
    if (m_writable)
        m_writable->setEnabled(false);
    if (m_tailMessage)
        took(*std::exchange(m_tailMessage, std::nullopt));
    if (m_state == State::Waiting)
        setState(State::Up);
    return true;
}

std::size_t SerialLink::driverQueued() const
{
    // A UART's driver counts what it has not sent yet; a pseudo-terminal always says 0.
    int queued = 0;
    if (::ioctl(descriptor(), TIOCOUTQ, &queued) != 0 || queued < 0)
        return 0;
    return std::size_t(queued);
}

void SerialLink::onReadable()
{
    pollfd line{descriptor(), POLLOUT, 0};
    if (::poll(&line, 1, 0) >= 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        lose(tr("the line hung up"));
        return;
    }
    // The board never answers; what comes in anyway is thrown away unread. A line that
    // would not let go of it is left alone: a write tells if it goes away.
    ::tcflush(descriptor(), TCIFLUSH);
    pollfd input{descriptor(), POLLIN, 0};
    if (::poll(&input, 1, 0) > 0 && (input.revents & POLLIN))
        m_readable->setEnabled(false);
}

void SerialLink::lose(const QString &reason)
{
    if (m_state == State::Lost || m_state == State::Closed)
        return;
    closePort();
    // A download that had not reached the board whole goes again when the line is back:
    // the newest of one waiting, one the kernel had part of, and one still on the line.
    const auto *tailFrame =
        m_tailMessage ? std::get_if<SceneDownloadFrame::Records>(&*m_tailMessage) : nullptr;
    if (const auto *waiting = m_queue.waitingFrame())
        m_owedFrame = *waiting;
    else if (tailFrame)
        m_owedFrame = *tailFrame;
    else if (m_frameOnLine && LinePace::Clock::now() < m_frameCarriedBy)
        m_owedFrame = m_frameOnLine;
    m_frameOnLine.reset();
    m_queue.clear();
    m_tail.clear();
    m_tailMessage.reset();
    setState(State::Lost, reason);
    if (!m_draining && m_comesBack)
        m_reopenTimer.start();
}

void SerialLink::tryReopen()
{
    // Only once the name leads to a device again; whether that device is a line to take
    // (not a shell's terminal, not in use) is openPort()'s question. A device refused is
    // asked again only now and then: the question reads every process's state.
    const QString device = QFileInfo(m_watched).canonicalFilePath();
    if (device.isEmpty())
        return;
    if (device == m_refused && m_refusedAt.isValid() &&
        m_refusedAt.elapsed() < RefusedRecheck.count())
        return;
    if (reopen(nullptr))
        return;
    m_refused = device;
    m_refusedAt.start();
}

bool SerialLink::retry()
{
    if (m_state != State::Lost)
        return false;
    QString why;
    if (reopen(&why))
        return true;
    Q_EMIT stateChanged(m_state, why);
    return false;
}

bool SerialLink::reopen(QString *errorMessage)
{
    if (!openPort(m_watched, errorMessage))
        return false;
    m_reopenTimer.stop();
    setState(State::Up);
    Q_EMIT restored();
    if (m_owedFrame) {
        beginAction();
        send(*std::exchange(m_owedFrame, std::nullopt));
    }
    return true;
}

qint64 SerialLink::drain()
{
    if (!m_port.isOpen())
        return 0;
    // One deadline for the whole queue, from its time on the line with a margin; a
    // board that takes nothing must not hold the program for long.
    const auto queued = m_queue.byteCount() + m_tail.size();
    const auto lineTime =
        LineRate::lineTime(queued) + m_pace.backlog(LinePace::Clock::now(), driverQueued());
    const auto allowed =
        std::chrono::ceil<std::chrono::milliseconds>(lineTime * (100 + DrainSlackPercent) / 100) +
        DrainGrace;
    QDeadlineTimer deadline(std::min(allowed, DrainLimit));
    const QScopedValueRollback draining(m_draining, true);
    m_paceTimer.stop();
    // Still at the line's pace, one whole message at a time: what misses the deadline
    // stays out whole, rather than leaving the line on half a packet.
    while (m_port.isOpen() && !deadline.hasExpired() && (!m_tail.empty() || !m_queue.isEmpty())) {
        pump();
        const auto left = std::chrono::milliseconds(std::max<qint64>(1, deadline.remainingTime()));
        if (!m_tail.empty()) {
            pollfd line{descriptor(), POLLOUT, 0};
            ::poll(&line, 1, int(std::min(left, DrainPoll).count()));
            continue;
        }
        if (!m_queue.isEmpty())
            std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(
                m_pace.wait(LinePace::Clock::now(), driverQueued()), left));
    }
    // What missed the deadline goes on at the next turn of the event loop, if the port
    // stays open; until then the count returned stays true.
    if (!m_queue.isEmpty() && m_port.isOpen())
        m_paceTimer.start(0);
    return bytesQueued();
}

qint64 SerialLink::release()
{
    const qint64 lost = drain();
    m_paceTimer.stop();
    m_reopenTimer.stop();
    // A message of which the kernel has nothing yet is left out whole, with the rest.
    const bool partly = m_tailStarted && !m_tail.empty() && m_port.isOpen();
    if (partly)
        finishAfterExit(descriptor(), m_tail);
    const qint64 unfinished = qint64(m_queue.byteCount()) + (partly ? 0 : qint64(m_tail.size()));
    m_queue.clear();
    m_tail.clear();
    m_tailMessage.reset();
    closePort();
    setState(State::Closed);
    return std::min(lost, unfinished);
}

void SerialLink::closePort()
{
    // The notifiers go before their descriptor does.
    m_readable.reset();
    m_writable.reset();
    // Closing takes the lock file away and ends the exclusive use, so that the next
    // panel, of this user or another, opens the line at once.
    m_port.blockSignals(true);
    m_port.close();
    m_port.blockSignals(false);
}

qint64 SerialLink::bytesQueued() const
{
    return m_port.isOpen() ? qint64(m_queue.byteCount() + m_tail.size()) : 0;
}

void SerialLink::setState(State state, const QString &reason)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state, reason);
}
