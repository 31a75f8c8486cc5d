#include "tokenstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <array>

namespace {

// A token file is one line of hex; anything much longer is no file of the panel's.
constexpr qint64 LargestFile = 256;

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
    QFile file(m_path);
    const QFileInfo info(m_path);
    if (info.isFile() && info.size() <= LargestFile && file.open(QIODevice::ReadOnly)) {
        const QByteArray text = file.readAll().trimmed();
        if (isWellFormed(text)) {
            m_token = text;
            return true;
        }
    }
    return renew(errorMessage);
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
    const QString folder = QFileInfo(m_path).path();
    QSaveFile file(m_path);
    // The temporary file is the one renamed into place: it is private before the token
    // is in it.
    const bool written = QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
                         file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                         file.write(token + '\n') == token.size() + 1 && file.commit();
    if (!written && errorMessage) {
        *errorMessage = tr("Cannot keep the web remote's access token in %1: %2")
                            .arg(m_path, file.errorString());
    }
    return written;
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
