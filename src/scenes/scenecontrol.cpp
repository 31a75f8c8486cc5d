#include "scenecontrol.h"

#include "control/desk.h"

void SceneControl::Option1_Click(int Index) { m_desk.recall(Index + 1); }

void SceneControl::Command5_Click() { m_desk.download(); }
