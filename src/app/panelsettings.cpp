#include "panelsettings.h"

#include "app/userfiles.h"
#include "control/desk.h"
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
    Q_DECLARE_TR_FUNCTIONS(PanelSettings)
};

// The panel writes a few short lines; anything far larger was not written by it.
constexpr qint64 LargestSettings = 4096;

QString settingsPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("dimmer-panel/dimmer-panel.conf"));
}

// By its path, looked up each time: the toolkit would otherwise keep the folder it found
// first for the whole run.
QSettings settings() { return QSettings(settingsPath(), QSettings::IniFormat); }

const QString PortKey = QStringLiteral("port");
const QString IdentityKey = QStringLiteral("identity");
const QString FadeKey = QStringLiteral("fade-tenths");

} // namespace

PanelSettings::PanelSettings()
{
    const QString path = settingsPath();
    const UserFiles::SetAside odd = UserFiles::setAsideIfOdd(path, LargestSettings);
    if (odd.why.isEmpty())
        return;
    if (!odd.movedTo.isEmpty()) {
        m_problem = Texts::tr("The settings file %1 was not read: %2. It was moved to %3, and no "
                              "port is remembered.")
                        .arg(path, odd.why, odd.movedTo);
    } else {
        m_problem = Texts::tr("The settings file %1 was not read: %2, and it could not be moved "
                              "aside. No port is remembered, and none will be.")
                        .arg(path, odd.why);
    }
}

QString PanelSettings::remembered() const
{
    if (!m_problem.isEmpty())
        return {};
    return settings().value(PortKey).toString();
}

QString PanelSettings::doubt() const
{
    const QString port = remembered();
    if (port.isEmpty())
        return {};
    if (PortNames::isPseudoTerminal(port)) {
        return Texts::tr("The remembered port %1 is a pseudo-terminal, whose number goes to the "
                         "next terminal that asks for one: it is opened only when chosen here.")
            .arg(port);
    }
    // A path that now leads to another device than the one chosen (another adapter that
    // took its ttyUSB number) is not the board's. A path with nothing behind it fails to
    // open and says so itself.
    const QSettings store = settings();
    if (!store.contains(IdentityKey) || !QFileInfo::exists(port))
        return {};
    const QString was = store.value(IdentityKey).toString();
    const QString now = PortNames::identity(port);
    if (now == was)
        return {};
    const auto shown = [](const QString &identity) {
        return identity.isEmpty() ? Texts::tr("a device the system tells nothing of") : identity;
    };
    return Texts::tr("The remembered port %1 is now another device (%2) than the one chosen (%3).")
        .arg(port, shown(now), shown(was));
}

void PanelSettings::remember(const QString &device)
{
    if (!m_problem.isEmpty() && QFileInfo::exists(settingsPath()))
        return;
    QSettings store = settings();
    store.setValue(PortKey, PortNames::stable(device));
    store.setValue(IdentityKey, PortNames::identity(device));
}

int PanelSettings::fadeTime() const
{
    if (!m_problem.isEmpty())
        return 0;
    bool number = false;
    const int tenths = settings().value(FadeKey).toInt(&number);
    return number && tenths >= 0 && tenths <= Desk::LongestFade ? tenths : 0;
}

void PanelSettings::rememberFadeTime(int tenths)
{
    if (!m_problem.isEmpty() && QFileInfo::exists(settingsPath()))
        return;
    settings().setValue(FadeKey, tenths);
}
