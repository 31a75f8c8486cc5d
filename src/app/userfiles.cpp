#include "userfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(UserFiles)
};

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

} // namespace UserFiles
