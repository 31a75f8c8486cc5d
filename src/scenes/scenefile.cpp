#include "scenefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString SceneFile::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(fileName());
}

SceneFile::SceneFile(QString path, bool createFolder)
    : m_path(std::move(path)), m_createFolder(createFolder)
{}

QString SceneFile::location() const { return QDir::toNativeSeparators(m_path); }

bool SceneFile::read(int sceneNumber, Record &record, QString *error) const
{
    Access access = open();
    if (access.readRecord(sceneNumber, record) && access.close())
        return true;
    record.fill(0);
    if (error)
        *error = access.errorMessage();
    return false;
}

bool SceneFile::readAll(Records &records, QString *error) const
{
    Access access = open();
    for (int n = 1; n <= SceneCount; ++n) {
        if (!access.readRecord(n, records[std::size_t(n - 1)])) {
            if (error)
                *error = access.errorMessage();
            return false;
        }
    }
    if (access.close())
        return true;
    if (error)
        *error = access.errorMessage();
    return false;
}

bool SceneFile::write(int sceneNumber, const Record &record, QString *error)
{
    Access access = open();
    if (access.writeRecord(sceneNumber, record) && access.close())
        return true;
    if (error)
        *error = access.errorMessage();
    return false;
}

QString SceneFile::problem() const
{
    const QString shown = QDir::toNativeSeparators(m_path);
    const auto because = [&shown](const QString &reason) {
        return tr("Cannot use the scene file %1: %2.").arg(shown, reason);
    };
    const QFileInfo file(m_path);
    if (file.exists() || file.isSymLink()) {
        if (file.isDir())
            return because(tr("it is a folder"));
        if (::access(QFile::encodeName(m_path).constData(), R_OK | W_OK) != 0)
            return because(QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    // The nearest folder that is there: the file, and any folder missing on the way to
    // it, would be made in it.
    QString existing = file.absolutePath();
    while (!QFileInfo::exists(existing) && QFileInfo(existing).absolutePath() != existing)
        existing = QFileInfo(existing).absolutePath();
    const QString folder = QDir::toNativeSeparators(file.absolutePath());
    if (!QFileInfo(existing).isDir())
        return because(tr("%1 is not a folder").arg(QDir::toNativeSeparators(existing)));
    if (!m_createFolder && existing != file.absolutePath())
        return because(tr("there is no folder %1").arg(folder));
    if (::access(QFile::encodeName(existing).constData(), W_OK | X_OK) != 0) {
        return because(tr("it cannot be created in %1: %2")
                           .arg(QDir::toNativeSeparators(existing),
                                QString::fromLocal8Bit(std::strerror(errno))));
    }
    return {};
}

SceneFile::Access::Access(const SceneFile &file) : m_file(file)
{
    const QString folder = QFileInfo(file.m_path).absolutePath();
    if (file.m_createFolder && !QDir().mkpath(folder)) {
        // mkpath gives no reason; ask the system for one on the first missing part.
        QString existing = folder;
        while (!QFileInfo::exists(existing) && QFileInfo(existing).absolutePath() != existing)
            existing = QFileInfo(existing).absolutePath();
        const QByteArray probe = QFile::encodeName(existing);
        const int reason = ::access(probe.constData(), W_OK) != 0 ? errno : ENOTDIR;
        m_error = tr("Cannot create the folder %1 for the scene file: %2.")
                      .arg(QDir::toNativeSeparators(folder),
                           QString::fromLocal8Bit(std::strerror(reason)));
        return;
    }
    const QByteArray name = QFile::encodeName(file.m_path);
    m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0)
        failWith(Step::Open);
}

SceneFile::Access::~Access()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SceneFile::Access::failWith(Step step)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    if (!m_error.isEmpty())
        return false;
    const QString path = QDir::toNativeSeparators(m_file.m_path);
    switch (step) {
    case Step::Open:
        m_error = tr("Cannot open the scene file %1: %2.").arg(path, reason);
        break;
    case Step::Read:
        m_error = tr("Cannot read the scene file %1: %2.").arg(path, reason);
        break;
    case Step::Write:
        m_error = tr("Cannot write the scene file %1: %2.").arg(path, reason);
        break;
    case Step::Close:
        m_error = tr("Cannot close the scene file %1: %2.").arg(path, reason);
        break;
    }
    return false;
}

bool SceneFile::Access::readRecord(int sceneNumber, Record &record)
{
    record.fill(0);
    if (m_fd < 0)
        return false;
    const off_t offset = off_t(RecordSize) * (sceneNumber - 1);
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t got =
            ::pread(m_fd, record.data() + done, record.size() - done, offset + off_t(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failWith(Step::Read);
        if (got == 0)
            break; // end of file: the rest of the record stays zero
        done += std::size_t(got);
    }
    return true;
}

bool SceneFile::Access::writeRecord(int sceneNumber, const Record &record)
{
    if (m_fd < 0)
        return false;
    const off_t offset = off_t(RecordSize) * (sceneNumber - 1);
    // What the record held, so that a write that fails half-way can be taken back.
    struct stat info
    {};
    if (::fstat(m_fd, &info) != 0)
        return failWith(Step::Write);
    Record before{};
    const ssize_t held = ::pread(m_fd, before.data(), before.size(), offset);
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t put =
            ::pwrite(m_fd, record.data() + done, record.size() - done, offset + off_t(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0) {
            const int reason = errno;
            if (done > 0) {
                // The old bytes and the old length back; the failure to report is the
                // first one, whatever these do.
                const bool bytesBack =
                    held <= 0 || ::pwrite(m_fd, before.data(), std::size_t(held), offset) == held;
                const bool lengthBack = ::ftruncate(m_fd, info.st_size) == 0;
                Q_UNUSED(bytesBack);
                Q_UNUSED(lengthBack);
            }
            errno = reason;
            return failWith(Step::Write);
        }
        done += std::size_t(put);
    }
    // A stored scene must survive a power cut right after the operator said Yes.
    if (::fsync(m_fd) != 0)
        return failWith(Step::Write);
    return true;
}

bool SceneFile::Access::close()
{
    if (m_fd < 0)
        return m_error.isEmpty();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return failWith(Step::Close);
    return true;
}
