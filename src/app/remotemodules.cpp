#include "remotemodules.h"

#include "control/desk.h"
#include "link/seriallink.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

RemoteModules::RemoteModules(Desk &desk, SerialLink &link, QObject *parent)
    : QObject(parent), m_desk(desk), m_link(link), m_access(desk, link)
{
    connect(&m_desk, &Desk::channelChanged, this, &RemoteModules::levelsChanged);
    connect(&m_desk, &Desk::masterChanged, this, &RemoteModules::levelsChanged);
    connect(&m_desk, &Desk::modeChanged, this, &RemoteModules::panelChanged);
    connect(&m_desk, &Desk::blackoutChanged, this, &RemoteModules::panelChanged);
    connect(&m_desk, &Desk::fadeTimeChanged, this, &RemoteModules::panelChanged);
    connect(&m_desk, &Desk::liveSceneChanged, this, &RemoteModules::panelChanged);
    connect(&m_desk, &Desk::fadeProgressed, this, &RemoteModules::panelChanged);
    connect(&m_desk, &Desk::cueChanged, this, &RemoteModules::panelChanged);
    connect(&m_link, &SerialLink::stateChanged, this, &RemoteModules::panelChanged);
}

RemoteModules::~RemoteModules() = default;

QString RemoteModules::folder()
{
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral(DIMMER_MODULE_FOLDER));
}

template<typename Entry>
Entry RemoteModules::load(const char *file, const char *name, QString *errorMessage)
{
    QLibrary library(QDir(folder()).filePath(QString::fromLatin1(file)));
    const auto entry = reinterpret_cast<Entry>(library.resolve(name));
    if (!entry)
        *errorMessage =
            tr("A module of the panel cannot be loaded: %1").arg(library.errorString());
    return entry;
}

bool RemoteModules::startOsc(const SocketAddress &at,
                             const QList<Options::FeedbackTarget> &targets, QString *errorMessage)
{
    const auto create =
        load<DimmerOscCreate>("dimmer-panel-osc.so", DimmerOscCreateName, errorMessage);
    if (!create)
        return false;
    m_osc.reset(create(&m_access));
    for (const Options::FeedbackTarget &target : targets)
        m_osc->addFeedbackTarget(target.to.storage, target.floats);
    return m_osc->listen(at.storage, errorMessage);
}

bool RemoteModules::startWeb(const SocketAddress &at, const QString &stateFolder,
                             QString *errorMessage)
{
    const auto create =
        load<DimmerWebCreate>("dimmer-panel-web.so", DimmerWebCreateName, errorMessage);
    if (!create)
        return false;
    m_web.reset(create(&m_access, &stateFolder, errorMessage));
    return m_web && m_web->listen(at.storage, at.name, errorMessage);
}

QStringList RemoteModules::countsSummaries() const
{
    QStringList lines;
    if (m_osc)
        lines << m_osc->countsSummary();
    if (m_web)
        lines << m_web->countsSummary();
    return lines;
}

void RemoteModules::levelsChanged()
{
    if (m_osc)
        m_osc->levelsChanged();
    panelChanged();
}

void RemoteModules::panelChanged()
{
    if (m_web)
        m_web->panelChanged();
}
