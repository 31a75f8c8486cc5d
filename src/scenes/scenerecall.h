#pragma once

#include "control/panelcontrols.h"

#include <QObject>

struct ErrorReport;
struct Module1;
class SceneFile;

// The scene buttons: read a stored scene into LevelBuf and move the eight channel
// sliders to it, so that each channel that changes sends its own level.
class SceneRecall : public QObject
{
    Q_OBJECT

public:
    SceneRecall(Module1 &state, const SceneFile &file, const PanelControls &controls,
                const ErrorReport &report, QObject *parent = nullptr);

    void Option1_Click(int Index);

private:
    Module1 &m_state;
    const SceneFile &m_file;
    const PanelControls &m_controls;
    const ErrorReport &m_report;
};
