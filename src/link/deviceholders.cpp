#include "deviceholders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace DeviceHolders {

QString programOf(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

namespace {

// The fields of /proc/PID/stat after the program's name, which may hold spaces and
// parentheses of its own: field 3 (the state) first.
QList<QByteArray> statFields(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return {};
    return line.mid(nameEnd + 1).simplified().split(' ');
}

// Field numbers of /proc/PID/stat, as proc(5) counts them.
constexpr int TerminalField = 7;
constexpr int StartTimeField = 22;
constexpr int FirstFieldAfterName = 3;

QByteArray statField(const QList<QByteArray> &fields, int number)
{
    const int at = number - FirstFieldAfterName;
    return at < fields.size() ? fields[at] : QByteArray();
}

QList<qint64> processes()
{
    QList<qint64> pids;
    const QStringList names =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        bool numeric = false;
        const qint64 pid = name.toLongLong(&numeric);
        if (numeric && pid != ::getpid())
            pids.append(pid);
    }
    return pids;
}

// Every process of this system but this one that /proc lets us look into, and its open
// descriptors, until found says it has what was looked for.
template<typename Found> QList<Holder> holdersWhere(Found found)
{
    QList<Holder> holders;
    for (const qint64 pid : processes()) {
        const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
        const QStringList open =
            descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &fd : open) {
            if (found(pid, descriptors.filePath(fd), fd)) {
                holders.append({pid, programOf(pid)});
                break;
            }
        }
    }
    return holders;
}

} // namespace

QList<Holder> ofPseudoTerminal(const QString &slave)
{
    const QString target = QFileInfo(slave).canonicalFilePath();
    if (!target.startsWith(QStringLiteral("/dev/pts/")))
        return {};
    // The kernel tells which pseudo-terminal a master descriptor is for.
    const QByteArray index = "tty-index:\t" + target.mid(9).toLatin1() + '\n';
    return holdersWhere([&index](qint64 pid, const QString &path, const QString &fd) {
        const QString opened = QFile::symLinkTarget(path);
        if (opened != QStringLiteral("/dev/ptmx") && opened != QStringLiteral("/dev/pts/ptmx"))
            return false;
        QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid).arg(fd));
        return info.open(QIODevice::ReadOnly) && info.readAll().contains(index);
    });
}

qint64 startTimeOf(qint64 pid) { return statField(statFields(pid), StartTimeField).toLongLong(); }

QList<Holder> withControllingTerminal(const QString &device)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0 || !S_ISCHR(info.st_mode))
        return {};
    QList<Holder> holders;
    for (const qint64 pid : processes()) {
        // The kernel's own encoding of a device number in that field.
        const unsigned terminal = statField(statFields(pid), TerminalField).toUInt();
        const unsigned major = (terminal >> 8) & 0xfff;
        const unsigned minor = (terminal & 0xff) | ((terminal >> 12) & 0xfff00);
        if (terminal != 0 && major == ::major(info.st_rdev) && minor == ::minor(info.st_rdev))
            holders.append({pid, programOf(pid)});
    }
    return holders;
}

QList<Holder> of(const QString &device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return {};
    return holdersWhere([&target](qint64, const QString &path, const QString &) {
        return QFile::symLinkTarget(path) == target;
    });
}

} // namespace DeviceHolders
