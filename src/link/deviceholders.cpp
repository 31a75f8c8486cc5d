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

QList<Holder> of(const QString &device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    QList<Holder> holders;
    if (target.isEmpty())
        return holders;
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
            if (QFile::symLinkTarget(descriptors.filePath(fd)) == target) {
                holders.append({pid, programOf(pid)});
                break;
            }
        }
    }
    return holders;
}

} // namespace DeviceHolders
