#include "pseudoterminal.h"

#include "link/deviceholders.h"
#include "protocol/linerate.h"

#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A master that reports an error keeps reporting it at once; waiting this long before
// reading again keeps that from turning into a busy loop.
constexpr int RetryMilliseconds = 200;
// Reads in one go before the event loop gets a turn again, so that a sender faster than
// the board cannot starve the window.
constexpr int ReadsPerWakeUp = 16;
constexpr std::chrono::nanoseconds ByteTime = LineRate::ByteTime;
// Bytes taken at a time while the line is busy: a command packet, so that a packet is
// taken as soon as its last byte would have arrived.
constexpr int BytesPerWakeUp = 5;

} // namespace

PseudoTerminal::PseudoTerminal(QObject *parent) : QObject(parent)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMilliseconds);
    connect(&m_retry, &QTimer::timeout, this, &PseudoTerminal::resume);
    m_pace.setSingleShot(true);
    m_pace.setTimerType(Qt::PreciseTimer);
    connect(&m_pace, &QTimer::timeout, this, &PseudoTerminal::readDue);
}

PseudoTerminal::~PseudoTerminal() { close(); }

bool PseudoTerminal::open(QString *errorMessage)
{
    close();
    // The step is the system's call that failed, named as it is in every language.
    const auto fail = [&](const char *step) {
        if (errorMessage) {
            *errorMessage =
                tr("Cannot open a pseudo-terminal: %1 failed: %2.")
                    .arg(QString::fromLatin1(step), QString::fromLocal8Bit(std::strerror(errno)));
        }
        close();
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::fcntl(m_master, F_SETFD, FD_CLOEXEC) != 0)
        return fail("fcntl");
    if (::grantpt(m_master) != 0)
        return fail("grantpt");
    if (::unlockpt(m_master) != 0)
        return fail("unlockpt");
    std::array<char, 128> name{};
    if (::ptsname_r(m_master, name.data(), name.size()) != 0)
        return fail("ptsname_r");
    m_devicePath = QFile::decodeName(name.data());

    m_slave = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open");
    termios settings{};
    if (::tcgetattr(m_slave, &settings) != 0)
        return fail("tcgetattr");
    // Raw both ways: no line editing, echo, newline translation or flow-control bytes,
    // since a scene download may hold any byte.
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B9600);
    if (::tcsetattr(m_slave, TCSANOW, &settings) != 0)
        return fail("tcsetattr");
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");

    m_notifier = new QSocketNotifier(qintptr(m_master), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PseudoTerminal::onReadable);

    // Without it the line still works; only a killed panel's flag would stay.
    m_closes = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_closes >= 0 &&
        ::inotify_add_watch(m_closes, name.data(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) >= 0) {
        m_closesNotifier = new QSocketNotifier(qintptr(m_closes), QSocketNotifier::Read, this);
        connect(m_closesNotifier, &QSocketNotifier::activated, this,
                &PseudoTerminal::onDeviceClosed);
    }
    return true;
}

void PseudoTerminal::onDeviceClosed()
{
    std::array<char, 4096> events;
    while (::read(m_closes, events.data(), events.size()) > 0) {
    }
    int exclusive = 0;
    if (::ioctl(m_slave, TIOCGEXCL, &exclusive) != 0 || exclusive == 0)
        return;
    if (DeviceHolders::of(m_devicePath).isEmpty())
        ::ioctl(m_slave, TIOCNXCL);
}

void PseudoTerminal::onReadable()
{
    QByteArray arrived;
    if (m_fullSpeed) {
        readUpTo(std::numeric_limits<qint64>::max(), arrived);
    } else if (int waiting = 0; ::ioctl(m_master, FIONREAD, &waiting) != 0 || waiting <= 0) {
        // Readable with nothing to read: an error or the end of the line, which reading
        // reports, rather than a wake-up that would come again at once.
        readUpTo(std::numeric_limits<qint64>::max(), arrived);
    } else {
        // The line was idle: the first waiting byte starts now, and the kernel keeps the
        // bytes until their time has come.
        m_nextByte = std::max(m_nextByte, Clock::now());
        m_notifier->setEnabled(false);
        waitForNextBytes();
    }
    if (!arrived.isEmpty())
        Q_EMIT bytesArrived(arrived);
}

void PseudoTerminal::readDue()
{
    if (m_master < 0)
        return;
    const qint64 due = (Clock::now() - m_nextByte) / ByteTime;
    QByteArray arrived;
    if (due <= 0 || readUpTo(due, arrived)) {
        m_nextByte += ByteTime * arrived.size();
        waitForNextBytes();
    }
    if (!arrived.isEmpty())
        Q_EMIT bytesArrived(arrived);
}

void PseudoTerminal::waitForNextBytes()
{
    int waiting = 0;
    if (::ioctl(m_master, FIONREAD, &waiting) != 0 || waiting <= 0) {
        // Nothing left: the line is idle until the panel writes again.
        m_notifier->setEnabled(true);
        return;
    }
    const auto ready = m_nextByte + ByteTime * std::min(waiting, BytesPerWakeUp);
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(ready - Clock::now());
    m_pace.start(std::max(wait, std::chrono::milliseconds(0)));
}

bool PseudoTerminal::readUpTo(qint64 limit, QByteArray &arrived)
{
    std::array<char, 4096> buffer;
    for (int reads = 0; reads < ReadsPerWakeUp && arrived.size() < limit; ++reads) {
        const auto wanted = std::min<qint64>(qint64(buffer.size()), limit - arrived.size());
        const ssize_t count = ::read(m_master, buffer.data(), std::size_t(wanted));
        if (count > 0) {
            arrived.append(buffer.data(), qsizetype(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // EIO (or end of file) means no slave is open; the board holds one, so this is
        // unexpected, and the master would stay readable with the same error.
        m_notifier->setEnabled(false);
        m_pace.stop();
        m_retry.start();
        return false;
    }
    return true;
}

void PseudoTerminal::resume()
{
    if (m_notifier)
        m_notifier->setEnabled(true);
}

void PseudoTerminal::close()
{
    m_retry.stop();
    m_pace.stop();
    delete m_notifier;
    m_notifier = nullptr;
    delete m_closesNotifier;
    m_closesNotifier = nullptr;
    if (m_closes >= 0)
        ::close(m_closes);
    m_closes = -1;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
    m_devicePath.clear();
}
