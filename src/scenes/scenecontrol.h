#pragma once

class Desk;

// The events of the scene buttons and the send-settings button, passed to the desk.
class SceneControl
{
public:
    explicit SceneControl(Desk &desk) : m_desk(desk) {}

    // Scene button Index recalls scene Index + 1.
    void Option1_Click(int Index);
    // All twelve stored scenes to the board.
    void Command5_Click();

private:
    Desk &m_desk;
};
