#include "devicelink.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString reason() { return QString::fromLocal8Bit(std::strerror(errno)); }

} // namespace

DeviceLink::~DeviceLink() { remove(); }

bool DeviceLink::create(const QString &linkPath, const QString &target, QString *errorMessage)
{
    remove();
    const QFileInfo existing(linkPath);
    if (existing.exists() && !existing.isSymLink()) {
        if (errorMessage) {
            *errorMessage =
                tr("Cannot make the link %1: it is there already and is not a symbolic link.")
                    .arg(linkPath);
        }
        return false;
    }
    // A new name renamed over the old one, so that the path never points nowhere.
    const QByteArray path = QFile::encodeName(linkPath);
    const QByteArray temporary = path + ".new-" + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), path.constData()) != 0) {
        if (errorMessage) {
            *errorMessage =
                tr("Cannot make the link %1 to %2: %3.").arg(linkPath, target, reason());
        }
        ::unlink(temporary.constData());
        return false;
    }
    m_linkPath = linkPath;
    m_target = target;
    return true;
}

void DeviceLink::remove()
{
    if (m_linkPath.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(m_linkPath);
    const QByteArray target = QFile::encodeName(m_target);
    QByteArray current(target.size() + 1, '\0');
    const ssize_t length = ::readlink(path.constData(), current.data(), current.size());
    if (length == target.size() && current.startsWith(target))
        ::unlink(path.constData());
    m_linkPath.clear();
    m_target.clear();
}
