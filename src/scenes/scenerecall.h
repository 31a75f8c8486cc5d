#pragma once

#include "control/panelcontrols.h"

#include <QObject>
#include <QString>

struct Module1;
class SceneFile;

// The scene buttons: read a stored scene into LevelBuf and move the eight channel
// sliders to it, so that each channel that changes sends its own level.
class SceneRecall : public QObject
{
    Q_OBJECT

public:
    SceneRecall(Module1 &state, const SceneFile &file, const PanelControls &controls,
                QObject *parent = nullptr);

    void Option1_Click(int Index);

Q_SIGNALS:
    // The scene file could not be read; the panel cannot go on.
    void failed(const QString &message);
    // The scene holds a level that no slider takes; nothing moved and nothing was sent.
    void refused(const QString &message);

private:
    Module1 &m_state;
    const SceneFile &m_file;
    const PanelControls &m_controls;
};
