#pragma once

#include "control/desk.h"
#include "link/seriallink.h"
#include "scenes/scenefile.h"
#include "support/manualclock.h"
#include "support/ptypair.h"

#include <QTemporaryDir>

// The desk on the real serial link, on a pseudo-terminal whose far side the test reads,
// with its scene file in a temporary folder: what the line took is the link's to tell.
struct LinkedDesk
{
    // open: the link opened on the pseudo-terminal by its path, else left to the test.
    explicit LinkedDesk(bool open = true);

    // Empty when the line opened; else why not.
    QString failure() const { return m_failure; }
    // Waits until the line has taken everything sent, and reads it off the far side.
    QByteArray sent();

    QTemporaryDir folder;
    PtyPair line;
    SceneFile scenes;
    SerialLink link;
    ManualClock clock;
    Desk desk;

private:
    QString m_failure;
};
