#include "lightingcontrol.h"

#include "control/desk.h"

void LightingControl::VScroll1_Change(int Index, int level) { m_desk.moveChannel(Index, level); }

void LightingControl::VScroll1_Scroll(int Index, int level) { m_desk.moveChannel(Index, level); }

void LightingControl::VScroll2_Change(int level) { m_desk.moveMaster(level); }

void LightingControl::VScroll2_Scroll(int level) { m_desk.moveMaster(level); }

void LightingControl::Command1_Click(int Index) { m_desk.channelFullOn(Index); }

void LightingControl::Command2_Click(int Index) { m_desk.channelOff(Index); }

void LightingControl::Command3_Click() { m_desk.masterFullOn(); }

void LightingControl::Command4_Click() { m_desk.allOff(); }

void LightingControl::Option2_Click(int Index) { m_desk.selectMode(Index); }
