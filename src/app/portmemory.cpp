#include "portmemory.h"

#include "link/portnames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

// What main tells about the settings file.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(PortMemory)
};

// The panel writes one short line; anything far larger was not written by it.
constexpr qint64 LargestSettings = 4096;

QString settingsPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("dimmer-panel/dimmer-panel.conf"));
}

QSettings settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("dimmer-panel"),
                     QStringLiteral("dimmer-panel"));
}

const QString PortKey = QStringLiteral("port");

} // namespace

PortMemory::PortMemory()
{
    const QString path = settingsPath();
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink())
        return;
    QString why;
    if (!file.isFile())
        why = Texts::tr("it is not a plain file");
    else if (file.size() > LargestSettings)
        why = Texts::tr("it holds %1 bytes, where the panel writes a few dozen").arg(file.size());
    if (why.isEmpty())
        return;
    const QString aside = path + QStringLiteral(".set-aside");
    QFile::remove(aside);
    if (QFile::rename(path, aside)) {
        m_problem = Texts::tr("The settings file %1 was not read: %2. It was moved to %3, and no "
                              "port is remembered.")
                        .arg(path, why, aside);
    } else {
        m_problem = Texts::tr("The settings file %1 was not read: %2, and it could not be moved "
                              "aside. No port is remembered, and none will be.")
                        .arg(path, why);
    }
}

QString PortMemory::remembered() const
{
    if (!m_problem.isEmpty())
        return {};
    return settings().value(PortKey).toString();
}

void PortMemory::remember(const QString &device)
{
    if (QFileInfo::exists(settingsPath()) && !QFileInfo(settingsPath()).isFile())
        return;
    QSettings store = settings();
    store.setValue(PortKey, PortNames::stable(device));
}
