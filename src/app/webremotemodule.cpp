#include "webremotemodule.h"

#include "control/desk.h"
#include "link/seriallink.h"
#include "remote/oscendpoint.h"

#include <QDir>
#include <QLibrary>

WebRemoteModule::WebRemoteModule(Desk &desk, SerialLink &link, QObject *parent)
    : QObject(parent), m_desk(desk), m_link(link), m_access(desk, link)
{}

// The module stays loaded to the end of the run: its code must outlive the remote.
WebRemoteModule::~WebRemoteModule() = default;

QString WebRemoteModule::modulePath()
{
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral(DIMMER_WEB_MODULE_PATH));
}

bool WebRemoteModule::start(const OscEndpoint &at, const QString &name, const QString &stateFolder,
                            QString *errorMessage)
{
    QLibrary library(modulePath());
    const auto create = reinterpret_cast<DimmerWebCreate>(library.resolve(DimmerWebCreateName));
    if (!create) {
        *errorMessage = tr("The web remote cannot be loaded: %1").arg(library.errorString());
        return false;
    }
    m_remote.reset(create(&m_access, &stateFolder, errorMessage));
    if (!m_remote || !m_remote->listen(at.address, at.port, name, errorMessage))
        return false;
    follow();
    return true;
}

void WebRemoteModule::follow()
{
    const auto changed = [this] { m_remote->panelChanged(); };
    connect(&m_desk, &Desk::channelChanged, this, changed);
    connect(&m_desk, &Desk::masterChanged, this, changed);
    connect(&m_desk, &Desk::modeChanged, this, changed);
    connect(&m_desk, &Desk::blackoutChanged, this, changed);
    connect(&m_desk, &Desk::fadeTimeChanged, this, changed);
    connect(&m_desk, &Desk::liveSceneChanged, this, changed);
    connect(&m_desk, &Desk::fadeProgressed, this, changed);
    connect(&m_link, &SerialLink::stateChanged, this, changed);
}
