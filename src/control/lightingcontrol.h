#pragma once

class Desk;

// The events of the panel's level sliders, full-on and off buttons and mode buttons, each
// passed to the desk with the control's value.
class LightingControl
{
public:
    explicit LightingControl(Desk &desk) : m_desk(desk) {}

    void VScroll1_Change(int Index, int level);
    void VScroll1_Scroll(int Index, int level);
    void VScroll2_Change(int level);
    void VScroll2_Scroll(int level);
    void Command1_Click(int Index);
    void Command2_Click(int Index);
    void Command3_Click();
    void Command4_Click();
    void Option2_Click(int Index);

private:
    Desk &m_desk;
};
