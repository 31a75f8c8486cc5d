#pragma once

#include <QObject>

struct ErrorReport;
struct Module1;
class SceneFile;

// Stores LevelBuf as one scene record, after the operator has confirmed it.
class SceneSave : public QObject
{
    Q_OBJECT

public:
    SceneSave(const Module1 &state, const SceneFile &file, const ErrorReport &report,
              QObject *parent = nullptr);

    // The question asked before scene n is stored.
    static QString prompt(int sceneNumber);
    static QString questionTitle();

    void store(int sceneNumber);

private:
    const Module1 &m_state;
    const SceneFile &m_file;
    const ErrorReport &m_report;
};
