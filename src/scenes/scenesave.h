#pragma once

#include <QObject>
#include <QString>

struct Module1;
class SceneFile;

// Stores LevelBuf as one scene record, after the operator has confirmed it.
class SceneSave : public QObject
{
    Q_OBJECT

public:
    SceneSave(const Module1 &state, const SceneFile &file, QObject *parent = nullptr);

    // The question asked before scene n is stored; the same words in every language.
    static QString prompt(int sceneNumber);
    static QString questionTitle();

    void store(int sceneNumber);

Q_SIGNALS:
    // The scene file could not be written; the record holds what it held before.
    void failed(const QString &message);

private:
    const Module1 &m_state;
    const SceneFile &m_file;
};
