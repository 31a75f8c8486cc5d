#pragma once

#include <QObject>
#include <QString>

class SceneFile;
class SerialLink;

// The send-settings button: all twelve stored scenes to the board in one frame.
class SceneDownload : public QObject
{
    Q_OBJECT

public:
    SceneDownload(const SceneFile &file, SerialLink &link, QObject *parent = nullptr);

    void Command5_Click();

Q_SIGNALS:
    // The scene file could not be read; nothing was sent.
    void failed(const QString &message);

private:
    const SceneFile &m_file;
    SerialLink &m_link;
};
