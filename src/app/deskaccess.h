#pragma once

#include "web/webplugin.h"

class Desk;
class SerialLink;

// The desk and the line as the web remote sees them: the state its pages show, and each
// page action as the desk intent of the panel's own control, so that the line carries the
// same bytes as for a click or a remote's fader.
class DeskAccess : public PanelAccess
{
public:
    DeskAccess(Desk &desk, const SerialLink &link) : m_desk(desk), m_link(link) {}

    PanelSnapshot snapshot() const override;
    bool isInputHeld() const override;
    void act(const WebMessage &message) override;

private:
    Desk &m_desk;
    const SerialLink &m_link;
};
