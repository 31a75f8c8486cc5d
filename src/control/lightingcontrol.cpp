#include "lightingcontrol.h"

#include "control/levelslider.h"
#include "control/module1.h"
#include "link/boardnumbers.h"
#include "link/commandpacket.h"
#include "link/seriallink.h"

#include <QLineEdit>

LightingControl::LightingControl(Module1 &state, SerialLink &link, const PanelControls &controls,
                                 QObject *parent)
    : QObject(parent), m_state(state), m_link(link), m_controls(controls)
{}

void LightingControl::SendCommand()
{
    const auto packet =
        CommandPacket::encode(m_state.PktAddress, m_state.PktCommand, m_state.PktValue);
    m_link.write(packet);
}

QString LightingControl::readOutText(int level)
{
    return QLatin1Char(' ') + QString::number(level);
}

void LightingControl::VScroll1_Change(int Index) { channelHandler(Index); }

void LightingControl::VScroll1_Scroll(int Index) { channelHandler(Index); }

void LightingControl::VScroll2_Change() { masterHandler(); }

void LightingControl::VScroll2_Scroll() { masterHandler(); }

void LightingControl::channelHandler(int index)
{
    const auto level = std::uint8_t(m_controls.VScroll1[index]->level());
    m_state.LevelBuf[index] = level;
    m_controls.Text1[index]->setText(readOutText(level));
    // The registers are filled even when the master holds the send back.
    m_state.PktAddress = std::uint8_t(index);
    m_state.PktValue = level;
    m_state.PktCommand = CommandPacket::SetLevel;
    if (m_state.MasterSync == 0)
        SendCommand();
}

void LightingControl::masterHandler()
{
    const int level = m_controls.VScroll2->level();
    m_state.MasterSync = 1;
    m_controls.Text2->setText(readOutText(level));
    // Each channel that moves runs its handler nested, sees MasterSync and stays silent;
    // the board sets all eight channels itself from the one master packet below.
    for (LevelSlider *channel : m_controls.VScroll1)
        channel->setLevel(level);
    m_state.MasterSync = 0;
    m_state.PktAddress = CommandPacket::MasterAddress;
    m_state.PktValue = std::uint8_t(level);
    m_state.PktCommand = CommandPacket::SetLevel;
    SendCommand();
}

void LightingControl::Command1_Click(int Index)
{
    m_controls.VScroll1[Index]->setLevel(Board::FullOn);
}

void LightingControl::Command2_Click(int Index)
{
    m_controls.VScroll1[Index]->setLevel(Board::Off);
}

void LightingControl::Command3_Click() { m_controls.VScroll2->setLevel(Board::FullOn); }

void LightingControl::Command4_Click()
{
    // Channels first, in ascending order, each with its own packet; the master last,
    // whose copy then finds every channel off already.
    for (LevelSlider *channel : m_controls.VScroll1)
        channel->setLevel(Board::Off);
    m_controls.VScroll2->setLevel(Board::Off);
}

void LightingControl::Option2_Click(int Index)
{
    m_state.PktAddress = std::uint8_t(Index);
    m_state.PktValue = 0;
    m_state.PktCommand = CommandPacket::SelectMode;
    SendCommand();
}
