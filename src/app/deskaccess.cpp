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
    const int index = message.number - 1;
    switch (message.action) {
    case Action::Hello:
        break;
    case Action::Channel:
        m_desk.setChannel(index, message.value);
        break;
    case Action::Master:
        m_desk.setMaster(message.value);
        break;
    case Action::FullOn:
        m_desk.channelFullOn(index);
        break;
    case Action::Off:
        m_desk.channelOff(index);
        break;
    case Action::MasterFullOn:
        m_desk.masterFullOn();
        break;
    case Action::AllOff:
        m_desk.allOff();
        break;
    case Action::Scene:
        m_desk.recall(message.number);
        break;
    case Action::Mode:
        m_desk.selectMode(index);
        break;
    case Action::Blackout:
        m_desk.toggleBlackout();
        break;
    case Action::Fade:
        m_desk.setFadeTime(message.value);
        break;
    }
}
