#pragma once

#include "panelcontrols.h"

#include <QObject>
#include <QString>

struct Module1;
class SerialLink;

// The handlers of the level sliders, the full-on and off buttons and the mode buttons.
// A channel level is turned into its effects in one place, VScroll1_Change; everything
// else that changes a level only sets a slider and lets that handler run, nested.
class LightingControl : public QObject
{
    Q_OBJECT

public:
    // The controls are read when a handler runs; the window fills them in first.
    LightingControl(Module1 &state, SerialLink &link, const PanelControls &controls,
                    QObject *parent = nullptr);

    // Frames PktAddress, PktCommand and PktValue into one command packet and writes it.
    void SendCommand();

    void VScroll1_Change(int Index);
    void VScroll1_Scroll(int Index);
    void VScroll2_Change();
    void VScroll2_Scroll();
    void Command1_Click(int Index);
    void Command2_Click(int Index);
    void Command3_Click();
    void Command4_Click();
    void Option2_Click(int Index);

    // The read-out form of a level: a space in the place of a sign, then the digits.
    static QString readOutText(int level);

private:
    void channelHandler(int index);
    void masterHandler();

    Module1 &m_state;
    SerialLink &m_link;
    const PanelControls &m_controls;
};
