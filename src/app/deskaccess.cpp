#include "deskaccess.h"

#include "control/desk.h"
#include "link/seriallink.h"

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
    for (std::size_t i = 0; i < snapshot.channels.size(); ++i)
        snapshot.channels[i] = m_desk.channel(int(i));
    snapshot.master = m_desk.master();
    snapshot.mode = m_desk.mode() == Desk::NoMode ? 0 : m_desk.mode() + 1;
    snapshot.liveScene = m_desk.liveScene();
    snapshot.liveChanged = m_desk.isLiveChanged();
    snapshot.fadingTo = m_desk.fadeScene();
    snapshot.fadePercent = m_desk.fadePercent();
    snapshot.blackout = m_desk.isBlackout();
    snapshot.fadeTenths = m_desk.fadeTime();
    snapshot.port = m_link.portName();
    snapshot.line = lineOf(m_link.state());
    return snapshot;
}

bool DeskAccess::isInputHeld() const { return m_desk.isInputHeld(); }

void DeskAccess::act(const WebMessage &message)
{
    using Action = WebMessage::Action;
    using Kind = Intent::Kind;
    Kind kind = Kind::AllOff;
    int index = message.number - 1;
    switch (message.action) {
    case Action::Hello:
        return;
    case Action::Channel:
        kind = Kind::Channel;
        break;
    case Action::Master:
        kind = Kind::Master;
        break;
    case Action::FullOn:
        kind = Kind::FullOn;
        break;
    case Action::Off:
        kind = Kind::Off;
        break;
    case Action::MasterFullOn:
        kind = Kind::MasterFullOn;
        break;
    case Action::AllOff:
        kind = Kind::AllOff;
        break;
    case Action::Scene:
        kind = Kind::Recall;
        index = message.number;
        break;
    case Action::Mode:
        kind = Kind::Mode;
        break;
    case Action::Blackout:
        kind = Kind::Blackout;
        break;
    case Action::Fade:
        kind = Kind::FadeTime;
        break;
    }
    m_desk.apply(Intent{kind, index, message.value, std::nullopt, Source{Source::Kind::Web, 0}});
}
