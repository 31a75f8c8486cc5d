#include "unusabledevice.h"

#include <QFile>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

UnusableDevice::UnusableDevice(const QString &kind)
{
    if (!m_folder.isValid() || !m_line.isOpen()) {
        m_problem = m_folder.isValid() ? m_line.errorString() : m_folder.errorString();
        return;
    }
    const auto makeFile = [this](const QString &path) {
        m_path = path;
        if (!QFile(path).open(QIODevice::WriteOnly))
            m_problem = QStringLiteral("cannot make the file ") + path;
    };
    if (kind == "missing") {
        m_path = m_folder.filePath(QStringLiteral("ttyUSB9"));
    } else if (kind == "folder") {
        m_path = m_folder.path();
    } else if (kind == "file") {
        makeFile(m_folder.filePath(QStringLiteral("not-a-port")));
    } else if (kind == "terminal") {
        m_path = QStringLiteral("/dev/tty");
    } else if (kind == "multiplexer") {
        m_path = QStringLiteral("/dev/ptmx");
    } else if (kind == "no-driver") {
        m_path = QStringLiteral("/dev/null");
    } else if (kind == "markup") {
        m_path = m_folder.filePath(QStringLiteral("<img src=\"/dev/zero\">"));
    } else if (kind == "long") {
        makeFile(m_folder.filePath(QString(250, QLatin1Char('x'))));
    } else if (kind == "busy" || kind == "busy-link") {
        m_path = m_line.slavePath();
        if (!m_holder.open(m_path, &m_problem))
            return;
        if (kind == "busy-link") {
            m_path = m_folder.filePath(QStringLiteral("ttyBOARD"));
            if (!QFile::link(m_line.slavePath(), m_path))
                m_problem = QStringLiteral("cannot make the link ") + m_path;
        }
    } else if (kind == "stale-lock") {
        // Root's panel was killed: its lock file stays, and another user may not remove it.
        m_needsRoot = true;
        m_forNobody = true;
        m_path = m_line.slavePath();
        if (::geteuid() != 0)
            return;
        const pid_t ended = ::fork();
        if (ended == 0)
            ::_exit(0);
        ::waitpid(ended, nullptr, 0);
        m_lock = QStringLiteral("/run/lock/") + PortProblem::lockFileName(m_path);
        QFile lock(m_lock);
        const bool made = lock.open(QIODevice::WriteOnly) &&
                          lock.write(QByteArray::number(ended) + "\ndimmer-panel\n") > 0 &&
                          ::chmod(QFile::encodeName(m_path).constData(), 0666) == 0 &&
                          ::chmod(QFile::encodeName(m_folder.path()).constData(), 0777) == 0;
        if (!made)
            m_problem = QStringLiteral("cannot leave a lock file in /run/lock");
    } else if (kind == "owner-only" || kind == "group") {
        m_needsRoot = true;
        m_forNobody = true;
        m_path = m_line.slavePath();
        if (::geteuid() != 0)
            return;
        const group *dialout = ::getgrnam("dialout");
        const QByteArray device = QFile::encodeName(m_path);
        const bool made =
            dialout &&
            ::chown(device.constData(), 0, kind == "group" ? dialout->gr_gid : 0) == 0 &&
            ::chmod(device.constData(), kind == "group" ? 0660 : 0600) == 0 &&
            ::chmod(QFile::encodeName(m_folder.path()).constData(), 0777) == 0;
        if (!made)
            m_problem = QStringLiteral("cannot give the device to root (and dialout)");
    } else {
        m_problem = QStringLiteral("no such kind of device: ") + kind;
    }
}

UnusableDevice::~UnusableDevice()
{
    if (!m_lock.isEmpty())
        QFile::remove(m_lock);
}
