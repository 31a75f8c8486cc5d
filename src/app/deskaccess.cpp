#include "deskaccess.h"

#include "control/cuelist.h"
#include "control/desk.h"
#include "link/seriallink.h"

#include <algorithm>

namespace {

PanelSnapshot::Line lineOf(SerialLink::State state)
{
    switch (state) {
    case SerialLink::State::Closed:
        return PanelSnapshot::Line::Closed;
    case SerialLink::State::Up:
        return PanelSnapshot::Line::Up;
    case SerialLink::State::Waiting:
        return PanelSnapshot::Line::Waiting;
    case SerialLink::State::Lost:
        return PanelSnapshot::Line::Lost;
    }
    return PanelSnapshot::Line::Closed;
}

} // namespace

PanelSnapshot DeskAccess::snapshot() const
{
    PanelSnapshot snapshot;
    const Levels all = levels();
    std::copy_n(all.begin(), Board::ChannelCount, snapshot.channels.begin());
    snapshot.master = all.back();
    snapshot.mode = m_desk.mode() == Desk::NoMode ? 0 : m_desk.mode() + 1;
    snapshot.liveScene = m_desk.liveScene();
    snapshot.liveChanged = m_desk.isLiveChanged();
    snapshot.fadingTo = m_desk.fadeScene();
    snapshot.fadePercent = m_desk.fadePercent();
    snapshot.blackout = m_desk.isBlackout();
    snapshot.fadeTenths = m_desk.fadeTime();
    snapshot.port = m_link.portName();
    snapshot.line = lineOf(m_link.state());
    if (const CueList *cues = m_desk.cueList()) {
        const CuePlayback &playback = m_desk.cues();
        const auto name = [cues](int number) {
            const Cue *cue = cues->find(number);
            return cue ? (CueList::numberText(number) + QLatin1Char(' ') + cue->label).trimmed()
                       : QString();
        };
        snapshot.cue = name(playback.current());
        snapshot.nextCue = name(playback.standby(*cues));
        snapshot.cueRunning = playback.isRunning() || playback.isFollowing();
        snapshot.cuePaused = playback.isPaused();
    }
    return snapshot;
}

OscPanel::Levels DeskAccess::levels() const
{
    Levels levels{};
    for (int channel = 0; channel < Board::ChannelCount; ++channel)
        levels[std::size_t(channel)] = m_desk.channel(channel);
    levels.back() = m_desk.master();
    return levels;
}

Intent::Outcome DeskAccess::act(const Intent &intent) { return m_desk.apply(intent); }
