#include "scenesave.h"

#include "control/module1.h"
#include "scenes/scenefile.h"

SceneSave::SceneSave(const Module1 &state, const SceneFile &file, QObject *parent)
    : QObject(parent), m_state(state), m_file(file)
{}

QString SceneSave::prompt(int sceneNumber)
{
    return QStringLiteral("將目前狀態已存入巨集鍵 %1").arg(sceneNumber);
}

QString SceneSave::questionTitle() { return QStringLiteral("確定對話方塊"); }

void SceneSave::store(int sceneNumber)
{
    SceneFile::Access access = m_file.open();
    if (!access.writeRecord(sceneNumber, m_state.LevelBuf) || !access.close())
        Q_EMIT failed(access.errorMessage());
}
