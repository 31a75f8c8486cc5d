#pragma once

#include "control/cuelist.h"
#include "control/desk.h"
#include "scenes/scenefile.h"
#include "support/manualclock.h"
#include "support/recordingline.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// The desk on a recording line, with its scene file in a temporary folder; what it reports
// is kept instead of ending the test.
struct DeskFixture
{
    DeskFixture();

    // Moves the channels and the master as an operator would, then forgets what that sent.
    void setLevels(const QList<int> &channels, int master);
    QList<int> levels() const; // the eight channels, then the master
    QString scenePath() const { return scenes.path(); }
    bool isValid() const { return folder.isValid(); }

    QTemporaryDir folder;
    SceneFile scenes;
    RecordingLine line;
    ManualClock clock; // the desk's fades and undo gestures run on it
    Desk desk;
    CueList cues;
    QStringList failures;
    QStringList refusals; // "scene channel level"
};
