#include "ptypair.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[256] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_error =
            QStringLiteral("openpty failed: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        m_master = m_slave = -1;
        return;
    }
    // The slave stays open here as well, so that the line does not hang up between the
    // program's open and close; the program opens it again by its path.
    m_slavePath = QString::fromLocal8Bit(name);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
}

PtyPair::~PtyPair()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

QByteArray PtyPair::readAvailable()
{
    QByteArray bytes;
    if (m_master < 0)
        return bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got > 0) {
            bytes.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return bytes;
    }
}

QByteArray PtyPair::read(int count, int timeoutMs)
{
    QByteArray bytes;
    QDeadlineTimer deadline(timeoutMs);
    while (m_master >= 0 && bytes.size() < count && !deadline.hasExpired()) {
        pollfd descriptor{m_master, POLLIN, 0};
        if (::poll(&descriptor, 1, int(qMax<qint64>(1, deadline.remainingTime()))) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got =
            ::read(m_master, buffer, std::min<std::size_t>(sizeof buffer, count - bytes.size()));
        if (got > 0)
            bytes.append(buffer, got);
        else if (got < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return bytes;
}

bool PtyPair::isExclusive() const
{
    int exclusive = 0;
    return m_slave >= 0 && ::ioctl(m_slave, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

void PtyPair::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

qsizetype PtyPair::fillKernel()
{
    if (m_slave < 0)
        return 0;
    const int flags = ::fcntl(m_slave, F_GETFL);
    ::fcntl(m_slave, F_SETFL, flags | O_NONBLOCK);
    qsizetype taken = 0;
    const char zeros[256] = {};
    // Big writes first, then single bytes into what room is left; the kernel moves bytes
    // between its buffers a moment later, so it is asked again until it stays full.
    for (const std::size_t size : {sizeof zeros, std::size_t(1)}) {
        for (int refusals = 0; refusals < 3;) {
            const ssize_t written = ::write(m_slave, zeros, size);
            if (written > 0) {
                taken += written;
                refusals = 0;
            } else if (!(written < 0 && errno == EINTR)) {
                ++refusals;
                ::usleep(2000);
            }
        }
    }
    ::fcntl(m_slave, F_SETFL, flags);
    return taken;
}
