#include "tokenstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A token file is one line of hex; anything much longer is no file of the panel's.
constexpr qint64 LargestFile = 256;
constexpr mode_t OwnerOnly = 0600;

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Closes a descriptor at the end of its scope.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

TokenStore::TokenStore(const QString &folder)
    : m_path(QDir(folder).filePath(QStringLiteral("web-token")))
{}

bool TokenStore::isWellFormed(QByteArrayView text)
{
    if (text.size() != 2 * Bytes)
        return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

bool TokenStore::load(QString *errorMessage)
{
    // Never through a link: the panel would read, overwrite or open up another file.
    // Non-blocking, so that a FIFO in its place cannot hold the start.
    Descriptor file{::open(QFile::encodeName(m_path).constData(),
                           O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0 && errno == ELOOP)
        return refuseLink(errorMessage);
    struct stat info
    {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > LargestFile)
        return renew(errorMessage);
    char text[LargestFile];
    const ssize_t length = ::read(file.fd, text, sizeof text);
    const QByteArray token = QByteArray(text, qsizetype(std::max<ssize_t>(length, 0))).trimmed();
    if (!isWellFormed(token))
        return renew(errorMessage);
    // Whoever made it, and whatever it was, only its owner may read it from now on.
    if ((info.st_mode & 07777) != OwnerOnly && ::fchmod(file.fd, OwnerOnly) != 0) {
        if (errorMessage)
            *errorMessage = cannotKeep(reason(errno));
        return false;
    }
    m_token = token;
    return true;
}

bool TokenStore::renew(QString *errorMessage)
{
    std::array<quint32, Bytes / 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), qsizetype(words.size()));
    const QByteArray token =
        QByteArray(reinterpret_cast<const char *>(words.data()), Bytes).toHex();
    if (!write(token, errorMessage))
        return false;
    m_token = token;
    return true;
}

bool TokenStore::write(const QByteArray &token, QString *errorMessage)
{
    const QByteArray path = QFile::encodeName(m_path);
    struct stat info
    {};
    if (::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode))
        return refuseLink(errorMessage);
    // A folder that cannot be made fails the next step, with the system's reason.
    QDir().mkpath(QFileInfo(m_path).path());
    // A new file, private from its creation, renamed over the old one: the rename replaces
    // whatever stands at the path (a link put there since, too) and never writes through
    // it, and a crash leaves the old token or the new one, whole.
    QByteArray temporary = path + ".XXXXXX";
    Descriptor file{::mkostemp(temporary.data(), O_CLOEXEC)};
    const bool written = file.fd >= 0 && ::fchmod(file.fd, OwnerOnly) == 0 &&
                         writeAll(file.fd, token + '\n') && ::fsync(file.fd) == 0 &&
                         ::rename(temporary.constData(), path.constData()) == 0;
    if (!written) {
        const int error = errno;
        if (file.fd >= 0)
            ::unlink(temporary.constData());
        if (errorMessage)
            *errorMessage = cannotKeep(reason(error));
    }
    return written;
}

bool TokenStore::refuseLink(QString *errorMessage) const
{
    if (errorMessage) {
        *errorMessage = tr("The web remote's access token %1 is a symbolic link: the panel "
                           "follows no link there, so that it never overwrites another file "
                           "or opens it to others. Remove the link.")
                            .arg(m_path);
    }
    return false;
}

QString TokenStore::cannotKeep(const QString &why) const
{
    return tr("Cannot keep the web remote's access token in %1: %2").arg(m_path, why);
}

bool TokenStore::matches(QByteArrayView text) const
{
    if (m_token.isEmpty() || text.size() != m_token.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        difference |= static_cast<unsigned char>(text[i] ^ m_token[i]);
    return difference == 0;
}
