#pragma once

#include "remote/oscplugin.h"
#include "web/webplugin.h"

class Desk;
class SerialLink;

// The desk and the line as the remote inputs see them: the levels OSC tells back, the state
// the web remote's pages show, and the intents either asks for, which the desk applies as it
// does the panel's own.
class DeskAccess : public PanelAccess, public OscPanel
{
public:
    DeskAccess(Desk &desk, const SerialLink &link) : m_desk(desk), m_link(link) {}

    PanelSnapshot snapshot() const override;
    Levels levels() const override;
    Intent::Outcome act(const Intent &intent) override;

private:
    Desk &m_desk;
    const SerialLink &m_link;
};
