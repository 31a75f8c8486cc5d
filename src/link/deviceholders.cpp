#include "deviceholders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// Every process of this system but this one that /proc lets us look into, and its open
// descriptors, until found says it has what was looked for.
template<typename Found> QList<Holder> holdersWhere(Found found)
{
    QList<Holder> holders;
    const QStringList processes =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : processes) {
        bool numeric = false;
        const qint64 pid = name.toLongLong(&numeric);
        if (!numeric || pid == ::getpid())
            continue;
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
