#include "boardsession.h"

#include "app/errorreport.h"
#include "link/portnames.h"

BoardSession::BoardSession(SceneStore &scenes, QObject *parent)
    : QObject(parent), m_desk(m_link, scenes)
{
    // A line that goes away is waited for; when it is back, the board gets the whole state.
    connect(&m_link, &SerialLink::restored, &m_desk, [this] {
        m_desk.apply(
            Intent{Intent::Kind::SendAll, 0, 0, std::nullopt, Source{Source::Kind::Line, 0}});
    });
}

BoardSession::~BoardSession() = default;

void BoardSession::begin(const QString &port, const QString &stateFolder)
{
    // The lamps kept what they were last sent while the panel was closed.
    m_lamps = std::make_unique<LampMemory>(PortNames::stable(port), stateFolder);
    if (const auto recalled = m_lamps->recalled()) {
        m_desk.restore(*recalled);
        m_link.setBoard(recalled->board());
    }
    m_lamps->follow(m_desk, m_link);
}

void BoardSession::end()
{
    const bool lineLost = m_link.state() == SerialLink::State::Lost;
    if (const qint64 lost = m_link.release(); lost > 0) {
        ErrorReport::print(tr("%1 bytes for %2 were not delivered: the line took none for too "
                              "long.")
                               .arg(lost)
                               .arg(m_link.portName()));
    }
    // Only then is it known what the lamps got.
    if (!m_lamps)
        return;
    if (const int unsent = m_lamps->flush(); unsent > 0) {
        const QString why =
            lineLost ? tr("the line was lost") : tr("the line took none of them in time");
        ErrorReport::print(tr("Changes did not reach the board on %1 (%2 of them): %3. The "
                              "next start shows what the lamps show.")
                               .arg(m_link.portName())
                               .arg(unsent)
                               .arg(why));
    }
}
