#pragma once

#include "control/deskclock.h"

// A clock that stands still until the test moves it.
class ManualClock : public DeskClock
{
public:
    Time now() const override { return m_now; }
    void set(Time at) { m_now = at; }

private:
    Time m_now{0};
};
