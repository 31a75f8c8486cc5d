#include "userfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(UserFiles)
};

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            // A write that takes nothing without an error (a full disk can look so) is one.
            if (put == 0)
                errno = ENOSPC;
            return false;
        }
        done += put;
    }
    return true;
}

} // namespace

namespace UserFiles {

QString stateFolder()
{
    // XDG_STATE_HOME counts only as an absolute path; anything else is ignored, as every
    // other program on the desktop ignores it.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::home().filePath(QStringLiteral(".local/state"));
    return QDir(base).filePath(QStringLiteral("dimmer-panel"));
}

SetAside setAsideIfOdd(const QString &path, qint64 largestSize)
{
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink())
        return {};
    SetAside result;
    if (!file.isFile())
        result.why = Texts::tr("it is not a plain file");
    else if (file.size() > largestSize)
        result.why =
            Texts::tr("it holds %1 bytes, where the panel writes a few dozen").arg(file.size());
    if (result.why.isEmpty())
        return result;
    const QString aside = path + QStringLiteral(".set-aside");
    QFile::remove(aside);
    if (QFile::rename(path, aside))
        result.movedTo = aside;
    return result;
}

bool replaceWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(Texts::tr("the folder %1 could not be made").arg(folder));
    QByteArray pattern = QFile::encodeName(path) + ".new-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(systemError(errno));
    const auto abandon = [&](int why) {
        ::close(fd);
        ::unlink(pattern.constData());
        return fail(systemError(why));
    };
    // The new file takes the usual mode of a file the user makes, not mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int why = errno;
        ::unlink(pattern.constData());
        return fail(systemError(why));
    }
    if (::rename(pattern.constData(), QFile::encodeName(path).constData()) != 0) {
        const int why = errno;
        ::unlink(pattern.constData());
        return fail(systemError(why));
    }
    // The new name itself reaches the disk with the folder.
    const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

} // namespace UserFiles
