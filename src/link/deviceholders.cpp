#include "deviceholders.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// A panel on a pseudo-terminal looks through every process of the system before its window
// shows (for a shell behind the line), so the looking is done with the system's own calls:
// through Qt's file and directory classes the looks took a sixth of the whole start's
// instructions, this way a fiftieth.

namespace DeviceHolders {

namespace {

struct CloseDirectory
{
    void operator()(DIR *directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, CloseDirectory>;

// The whole of a small file of /proc (which tells no size), or nothing.
QByteArray readAll(const char *path)
{
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return {};
    QByteArray text;
    std::array<char, 1024> chunk;
    for (;;) {
        const ssize_t got = ::read(descriptor, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(chunk.data(), got);
    }
    ::close(descriptor);
    return text;
}

QByteArray procPath(qint64 pid, const char *entry)
{
    return "/proc/" + QByteArray::number(pid) + '/' + entry;
}

// Field numbers of /proc/PID/stat, as proc(5) counts them.
constexpr int TerminalField = 7;
constexpr int StartTimeField = 22;
constexpr int FirstFieldAfterName = 3;

// A number field of /proc/PID/stat; 0 when the process is gone. The program's name (field
// 2) may hold spaces and parentheses of its own: the fields are counted from its end.
qint64 statField(qint64 pid, int number)
{
    const QByteArray line = readAll(procPath(pid, "stat").constData());
    qsizetype at = line.lastIndexOf(')');
    if (at < 0)
        return 0;
    for (int field = FirstFieldAfterName - 1; field < number && at >= 0; ++field)
        at = line.indexOf(' ', at + 1);
    if (at < 0)
        return 0;
    const qsizetype end = line.indexOf(' ', at + 1);
    return QByteArrayView(line)
        .sliced(at + 1, (end < 0 ? line.size() : end) - at - 1)
        .toLongLong();
}

// Every process of the system but this one, in the order of their numbers.
QList<qint64> processes()
{
    QList<qint64> pids;
    const Directory proc(::opendir("/proc"));
    if (!proc)
        return pids;
    const qint64 self = ::getpid();
    while (const dirent *entry = ::readdir(proc.get())) {
        char *end = nullptr;
        const qint64 pid = std::strtoll(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && pid > 0 && pid != self)
            pids.append(pid);
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

// Every process of this system but this one that /proc lets us look into, and its open
// descriptors, until found says it has what was looked for: found(pid, descriptor number,
// what the descriptor leads to).
template<typename Found> QList<Holder> holdersWhere(Found found)
{
    QList<Holder> holders;
    std::array<char, 4096> target;
    for (const qint64 pid : processes()) {
        const Directory descriptors(::opendir(procPath(pid, "fd").constData()));
        if (!descriptors)
            continue;
        while (const dirent *entry = ::readdir(descriptors.get())) {
            if (entry->d_name[0] == '.')
                continue;
            const ssize_t length = ::readlinkat(::dirfd(descriptors.get()), entry->d_name,
                                                target.data(), target.size());
            if (length <= 0 || std::size_t(length) == target.size())
                continue;
            if (found(pid, entry->d_name, QByteArrayView(target.data(), length))) {
                holders.append({pid, programOf(pid)});
                break;
            }
        }
    }
    return holders;
}

} // namespace

QString programOf(qint64 pid)
{
    return QString::fromLocal8Bit(readAll(procPath(pid, "comm").constData())).trimmed();
}

QList<Holder> ofPseudoTerminal(const QString &slave)
{
    const QString target = QFileInfo(slave).canonicalFilePath();
    if (!target.startsWith(QStringLiteral("/dev/pts/")))
        return {};
    // The kernel tells which pseudo-terminal a master descriptor is for.
    const QByteArray index = "tty-index:\t" + target.mid(9).toLatin1() + '\n';
    return holdersWhere([&index](qint64 pid, const char *fd, QByteArrayView opened) {
        if (opened != "/dev/ptmx" && opened != "/dev/pts/ptmx")
            return false;
        const QByteArray info = procPath(pid, "fdinfo/") + fd;
        return readAll(info.constData()).contains(index);
    });
}

qint64 startTimeOf(qint64 pid) { return statField(pid, StartTimeField); }

QList<Holder> withControllingTerminal(const QString &device)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0 || !S_ISCHR(info.st_mode))
        return {};
    QList<Holder> holders;
    for (const qint64 pid : processes()) {
        // The kernel's own encoding of a device number in that field.
        const auto terminal = unsigned(statField(pid, TerminalField));
        const unsigned major = (terminal >> 8) & 0xfff;
        const unsigned minor = (terminal & 0xff) | ((terminal >> 12) & 0xfff00);
        if (terminal != 0 && major == ::major(info.st_rdev) && minor == ::minor(info.st_rdev))
            holders.append({pid, programOf(pid)});
    }
    return holders;
}

QList<Holder> of(const QString &device)
{
    const QByteArray target = QFile::encodeName(QFileInfo(device).canonicalFilePath());
    if (target.isEmpty())
        return {};
    return holdersWhere(
        [&target](qint64, const char *, QByteArrayView opened) { return opened == target; });
}

} // namespace DeviceHolders
